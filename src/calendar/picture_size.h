#pragma once

#include <cstdint>

namespace lunetta {

/// A rectangle in pixels; right and bottom lie just outside it.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const Rect&) const = default;
};

struct PictureSize {
  int width = 0;
  int height = 0;
  bool operator==(const PictureSize&) const = default;
};

/// Each side of a screen or custom picture size lies in this range.
inline constexpr int kMinPictureSide = 320;
inline constexpr int kMaxPictureSide = 7680;

/// How the photograph fills the picture.
enum class PhotoFit : std::int32_t {
  Stretch = 0,  // over the whole picture, whatever its shape
  Fill = 1,     // scaled to cover the picture, centred; the overhang is cut off
  Fit = 2,      // scaled to fit inside the picture, centred, on the desktop colour
};

/// Where the whole of a photograph of `photo` size lands on a picture of `picture` size, in picture
/// pixels (right and bottom exclusive): the whole picture (stretch), a centred rectangle of the
/// photo's shape that covers the picture (fill) or lies inside it (fit). Sides are rounded to the
/// nearest pixel and are at least 1. An empty photo is stretched.
Rect PlacePhoto(PictureSize photo, PictureSize picture, PhotoFit fit);

}  // namespace lunetta
