#include "ui/preview_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lunetta {

namespace {

double UsableFactor(double factor) {
  return std::isfinite(factor) && factor > 0.0 ? factor : 1.0;
}

// Truncation toward zero, saturated so that an extreme product cannot overflow the conversion.
int TruncateToInt(double value) {
  constexpr double kMin = std::numeric_limits<int>::min();
  constexpr double kMax = std::numeric_limits<int>::max();
  return static_cast<int>(std::clamp(std::trunc(value), kMin, kMax));
}

}  // namespace

DragPlacement PlaceDraggedBlock(int x, int y, const PreviewBounds& bounds, int blockWidth,
                                int blockHeight, double scaleX, double scaleY) {
  const double fx = UsableFactor(scaleX);
  const double fy = UsableFactor(scaleY);

  DragPlacement placement;
  // 64-bit intermediates: a huge block must not wrap around the bounds.
  long long px = std::max(x, bounds.left);
  long long py = std::max(y, bounds.top);
  placement.frameWidth = TruncateToInt(blockWidth * fx);
  px = std::min<long long>(px, static_cast<long long>(bounds.right) - placement.frameWidth);
  placement.frameHeight = TruncateToInt(blockHeight * fy);
  py = std::min<long long>(py, static_cast<long long>(bounds.bottom) - placement.frameHeight);
  // A block wider or taller than the picture starts at its edge: a negative position would be
  // refused by the settings dialog, and the far edge is out of reach anyway.
  px = std::max<long long>(px, bounds.left);
  py = std::max<long long>(py, bounds.top);

  placement.x = static_cast<int>(
      std::clamp<long long>(px, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
  placement.y = static_cast<int>(
      std::clamp<long long>(py, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
  placement.pictureX = TruncateToInt((1.0 / fx) * static_cast<double>(px - bounds.left));
  placement.pictureY = TruncateToInt((1.0 / fy) * static_cast<double>(py - bounds.top));
  // The picture's far edges, as the preview's size and factors give them.
  if (px == static_cast<long long>(bounds.right) - placement.frameWidth) {
    placement.pictureX = std::max(0, TruncateToInt(std::round((bounds.right - bounds.left) / fx) -
                                                   static_cast<double>(blockWidth)));
  }
  if (py == static_cast<long long>(bounds.bottom) - placement.frameHeight) {
    placement.pictureY = std::max(0, TruncateToInt(std::round((bounds.bottom - bounds.top) / fy) -
                                                   static_cast<double>(blockHeight)));
  }
  return placement;
}

PreviewBounds ShownPicture(const PreviewBounds& area, PictureSize picture) {
  const Rect shown =
      PlacePhoto(picture, {area.right - area.left, area.bottom - area.top}, PhotoFit::Fit);
  return {area.left + shown.left, area.top + shown.top, area.left + shown.right,
          area.top + shown.bottom};
}

bool InPreview(int x, int y, const PreviewBounds& bounds) {
  return x >= bounds.left && x < bounds.right && y >= bounds.top && y < bounds.bottom;
}

DragGrab GrabBlock(int x, int y, const PreviewBounds& bounds, int startX, int startY,
                   int blockWidth, int blockHeight, double scaleX, double scaleY) {
  const double fx = UsableFactor(scaleX);
  const double fy = UsableFactor(scaleY);
  DragGrab grab;
  grab.startX = startX;
  grab.startY = startY;
  grab.frameX = TruncateToInt(bounds.left + startX * fx);
  grab.frameY = TruncateToInt(bounds.top + startY * fy);
  const long long dx = static_cast<long long>(x) - grab.frameX;
  const long long dy = static_cast<long long>(y) - grab.frameY;
  grab.onBlock = dx >= 0 && dy >= 0 && dx < TruncateToInt(blockWidth * fx) &&
                 dy < TruncateToInt(blockHeight * fy);
  if (grab.onBlock) {
    grab.offsetX = static_cast<int>(dx);
    grab.offsetY = static_cast<int>(dy);
  }
  return grab;
}

DragPlacement PlaceGrabbedBlock(int x, int y, const DragGrab& grab, const PreviewBounds& bounds,
                                int blockWidth, int blockHeight, double scaleX, double scaleY) {
  DragPlacement placement = PlaceDraggedBlock(x - grab.offsetX, y - grab.offsetY, bounds,
                                              blockWidth, blockHeight, scaleX, scaleY);
  if (grab.onBlock && placement.x == grab.frameX) {
    placement.pictureX = grab.startX;
  }
  if (grab.onBlock && placement.y == grab.frameY) {
    placement.pictureY = grab.startY;
  }
  return placement;
}

}  // namespace lunetta
