#pragma once

#include <QString>

class QPainter;

namespace lunetta {

/// Paints a picture file stretched over a target and keeps the factors between target pixels and
/// picture pixels.
class PicturePainter {
 public:
  /// Paints the picture at `path` over (0, 0, targetWidth, targetHeight). When nothing decodes,
  /// paints nothing, keeps the previous factors and returns false.
  bool PaintStretched(const QString& path, QPainter& target, int targetWidth, int targetHeight);

  /// Paints the picture at `path` over the whole of the painter's device (a printer's printable
  /// area). The factors are not changed.
  void PrintFullPage(QPainter& printer, const QString& path);

  double scaleX() const { return scaleX_; }
  double scaleY() const { return scaleY_; }

 private:
  double scaleX_ = 1.0;
  double scaleY_ = 1.0;
};

}  // namespace lunetta
