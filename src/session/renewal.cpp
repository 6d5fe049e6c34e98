#include "session/renewal.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "picture/load_picture_file.h"
#include "picture/picture.h"
#include "platform/file_io.h"
#include "session/calendar_session.h"
#include "session/session_wallpaper.h"
#include "settings/profile.h"
#include "settings/settings_store.h"
#include "wallpaper/monthly_refresh.h"

namespace lunetta {

namespace {

// Beside the profile's own section: what a profile does not keep, and the mark of a snapshot.
constexpr std::string_view kSnapshotSection = "Renewal";
constexpr std::string_view kScreens = "Screens";

// Long enough for two systemctl calls of the process that holds the lock.
constexpr std::chrono::seconds kLockWait{30};

std::string ScreenKey(int index) {
  return "Screen " + std::to_string(index);
}

Failure NoFolder(const std::filesystem::path& path) {
  return WritingFailure(path, std::make_error_code(std::errc::no_such_file_or_directory));
}

// As the profile keeps a photo: quoted, so that blanks at either end survive its reader.
std::optional<std::string> QuotedPath(const std::filesystem::path& path) {
  std::error_code error;
  const std::string bytes = std::filesystem::absolute(path, error).native();
  if (error || bytes.find_first_of("\r\n") != std::string::npos ||
      bytes.size() + 2 > Profile::kMaxValueChars) {
    return std::nullopt;
  }
  return '"' + bytes + '"';
}

// The renewal's files are changed by one process at a time, the flag with them.
class RenewalLock {
 public:
  explicit RenewalLock(const std::filesystem::path& snapshot) {
    const std::filesystem::path folder = snapshot.parent_path();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::filesystem::path file = folder / "renewal.lock";
    if (!error) {
      lock_ = FileLock::Acquire(file, kLockWait, error);
    }
    if (error) {
      status_ = WritingFailure(file, error);
    }
  }
  const Status& status() const { return status_; }

 private:
  FileLock lock_;
  Status status_;
};

// Everything the renewal leaves, and the flag off, whatever fails on the way: after a failed
// change the flag and the files agree on "off".
void TearDown(CalendarSession& session, const std::filesystem::path& snapshot,
              const QProcessEnvironment& environment) {
  (void)RemoveMonthlyRefresh(environment);
  std::error_code ignored;
  std::filesystem::remove(snapshot, ignored);
  std::filesystem::remove(RenewalStampPath(environment), ignored);
  (void)session.SaveMonthlyRefresh(session.profilePath(), false);
}

// Where the renewal reads holidays: the file this session found, as an absolute path, for the
// renewal runs in another folder.
std::filesystem::path HolidayFileFor(const CalendarSession& session) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(session.holidayFile(), error)) {
    return {};
  }
  std::filesystem::path file = std::filesystem::absolute(session.holidayFile(), error);
  return error ? std::filesystem::path() : file;
}

}  // namespace

std::filesystem::path RenewalSnapshotPath(const QProcessEnvironment& environment) {
  const std::filesystem::path config = ConfigHome(LookupIn(environment));
  return config.empty() ? config : config / "lunetta" / "renewal.ini";
}

bool ReadRenewalSnapshotStyle(const std::filesystem::path& file, CalendarSettings& settings) {
  std::error_code error;
  const Profile snapshot = Profile::Read(file, error);
  if (error || !snapshot.value(kSnapshotSection, keys::kFontWeight)) {
    return false;
  }
  for (const SettingKey& key : kSettingKeys) {
    if (key.kept == Kept::Snapshot) {
      key.set(settings, snapshot.getInt(kSnapshotSection, key.name, key.get(settings)));
    }
  }
  return true;
}

ScreenList ReadRenewalSnapshotScreens(const std::filesystem::path& file) {
  std::error_code error;
  const Profile snapshot = Profile::Read(file, error);
  ScreenList screens;
  const int count = snapshot.getInt(kSnapshotSection, kScreens, 0);
  for (int i = 1; !error && i <= std::min<int>(count, kMaxScreens); ++i) {
    const std::string line = snapshot.getString(kSnapshotSection, ScreenKey(i), "");
    if (auto screen = ParseScreenLine(QString::fromStdString(line))) {
      screens.push_back(std::move(*screen));
    }
  }
  return UsableScreens(std::move(screens));
}

