#pragma once

#include <QString>

namespace lunetta {

/// Times the renewal's whole run as its timer starts it (lunetta-compose --set-wallpaper on a
/// snapshot with today marked: render, write, set on GNOME through gsettings' keyfile) against a
/// plain lunetta-compose of the same picture from `photo`, both fresh processes in turns, and the
/// run that finds its picture set already. Prints the figures; false when the target is missed or
/// the run cannot be measured.
bool RunRenewalBench(const QString& photo, const QString& folder);

}  // namespace lunetta
