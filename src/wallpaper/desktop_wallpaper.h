#pragma once

#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QSize>
#include <filesystem>
#include <optional>

#include "picture/failure.h"
#include "wallpaper/desktop.h"

namespace lunetta {

/// How the desktop fits the picture to the screen. Both keep the picture's shape.
enum class Placement {
  Zoom,    // fills the screen; would crop a picture of another shape
  Scaled,  // the whole picture, with bars where the shapes differ
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

}  // namespace lunetta
