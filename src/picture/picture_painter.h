#pragma once

#include <QImage>

#include "picture/page_placement.h"

class QPainter;

namespace lunetta {

/// The whole of `source` stretched onto width × height with averaging; the aspect ratio is not
/// kept.
QImage StretchHalftone(const QImage& source, int width, int height);

/// Paints a picture stretched over a target and keeps the factors between target pixels and
/// picture pixels.
class PicturePainter {
 public:
  /// Paints `picture` over (0, 0, targetWidth, targetHeight), stretched to as many pixels as the
  /// target's device has there (twice as many each way at a device pixel ratio of 2), so that a
  /// high-resolution screen shows it sharp. The factors are per device-independent pixel. A null
  /// picture paints nothing, keeps the previous factors and returns false.
  bool PaintStretched(const QImage& picture, QPainter& target, int targetWidth, int targetHeight);

  /// Paints `picture` on the painter's device (a printer's printable area) as `placement` says:
  /// over the whole of it, or as large as it goes in the picture's shape, centred. The factors are
  /// not changed.
  void PrintFullPage(QPainter& printer, const QImage& picture,
                     PagePlacement placement = PagePlacement::Stretch);

  double scaleX() const { return scaleX_; }
  double scaleY() const { return scaleY_; }

 private:
  double scaleX_ = 1.0;
  double scaleY_ = 1.0;
};

}  // namespace lunetta
