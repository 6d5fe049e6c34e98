#pragma once

#include <QProcessEnvironment>
#include <filesystem>
#include <string>
#include <vector>

#include "picture/failure.h"

namespace lunetta {

/// What the monthly renewal runs: lunetta-compose --set-wallpaper, with what it needs to find.
struct RenewalCommand {
  std::filesystem::path composeProgram;  // absolute
  std::filesystem::path holidayFile;     // absolute; empty: none named
  std::filesystem::path photo;           // absolute; empty: the profile's remembered photograph
  std::filesystem::path settingsFile;    // absolute; empty: Lunetta's own profile

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

/// The service unit: runs the command once.
std::string ServiceUnitText(const RenewalCommand& command);
/// The timer unit: the first of each month just after midnight, and at the next start when the
/// machine was off then.
std::string TimerUnitText();
/// The autostart entry: renews at login where no systemd user instance runs the timer.
std::string AutostartEntryText(const RenewalCommand& command);

/// Writes the renewal files atomically and enables the timer; where a systemd user instance runs
/// (systemctl on the PATH of `environment`) it is told to load and start the timer. ToolNotFound
/// naming the compose program when it is not an executable file; a writing failure naming the file
/// otherwise.
Status InstallMonthlyRefresh(const RenewalCommand& command, const QProcessEnvironment& environment);

/// Stops the timer where a systemd user instance runs, and removes the renewal files; files that
/// are not there are no failure.
Status RemoveMonthlyRefresh(const QProcessEnvironment& environment);

}  // namespace lunetta
