#include <QByteArray>
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "codecs/heif_layout.h"
#include "picture/load_picture_file.h"

// HEIC, AVIF and JPEG XL files, through the same entry as every photo. The box reader is this
// program's own and instrumented; libheif and libjxl are not, and are reached only with what the
// reader and the bound let through.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)lunetta::ReadHeifLayout(std::span(data, size));
  const QByteArray bytes =
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  for (const auto& [fit, how] : {std::pair{QSize(1280, 1024), lunetta::PhotoFit::Stretch},
                                 std::pair{QSize(24, 10), lunetta::PhotoFit::Fill}}) {
    const lunetta::Result<lunetta::DecodedPicture> decoded =
        lunetta::LoadPictureData(bytes, fit, how);
    // A decoded picture has a size, and never took more than the cap allows.
    if (decoded && (decoded->size.isEmpty() || decoded->image.isNull() ||
                    decoded->peakBytes > lunetta::kMaxDecodedBytes)) {
      std::abort();
    }
  }
  return 0;
}
