#pragma once

#include <filesystem>
#include <string_view>

#include "calendar/calendar_settings.h"

namespace lunetta {

inline constexpr std::string_view kProfileSection = "Configuration";

/// The keys of the persisted settings, as the profile names them.
namespace keys {
inline constexpr std::string_view kFontName = "Font Name";
inline constexpr std::string_view kTextSize = "Text Size";
inline constexpr std::string_view kTextColor = "Text Color";
inline constexpr std::string_view kBackColor = "Back Ground Color";
inline constexpr std::string_view kTransparency = "Transparency";
inline constexpr std::string_view kStartX = "StartX";
inline constexpr std::string_view kStartY = "StartY";
inline constexpr std::string_view kPictSize = "PictSize";
}  // namespace keys

/// The profile of the program named `executableBaseName`: "<name>.INI" in $XDG_CONFIG_HOME, or in
/// ~/.config when that is not set.
std::filesystem::path ProfilePath(std::string_view executableBaseName = "lunetta");

/// Reads the persisted fields from `profile` into `settings`; missing keys take the defaults.
void LoadSettings(const std::filesystem::path& profile, CalendarSettings& settings);

/// Writes the persisted fields and the save date; every other line of the file is kept.
/// False when the file could not be written.
bool SaveSettings(const std::filesystem::path& profile, const CalendarSettings& settings,
                  const LocalDate& savedDate);

}  // namespace lunetta
