#pragma once

#include <QProcessEnvironment>
#include <QSize>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "picture/failure.h"
#include "platform/xdg_folders.h"
#include "wallpaper/desktop.h"
#include "wallpaper/portal_wallpaper.h"
#include "wallpaper/screens.h"

namespace lunetta {

/// A wallpaper is looked at all day: well above the saved picture's default quality.
inline constexpr int kWallpaperJpegQuality = 92;

/// What setting the wallpaper looks up: the environment that names the desktop, the folders and
/// the PATH, handed to the desktop's programs; and the screen the picture is for.
struct WallpaperContext {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  std::optional<QSize> screenSize;  // in device pixels; unknown: a placement that never crops
  /// For all of the desktop's programs together; the window waits for them.
  std::chrono::milliseconds timeLimit{15000};
  /// The screens Qt reports now; empty without a display, where the compositor's own list or
  /// `keptScreens` stand in.
  ScreenList screens;
  /// The screens the renewal kept from when it was set up.
  ScreenList keptScreens;
  /// In a sandbox only the desktop portal sets the wallpaper.
  bool sandboxed = RunsSandboxed();
};

/// `environment` as the XDG folder look-ups read it.
EnvironmentLookup LookupIn(const QProcessEnvironment& environment);

/// The desktop `environment` names (XDG_CURRENT_DESKTOP, DESKTOP_SESSION).
Desktop DesktopOf(const QProcessEnvironment& environment);

/// $XDG_DATA_HOME/lunetta, or ~/.local/share/lunetta; empty without a home.
std::filesystem::path WallpaperFolder(const QProcessEnvironment& environment);

/// "wallpaper-YYYY-MM.jpg".
std::filesystem::path WallpaperFileName(int year, int month);
/// "wallpaper-YYYY-MM[-DD][-PART].jpg": DD for a picture of one day (0: none), PART "s1", "s2", ...
/// for a screen's own picture and "spanned" for one over every screen (empty: none). A new day's
/// picture has a new name: desktops do not read a file again whose name they already show.
std::filesystem::path WallpaperFileName(int year, int month, int day, const std::string& part);

/// Makes `picture` (an absolute path to a picture of `pictureSize`) the wallpaper of `desktop`,
/// placed so that all of it shows on the context's screen.
Status SetDesktopWallpaper(const Desktop& desktop, const std::filesystem::path& picture,
                           QSize pictureSize, const WallpaperContext& context);

/// Removes the wallpaper files in `folder` of months other than `year`-`month` and the one before
/// it: the desktop may still show the previous one while it fades to the new.
void RemoveOldWallpapers(const std::filesystem::path& folder, int year, int month);
/// Removes the wallpaper files in `folder` but those of the picture `current` belongs to (every
/// screen's) and those of the latest picture dated before it, which the desktop may still show.
void RemoveOldWallpapers(const std::filesystem::path& folder, const std::filesystem::path& current);

}  // namespace lunetta
