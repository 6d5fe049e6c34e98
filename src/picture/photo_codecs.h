#pragma once

#include <QByteArray>
#include <QSize>

#include "calendar/calendar_settings.h"
#include "picture/failure.h"

class QIODevice;

namespace lunetta {

struct DecodedPicture;

/// Whether `head` (the first bytes of a file) starts a HEIF file of a kind libheif decodes: HEIC
/// (HEVC) or AVIF (AV1), including grids of either.
bool IsHeif(const QByteArray& head);

/// Whether `head` (the first bytes of a file) starts a JPEG XL codestream or container.
bool IsJxl(const QByteArray& head);

/// The decoders of phones' formats and JPEG XL. They live in a module of their own, loaded the
/// first time such a photo is opened: libheif and libjxl bring a dozen libraries (HEVC, AV1 and
/// Brotli codecs among them) whose loading and start-up would otherwise cost every run, though
/// most photos are JPEGs.
struct PhotoCodecs {
  /// Decodes the picture on `device` (readable, positioned at its start) for a `fitSize`
  /// picture with `fit`, refusing with TooLarge what would hold more than `maxBytes`.
  using Decode = Result<DecodedPicture> (*)(QIODevice& device, QSize fitSize, PhotoFit fit,
                                            qint64 maxBytes);
  Decode decodeHeif = nullptr;
  Decode decodeJxl = nullptr;  // null where the module was built without libjxl
};

/// The name the module's table of decoders is found by.
inline constexpr char kPhotoCodecsEntry[] = "lunetta_photo_codecs";

/// The module's decoders, loaded from beside the program on first use and kept until it exits;
/// Undecodable, with the loader's reason, when the module cannot be loaded.
Result<const PhotoCodecs*> LoadedPhotoCodecs();

}  // namespace lunetta
