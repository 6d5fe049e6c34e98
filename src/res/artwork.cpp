#include "res/artwork.h"

#include <QPainter>
#include <QSvgRenderer>

namespace lunetta {

namespace {

QPixmap Render(const QString& resource, QSize size) {
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
  return QCursor(Render(QStringLiteral(":/lunetta/hand_cursor.svg"), QSize(32, 32)), 6, 3);
}

}  // namespace lunetta
