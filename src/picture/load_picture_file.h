#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QStringList>
#include <filesystem>

#include "calendar/picture_size.h"
#include "picture/failure.h"

class QIODevice;

namespace lunetta {

struct DecodedPicture {
  QImage image;
  QSize size;            // the picture's own size in pixels, before any reduced-scale decoding
  qint64 peakBytes = 0;  // the most the decode held at once, as counted against the bound
};

/// Refuses pictures whose decoding would hold more than this at once: the decoder's working memory,
/// the decoded pixels and the one copy that turning or scaling them makes; two decodes at once take
/// at most twice as much.
inline constexpr qint64 kMaxDecodedBytes = qint64(512) << 20;

/// Decodes a picture file, applying its EXIF orientation. When `fitSize` is given, a picture much
/// larger than what it is drawn at on a `fitSize` picture with `fit` (see PlacePhoto) may be
/// decoded at reduced scale, never smaller than that in either direction; for a fill or a fit, a
/// JPEG (or an opaque HEIC, AVIF or JPEG XL) may come back already at that size, and for a fill
/// as only the part that shows (the picture's shape, centred). DecodedPicture::size is the whole
/// picture's all the same. Only regular files are opened, so a FIFO or a device never blocks the
/// caller.
Result<DecodedPicture> LoadPictureFile(const std::filesystem::path& path, QSize fitSize = {},
                                       PhotoFit fit = PhotoFit::Stretch);

/// Decodes a picture from an open, readable, random-access device positioned at its start, as
/// LoadPictureFile does for a file. Failures name no file.
Result<DecodedPicture> LoadPictureDevice(QIODevice& device, QSize fitSize = {},
                                         PhotoFit fit = PhotoFit::Stretch);

/// Decodes a picture held in memory, as LoadPictureFile does for a file.
Result<DecodedPicture> LoadPictureData(const QByteArray& bytes, QSize fitSize = {},
                                       PhotoFit fit = PhotoFit::Stretch);

/// The size at which to decode a `pictureSize` picture by DCT scaling (M/8 of each side, M = 1..8,
/// sides rounded up as libjpeg does) so that it still covers what it is drawn at on a `fitSize`
/// picture with `fit`: the smallest such M. `pictureSize` itself when no reduction is possible or
/// `fitSize` is not valid.
QSize ReducedDecodeSize(QSize pictureSize, QSize fitSize, PhotoFit fit = PhotoFit::Stretch);

/// File-name patterns of the photo formats LoadPictureFile decodes on this machine ("*.jpg",
/// "*.jpeg", "*.heic", ...), for an open dialog's filter and a folder of photos.
QStringList PhotoFilePatterns();

/// A file name as Qt spells it, for messages and Qt's own file classes.
QString QtPath(const std::filesystem::path& path);

/// The path of a file name Qt gives (a dialog's choice, a dropped file).
std::filesystem::path FilePath(const QString& name);

}  // namespace lunetta
