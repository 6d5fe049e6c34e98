#include "res/artwork.h"

#include <QPainter>
#include <QSvgRenderer>

// The artwork lives in a static library, whose resource registration the linker would drop.
static void InitArtwork() {
  Q_INIT_RESOURCE(lunetta);
}

namespace lunetta {

namespace {

QPixmap Render(const QString& resource, QSize size) {
  static const bool initialised = (InitArtwork(), true);
  Q_UNUSED(initialised);
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QSvgRenderer renderer(resource);
  QPainter painter(&image);
  renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
  painter.end();
  return QPixmap::fromImage(image);
}

}  // namespace

QPixmap TitlePicture() {
  return Render(QStringLiteral(":/lunetta/title.svg"), QSize(500, 330));
}

QPixmap LogoPicture() {
  return Render(QStringLiteral(":/lunetta/logo.svg"), QSize(180, 65));
}

QIcon ApplicationIcon() {
  QIcon icon;
  for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addPixmap(Render(QStringLiteral(":/lunetta/lunetta.svg"), QSize(side, side)));
  }
  return icon;
}

QCursor HandCursor() {
  // A monochrome cursor: every pixel black, white or see-through, so the outline stays crisp.
  QImage image = Render(QStringLiteral(":/lunetta/hand_cursor.svg"), QSize(32, 32))
                     .toImage()
                     .convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = row[x];
      if (qAlpha(pixel) < 96) {
        row[x] = qRgba(0, 0, 0, 0);
      } else {
        // Antialiased outline pixels come out grey; they belong to the black outline.
        row[x] = qGray(pixel) < 192 ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
      }
    }
  }
  return QCursor(QPixmap::fromImage(image), 6, 3);
}

}  // namespace lunetta
