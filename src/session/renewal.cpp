#include "session/renewal.h"

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
#include "settings/profile.h"
#include "settings/settings_store.h"
#include "wallpaper/monthly_refresh.h"

namespace lunetta {

namespace {

// Beside the profile's own section: what a profile does not keep, and the mark of a snapshot.
constexpr std::string_view kSnapshotSection = "Renewal";

// Long enough for two systemctl calls of the process that holds the lock.
constexpr std::chrono::seconds kLockWait{30};

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

Status StoreRenewalSnapshot(const CalendarSession& session, const std::filesystem::path& file) {
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
  for (const SettingKey& key : kSettingKeys) {
    if (key.kept == Kept::Snapshot) {
      snapshot.setInt(kSnapshotSection, key.name, key.get(kept));
    }
  }
  if (const std::error_code error = snapshot.write(file)) {
    return WritingFailure(file, error);
  }
  return {};
}

Status TurnRenewalOn(CalendarSession& session, const std::filesystem::path& composeProgram,
                     const QProcessEnvironment& environment) {
  const std::filesystem::path snapshot = RenewalSnapshotPath(environment);
  if (snapshot.empty()) {
    return NoFolder("~/.config");
  }
  const RenewalLock lock(snapshot);
  if (!lock.status()) {
    return lock.status();
  }
  const RenewalCommand command{composeProgram, HolidayFileFor(session), snapshot};
  Status changed = StoreRenewalSnapshot(session, snapshot);
  if (changed) {
    changed = InstallMonthlyRefresh(command, environment);
  }
  if (changed) {
    changed = session.SaveMonthlyRefresh(session.profilePath(), true);
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
  std::error_code error;
  std::filesystem::remove(snapshot, error);
  if (error) {
    return WritingFailure(snapshot, error);
  }
  return session.SaveMonthlyRefresh(session.profilePath(), false);
}

Status RefreshRenewalSnapshot(const CalendarSession& session,
                              const QProcessEnvironment& environment) {
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
  return StoreRenewalSnapshot(session, snapshot);
}

WallpaperOutcome SetSessionWallpaper(const CalendarSession& session,
                                     const WallpaperContext& context) {
  WallpaperOutcome outcome;
  outcome.desktop = DesktopOf(context.environment);
  // Absolute: desktops keep the name, and a file: URI has no relative form.
  std::filesystem::path folder = WallpaperFolder(context.environment);
  if (folder.empty()) {
    outcome.status = NoFolder("~/.local/share/lunetta");
    return outcome;
  }
  std::error_code error;
  folder = std::filesystem::absolute(folder, error);
  if (!error) {
    std::filesystem::create_directories(folder, error);
  }
  if (error) {
    outcome.status = WritingFailure(folder, error);
    return outcome;
  }
  const std::filesystem::path picture = folder / WallpaperFileName(session.year(), session.month());
  constexpr auto kOwnerOnly =
      std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
  if (Status saved = Picture(session.picture()).Save(picture, kWallpaperJpegQuality, kOwnerOnly);
      !saved) {
    Failure failure = saved.failure();
    failure.file = picture;
    outcome.status = failure;
    return outcome;
  }
  outcome.picture = picture;
  outcome.status = SetDesktopWallpaper(outcome.desktop, picture, session.picture().size(), context);
  if (outcome.status) {
    RemoveOldWallpapers(folder, session.year(), session.month());
  }
  return outcome;
}

}  // namespace lunetta
