#pragma once

#include <QProcessEnvironment>
#include <QSize>
#include <filesystem>

#include "calendar/calendar_settings.h"
#include "picture/failure.h"
#include "wallpaper/screens.h"
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

/// The screens a renewal snapshot keeps for runs without a display; none in another file.
ScreenList ReadRenewalSnapshotScreens(const std::filesystem::path& file);

/// Writes what `session` holds (every setting, the picture size, the main photo and the months'
/// own) and `screens` as the renewal's snapshot, replacing the file whole. UnstorableName for a
/// photo whose name has a line break.
Status StoreRenewalSnapshot(const CalendarSession& session, const std::filesystem::path& file,
                            const ScreenList& screens = {});

/// Turns the renewal on, monthly or `daily`: the session's snapshot (with `screens`), the units and
/// the autostart entry that run `composeProgram` on it, and the profile's flags, all or none.
/// Another process changing the renewal at the same time waits for this one.
Status TurnRenewalOn(CalendarSession& session, const std::filesystem::path& composeProgram,
                     const QProcessEnvironment& environment, bool daily = false,
                     const ScreenList& screens = {});

/// Turns it off: the files go, the flag follows.
Status TurnRenewalOff(CalendarSession& session, const QProcessEnvironment& environment);

/// Replaces the snapshot by what `session` holds now (and `screens`), while the renewal is on.
/// True in `kept` when it did.
Status RefreshRenewalSnapshot(const CalendarSession& session,
                              const QProcessEnvironment& environment,
                              const ScreenList& screens = {}, bool* kept = nullptr);

}  // namespace lunetta
