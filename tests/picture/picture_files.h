#pragma once

// Pictures made on the spot for the picture tests.

#include <QBuffer>
#include <QFile>
#include <QImage>

namespace lunetta::testing {

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// A pattern with detail, so that JPEG has work to do and a decode that drops rows shows.
inline QImage DetailedImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.setPixel(x, y, qRgb(200 - x / 40, x ^ y, (x * y) >> 6));
    }
  }
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
