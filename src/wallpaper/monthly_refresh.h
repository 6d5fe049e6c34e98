#pragma once

#include <QProcessEnvironment>
#include <filesystem>
#include <string>
#include <vector>

#include "picture/failure.h"

namespace lunetta {

/// What the monthly renewal runs: lunetta-compose --set-wallpaper on the renewal's own settings.
struct RenewalCommand {
  std::filesystem::path composeProgram;  // absolute
  std::filesystem::path holidayFile;     // absolute; empty: none named
  std::filesystem::path settingsFile;    // absolute: the renewal's snapshot
  bool daily = false;                    // every day just after midnight, not only on the first

  /// The program and its arguments, byte for byte.
  std::vector<std::string> Arguments() const;
};

/// The files that renew the wallpaper: a systemd user timer and service, the timer's link in
/// timers.target.wants (what `systemctl --user enable` makes), and an XDG autostart entry.
struct RenewalFiles {
  std::filesystem::path timer;
  std::filesystem::path service;
  std::filesystem::path timerLink;
  std::filesystem::path autostart;
};

/// The renewal files under $XDG_CONFIG_HOME (~/.config when that is not an absolute path).
RenewalFiles RenewalFilesIn(const QProcessEnvironment& environment);

/// The service unit: runs the command once, and only while the program is there.
std::string ServiceUnitText(const RenewalCommand& command);
/// The timer unit: the first of each month just after midnight (every day at 00:00:30 when daily),
/// and at the next start or wake when the machine was off or asleep then; only while the program is
/// there.
std::string TimerUnitText(const RenewalCommand& command);
/// The autostart entry: renews at login where no systemd user instance runs the timer; skipped
/// once the program is gone.
std::string AutostartEntryText(const RenewalCommand& command);

/// Writes the renewal files atomically, reads them back to check that each says the command, and
/// enables the timer; where a systemd user instance runs (systemctl on the PATH of `environment`)
/// it is told to load the units and (re)start the timer. ToolNotFound naming the compose program
/// when it is not an executable file; UnstorableName for a name the files cannot hold; a writing
/// failure naming the file otherwise, after which no renewal file is left.
Status InstallMonthlyRefresh(const RenewalCommand& command, const QProcessEnvironment& environment);

/// Stops the timer where a systemd user instance runs, and removes the renewal files; files that
/// are not there are no failure.
Status RemoveMonthlyRefresh(const QProcessEnvironment& environment);

}  // namespace lunetta
