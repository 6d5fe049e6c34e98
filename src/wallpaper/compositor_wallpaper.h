#pragma once

#include <QDeadlineTimer>
#include <QProcessEnvironment>

#include "picture/failure.h"
#include "wallpaper/desktop.h"
#include "wallpaper/desktop_wallpaper.h"
#include "wallpaper/screens.h"

// The Wayland compositors that keep no wallpaper setting of their own: sway (and what answers
// swaymsg) hands each output's picture to swaybg, Hyprland to hyprpaper. Both report their outputs,
// so a renewal without a display still knows them.

namespace lunetta {

/// The outputs the compositor of `desktop` reports, in device pixels; none for another desktop, or
/// when it does not answer. The primary is the one at the layout's origin, else the first.
ScreenList CompositorScreens(const Desktop& desktop, const QProcessEnvironment& environment,
                             QDeadlineTimer deadline);

/// swaymsg output NAME bg FILE fill for each screen's picture; without them, the one picture on
/// every output ("fill" when zoomed, else "fit").
Status SetSwayWallpaper(const WallpaperPictures& pictures, Placement placement,
                        const QProcessEnvironment& environment, QDeadlineTimer deadline);

/// hyprctl hyprpaper preload and wallpaper "NAME,FILE" for each screen's picture (or ",FILE" for
/// every monitor). DesktopNotSupported when hyprpaper does not run.
Status SetHyprlandWallpaper(const WallpaperPictures& pictures,
                            const QProcessEnvironment& environment, QDeadlineTimer deadline);

}  // namespace lunetta
