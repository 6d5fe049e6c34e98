#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class QIODevice;

namespace lunetta {

struct DecodedPicture {
  QImage image;   // null when nothing was decoded
  QSize size;     // the picture's own size in pixels; 0 × 0 when nothing was decoded
  QString error;  // why nothing was decoded, for messages

  explicit operator bool() const { return !image.isNull(); }
};

/// Refuses pictures whose decoded pixels would take more than this.
inline constexpr qint64 kMaxDecodedBytes = qint64(512) << 20;

/// Decodes a picture file, applying its EXIF orientation. When `fitSize` is given, a picture much
/// larger than it may be decoded at reduced scale, never smaller than `fitSize` in either
/// direction.
DecodedPicture LoadPictureFile(const QString& path, QSize fitSize = {});

/// Decodes a picture from an open, readable, random-access device positioned at its start, as
/// LoadPictureFile does for a file.
DecodedPicture LoadPictureDevice(QIODevice& device, QSize fitSize = {});

/// Decodes a picture held in memory, as LoadPictureFile does for a file.
DecodedPicture LoadPictureData(const QByteArray& bytes, QSize fitSize = {});

/// The size at which to decode a `pictureSize` picture by DCT scaling (M/8 of each side, M = 1..8,
/// sides rounded up as libjpeg does) so that it still covers `fitSize`: the smallest such M.
/// `pictureSize` itself when no reduction is possible or `fitSize` is not valid.
QSize ReducedDecodeSize(QSize pictureSize, QSize fitSize);

}  // namespace lunetta
