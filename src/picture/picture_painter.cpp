#include "picture/picture_painter.h"

#include <QPaintDevice>
#include <QPainter>

#include "picture/load_picture_file.h"
#include "platform/drawing.h"

namespace lunetta {

bool PicturePainter::PaintStretched(const QString& path, QPainter& target, int targetWidth,
                                    int targetHeight) {
  // A large JPEG may decode at reduced scale; the factors use the picture's own size all the same.
  const QSize fit =
      targetWidth > 0 && targetHeight > 0 ? QSize(targetWidth, targetHeight) : QSize();
  const DecodedPicture decoded = LoadPictureFile(path, fit);
  if (!decoded) {
    // Dividing by a size of 0 would leave the drag arithmetic without usable factors.
    return false;
  }
  if (targetWidth > 0 && targetHeight > 0) {
    target.drawImage(0, 0, StretchHalftone(decoded.image, targetWidth, targetHeight));
  }
  scaleX_ = static_cast<double>(targetWidth) / decoded.size.width();
  scaleY_ = static_cast<double>(targetHeight) / decoded.size.height();
  return true;
}

void PicturePainter::PrintFullPage(QPainter& printer, const QString& path) {
  QPaintDevice* device = printer.device();
  if (device == nullptr) {
    return;
  }
  const DecodedPicture decoded = LoadPictureFile(path);
  if (!decoded) {
    return;
  }
  // A printer page is far larger than the picture: let the paint engine scale while it renders
  // rather than building a page-sized copy in memory.
  printer.save();
  printer.resetTransform();
  printer.setRenderHint(QPainter::SmoothPixmapTransform, true);
  printer.drawImage(QRect(0, 0, device->width(), device->height()), decoded.image);
  printer.restore();
}

}  // namespace lunetta
