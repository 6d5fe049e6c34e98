#pragma once

#include <QProcessEnvironment>
#include <QSize>
#include <filesystem>

#include "calendar/calendar_settings.h"
#include "picture/failure.h"
#include "wallpaper/desktop.h"
#include "wallpaper/wallpaper.h"

namespace lunetta {

class CalendarSession;

/// The renewal's own settings, photos and picture size: "renewal.ini" in $XDG_CONFIG_HOME/lunetta,
/// in the profile's form. The renewal renders from it alone, so what it sets is what the user saw
/// when turning it on or setting the wallpaper, whatever the profile holds later.
std::filesystem::path RenewalSnapshotPath(const QProcessEnvironment& environment);

/// True when `file` is a renewal snapshot; `settings` then takes the font style it keeps, which a
/// profile does not.
bool ReadRenewalSnapshotStyle(const std::filesystem::path& file, CalendarSettings& settings);

/// Writes what `session` holds (every setting, the picture size, the main photo and the months'
/// own) as the renewal's snapshot, replacing the file whole. UnstorableName for a photo whose name
/// has a line break.
Status StoreRenewalSnapshot(const CalendarSession& session, const std::filesystem::path& file);

/// Turns the monthly renewal on: the session's snapshot, the units and the autostart entry that run
/// `composeProgram` on it, and the profile's flag, all or none. Another process changing the
/// renewal at the same time waits for this one.
Status TurnRenewalOn(CalendarSession& session, const std::filesystem::path& composeProgram,
                     const QProcessEnvironment& environment);

/// Turns it off: the files go, the flag follows.
Status TurnRenewalOff(CalendarSession& session, const QProcessEnvironment& environment);

/// Replaces the snapshot by what `session` holds now, while the renewal is on.
Status RefreshRenewalSnapshot(const CalendarSession& session,
                              const QProcessEnvironment& environment);

struct WallpaperOutcome {
  Desktop desktop;
  std::filesystem::path picture;  // where the picture was written; empty when it was not
  Status status;
};

/// The session's composed picture as the JPEG of its year and month in WallpaperFolder (mode 0600:
/// only the desktop, running as the user, reads it), made the wallpaper of the desktop the
/// environment names; then the folder's other wallpaper files but the previous month's go. On
/// failure nothing is removed.
WallpaperOutcome SetSessionWallpaper(const CalendarSession& session,
                                     const WallpaperContext& context);

}  // namespace lunetta
