#include "wallpaper/desktop.h"

#include <QStringList>

namespace lunetta {

namespace {

struct KnownName {
  const char* name;  // as the variable spells it; "prefix*" for a session name that starts so
  DesktopKind kind;
  const char* shown;
};

// XDG_CURRENT_DESKTOP names, as the desktops register them.
constexpr KnownName kCurrentDesktops[] = {
    {"GNOME", DesktopKind::Gnome, "GNOME"},
    {"GNOME-Classic", DesktopKind::Gnome, "GNOME"},
    {"GNOME-Flashback", DesktopKind::Gnome, "GNOME"},
    {"ubuntu", DesktopKind::Gnome, "Ubuntu"},
    {"Budgie", DesktopKind::Gnome, "Budgie"},
    {"Unity", DesktopKind::Gnome, "Unity"},
    {"X-Cinnamon", DesktopKind::Cinnamon, "Cinnamon"},
    {"Cinnamon", DesktopKind::Cinnamon, "Cinnamon"},
    {"MATE", DesktopKind::Mate, "MATE"},
    {"XFCE", DesktopKind::Xfce, "Xfce"},
    {"KDE", DesktopKind::Plasma, "KDE Plasma"},
    {"LXQt", DesktopKind::Lxqt, "LXQt"},
    {"sway", DesktopKind::Sway, "sway"},
    {"Hyprland", DesktopKind::Hyprland, "Hyprland"},
};

// DESKTOP_SESSION names vary by distribution ("plasmawayland", "gnome-xorg", "cinnamon2d"), so a
// known start is enough.
constexpr KnownName kSessions[] = {
    {"gnome", DesktopKind::Gnome, "GNOME"},
    {"ubuntu", DesktopKind::Gnome, "Ubuntu"},
    {"budgie", DesktopKind::Gnome, "Budgie"},
    {"unity", DesktopKind::Gnome, "Unity"},
    {"cinnamon", DesktopKind::Cinnamon, "Cinnamon"},
    {"mate", DesktopKind::Mate, "MATE"},
    {"xfce", DesktopKind::Xfce, "Xfce"},
    {"plasma", DesktopKind::Plasma, "KDE Plasma"},
    {"kde", DesktopKind::Plasma, "KDE Plasma"},
    {"lxqt", DesktopKind::Lxqt, "LXQt"},
    {"sway", DesktopKind::Sway, "sway"},
    {"hyprland", DesktopKind::Hyprland, "Hyprland"},
};

Desktop Known(const KnownName& known) {
  return {known.kind, QString::fromLatin1(known.shown)};
}

}  // namespace

Desktop DetectDesktop(const QString& currentDesktop, const QString& desktopSession) {
  const QStringList names = currentDesktop.split(u':', Qt::SkipEmptyParts);
  for (const QString& name : names) {
    for (const KnownName& known : kCurrentDesktops) {
      if (name.compare(QLatin1String(known.name), Qt::CaseInsensitive) == 0) {
        return Known(known);
      }
    }
  }
  const QString session = desktopSession.section(u'/', -1);
  for (const KnownName& known : kSessions) {
    if (!session.isEmpty() && session.startsWith(QLatin1String(known.name), Qt::CaseInsensitive)) {
      return Known(known);
    }
  }
  return {DesktopKind::Other, names.isEmpty() ? session : names.first()};
}

}  // namespace lunetta
