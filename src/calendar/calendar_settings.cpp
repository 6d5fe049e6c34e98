#include "calendar/calendar_settings.h"

#include <algorithm>
#include <ctime>

namespace lunetta {

LocalDate Today() {
  const std::time_t now = std::time(nullptr);
  if (now == static_cast<std::time_t>(-1)) {
    return {};
  }
  std::tm local{};
#if defined(_WIN32)
  if (localtime_s(&local, &now) != 0) {
    return {};
  }
#else
  if (localtime_r(&now, &local) == nullptr) {
    return {};
  }
#endif
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

PictureSize PictureDimensions(std::int32_t pictSize) {
  switch (pictSize) {
    case 0:
      return {800, 600};
    case 1:
      return {1024, 768};
    default:
      return {1280, 1024};
  }
}

SizeKind SizeKindOf(const CalendarSettings& settings) {
  switch (settings.sizeKind) {
    case static_cast<std::int32_t>(SizeKind::Screen):
      return SizeKind::Screen;
    case static_cast<std::int32_t>(SizeKind::Custom):
      return SizeKind::Custom;
    default:
      return SizeKind::Classic;
  }
}

PhotoFit PhotoFitOf(const CalendarSettings& settings) {
  switch (settings.photoFit) {
    case static_cast<std::int32_t>(PhotoFit::Fill):
      return PhotoFit::Fill;
    case static_cast<std::int32_t>(PhotoFit::Fit):
      return PhotoFit::Fit;
    default:
      return PhotoFit::Stretch;
  }
}

namespace {

PictureSize Bounded(PictureSize size) {
  return {std::clamp(size.width, kMinPictureSide, kMaxPictureSide),
          std::clamp(size.height, kMinPictureSide, kMaxPictureSide)};
}

// a · b / c rounded to the nearest integer, at least 1; all positive.
int ScaledSide(std::int64_t a, std::int64_t b, std::int64_t c) {
  return static_cast<int>(std::max<std::int64_t>(1, (2 * a * b + c) / (2 * c)));
}

}  // namespace

PictureSize PictureSizeOf(const CalendarSettings& settings, std::optional<PictureSize> screen) {
  switch (SizeKindOf(settings)) {
    case SizeKind::Screen:
      if (screen && screen->width > 0 && screen->height > 0) {
        return Bounded(*screen);
      }
      // A run without a screen (a timer renewing the wallpaper) makes what the window made.
      if (settings.screenWidth > 0 && settings.screenHeight > 0) {
        return Bounded({settings.screenWidth, settings.screenHeight});
      }
      break;
    case SizeKind::Custom:
      return Bounded({settings.customWidth, settings.customHeight});
    case SizeKind::Classic:
      break;
  }
  return PictureDimensions(settings.pictSize);
}

PictureSize BlockPositionLimits(const CalendarSettings& settings,
                                std::optional<PictureSize> screen) {
  if (SizeKindOf(settings) == SizeKind::Classic) {
    return {kMaxBlockPosition, kMaxBlockPosition};
  }
  const PictureSize size = PictureSizeOf(settings, screen);
  return {std::max(kMaxBlockPosition, size.width), std::max(kMaxBlockPosition, size.height)};
}

Rect PlacePhoto(PictureSize photo, PictureSize picture, PhotoFit fit) {
  const int width = picture.width;
  const int height = picture.height;
  if (fit == PhotoFit::Stretch || photo.width <= 0 || photo.height <= 0) {
    return {0, 0, width, height};
  }
  // Wider than the picture: a fill matches the heights, a fit the widths.
  const bool wider = std::int64_t{photo.width} * height > std::int64_t{photo.height} * width;
  const bool matchHeights = wider == (fit == PhotoFit::Fill);
  const int placedWidth = matchHeights ? ScaledSide(photo.width, height, photo.height) : width;
  const int placedHeight = matchHeights ? height : ScaledSide(photo.height, width, photo.width);
  const int left = (width - placedWidth) / 2;
  const int top = (height - placedHeight) / 2;
  return {left, top, left + placedWidth, top + placedHeight};
}

}  // namespace lunetta
