#include "wall/print_photo.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstring>

#include "picture/jpeg_decoder.h"
#include "picture/jpeg_encoder.h"
#include "picture/jpeg_errors.h"
#include "picture/load_picture_file.h"
#include "platform/file_io.h"

namespace lunetta {

namespace {

// Larger files are left to the decoder, which refuses them.
constexpr std::size_t kMaxJpegBytes = static_cast<std::size_t>(kMaxDecodedBytes / 2);
// Print-quality JPEG: no visible loss, a third of the lossless size.
constexpr int kPrintQuality = 95;

struct HeaderJob {
  jpeg_decompress_struct info{};
  JpegErrors errors{};
  bool created = false;

  ~HeaderJob() {
    if (created) {
      jpeg_destroy_decompress(&info);
    }
  }
};

// Only trivially destructible locals here: libjpeg's errors jump back into this frame.
bool ReadHeader(HeaderJob& job, std::string_view head) {
  if (setjmp(job.errors.jump) != 0) {
    return false;
  }
  job.info.err = InstallJpegErrors(job.errors);
  jpeg_create_decompress(&job.info);
  job.created = true;
  jpeg_mem_src(&job.info, reinterpret_cast<const unsigned char*>(head.data()),
               static_cast<unsigned long>(head.size()));
  jpeg_save_markers(&job.info, JPEG_APP0 + 1, 0xFFFF);
  return jpeg_read_header(&job.info, TRUE) == JPEG_HEADER_OK;
}

// The segments before the first scan that decoding needs, and where that scan starts; nothing
// when the segments do not lead to a scan within `head`.
std::optional<std::pair<std::string, std::uint64_t>> DecodingSegments(std::string_view head) {
  const auto byte = [&head](std::size_t at) { return static_cast<unsigned char>(head[at]); };
  std::string kept(head.substr(0, 2));  // start of image
  std::size_t at = 2;
  for (;;) {
    if (at + 1 >= head.size() || byte(at) != 0xFF) {
      return std::nullopt;
    }
    while (at + 1 < head.size() && byte(at + 1) == 0xFF) {
      ++at;  // fill bytes
    }
    if (at + 1 >= head.size()) {
      return std::nullopt;
    }
    const unsigned char marker = byte(at + 1);
    if (marker == 0xDA) {
      return std::pair{std::move(kept), std::uint64_t{at}};
    }
    if (at + 3 >= head.size()) {
      return std::nullopt;
    }
    const std::size_t length = std::size_t{byte(at + 2)} << 8 | byte(at + 3);
    if (length < 2 || at + 2 + length > head.size()) {
      return std::nullopt;
    }
    // APP1..APP13 and APP15 carry metadata (EXIF, XMP, IPTC) and COM comments; APP0 (JFIF) and
    // APP14 (Adobe, which says how the colours were transformed) stay.
    const bool metadata = (marker >= 0xE1 && marker <= 0xED) || marker == 0xEF || marker == 0xFE;
    if (!metadata) {
      kept.append(head.substr(at, 2 + length));
    }
    at += 2 + length;
  }
}

// Just past the end-of-image marker, walking from the first scan at `scan` through the scans and
// the tables between them; nothing when the image does not end within `file`. Only what follows
// the image is left out this way: a motion photo's video, a trailer.
std::optional<std::uint64_t> ImageEnd(std::string_view file, std::uint64_t scan) {
  const auto byte = [&file](std::size_t at) { return static_cast<unsigned char>(file[at]); };
  const std::size_t size = file.size();
  std::size_t at = static_cast<std::size_t>(scan);
  for (;;) {
    if (at + 1 >= size || byte(at) != 0xFF) {
      return std::nullopt;
    }
    while (at + 1 < size && byte(at + 1) == 0xFF) {
      ++at;  // fill bytes
    }
    if (at + 1 >= size) {
      return std::nullopt;
    }
    const unsigned char marker = byte(at + 1);
    if (marker == 0xD9) {
      return at + 2;
    }
    if (at + 3 >= size) {
      return std::nullopt;
    }
    const std::size_t length = std::size_t{byte(at + 2)} << 8 | byte(at + 3);
    if (length < 2 || at + 2 + length > size) {
      return std::nullopt;
    }
    at += 2 + length;
    if (marker != 0xDA) {
      continue;  // a table between scans
    }
    // The scan's coded data end at the first marker that is neither a stuffed zero nor a restart.
    for (;;) {
      const void* found = std::memchr(file.data() + at, 0xFF, size - at);
      if (found == nullptr) {
        return std::nullopt;
      }
      at = static_cast<std::size_t>(static_cast<const char*>(found) - file.data());
      if (at + 1 >= size) {
        return std::nullopt;
      }
      const unsigned char next = byte(at + 1);
      if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
        at += 2;
      } else if (next == 0xFF) {
        at += 1;
      } else {
        break;
      }
    }
  }
}

PixelSize Upright(const EmbeddableJpeg& jpeg) {
  return jpeg.orientation >= 5 ? PixelSize{jpeg.height, jpeg.width}
                               : PixelSize{jpeg.width, jpeg.height};
}

bool Centred(const PhotoCrop& crop) {
  return std::abs(crop.x - 0.5) < 1e-9 && std::abs(crop.y - 0.5) < 1e-9;
}

// `place`'s photo decoded, cut to its area's shape and scaled to the pixels it goes into the PDF
// with. `known` is the photo's upright size where its header gave it.
Result<QImage> PrintPixels(const PagePhoto& place, std::optional<PixelSize> known,
                           PrintPhoto& photo) {
  QSize fitSize;
  PhotoFit fit = PhotoFit::Stretch;
  if (known) {
    const PixelRect crop = CropPhoto(known->width, known->height, place.area.size(), place.crop);
    const PixelSize target = EmbeddedPixels(crop, place.area.size());
    if (target.width < crop.width && Centred(place.crop)) {
      // The decoder cuts a centred fill itself and shrinks its rows as they come.
      fitSize = QSize(target.width, target.height);
      fit = PhotoFit::Fill;
    } else if (target.width < crop.width) {
      // Decoded at the smallest eighth of its size that still holds the crop's pixels.
      const double scale = double(target.width) / crop.width;
      fitSize = QSize(static_cast<int>(std::ceil(known->width * scale)),
                      static_cast<int>(std::ceil(known->height * scale)));
    }
  }
  Result<DecodedPicture> decoded = LoadPictureFile(place.file, fitSize, fit);
  if (!decoded) {
    return decoded.failure();
  }
  const QSize size = decoded->size;
  const PixelRect crop = CropPhoto(size.width(), size.height(), place.area.size(), place.crop);
  photo.photoSize = {size.width(), size.height()};
  photo.dpi = EffectiveDpi(crop, place.area.size());
  photo.embedded = EmbeddedPixels(crop, place.area.size());
  photo.crop = {0, 0, photo.embedded.width, photo.embedded.height};
  const QSize target(photo.embedded.width, photo.embedded.height);
  QImage image = std::move(decoded).value().image;
  if (image.size() != target) {
    // The crop in the decoded picture's pixels, which may be a reduced scale of the photo's.
    const double sx = double(image.width()) / size.width();
    const double sy = double(image.height()) / size.height();
    const QRect part =
        QRect(static_cast<int>(std::floor(crop.x * sx)), static_cast<int>(std::floor(crop.y * sy)),
              std::max(1, static_cast<int>(std::lround(crop.width * sx))),
              std::max(1, static_cast<int>(std::lround(crop.height * sy))))
            .intersected(image.rect());
    image = image.copy(part);
    if (image.size() != target) {
      image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
  }
  if (image.hasAlphaChannel()) {
    // Print has no transparency: what shows through is the paper.
    QImage paper(image.size(), QImage::Format_RGB32);
    paper.fill(Qt::white);
    QPainter(&paper).drawImage(0, 0, image);
    image = std::move(paper);
  }
  const int dotsPerMeter = static_cast<int>(std::lround(std::min(photo.dpi, kPrintDpi) / 0.0254));
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  return image;
}

// The photo's print pixels encoded into `scratch`.
Result<PrintPhoto> Reencode(const PagePhoto& place, const std::filesystem::path& scratch,
                            std::optional<PixelSize> known) {
  PrintPhoto photo;
  Result<QImage> print = PrintPixels(place, known, photo);
  if (!print) {
    return print.failure();
  }
  QFile file(QtPath(scratch));
  if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
    return Failure(Fault::CannotWrite, scratch);
  }
  if (const Status encoded = EncodeJpeg(print.value(), kPrintQuality, file); !encoded) {
    return encoded.failure();
  }
  if (!file.flush() || file.error() != QFileDevice::NoError) {
    return Failure(Fault::CannotWrite, scratch);
  }
  photo.data = scratch;
  file.close();

  std::error_code error;
  const FileBytes encoded = ReadRegularFile(scratch, kMaxJpegBytes, error);
  std::optional<EmbeddableJpeg> jpeg = InspectJpeg(encoded.bytes);
  if (error || !jpeg) {
    return Failure(Fault::EncodeFailed, place.file);
  }
  photo.jpeg = std::move(*jpeg);
  return photo;
}

}  // namespace

