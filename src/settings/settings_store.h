#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

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
inline constexpr std::string_view kPhotoPath = "Photo Path";
inline constexpr std::string_view kMonthlyRefresh = "Monthly Refresh";
/// Written only once the renewal has been daily: 1 while it is (Monthly Refresh is then 1 too).
inline constexpr std::string_view kDailyRefresh = "Daily Refresh";
/// "Month Photo 01" ... "Month Photo 12": the photo a month has of its own. Written only for a
/// month that has one, or to clear one the profile holds.
std::string MonthPhoto(int month);
}  // namespace keys

/// A setting added after the profile's first form: read with its default when missing, and
/// written only once it differs from the default or the profile already has it, so a profile that
/// never used it stays byte for byte what it was.
struct OptionalIntegerKey {
  std::string_view name;
  std::int32_t CalendarSettings::*field;
};

inline constexpr OptionalIntegerKey kOptionalIntegerKeys[] = {
    {"Week Start", &CalendarSettings::weekStart},
    {"Japanese Labels", &CalendarSettings::japaneseLabels},
    {"Week Numbers", &CalendarSettings::weekNumbers},
    {"Opaque Text", &CalendarSettings::opaqueText},
    // PictSize keeps a classic size beside these, for a build that knows no other.
    {"Size Kind", &CalendarSettings::sizeKind},
    {"Custom Width", &CalendarSettings::customWidth},
    {"Custom Height", &CalendarSettings::customHeight},
    {"Screen Width", &CalendarSettings::screenWidth},
    {"Screen Height", &CalendarSettings::screenHeight},
    {"Photo Fit", &CalendarSettings::photoFit},
    {"Today Mark", &CalendarSettings::todayMark},
    {"Dim Past Days", &CalendarSettings::dimPastDays},
    {"Every Screen", &CalendarSettings::everyScreen},
};

/// The photo of each month, January first; an empty path: the month shows the main photograph.
using MonthPhotos = std::array<std::filesystem::path, 12>;

/// What the profile remembers of the user's work besides the settings record.
struct RememberedWork {
  std::filesystem::path photo;  // empty: none
  bool monthlyRefresh = false;  // renew the wallpaper on the first of every month
  bool dailyRefresh = false;    // ... and every day, with monthlyRefresh
  MonthPhotos monthPhotos{};

  bool operator==(const RememberedWork&) const = default;
};

/// The profile of the program named `executableBaseName`: "<name>.INI" in $XDG_CONFIG_HOME, or in
/// ~/.config when that is not set; empty when there is no home to find it in.
std::filesystem::path ProfilePath(std::string_view executableBaseName = "lunetta");

/// Reads the persisted fields from `profile` into `settings`; missing keys take the defaults. The
/// result only informs: a missing file is no error; a file that cannot be read gives the
/// defaults; one beyond Profile::kMaxFileBytes gives the values of its beginning and
/// FileErrc::too_large.
std::error_code LoadSettings(const std::filesystem::path& profile, CalendarSettings& settings);

/// Writes the persisted fields and the save date; every other line of the file is kept. Nothing is
/// written when the file cannot be read whole (its errno, or FileErrc::too_large) or is read-only
/// (FileErrc::read_only). A link is written through to its target. Empty on success.
std::error_code SaveSettings(const std::filesystem::path& profile, const CalendarSettings& settings,
                             const LocalDate& savedDate);

/// SaveSettings, and the photographs' paths in the same write. A path is kept byte for byte; an
/// empty main photograph leaves the remembered one as it is, an empty month photo clears the
/// month's, and a path the profile cannot hold (a line break, or longer than a value may be) is
/// forgotten rather than stored changed.
std::error_code SaveSettings(const std::filesystem::path& profile, const CalendarSettings& settings,
                             const LocalDate& savedDate, const std::filesystem::path& photo,
                             const MonthPhotos& monthPhotos = {});

/// Reads what LoadSettings does not; as LoadSettings, a missing file or key gives the defaults.
std::error_code LoadRememberedWork(const std::filesystem::path& profile, RememberedWork& work);

/// Writes the renewal's flags alone, at once: on, and daily where it renews every day; every other
/// line of the file is kept. Errors as SaveSettings.
std::error_code SaveMonthlyRefresh(const std::filesystem::path& profile, bool on,
                                   bool daily = false);

}  // namespace lunetta
