#pragma once

#include <QSize>

#include "calendar/calendar_settings.h"
#include "picture/failure.h"

class QIODevice;

namespace lunetta {

struct DecodedPicture;

/// Decodes the primary picture of the HEIF or AVIF file on `device` (readable, positioned at its
/// start) through libheif, which turns and mirrors it as its transform properties say; the EXIF
/// orientation turns it only where no such property does, so a phone's photo is turned once. An
/// opaque picture that a fill or a fit shrinks comes back at the size it is drawn at, as a JPEG
/// does (see PictureFromRows); one with alpha comes back whole, premultiplied.
///
/// What the decode holds at once (the file and libheif's copies of it, the codec's planes and
/// state for the largest coded picture, or for each tile in flight and the grid it is pasted
/// into, libheif's colour conversions and turned copy, and the output) is reckoned from the
/// file's boxes and the codec's own parameter sets before anything is decoded, and refused with
/// TooLarge (and the picture's size) past `maxBytes`; DecodedPicture::peakBytes is that sum.
/// Truncated when a box or the data of a picture ends past the end of the file; Undecodable, with
/// libheif's words where it has some, for anything else.
Result<DecodedPicture> DecodeHeif(QIODevice& device, QSize fitSize, PhotoFit fit, qint64 maxBytes);

}  // namespace lunetta