std::optional<EmbeddableJpeg> InspectJpeg(std::string_view file) {
  if (file.size() < 4 || static_cast<unsigned char>(file[0]) != 0xFF ||
      static_cast<unsigned char>(file[1]) != 0xD8) {
    return std::nullopt;
  }
  HeaderJob job;
  if (!ReadHeader(job, file)) {
    return std::nullopt;
  }
  const jpeg_decompress_struct& info = job.info;
  const bool grey = info.num_components == 1 && info.jpeg_color_space == JCS_GRAYSCALE;
  const bool colour = info.num_components == 3 &&
                      (info.jpeg_color_space == JCS_YCbCr || info.jpeg_color_space == JCS_RGB);
  if (!(grey || colour) || info.data_precision != 8 || info.arith_code) {
    return std::nullopt;
  }
  std::optional<std::pair<std::string, std::uint64_t>> segments = DecodingSegments(file);
  if (!segments) {
    return std::nullopt;
  }
  const std::optional<std::uint64_t> end = ImageEnd(file, segments->second);
  if (!end) {
    return std::nullopt;
  }
  EmbeddableJpeg jpeg;
  jpeg.width = static_cast<int>(info.image_width);
  jpeg.height = static_cast<int>(info.image_height);
  jpeg.components = info.num_components;
  jpeg.orientation = SavedExifOrientation(info);
  jpeg.header = std::move(segments->first);
  jpeg.scanOffset = segments->second;
  jpeg.end = *end;
  return jpeg;
}

