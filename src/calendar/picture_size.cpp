#include "calendar/picture_size.h"

#include <algorithm>

namespace lunetta {

namespace {

// a · b / c rounded to the nearest integer, at least 1; all positive.
int ScaledSide(std::int64_t a, std::int64_t b, std::int64_t c) {
  return static_cast<int>(std::max<std::int64_t>(1, (2 * a * b + c) / (2 * c)));
}

}  // namespace

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
