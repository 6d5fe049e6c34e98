#include "codecs/heif_decoder.h"

#include <libheif/heif.h>

#include <QIODevice>
#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <span>
#include <variant>

#include "codecs/heif_layout.h"
#include "picture/decoded_rows.h"
#include "picture/load_picture_file.h"

namespace lunetta {

namespace {

// Tiles of a grid in flight at once. libheif 1.15 decodes several at once on threads of its own,
// and then mixes them up now and then (heif-convert, which does, shows a grid differently from
// run to run); with none, it decodes them one after the other on the caller's thread. Every
// decode in this program runs on one thread anyway: two decodes at once take twice one's memory,
// never more (see kMaxDecodedBytes).
constexpr int kTileThreads = 0;

// Copies of the items' data libheif makes: of every item's as it reads the boxes, of the item it
// decodes as it hands it to the codec, and the codec's own.
constexpr double kItemDataCopies = 3;

// What libheif and its codecs hold whatever the picture: tables, threads and their heaps
// (measured at 2.5 MB for a small picture, and up to 7 MB above the reckoning per pixel).
constexpr double kLibraryBytes = 8 << 20;

// libheif's plugins are registered while a decode runs and let go after it; the count is
// libheif's own, so decodes on several threads share them.
class HeifLibrary {
 public:
  HeifLibrary() { heif_init(nullptr); }
  ~HeifLibrary() { heif_deinit(); }
  HeifLibrary(const HeifLibrary&) = delete;
  HeifLibrary& operator=(const HeifLibrary&) = delete;
};

struct ContextDeleter {
  void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleDeleter {
  void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageDeleter {
  void operator()(heif_image* image) const { heif_image_release(image); }
};
struct OptionsDeleter {
  void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};

Failure LibraryFailure(const heif_error& error) {
  if (error.code == heif_error_Invalid_input && error.subcode == heif_suberror_End_of_data) {
    return Failure(Fault::Truncated);
  }
  if (error.code == heif_error_Memory_allocation_error) {
    return Failure::TooLarge({});
  }
  return Failure(Fault::Undecodable, {}, {}, QString::fromUtf8(error.message));
}

// What decoding one image of `layout` takes in the codec and libheif: the codec's planes and
// state and libheif's copy of the planes, for the largest coded picture, and that picture made
// RGB planes; for a grid, one tile's at a time while the grid's own RGB planes hold what is
// pasted so far. The codecs' own shares were measured (with a margin): libde265 holds a picture's
// planes and about 3 bytes a pixel besides; dav1d about twice its planes and 5 bytes a pixel.
double DecodingBytes(const HeifImageLayout& layout) {
  const double coded = double(layout.codedBytes);
  const double codedPixels = double(layout.codedPixels);
  const double codec = layout.av1 ? 3 * coded + 5 * codedPixels : 2 * coded + 3 * codedPixels;
  const double codedPlanes = 3.0 * layout.sampleBytes * codedPixels;
  if (!layout.grid) {
    return codec + codedPlanes;
  }
  return 3.0 * layout.sampleBytes * double(layout.pixels()) + codec + coded + codedPlanes;
}

// The most libheif holds at once for `layout`, decoded to `channels` 8-bit channels.
double LibraryBytes(const HeifLayout& layout, int channels) {
  const double pixels = double(layout.primary.pixels());
  const int sampleBytes = std::max(layout.primary.sampleBytes, layout.alpha.sampleBytes);
  const double planes = (3.0 + (layout.hasAlpha ? 1 : 0)) * sampleBytes * pixels;
  const std::array<double, 4> stages = {
      DecodingBytes(layout.primary),
      // The alpha image is decoded while the colour planes wait.
      layout.hasAlpha ? planes + DecodingBytes(layout.alpha) : 0.0,
      // Turning or mirroring makes a copy of the planes.
      layout.transformed ? 2 * planes : planes,
      // The planes become interleaved 8-bit rows; deeper ones through interleaved 16-bit rows.
      planes + channels * pixels + (sampleBytes > 1 ? 2.0 * channels * pixels : 0.0)};
  return *std::max_element(stages.begin(), stages.end());
}

// Whether decoding `layout` takes work in proportion to what it shows. A grid's tiles cover it
// with at most a row and a column to spare; a few small files could otherwise stand for a great
// many tiles, or tiles far larger than the grid, each decoded in full.
bool WorkBounded(const HeifImageLayout& layout) {
  constexpr std::uint32_t kMostTiles = 4096;
  constexpr double kSpareCoverage = 4;
  constexpr double kSparePixels = 1 << 22;
  return !layout.grid || (layout.tiles <= kMostTiles &&
                          double(layout.tileCodedPixels) <=
                              kSpareCoverage * double(layout.pixels()) + kSparePixels);
}

// A size the boxes give, as Qt holds sizes.
QSize Clamped(std::uint32_t width, std::uint32_t height) {
  constexpr std::uint32_t kMost = std::numeric_limits<int>::max();
  return QSize(static_cast<int>(std::min(width, kMost)), static_cast<int>(std::min(height, kMost)));
}

}  // namespace

Result<DecodedPicture> DecodeHeif(QIODevice& device, QSize fitSize, PhotoFit fit, qint64 maxBytes) {
  if (device.size() > maxBytes / (1 + qint64(kItemDataCopies))) {
    return Failure::TooLarge({});
  }
  const QByteArray data = device.readAll();
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                            static_cast<std::size_t>(data.size()));
  // libheif sees no file whose decode is not reckoned first: even reading the boxes, it copies
  // items' data.
  const auto layoutOrFault = ReadHeifLayout(bytes);
  if (std::holds_alternative<HeifLayoutFault>(layoutOrFault)) {
    return Failure(std::get<HeifLayoutFault>(layoutOrFault) == HeifLayoutFault::Truncated
                       ? Fault::Truncated
                       : Fault::Undecodable);
  }
  const HeifLayout& layout = std::get<HeifLayout>(layoutOrFault);
  if (!WorkBounded(layout.primary) || (layout.hasAlpha && !WorkBounded(layout.alpha))) {
    return Failure(Fault::Undecodable, {}, {}, QStringLiteral("grid tiles far exceed the grid"));
  }
  // The EXIF orientation turns only a picture that no transform property turns.
  const int orientation = layout.transformed ? 1 : layout.exifOrientation;
  const auto turned = [orientation](QSize size) {
    return orientation >= 5 ? size.transposed() : size;
  };
  const bool alpha = layout.hasAlpha;
  const int channels = alpha ? 4 : 3;
  const QSize canvas = Clamped(layout.primary.width, layout.primary.height);
  const double peak =
      double(data.size()) + kItemDataCopies * double(layout.itemBytes) + kLibraryBytes +
      std::max(LibraryBytes(layout, channels),
               double(channels) * double(layout.primary.pixels()) +
                   double(PictureFromRowsBytes(canvas, alpha, fitSize, fit, orientation)));
  if (peak > double(maxBytes)) {
    return Failure::TooLarge(turned(Clamped(layout.shownWidth, layout.shownHeight)));
  }

