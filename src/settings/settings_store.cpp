#include "settings/settings_store.h"

#include <cstdlib>
#include <string>

#include "settings/profile.h"

namespace lunetta {

std::filesystem::path ProfilePath(std::string_view executableBaseName) {
  const std::string fileName = std::string(executableBaseName) + ".INI";
  // Relative values are ignored, as the XDG base-directory rules ask.
  if (const char* config = std::getenv("XDG_CONFIG_HOME");
      config != nullptr && std::filesystem::path(config).is_absolute()) {
    return std::filesystem::path(config) / fileName;
  }
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    return std::filesystem::path(home) / ".config" / fileName;
  }
  return fileName;
}

void LoadSettings(const std::filesystem::path& profile, CalendarSettings& settings) {
  const Profile file = Profile::Read(profile);
  const CalendarSettings defaults;
  const auto color = [&](std::string_view key, ColorRef fallback) {
    // Colours are stored as the %d text of the 32-bit value.
    return static_cast<ColorRef>(
        file.getInt(kProfileSection, key, static_cast<std::int32_t>(fallback)));
  };
  settings.fontName = file.getString(kProfileSection, "Font Name", defaults.fontName);
  settings.textSize = file.getInt(kProfileSection, "Text Size", defaults.textSize);
  settings.textColor = color("Text Color", defaults.textColor);
  settings.backColor = color("Back Ground Color", defaults.backColor);
  settings.transparency = file.getInt(kProfileSection, "Transparency", defaults.transparency);
  settings.startX = file.getInt(kProfileSection, "StartX", defaults.startX);
  settings.startY = file.getInt(kProfileSection, "StartY", defaults.startY);
  settings.pictSize = file.getInt(kProfileSection, "PictSize", defaults.pictSize);
}

bool SaveSettings(const std::filesystem::path& profile, const CalendarSettings& settings,
                  const LocalDate& savedDate) {
  // A file that exists but cannot be read is not replaced: its other lines would be lost.
  std::optional<Profile> file = Profile::Open(profile);
  if (!file) {
    return false;
  }
  file->setString(kProfileSection, "Font Name", settings.fontName);
  file->setInt(kProfileSection, "Text Size", settings.textSize);
  file->setInt(kProfileSection, "Text Color", static_cast<std::int32_t>(settings.textColor));
  file->setInt(kProfileSection, "Back Ground Color", static_cast<std::int32_t>(settings.backColor));
  file->setInt(kProfileSection, "Day", savedDate.day);
  file->setInt(kProfileSection, "Month", savedDate.month);
  file->setInt(kProfileSection, "Year", savedDate.year);
  file->setInt(kProfileSection, "Transparency", settings.transparency);
  file->setInt(kProfileSection, "StartX", settings.startX);
  file->setInt(kProfileSection, "StartY", settings.startY);
  file->setInt(kProfileSection, "PictSize", settings.pictSize);
  return file->write(profile);
}

}  // namespace lunetta
