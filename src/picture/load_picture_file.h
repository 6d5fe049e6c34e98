#pragma once

#include <QImage>
#include <QSize>
#include <QString>

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
/// larger than it may be decoded at reduced scale, never smaller than `fitSize` in either direction.
DecodedPicture LoadPictureFile(const QString& path, QSize fitSize = {});

}  // namespace lunetta
