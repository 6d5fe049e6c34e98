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

int ClampToInt(long long value) {
  return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

// One axis of the drag: the pointer's coordinate, the bounds' near edge and size, the block's
// side in picture pixels and the preview pixels per picture pixel. Returns the frame's place and
// side and the block's place on the picture.
struct Axis {
  int frame = 0;
  int frameSide = 0;
  int picture = 0;
};

Axis PlaceAlong(int pointer, int near, int extent, int block, double factor) {
  Axis axis;
  // 64-bit intermediates: a huge block must not wrap around the bounds.
  const long long far = static_cast<long long>(near) + extent;
  axis.frameSide = TruncateToInt(block * factor);
  long long at = std::min<long long>(std::max(pointer, near), far - axis.frameSide);
  // A block wider or taller than the picture starts at its edge: a negative position would be
  // refused by the settings dialog, and the far edge is out of reach anyway.
  at = std::max<long long>(at, near);
  axis.frame = ClampToInt(at);
  axis.picture = TruncateToInt((1.0 / factor) * static_cast<double>(at - near));
  // The picture's far edge, as the preview's size and factor give it.
  if (at == far - axis.frameSide) {
    axis.picture =
        std::max(0, TruncateToInt(std::round(extent / factor) - static_cast<double>(block)));
  }
  return axis;
}

}  // namespace

DragPlacement PlaceDraggedBlock(QPoint pointer, const QRect& bounds, QSize block, double scaleX,
                                double scaleY) {
  const Axis x =
      PlaceAlong(pointer.x(), bounds.x(), bounds.width(), block.width(), UsableFactor(scaleX));
  const Axis y =
      PlaceAlong(pointer.y(), bounds.y(), bounds.height(), block.height(), UsableFactor(scaleY));
  return {QPoint(x.frame, y.frame), QSize(x.frameSide, y.frameSide), QPoint(x.picture, y.picture)};
}

QRect ShownPicture(const QRect& area, PictureSize picture) {
  const Rect shown = PlacePhoto(picture, {area.width(), area.height()}, PhotoFit::Fit);
  return QRect(area.x() + shown.left, area.y() + shown.top, shown.right - shown.left,
               shown.bottom - shown.top);
}

DragGrab GrabBlock(QPoint pointer, const QRect& bounds, QPoint start, QSize block, double scaleX,
                   double scaleY) {
  const double fx = UsableFactor(scaleX);
  const double fy = UsableFactor(scaleY);
  DragGrab grab;
  grab.start = start;
  grab.frame = QPoint(TruncateToInt(bounds.x() + start.x() * fx),
                      TruncateToInt(bounds.y() + start.y() * fy));
  const long long dx = static_cast<long long>(pointer.x()) - grab.frame.x();
  const long long dy = static_cast<long long>(pointer.y()) - grab.frame.y();
  grab.onBlock = dx >= 0 && dy >= 0 && dx < TruncateToInt(block.width() * fx) &&
                 dy < TruncateToInt(block.height() * fy);
  if (grab.onBlock) {
    grab.offset = QPoint(static_cast<int>(dx), static_cast<int>(dy));
  }
  return grab;
}

DragPlacement PlaceGrabbedBlock(QPoint pointer, const DragGrab& grab, const QRect& bounds,
                                QSize block, double scaleX, double scaleY) {
  DragPlacement placement = PlaceDraggedBlock(pointer - grab.offset, bounds, block, scaleX, scaleY);
  if (grab.onBlock && placement.frame.x() == grab.frame.x()) {
    placement.picture.setX(grab.start.x());
  }
  if (grab.onBlock && placement.frame.y() == grab.frame.y()) {
    placement.picture.setY(grab.start.y());
  }
  return placement;
}

}  // namespace lunetta
