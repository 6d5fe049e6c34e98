#include "picture/picture_painter.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>

namespace lunetta {

QImage StretchHalftone(const QImage& source, int width, int height) {
  if (source.isNull() || width <= 0 || height <= 0) {
    return QImage();
  }
  return source.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

bool PicturePainter::PaintStretched(const QImage& picture, QPainter& target, int targetWidth,
                                    int targetHeight) {
  if (picture.isNull()) {
    // Dividing by a size of 0 would leave the drag arithmetic without usable factors.
    return false;
  }
  if (targetWidth > 0 && targetHeight > 0) {
    const qreal ratio = target.device() != nullptr ? target.device()->devicePixelRatioF() : 1.0;
    QImage stretched =
        StretchHalftone(picture, qRound(targetWidth * ratio), qRound(targetHeight * ratio));
    stretched.setDevicePixelRatio(ratio);
    target.drawImage(QRectF(0, 0, targetWidth, targetHeight), stretched);
  }
  scaleX_ = static_cast<double>(targetWidth) / picture.width();
  scaleY_ = static_cast<double>(targetHeight) / picture.height();
  return true;
}

void PicturePainter::PrintFullPage(QPainter& printer, const QImage& picture,
                                   PagePlacement placement) {
  QPaintDevice* device = printer.device();
  if (device == nullptr || picture.isNull()) {
    return;
  }
  // A printer page is far larger than the picture: let the paint engine scale while it renders
  // rather than building a page-sized copy in memory.
  printer.save();
  printer.resetTransform();
  printer.setRenderHint(QPainter::SmoothPixmapTransform, true);
  printer.drawImage(
      PlacePicture(picture.size(), QRectF(0, 0, device->width(), device->height()), placement),
      picture);
  printer.restore();
}

}  // namespace lunetta
