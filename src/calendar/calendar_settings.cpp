#include "calendar/calendar_settings.h"

#include <algorithm>
#include <ctime>
#include <initializer_list>

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

namespace {

// `value` where it is one of `known`, else `fallback`.
template <typename Enum>
Enum Known(Enum value, std::initializer_list<Enum> known, Enum fallback) {
  return std::find(known.begin(), known.end(), value) != known.end() ? value : fallback;
}

}  // namespace

SizeKind SizeKindOf(const CalendarSettings& settings) {
  return Known(settings.sizeKind, {SizeKind::Screen, SizeKind::Custom}, SizeKind::Classic);
}

PhotoFit PhotoFitOf(const CalendarSettings& settings) {
  return Known(settings.photoFit, {PhotoFit::Fill, PhotoFit::Fit}, PhotoFit::Stretch);
}

WeekStart WeekStartOf(const CalendarSettings& settings) {
  return Known(settings.weekStart, {WeekStart::Monday}, WeekStart::Sunday);
}

namespace {

PictureSize Bounded(PictureSize size) {
  return {std::clamp(size.width, kMinPictureSide, kMaxPictureSide),
          std::clamp(size.height, kMinPictureSide, kMaxPictureSide)};
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

}  // namespace lunetta
