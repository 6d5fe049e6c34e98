#pragma once

#include <QImage>

#include "picture/failure.h"

class QIODevice;

namespace lunetta {

/// Writes `image` onto `device` (open for writing) as a baseline JFIF JPEG of `quality` (clamped
/// to 1..100), with the image's resolution: the bytes Qt's JPEG writer makes, without loading its
/// plugin, which a fresh process would otherwise spend longer on than on the encoding. A failed
/// write is the device's to report. EncodeFailed, with libjpeg's words as detail, for a picture it
/// cannot hold (more than 65500 pixels a side).
Status EncodeJpeg(const QImage& image, int quality, QIODevice& device);

}  // namespace lunetta
