#include "wallpaper/screens.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace lunetta {

namespace {

// Ratios are kept in hundredths: enough for every scale a desktop offers (1.25, 1.5, 1.75).
constexpr double kRatioSteps = 100;

bool Usable(const WallpaperScreen& screen) {
  const QSize pixels = screen.PixelSize();
  return !screen.name.contains(u'\n') && !screen.name.contains(u'\r') &&
         std::isfinite(screen.devicePixelRatio) && screen.devicePixelRatio > 0 &&
         pixels.width() >= 1 && pixels.height() >= 1 && pixels.width() <= kMaxScreenSide &&
         pixels.height() <= kMaxScreenSide;
}

}  // namespace

QSize WallpaperScreen::PixelSize() const {
  const double ratio =
      std::isfinite(devicePixelRatio) ? std::clamp(devicePixelRatio, 0.0, 16.0) : 0;
  // Bounded before the conversion, so a screen no one believes cannot overflow it.
  const auto side = [ratio](int logical) {
    return static_cast<int>(std::lround(std::clamp(logical * ratio, 0.0, double(1 << 30))));
  };
  return QSize(side(geometry.width()), side(geometry.height()));
}

QRect WallpaperScreen::PixelRect() const {
  return QRect(geometry.topLeft(), PixelSize());
}

const WallpaperScreen& PrimaryScreen(const ScreenList& screens) {
  const auto primary = std::find_if(screens.begin(), screens.end(),
                                    [](const WallpaperScreen& screen) { return screen.primary; });
  return primary == screens.end() ? screens.front() : *primary;
}

ScreenList LiveScreens() {
  const QString platform = QGuiApplication::platformName();
  if (platform == u"offscreen" || platform == u"minimal") {
    return {};
  }
  ScreenList screens;
  const QScreen* primary = QGuiApplication::primaryScreen();
  for (const QScreen* screen : QGuiApplication::screens()) {
    screens.push_back(
        {screen->name(), screen->geometry(), screen->devicePixelRatio(), screen == primary});
  }
  return UsableScreens(std::move(screens));
}

ScreenList UsableScreens(ScreenList screens) {
  std::erase_if(screens, [](const WallpaperScreen& screen) { return !Usable(screen); });
  if (screens.size() > kMaxScreens) {
    screens.resize(kMaxScreens);
  }
  if (!screens.empty()) {
    const WallpaperScreen* primary = &PrimaryScreen(screens);
    for (WallpaperScreen& screen : screens) {
      screen.primary = &screen == primary;
    }
  }
  return screens;
}

QString ScreenLine(const WallpaperScreen& screen) {
  // The name last: it may hold commas.
  return QStringLiteral("%1,%2,%3,%4,%5,%6,%7")
      .arg(screen.geometry.x())
      .arg(screen.geometry.y())
      .arg(screen.geometry.width())
      .arg(screen.geometry.height())
      .arg(std::lround(screen.devicePixelRatio * kRatioSteps))
      .arg(screen.primary ? 1 : 0)
      .arg(screen.name);
}

std::optional<WallpaperScreen> ParseScreenLine(const QString& line) {
  const QStringList fields = line.split(u',');
  if (fields.size() < 7) {
    return std::nullopt;
  }
  int numbers[6] = {};
  for (int i = 0; i < 6; ++i) {
    bool ok = false;
    numbers[i] = fields[i].toInt(&ok);
    if (!ok) {
      return std::nullopt;
    }
  }
  constexpr int kFar = 1 << 20;  // positions beyond any desktop's
  if (std::abs(numbers[0]) > kFar || std::abs(numbers[1]) > kFar || numbers[4] < 1 ||
      (numbers[5] != 0 && numbers[5] != 1)) {
    return std::nullopt;
  }
  WallpaperScreen screen{QStringList(fields.mid(6)).join(u','),
                         QRect(numbers[0], numbers[1], numbers[2], numbers[3]),
                         numbers[4] / kRatioSteps, numbers[5] == 1};
  if (!Usable(screen)) {
    return std::nullopt;
  }
  return screen;
}

}  // namespace lunetta