Result<PrintPhoto> PreparePrintPhoto(const PagePhoto& place, const std::filesystem::path& scratch) {
  std::optional<EmbeddableJpeg> jpeg;
  {
    std::error_code error;
    const FileBytes file = ReadRegularFile(place.file, kMaxJpegBytes, error);
    if (error) {
      return ReadingFailure(place.file, error);
    }
    if (file.bytes.empty()) {
      return Failure(Fault::EmptyFile, place.file);
    }
    if (file.complete) {
      jpeg = InspectJpeg(file.bytes);
    }
  }  // the file's bytes go before a decode needs the memory
  if (!jpeg) {
    return Reencode(place, scratch, std::nullopt);
  }
  const PixelSize upright = Upright(*jpeg);
  const PixelRect crop = CropPhoto(upright.width, upright.height, place.area.size(), place.crop);
  if (EffectiveDpi(crop, place.area.size()) > kPrintDpi) {
    return Reencode(place, scratch, upright);
  }
  PrintPhoto photo;
  photo.data = place.file;
  photo.jpeg = std::move(*jpeg);
  photo.original = true;
  photo.crop = crop;
  photo.photoSize = upright;
  photo.dpi = EffectiveDpi(crop, place.area.size());
  photo.embedded = upright;
  return photo;
}

}  // namespace lunetta
