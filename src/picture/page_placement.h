#pragma once

#include <QPageLayout>
#include <QRectF>
#include <QSizeF>

namespace lunetta {

/// How a picture goes onto a printed page.
enum class PagePlacement {
  Fit,      // as large as the area allows, centred, in the picture's own shape
  Stretch,  // over the whole area, whatever its shape
};

/// Where a picture of `picture`'s size lands in the printable `area`.
QRectF PlacePicture(QSizeF picture, const QRectF& area, PagePlacement placement);

/// The page orientation that suits a picture: landscape for a wide one.
QPageLayout::Orientation OrientationFor(QSizeF picture);

}  // namespace lunetta
