#pragma once

// Pictures made on the spot for the picture tests: valid files of known content, and broken ones.

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QString>
#include <QtEndian>
#include <array>
#include <cstdint>

namespace lunetta::testing {

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// A picture with detail in it (a gradient, shapes, a pattern), so that JPEG has work to do and
/// a decode that drops rows shows.
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
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  writer.setQuality(quality);
  writer.write(image);
  return bytes;
}

inline QByteArray JpegBytes(int width, int height) {
  return Encode(DetailedImage(width, height), "jpeg", 90);
}

/// A JPEG whose EXIF block says "turn 90° clockwise to view" (orientation 6).
inline QByteArray TurnedJpegBytes(int width, int height) {
  const QByteArray jpeg = JpegBytes(width, height);
  // APP1: "Exif\0\0", a big-endian TIFF header and one IFD entry: 0x0112 SHORT 1 = 6.
  const QByteArray exif = QByteArray::fromHex(
      "FFE10022"
      "457869660000"
      "4D4D002A00000008"
      "0001"
      "011200030000000100060000"
      "00000000");
  return jpeg.left(2) + exif + jpeg.mid(2);
}

inline std::uint32_t Crc32(const QByteArray& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (char c : bytes) {
    crc ^= static_cast<std::uint8_t>(c);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
  }
  return ~crc;
}

inline QByteArray PngChunk(const char* type, const QByteArray& data) {
  QByteArray body = QByteArray(type, 4) + data;
  std::array<char, 4> number{};
  qToBigEndian<std::uint32_t>(static_cast<std::uint32_t>(data.size()), number.data());
  QByteArray chunk(number.data(), 4);
  chunk += body;
  qToBigEndian<std::uint32_t>(Crc32(body), number.data());
  chunk += QByteArray(number.data(), 4);
  return chunk;
}

/// A well-formed PNG header that claims `width` × `height` RGBA pixels, followed by a tiny image
/// data chunk and the end chunk.
inline QByteArray PngClaimingSize(std::uint32_t width, std::uint32_t height) {
  std::array<char, 13> header{};
  qToBigEndian<std::uint32_t>(width, header.data());
  qToBigEndian<std::uint32_t>(height, header.data() + 4);
  header[8] = 8;  // bits per channel
  header[9] = 6;  // RGBA
  return QByteArray::fromHex("89504E470D0A1A0A") +
         PngChunk("IHDR", QByteArray(header.data(), header.size())) +
         PngChunk("IDAT", QByteArray::fromHex("789C6300000000010001")) + PngChunk("IEND", {});
}

/// A 24-bit BMP of `image` as Qt writes it (14 + 40 byte headers).
inline QByteArray BmpBytes(const QImage& image) {
  return Encode(image, "bmp");
}

/// `bmp` with the width and height fields of its info header replaced.
inline QByteArray BmpClaimingSize(QByteArray bmp, std::int32_t width, std::int32_t height) {
  qToLittleEndian<std::int32_t>(width, bmp.data() + 18);
  qToLittleEndian<std::int32_t>(height, bmp.data() + 22);
  return bmp;
}

}  // namespace lunetta::testing
