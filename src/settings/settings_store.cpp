#include "settings/settings_store.h"

#include <string>

#include "platform/xdg_folders.h"
#include "settings/profile.h"

namespace lunetta {

std::string keys::MonthPhoto(int month) {
  return "Month Photo " +
         std::string{static_cast<char>('0' + month / 10), static_cast<char>('0' + month % 10)};
}

std::filesystem::path ProfilePath(std::string_view executableBaseName) {
  // Without a home there is no profile: never one in whatever folder the program runs in.
  const std::filesystem::path config = ConfigHome();
  return config.empty() ? config : config / (std::string(executableBaseName) + ".INI");
}

std::error_code LoadSettings(const std::filesystem::path& profile, CalendarSettings& settings) {
  std::error_code error;
  const Profile file = Profile::Read(profile, error);
  const CalendarSettings defaults;
  const auto color = [&](std::string_view key, ColorRef fallback) {
    // Colours are stored as the %d text of the 32-bit value.
    return static_cast<ColorRef>(
        file.getInt(kProfileSection, key, static_cast<std::int32_t>(fallback)));
  };
  settings.fontName = file.getString(kProfileSection, keys::kFontName, defaults.fontName);
  settings.textSize = file.getInt(kProfileSection, keys::kTextSize, defaults.textSize);
  settings.textColor = color(keys::kTextColor, defaults.textColor);
  settings.backColor = color(keys::kBackColor, defaults.backColor);
  settings.transparency = file.getInt(kProfileSection, keys::kTransparency, defaults.transparency);
  settings.startX = file.getInt(kProfileSection, keys::kStartX, defaults.startX);
  settings.startY = file.getInt(kProfileSection, keys::kStartY, defaults.startY);
  settings.pictSize = file.getInt(kProfileSection, keys::kPictSize, defaults.pictSize);
  for (const OptionalIntegerKey& key : kOptionalIntegerKeys) {
    settings.*key.field = file.getInt(kProfileSection, key.name, defaults.*key.field);
  }
  return error;
}

namespace {

// Reads `profile` whole, applies `change`, and writes it back. A file that exists but cannot be
// read whole is not replaced: its other lines would be lost.
template <typename Change>
std::error_code ChangeProfile(const std::filesystem::path& profile, Change change) {
  std::error_code error;
  Profile file = Profile::Read(profile, error);
  if (error) {
    return error;
  }
  change(file);
  // The first save may come before the configuration folder exists.
  if (const auto folder = profile.parent_path(); !folder.empty()) {
    std::filesystem::create_directories(folder, error);
    if (error) {
      return error;
    }
  }
  return file.write(profile);
}

void StoreSettings(Profile& file, const CalendarSettings& settings, const LocalDate& savedDate) {
  file.setString(kProfileSection, keys::kFontName, settings.fontName);
  file.setInt(kProfileSection, keys::kTextSize, settings.textSize);
  file.setInt(kProfileSection, keys::kTextColor, static_cast<std::int32_t>(settings.textColor));
  file.setInt(kProfileSection, keys::kBackColor, static_cast<std::int32_t>(settings.backColor));
  file.setInt(kProfileSection, "Day", savedDate.day);
  file.setInt(kProfileSection, "Month", savedDate.month);
  file.setInt(kProfileSection, "Year", savedDate.year);
  file.setInt(kProfileSection, keys::kTransparency, settings.transparency);
  file.setInt(kProfileSection, keys::kStartX, settings.startX);
  file.setInt(kProfileSection, keys::kStartY, settings.startY);
  file.setInt(kProfileSection, keys::kPictSize, settings.pictSize);
  const CalendarSettings defaults;
  for (const OptionalIntegerKey& key : kOptionalIntegerKeys) {
    if (settings.*key.field != defaults.*key.field || file.value(kProfileSection, key.name)) {
      file.setInt(kProfileSection, key.name, settings.*key.field);
    }
  }
}

// The reader trims blanks and takes off one pair of enclosing quotes, so a path is stored quoted:
// blanks and quotes at either end of a file name survive.
std::string QuotedPhotoPath(const std::filesystem::path& photo) {
  const std::string& bytes = photo.native();
  const bool storable = bytes.find_first_of("\r\n") == std::string::npos &&
                        bytes.size() + 2 <= Profile::kMaxValueChars;
  return storable ? '"' + bytes + '"' : std::string();
}

}  // namespace

std::error_code SaveSettings(const std::filesystem::path& profile, const CalendarSettings& settings,
                             const LocalDate& savedDate) {
  return ChangeProfile(profile, [&](Profile& file) { StoreSettings(file, settings, savedDate); });
}

std::error_code SaveSettings(const std::filesystem::path& profile, const CalendarSettings& settings,
                             const LocalDate& savedDate, const std::filesystem::path& photo,
                             const MonthPhotos& monthPhotos) {
  return ChangeProfile(profile, [&](Profile& file) {
    StoreSettings(file, settings, savedDate);
    if (!photo.empty()) {
      file.setString(kProfileSection, keys::kPhotoPath, QuotedPhotoPath(photo));
    }
    for (int month = 1; month <= 12; ++month) {
      const std::filesystem::path& own = monthPhotos[static_cast<std::size_t>(month - 1)];
      const std::string key = keys::MonthPhoto(month);
      // An empty value reads as no photo: a cleared month stays cleared at the next start.
      if (!own.empty() || file.value(kProfileSection, key)) {
        file.setString(kProfileSection, key, own.empty() ? std::string() : QuotedPhotoPath(own));
      }
    }
  });
}

std::error_code LoadRememberedWork(const std::filesystem::path& profile, RememberedWork& work) {
  std::error_code error;
  const Profile file = Profile::Read(profile, error);
  work.photo = file.getString(kProfileSection, keys::kPhotoPath, "");
  work.monthlyRefresh = file.getInt(kProfileSection, keys::kMonthlyRefresh, 0) != 0;
  work.dailyRefresh =
      work.monthlyRefresh && file.getInt(kProfileSection, keys::kDailyRefresh, 0) != 0;
  for (int month = 1; month <= 12; ++month) {
    work.monthPhotos[static_cast<std::size_t>(month - 1)] =
        file.getString(kProfileSection, keys::MonthPhoto(month), "");
  }
  return error;
}

std::error_code SaveMonthlyRefresh(const std::filesystem::path& profile, bool on, bool daily) {
  return ChangeProfile(profile, [on, daily](Profile& file) {
    file.setInt(kProfileSection, keys::kMonthlyRefresh, on ? 1 : 0);
    // A profile that never renewed daily stays as it was.
    if ((on && daily) || file.value(kProfileSection, keys::kDailyRefresh)) {
      file.setInt(kProfileSection, keys::kDailyRefresh, on && daily ? 1 : 0);
    }
  });
}

}  // namespace lunetta
