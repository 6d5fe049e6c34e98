#pragma once

#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QSize>
#include <filesystem>
#include <optional>
#include <vector>

#include "picture/failure.h"
#include "wallpaper/desktop.h"
#include "wallpaper/screens.h"

namespace lunetta {

/// How the desktop fits the picture to the screen. Both keep the picture's shape.
enum class Placement {
  Zoom,     // fills the screen; would crop a picture of another shape
  Scaled,   // the whole picture, with bars where the shapes differ
  Spanned,  // one picture over every screen: the screens' bounding box, each part its own screen's
};

/// How a desktop takes a picture for each of several screens.
enum class ScreenArrangement {
  One,        // one picture, shown on every screen
  PerScreen,  // a picture of its own for each screen
  Spanned,    // one picture over all of them
};

/// What `desktop` can show on `screens` screens: its own picture for each where it keeps a
/// wallpaper per monitor (Xfce, Plasma, sway, Hyprland, xwallpaper), one spanned picture where it
/// keeps one (GNOME, Cinnamon, MATE, feh), else one picture. One screen, or a sandbox, which has
/// the portal alone: one picture.
ScreenArrangement ArrangementFor(const Desktop& desktop, std::size_t screens,
                                 const QProcessEnvironment& environment, bool sandboxed);

/// One screen's own picture.
struct ScreenPicture {
  WallpaperScreen screen;
  std::filesystem::path file;  // absolute
};

/// The pictures to set.
struct WallpaperPictures {
  /// The one picture (spanned, under Placement::Spanned); with pictures per screen, the primary
  /// screen's, for a desktop that takes one after all.
  std::filesystem::path picture;
  std::vector<ScreenPicture> screens;  // empty: `picture` on every screen
};

/// Zoom when the picture has the screen's shape (within 1 %), else Scaled; Scaled when the screen
/// is unknown. Either way the whole calendar shows, undistorted.
Placement ChoosePlacement(QSize picture, std::optional<QSize> screen);

/// Makes `picture` (an absolute path) the wallpaper of `desktop` through the desktop's own
/// programs, found on the PATH of `environment` and run in it until `deadline`:
///   GNOME family  gsettings, org.gnome.desktop.background picture-uri (and picture-uri-dark)
///   Cinnamon      gsettings, org.cinnamon.desktop.background picture-uri
///   MATE          gsettings, org.mate.background picture-filename
///   Xfce          xfconf-query, every monitor's and workspace's last-image
///   KDE Plasma    plasma-apply-wallpaperimage
///   LXQt          pcmanfm-qt --set-wallpaper
///   other         on X11 feh, else xwallpaper; otherwise DesktopNotSupported naming `picture`
/// with the placement each of them calls `placement`.
Status ApplyWallpaper(const Desktop& desktop, const std::filesystem::path& picture,
                      Placement placement, const QProcessEnvironment& environment,
                      QDeadlineTimer deadline);

/// ApplyWallpaper for `pictures`, each screen's to its own monitor where the desktop keeps one per
/// monitor:
///   Xfce          each monitor's last-image with its own screen's picture (by name)
///   KDE Plasma    a script of each desktop's image through qdbus (by the screen's position), else
///                 plasma-apply-wallpaperimage with the primary's
///   sway          swaymsg output NAME bg FILE fill, for each output
///   Hyprland      hyprctl hyprpaper preload and wallpaper, for each monitor, while hyprpaper runs
///   other X11     xwallpaper --output NAME for each; feh with a spanned picture
/// Sandboxed, or on a desktop it cannot otherwise set, the XDG wallpaper portal takes the one
/// picture; where no portal answers either, DesktopNotSupported.
Status ApplyWallpapers(const Desktop& desktop, const WallpaperPictures& pictures,
                       Placement placement, const QProcessEnvironment& environment,
                       QDeadlineTimer deadline, bool sandboxed = false);

}  // namespace lunetta
