#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

namespace lunetta {

/// One connected screen, as the wallpaper sees it.
struct WallpaperScreen {
  QString name;    // the output's name ("HDMI-1", "eDP-1"), as desktops name their monitors
  QRect geometry;  // in the desktop's coordinates, as Qt (or the compositor) reports them
  double devicePixelRatio = 1;
  bool primary = false;

  /// The screen's size in device pixels: the geometry's size times the ratio, rounded.
  QSize PixelSize() const;
  /// The screen in device pixels: Qt keeps a screen's position in device pixels and divides only
  /// its size, so the position stays and the size is PixelSize.
  QRect PixelRect() const;

  bool operator==(const WallpaperScreen&) const = default;
};

using ScreenList = std::vector<WallpaperScreen>;

/// Beyond these a list or a screen is not believed: the pictures would not fit the decode cap.
inline constexpr std::size_t kMaxScreens = 16;
inline constexpr int kMaxScreenSide = 16384;

/// The primary screen of a non-empty list: the one marked so, else the first.
const WallpaperScreen& PrimaryScreen(const ScreenList& screens);

/// The screens Qt knows; none under a platform without a display (offscreen, minimal).
ScreenList LiveScreens();

/// The screens of `screens` a picture can be made for (each side 1..kMaxScreenSide, a name without
/// line breaks), at most kMaxScreens, with exactly one primary.
ScreenList UsableScreens(ScreenList screens);

/// One screen as a line of a settings file, and back; nothing for a line that is not one.
QString ScreenLine(const WallpaperScreen& screen);
std::optional<WallpaperScreen> ParseScreenLine(const QString& line);

}  // namespace lunetta
