#pragma once

#include <QImage>
#include <QSize>

#include "calendar/calendar_settings.h"

namespace lunetta {

/// Pixels a decoding library hands over whole: rows of 8-bit RGB, or of RGBA with `alpha`.
struct DecodedRows {
  const uchar* bits = nullptr;
  qsizetype stride = 0;
  QSize size;
  bool alpha = false;
  bool premultiplied = false;
};

/// The picture `rows` hold, turned as the EXIF `orientation` (1..8) says. An opaque picture that a
/// fill or a fit on a `fitSize` picture shrinks comes back as the JPEG decoder gives one: at the
/// size it is drawn at, each pixel the average of the area it covers, for a fill only the centred
/// part that shows, 24 bits a pixel. Anything else comes back whole, 32 bits a pixel (with alpha,
/// premultiplied), for the composition to scale.
QImage PictureFromRows(const DecodedRows& rows, QSize fitSize, PhotoFit fit, int orientation);

/// The most PictureFromRows allocates for rows of `size`.
qint64 PictureFromRowsBytes(QSize size, bool alpha, QSize fitSize, PhotoFit fit, int orientation);

}  // namespace lunetta
