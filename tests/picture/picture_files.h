#pragma once

// Pictures made on the spot for the picture tests.

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>

namespace lunetta::testing {

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// A gradient crossed by lines, so that JPEG has work to do and a decode that drops rows shows.
inline QImage DetailedImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  QPainter painter(&image);
  QLinearGradient gradient(0, 0, width, height);
  gradient.setColorAt(0, QColor(200, 40, 40));
  gradient.setColorAt(1, QColor(40, 60, 220));
  painter.fillRect(image.rect(), gradient);
  painter.setPen(QPen(Qt::yellow, 3));
  for (int x = 0; x < width; x += 17) {
    painter.drawLine(x, 0, width - x, height);
  }
  painter.end();
  return image;
}

inline QByteArray Encode(const QImage& image, const char* format, int quality = -1) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  image.save(&buffer, format, quality);
  return bytes;
}

inline QByteArray JpegBytes(int width, int height) {
  return Encode(DetailedImage(width, height), "jpeg", 90);
}

}  // namespace lunetta::testing
