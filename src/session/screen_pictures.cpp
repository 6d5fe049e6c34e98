#include "session/screen_pictures.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "picture/load_picture_file.h"
#include "render/composition.h"
#include "render/drawing.h"

namespace lunetta {

SpannedLayout SpanScreens(const ScreenList& screens) {
  SpannedLayout layout;
  QRect box;
  for (const WallpaperScreen& screen : screens) {
    box |= screen.PixelRect();
  }
  for (const WallpaperScreen& screen : screens) {
    layout.parts.push_back(screen.PixelRect().translated(-box.topLeft()));
  }
  layout.size = box.size();
  return layout;
}

bool SpanFits(const SpannedLayout& layout) {
  return !layout.size.isEmpty() && layout.size.width() <= 4 * kMaxScreenSide &&
         layout.size.height() <= 4 * kMaxScreenSide &&
         qint64{layout.size.width()} * layout.size.height() * 3 <= kMaxDecodedBytes;
}

CalendarSettings ScreenSettings(CalendarSettings settings, PictureSize from, PictureSize size,
                                double textScale) {
  const auto scaled = [](std::int32_t value, int to, int of) {
    return of > 0 ? static_cast<std::int32_t>(qint64{value} * to / of) : value;
  };
  settings.startX = scaled(settings.startX, size.width, from.width);
  settings.startY = scaled(settings.startY, size.height, from.height);
  if (textScale > 0 && std::isfinite(textScale) && settings.textSize != 0) {
    const double text = std::clamp(settings.textSize * textScale, -1e6, 1e6);
    settings.textSize = static_cast<std::int32_t>(std::lround(text));
  }
  return settings;
}

namespace {

Result<QImage> ComposeScreen(const ScreenComposition& composition, const WallpaperScreen& screen,
                             const WallpaperScreen& primary) {
  const QSize pixels = screen.PixelSize();
  const PictureSize size{pixels.width(), pixels.height()};
  QImage background = PictureBackground(composition.photo, size, PhotoFitOf(composition.settings));
  if (&screen != &primary && composition.settings.everyScreen == 0) {
    return background;
  }
  const CalendarSettings settings =
      ScreenSettings(composition.settings, composition.settingsSize, size,
                     screen.devicePixelRatio / primary.devicePixelRatio);
  Result<ComposedPicture> composed =
      ComposeOver(std::move(background), settings, composition.holidays, composition.marks);
  if (!composed) {
    return composed.failure();
  }
  return std::move(composed).value().picture;
}

}  // namespace

Result<std::vector<QImage>> ComposeScreenPictures(const ScreenComposition& composition,
                                                  const ScreenList& screens) {
  std::vector<QImage> pictures;
  for (const WallpaperScreen& screen : screens) {
    Result<QImage> picture = ComposeScreen(composition, screen, PrimaryScreen(screens));
    if (!picture) {
      return picture.failure();
    }
    pictures.push_back(std::move(picture).value());
  }
  return pictures;
}

Result<QImage> ComposeSpannedPicture(const ScreenComposition& composition,
                                     const ScreenList& screens) {
  const SpannedLayout layout = SpanScreens(screens);
  QImage spanned(layout.size, QImage::Format_RGB888);
  if (spanned.isNull()) {
    return Failure(Fault::TooLarge);
  }
  spanned.fill(ColorFromRef(DesktopBackgroundColor()));
  QPainter painter(&spanned);
  for (std::size_t i = 0; i < screens.size(); ++i) {
    const Result<QImage> part = ComposeScreen(composition, screens[i], PrimaryScreen(screens));
    if (!part) {
      return part.failure();
    }
    painter.drawImage(layout.parts[i].topLeft(), part.value());
  }
  painter.end();
  return spanned;
}

}  // namespace lunetta
