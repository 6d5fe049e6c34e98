#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <cstddef>
#include <optional>

#include "calendar/picture_size.h"
#include "picture/failure.h"

class QIODevice;
struct jpeg_decompress_struct;

namespace lunetta {

struct DecodedPicture;

/// Whether `head` (the first bytes of a file) starts a JPEG.
bool IsJpeg(const QByteArray& head);

/// The orientation (1..8) in an APP1 segment (`data` from its "Exif" signature on) by its first
/// image directory, 1 when it gives none; nothing when the segment is not Exif (XMP, for one, is
/// APP1 too).
std::optional<int> ExifOrientation(const unsigned char* data, std::size_t size);

/// The orientation the first Exif segment libjpeg saved with a header gives; 1 when none does.
int SavedExifOrientation(const jpeg_decompress_struct& info);

/// The smallest M of 1..8 such that M/8 of `pictureSize` (sides rounded up) still covers the size
/// the picture is drawn at on a `fitSize` picture with `fit` (see PlacePhoto); 8 when `fitSize` is
/// not valid.
int ReducedDecodeEighths(QSize pictureSize, QSize fitSize, PhotoFit fit = PhotoFit::Stretch);

/// Decodes the JPEG on `device` (readable, positioned at its start) into a 32-bit image turned as
/// its EXIF orientation says. The decoder's own DCT scaling reduces it to the smallest eighth of
/// its size that still covers the size it is drawn at on a `fitSize` picture with `fit` (in the
/// turned picture's orientation). A picture that shrinks further comes back at the size it is drawn
/// at, averaged over the area of each pixel as the rows come (for a fill only the centred part that
/// shows, whose rows outside it are not decoded), 24 bits per pixel. CMYK comes back as RGB.
///
/// Everything the decode holds at once (the file, libjpeg's memory, with the coefficients of the
/// whole picture when it has several scans, the output and its turned copy) is counted against
/// `maxBytes` before it is allocated; DecodedPicture::peakBytes is the sum. Refused before any
/// pixel is decoded: TooLarge (with the picture's size where its header gives one) past that, and
/// Truncated when the file is too short to hold a picture of the size its header claims. Truncated
/// too when the coded data end before the picture does, or before every component got all its
/// scans; a missing end-of-image marker alone is no fault. Undecodable, with the decoder's words
/// as detail, for anything else.
Result<DecodedPicture> DecodeJpeg(QIODevice& device, QSize fitSize, PhotoFit fit, qint64 maxBytes);

}  // namespace lunetta
