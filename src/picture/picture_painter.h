#pragma once

class QImage;
class QPainter;

namespace lunetta {

/// Paints a picture stretched over a target and keeps the factors between target pixels and
/// picture pixels.
class PicturePainter {
 public:
  /// Paints `picture` over (0, 0, targetWidth, targetHeight). A null picture paints nothing, keeps
  /// the previous factors and returns false.
  bool PaintStretched(const QImage& picture, QPainter& target, int targetWidth, int targetHeight);

  /// Paints `picture` over the whole of the painter's device (a printer's printable area). The
  /// factors are not changed.
  void PrintFullPage(QPainter& printer, const QImage& picture);

  double scaleX() const { return scaleX_; }
  double scaleY() const { return scaleY_; }

 private:
  double scaleX_ = 1.0;
  double scaleY_ = 1.0;
};

}  // namespace lunetta