Status StoreRenewalSnapshot(const CalendarSession& session, const std::filesystem::path& file,
                            const ScreenList& screens) {
  CalendarSettings kept = session.settings();
  // The renewal runs without a screen: the size the picture takes now is the one it keeps.
  if (SizeKindOf(kept) == SizeKind::Screen && session.screenSize()) {
    kept.screenWidth = session.screenSize()->width;
    kept.screenHeight = session.screenSize()->height;
  }
  Profile snapshot;  // a fresh one: nothing of an earlier snapshot stays
  for (const SettingKey& key : kSettingKeys) {
    if (key.text != nullptr) {
      snapshot.setString(kProfileSection, key.name, kept.*key.text);
    } else if (key.kept != Kept::Snapshot) {
      snapshot.setInt(kProfileSection, key.name, key.get(kept));
    }
  }
  const auto keepPhoto = [&](const std::filesystem::path& photo, std::string_view key) -> Status {
    if (photo.empty()) {
      return {};
    }
    const std::optional<std::string> quoted = QuotedPath(photo);
    if (!quoted) {
      return Failure(Fault::UnstorableName, photo);
    }
    snapshot.setString(kProfileSection, key, *quoted);
    return {};
  };
  if (Status stored = keepPhoto(session.photoPath(), keys::kPhotoPath); !stored) {
    return stored;
  }
  for (int month = 1; month <= 12; ++month) {
    if (Status stored = keepPhoto(session.monthPhotoPath(month), keys::MonthPhoto(month));
        !stored) {
      return stored;
    }
  }
  // The renewal runs in another folder: the calendar files are kept by their whole paths.
  for (CalendarFile& calendar : kept.calendarFiles) {
    std::error_code error;
    if (std::filesystem::path whole = std::filesystem::absolute(calendar.path, error); !error) {
      calendar.path = std::move(whole);
    }
  }
  WriteCalendarFiles(snapshot, kProfileSection, kept.calendarFiles);
  for (const SettingKey& key : kSettingKeys) {
    if (key.kept == Kept::Snapshot) {
      snapshot.setInt(kSnapshotSection, key.name, key.get(kept));
    }
  }
  const ScreenList usable = UsableScreens(screens);
  snapshot.setInt(kSnapshotSection, kScreens, static_cast<std::int32_t>(usable.size()));
  for (std::size_t i = 0; i < usable.size(); ++i) {
    snapshot.setString(kSnapshotSection, ScreenKey(static_cast<int>(i + 1)),
                       ScreenLine(usable[i]).toStdString());
  }
  if (const std::error_code error = snapshot.write(file)) {
    return WritingFailure(file, error);
  }
  return {};
}

Status TurnRenewalOn(CalendarSession& session, const std::filesystem::path& composeProgram,
                     const QProcessEnvironment& environment, bool daily,
                     const ScreenList& screens) {
  const std::filesystem::path snapshot = RenewalSnapshotPath(environment);
  if (snapshot.empty()) {
    return NoFolder("~/.config");
  }
  const RenewalLock lock(snapshot);
  if (!lock.status()) {
    return lock.status();
  }
  const RenewalCommand command{composeProgram, HolidayFileFor(session), snapshot, daily};
  Status changed = StoreRenewalSnapshot(session, snapshot, screens);
  if (changed) {
    changed = InstallMonthlyRefresh(command, environment);
  }
  if (changed) {
    changed = session.SaveMonthlyRefresh(session.profilePath(), true, daily);
  }
  if (!changed) {
    TearDown(session, snapshot, environment);
  }
  return changed;
}

Status TurnRenewalOff(CalendarSession& session, const QProcessEnvironment& environment) {
  const std::filesystem::path snapshot = RenewalSnapshotPath(environment);
  if (snapshot.empty()) {
    return NoFolder("~/.config");
  }
  const RenewalLock lock(snapshot);
  if (!lock.status()) {
    return lock.status();
  }
  if (Status removed = RemoveMonthlyRefresh(environment); !removed) {
    return removed;
  }
  for (const std::filesystem::path& file : {snapshot, RenewalStampPath(environment)}) {
    std::error_code error;
    std::filesystem::remove(file, error);
    if (error) {
      return WritingFailure(file, error);
    }
  }
  return session.SaveMonthlyRefresh(session.profilePath(), false);
}

Status RefreshRenewalSnapshot(const CalendarSession& session,
                              const QProcessEnvironment& environment, const ScreenList& screens,
                              bool* kept) {
  const std::filesystem::path snapshot = RenewalSnapshotPath(environment);
  if (snapshot.empty()) {
    return NoFolder("~/.config");
  }
  const RenewalLock lock(snapshot);
  if (!lock.status()) {
    return lock.status();
  }
  // Another process may have turned it off meanwhile: the units say whether it is on.
  std::error_code error;
  if (!std::filesystem::exists(RenewalFilesIn(environment).service, error)) {
    return {};
  }
  Status stored = StoreRenewalSnapshot(session, snapshot, screens);
  if (kept != nullptr) {
    *kept = stored.ok();
  }
  return stored;
}

}  // namespace lunetta
