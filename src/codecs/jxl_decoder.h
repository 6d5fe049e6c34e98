#pragma once

#include <QSize>

#include "calendar/calendar_settings.h"
#include "picture/failure.h"

class QIODevice;

namespace lunetta {

struct DecodedPicture;

/// Decodes the first picture of the JPEG XL file on `device` (readable, positioned at its start)
/// through libjxl, turned as its orientation says. An opaque picture that a fill or a fit shrinks
/// comes back at the size it is drawn at, as a JPEG does (see PictureFromRows); one with alpha
/// comes back whole, premultiplied.
///
/// libjxl allocates where its memory manager does not see, so what the decode holds (the file, the
/// library's frame buffers, the output) is reckoned from the header before any pixel is decoded,
/// from what libjxl 0.7 was measured to hold a pixel, and refused with TooLarge (and the picture's
/// size) past `maxBytes`; DecodedPicture::peakBytes is that sum. Truncated when the file ends
/// before the picture does; Undecodable for anything else.
Result<DecodedPicture> DecodeJxl(QIODevice& device, QSize fitSize, PhotoFit fit, qint64 maxBytes);

}  // namespace lunetta