  const HeifLibrary library;
  const std::unique_ptr<heif_context, ContextDeleter> context(heif_context_alloc());
  heif_context_set_max_decoding_threads(context.get(), kTileThreads);
  heif_error error = heif_context_read_from_memory_without_copy(
      context.get(), data.constData(), static_cast<std::size_t>(data.size()), nullptr);
  if (error.code != heif_error_Ok) {
    return LibraryFailure(error);
  }
  heif_image_handle* primary = nullptr;
  error = heif_context_get_primary_image_handle(context.get(), &primary);
  const std::unique_ptr<heif_image_handle, HandleDeleter> handle(primary);
  if (error.code != heif_error_Ok) {
    return LibraryFailure(error);
  }
  const std::unique_ptr<heif_decoding_options, OptionsDeleter> options(
      heif_decoding_options_alloc());
  options->convert_hdr_to_8bit = 1;
  heif_image* decoded = nullptr;
  error = heif_decode_image(handle.get(), &decoded, heif_colorspace_RGB,
                            alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                            options.get());
  const std::unique_ptr<heif_image, ImageDeleter> image(decoded);
  if (error.code != heif_error_Ok) {
    return LibraryFailure(error);
  }
  int stride = 0;
  const uint8_t* rows =
      heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
  const QSize size(heif_image_get_width(image.get(), heif_channel_interleaved),
                   heif_image_get_height(image.get(), heif_channel_interleaved));
  if (rows == nullptr || size.isEmpty() ||
      heif_image_get_bits_per_pixel(image.get(), heif_channel_interleaved) != 8 * channels) {
    return Failure(Fault::Undecodable);
  }
  const DecodedRows decodedRows{rows, stride, size, alpha,
                                heif_image_handle_is_premultiplied_alpha(handle.get()) != 0};
  QImage picture = PictureFromRows(decodedRows, fitSize, fit, orientation);
  if (picture.isNull()) {
    return Failure::TooLarge(turned(size));
  }
  return DecodedPicture{std::move(picture), turned(size), static_cast<qint64>(peak)};
}

}  // namespace lunetta
