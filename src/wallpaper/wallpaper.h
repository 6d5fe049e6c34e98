#pragma once

#include <QProcessEnvironment>
#include <QSize>
#include <chrono>
#include <filesystem>
#include <optional>

#include "picture/failure.h"
#include "wallpaper/desktop.h"

namespace lunetta {

class CalendarSession;

/// A wallpaper is looked at all day: well above the saved picture's default quality.
inline constexpr int kWallpaperJpegQuality = 92;

/// What setting the wallpaper looks up: the environment that names the desktop, the folders and
/// the PATH, handed to the desktop's programs; and the screen the picture is for.
struct WallpaperContext {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  std::optional<QSize> screenSize;  // in device pixels; unknown: a placement that never crops
  /// For all of the desktop's programs together; the window waits for them.
  std::chrono::milliseconds timeLimit{15000};
};

/// $XDG_DATA_HOME/lunetta, or ~/.local/share/lunetta when that is not an absolute path.
std::filesystem::path WallpaperFolder(const QProcessEnvironment& environment);

/// "wallpaper-YYYY-MM.jpg".
std::filesystem::path WallpaperFileName(int year, int month);

struct WallpaperOutcome {
  Desktop desktop;
  std::filesystem::path picture;  // where the picture was written; empty when it was not
  Status status;
};

/// Writes the session's composed picture atomically as the JPEG of its year and month into
/// WallpaperFolder, makes it the wallpaper of the desktop the environment names, and then removes
/// the folder's other wallpaper files but the previous month's. On failure nothing is removed.
WallpaperOutcome SetWallpaper(const CalendarSession& session, const WallpaperContext& context);

}  // namespace lunetta
