#pragma once

// Pictures made on the spot for the picture tests.

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QtEndian>

namespace lunetta::testing {

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// One colour all over.
inline QImage Filled(QSize size, QColor color, QImage::Format format = QImage::Format_RGB32) {
  QImage image(size, format);
  image.fill(color);
  return image;
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

/// `jpeg` with an APP1 "Exif" segment of one big-endian IFD entry: orientation (0x0112) =
/// `orientation`; after an APP1 segment of XMP data when `xmpFirst`, as some editors write them.
inline QByteArray WithOrientation(const QByteArray& jpeg, int orientation, bool xmpFirst = false) {
  QByteArray exif = QByteArray::fromHex(
      "FFE100224578696600004D4D002A00000008000101120003000000010000000000000000");
  exif[29] = static_cast<char>(orientation);
  const QByteArray xmp = QByteArray::fromHex("FFE1002B") + "http://ns.adobe.com/xap/1.0/" +
                         QByteArray(1, '\0') + "<x:xmpmeta/>";
  return jpeg.left(2) + (xmpFirst ? xmp : QByteArray()) + exif + jpeg.mid(2);
}

/// Four quadrants: red, green above; blue, yellow below. Any turn or mirror shows at the corners.
inline QImage Quadrants(int width, int height) {
  QImage image = Filled({width, height}, Qt::red);
  QPainter painter(&image);
  painter.fillRect(width / 2, 0, width / 2, height / 2, Qt::green);
  painter.fillRect(0, height / 2, width / 2, height / 2, Qt::blue);
  painter.fillRect(width / 2, height / 2, width / 2, height / 2, Qt::yellow);
  return image;
}

/// A PNG chunk: length, type, data and CRC-32 of type and data.
inline QByteArray PngChunk(const char* type, const QByteArray& data) {
  QByteArray chunk(4, '\0');
  qToBigEndian(static_cast<quint32>(data.size()), chunk.data());
  chunk += QByteArray(type, 4) + data;
  quint32 crc = 0xFFFFFFFF;
  for (const char byte : chunk.mid(4)) {
    crc ^= static_cast<quint8>(byte);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
  }
  QByteArray tail(4, '\0');
  qToBigEndian(crc ^ 0xFFFFFFFF, tail.data());
  return chunk + tail;
}

/// A PNG whose header claims `width` × `height` pixels of `colorType` (0 grey, 2 RGB, 3 palette,
/// 6 RGBA) at `bitDepth`, with the data of its first rows only: a few kilobytes that a decoder
/// would turn into a picture of the full size.
inline QByteArray PngBomb(quint32 width, quint32 height, int colorType, int bitDepth) {
  QByteArray header(13, '\0');
  qToBigEndian(width, header.data());
  qToBigEndian(height, header.data() + 4);
  header[8] = static_cast<char>(bitDepth);
  header[9] = static_cast<char>(colorType);
  QByteArray png = QByteArray::fromHex("89504E470D0A1A0A") + PngChunk("IHDR", header);
  if (colorType == 3) {
    png += PngChunk("PLTE", QByteArray::fromHex("000000FFFFFF"));
  }
  // zlib of 4096 zero bytes: rows of filter type 0 and black pixels.
  png += PngChunk("IDAT", qCompress(QByteArray(4096, '\0')).mid(4));
  return png + PngChunk("IEND", {});
}

/// A GIF of one pixel on a logical screen of `width` × `height`, which decoders allocate whole.
inline QByteArray GifBomb(quint16 width, quint16 height) {
  QByteArray gif = "GIF89a";
  gif += QByteArray(4, '\0');
  qToLittleEndian(width, gif.data() + 6);
  qToLittleEndian(height, gif.data() + 8);
  // Global colour table of two colours, then one 1 × 1 image and the trailer.
  gif += QByteArray::fromHex(
      "800000"
      "000000FFFFFF"
      "2C000000000100010000"
      "02024401003B");
  return gif;
}

/// `jpeg` with its frame header claiming `width` × `height`: a small file of a huge picture.
inline QByteArray Claiming(QByteArray jpeg, quint16 width, quint16 height) {
  for (const char* frame : {"FFC0", "FFC2", "FFC9"}) {
    if (const qsizetype at = jpeg.indexOf(QByteArray::fromHex(frame)); at >= 0) {
      qToBigEndian(height, jpeg.data() + at + 5);
      qToBigEndian(width, jpeg.data() + at + 7);
    }
  }
  return jpeg;
}

/// `image` as a BMP stored top-down: negative height, rows from the top.
inline QByteArray TopDownBmp(const QImage& image) {
  QByteArray bmp = Encode(image, "bmp");
  const qint32 offset = qFromLittleEndian<qint32>(bmp.constData() + 10);
  const qint32 height = qFromLittleEndian<qint32>(bmp.constData() + 22);
  const qsizetype stride = (bmp.size() - offset) / height;
  QByteArray rows;
  for (qint32 row = height - 1; row >= 0; --row) {
    rows += bmp.mid(offset + row * stride, stride);
  }
  qToLittleEndian(-height, bmp.data() + 22);
  return bmp.left(offset) + rows;
}

}  // namespace lunetta::testing
