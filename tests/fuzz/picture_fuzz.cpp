#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QSize>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "picture/load_picture_file.h"

namespace {

// The decoders live in Qt, which is not instrumented: without a branch of our own per format,
// libFuzzer would see every seed as the same input and keep only one of them.
[[gnu::noinline]] void NoteFormat(const QByteArray& format, bool decoded) {
  static constexpr std::array<const char*, 8> kFormats = {"bmp",  "jpeg", "png", "gif",
                                                          "webp", "tiff", "ico", "tga"};
  for (std::size_t i = 0; i < kFormats.size(); ++i) {
    if (format == kFormats[i]) {
      if (decoded) {
        asm volatile("" ::"r"(i));
      } else {
        asm volatile("" ::"r"(i + 100));
      }
      return;
    }
  }
}

}  // namespace

// QImageReader and its format plugins need no application object.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes =
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QSize fit(1280, 1024);
  const lunetta::Result<lunetta::DecodedPicture> decoded = lunetta::LoadPictureData(bytes, fit);
  if (decoded) {
    const QSize image = decoded->image.size();
    // A decoded picture has a size, and never took more than the cap allows.
    if (decoded->size.isEmpty() || image.isEmpty() ||
        qint64(image.width()) * image.height() * 4 > lunetta::kMaxDecodedBytes ||
        decoded->peakBytes > lunetta::kMaxDecodedBytes) {
      std::abort();
    }
  }

  // A fill crops and shrinks a JPEG's rows as they are decoded.
  const lunetta::Result<lunetta::DecodedPicture> filled =
      lunetta::LoadPictureData(bytes, QSize(24, 10), lunetta::PhotoFit::Fill);
  if (filled && filled->image.isNull()) {
    std::abort();
  }

  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  NoteFormat(QImageReader::imageFormat(&buffer), static_cast<bool>(decoded));
  return 0;
}
