#pragma once

#include <QString>

namespace lunetta {

/// The desktops whose wallpaper Lunetta sets, each through its own interface.
enum class DesktopKind {
  Gnome,  // GNOME, Ubuntu, Budgie, Unity: org.gnome.desktop.background
  Cinnamon,
  Mate,
  Xfce,
  Plasma,
  Lxqt,
  Sway,      // and the compositors that answer swaymsg
  Hyprland,  // through hyprpaper
  Other,     // an X11 setter where one is installed, else none
};

/// The running desktop: how Lunetta sets its wallpaper, and the name messages give it.
struct Desktop {
  DesktopKind kind = DesktopKind::Other;
  QString name;  // "GNOME", "Budgie", "Xfce", ...; for another desktop its own name, or empty

  bool operator==(const Desktop&) const = default;
};

/// The desktop named by XDG_CURRENT_DESKTOP (a colon-separated list; the first name Lunetta knows
/// wins), or, when that names none it knows, by DESKTOP_SESSION (a session name or the path of
/// one). Names are compared without regard to ASCII letter case.
Desktop DetectDesktop(const QString& currentDesktop, const QString& desktopSession);

}  // namespace lunetta
