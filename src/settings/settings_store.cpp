#include "settings/settings_store.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <limits>
#include <string>

#include "platform/xdg_folders.h"
#include "settings/profile.h"

namespace lunetta {

std::string keys::MonthPhoto(int month) {
  return "Month Photo " +
         std::string{static_cast<char>('0' + month / 10), static_cast<char>('0' + month % 10)};
}

std::string keys::CalendarFileKey(SpecialDayKind kind, int index) {
  return (kind == SpecialDayKind::Holiday ? "Holiday Calendar " : "Day Calendar ") +
         std::string{static_cast<char>('0' + index / 10), static_cast<char>('0' + index % 10)};
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
  for (const SettingKey& key : kSettingKeys) {
    if (key.kept == Kept::Snapshot) {
      continue;
    }
    if (key.text != nullptr) {
      settings.*key.text = file.getString(kProfileSection, key.name, defaults.*key.text);
    } else {
      key.set(settings, file.getInt(kProfileSection, key.name, key.get(defaults)));
    }
  }
  settings.calendarFiles = ReadCalendarFiles(file, kProfileSection);
  return error;
}

std::vector<CalendarFile> ReadCalendarFiles(const Profile& profile, std::string_view section) {
  std::vector<CalendarFile> files;
  for (const SpecialDayKind kind : {SpecialDayKind::Holiday, SpecialDayKind::Day}) {
    for (int i = 1; i <= kMaxCalendarFiles; ++i) {
      if (std::string path = profile.getString(section, keys::CalendarFileKey(kind, i), "");
          !path.empty()) {
        files.push_back({std::move(path), kind});
      }
    }
  }
  return files;
}

std::optional<std::int64_t> StrictInteger(std::string_view text, std::int64_t low,
                                          std::int64_t high) {
  // from_chars takes a minus sign but no plus.
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') {
    text.remove_prefix(1);
  }
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value, 10);
  if (text.empty() || error != std::errc() || stop != end || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

std::optional<ColorRef> ParseColor(std::string_view text) {
  if (text.size() == 7 && text.front() == '#') {
    std::uint32_t rgb = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data() + 1, end, rgb, 16);
    if (error != std::errc() || stop != end) {
      return std::nullopt;
    }
    // #rrggbb reads red first; the profile keeps red in the low byte.
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16);
  }
  if (const std::optional<std::int64_t> number = StrictInteger(text, 0, 0xFFFFFF)) {
    return static_cast<ColorRef>(*number);
  }
  return std::nullopt;
}

SettingRefusal ApplySetting(CalendarSettings& settings, std::string_view key,
                            std::string_view value) {
  const auto row =
      std::find_if(std::begin(kSettingKeys), std::end(kSettingKeys),
                   [&](const SettingKey& known) { return EqualsIgnoringCase(known.name, key); });
  if (row == std::end(kSettingKeys)) {
    return SettingRefusal::UnknownKey;
  }
  if (row->text != nullptr) {
    settings.*row->text = std::string(value);
    return SettingRefusal::None;
  }
  constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
  if (row->kind == ValueKind::Color) {
    const std::optional<ColorRef> color = ParseColor(value);
    if (!color) {
      return SettingRefusal::NotAColor;
    }
    row->set(settings, static_cast<std::int32_t>(*color));
    return SettingRefusal::None;
  }
  const std::optional<std::int64_t> number = StrictInteger(value, kInt32Min, kInt32Max);
  if (!number) {
    return SettingRefusal::NotAWholeNumber;
  }
  if (row->kind == ValueKind::Transparency && (*number < 0 || *number > 255)) {
    return SettingRefusal::NotATransparency;
  }
  row->set(settings, static_cast<std::int32_t>(*number));
  return SettingRefusal::None;
}

OverrideRefusal ApplySettingOverrides(CalendarSettings& settings, const SettingOverrides& overrides,
                                      std::optional<PictureSize> screen) {
  for (std::size_t i = 0; i < overrides.size(); ++i) {
    const auto& [key, value] = overrides[i];
    if (const SettingRefusal why = ApplySetting(settings, key, value);
        why != SettingRefusal::None) {
      return {why, i};
    }
  }
  // The range follows the picture's size, which any override may have changed.
  const PictureSize limits = BlockPositionLimits(settings, screen);
  for (std::size_t i = 0; i < overrides.size(); ++i) {
    const auto& [key, value] = overrides[i];
    for (const auto& [name, limit] :
         {std::pair(keys::kStartX, limits.width), std::pair(keys::kStartY, limits.height)}) {
      if (EqualsIgnoringCase(key, name) && !StrictInteger(value, 0, limit)) {
        return {SettingRefusal::OutsidePicture, i, limit};
      }
    }
  }
  return {};
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
  const CalendarSettings defaults;
  for (const SettingKey& key : kSettingKeys) {
    if (key.text != nullptr) {
      if (key.kept == Kept::Always || settings.*key.text != defaults.*key.text ||
          file.value(kProfileSection, key.name)) {
        file.setString(kProfileSection, key.name, settings.*key.text);
      }
    } else if (key.kept == Kept::Always ||
               (key.kept == Kept::WhenUsed && (key.get(settings) != key.get(defaults) ||
                                               file.value(kProfileSection, key.name)))) {
      file.setInt(kProfileSection, key.name, key.get(settings));
    }
    // The save date stands where the profile's first form put it, after the colours.
    if (key.name == keys::kBackColor) {
      file.setInt(kProfileSection, "Day", savedDate.day);
      file.setInt(kProfileSection, "Month", savedDate.month);
      file.setInt(kProfileSection, "Year", savedDate.year);
    }
  }
  WriteCalendarFiles(file, kProfileSection, settings.calendarFiles);
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

void WriteCalendarFiles(Profile& profile, std::string_view section,
                        const std::vector<CalendarFile>& files) {
  for (const SpecialDayKind kind : {SpecialDayKind::Holiday, SpecialDayKind::Day}) {
    int written = 0;
    for (const CalendarFile& file : files) {
      const std::string quoted = QuotedPhotoPath(file.path);
      if (file.kind == kind && !quoted.empty() && written < kMaxCalendarFiles) {
        profile.setString(section, keys::CalendarFileKey(kind, ++written), quoted);
      }
    }
    // An empty value reads as none: a file the user removed stays removed.
    for (int i = written + 1; i <= kMaxCalendarFiles; ++i) {
      if (profile.value(section, keys::CalendarFileKey(kind, i))) {
        profile.setString(section, keys::CalendarFileKey(kind, i), "");
      }
    }
  }
}

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
