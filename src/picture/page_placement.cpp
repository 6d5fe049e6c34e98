#include "picture/page_placement.h"

namespace lunetta {

QRectF PlacePicture(QSizeF picture, const QRectF& area, PagePlacement placement) {
  if (placement == PagePlacement::Stretch || picture.isEmpty() || area.isEmpty()) {
    return area;
  }
  const QSizeF size = picture.scaled(area.size(), Qt::KeepAspectRatio);
  return QRectF(area.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

QPageLayout::Orientation OrientationFor(QSizeF picture) {
  return picture.width() > picture.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
}

}  // namespace lunetta
