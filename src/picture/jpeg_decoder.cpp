#include "picture/jpeg_decoder.h"

#include <QIODevice>
#include <QImageIOHandler>
#include <QTransform>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <future>
#include <memory>
#include <optional>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "picture/area_scaler.h"
#include "picture/load_picture_file.h"

namespace lunetta {

namespace {

constexpr std::size_t kInputChunk = 64 << 10;
constexpr std::size_t kBandRows = 32;  // a multiple of every height libjpeg gives rows in

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back to the
// setjmp of the stage that called into the library. Warnings are counted, never printed.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  bool dataEndedInSegment;  // the coded data ran out in the middle of a scan
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, errors->message);
  std::longjmp(errors->jump, 1);
}

void EmitMessage(j_common_ptr info, int level) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  if (level < 0 && info->err->msg_code == JWRN_HIT_MARKER) {
    errors->dataEndedInSegment = true;
  }
}

void OutputMessage(j_common_ptr) {}

// Reads the device in chunks; at its end an end-of-image marker stands in for the missing data,
// as the library's own file source does.
struct DeviceSource {
  jpeg_source_mgr pub;
  QIODevice* device;
  JOCTET buffer[kInputChunk];
};

void InitSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr info) {
  auto* source = reinterpret_cast<DeviceSource*>(info->src);
  const qint64 count = source->device->read(reinterpret_cast<char*>(source->buffer), kInputChunk);
  if (count <= 0) {
    WARNMS(info, JWRN_JPEG_EOF);
    source->buffer[0] = 0xFF;
    source->buffer[1] = JPEG_EOI;
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = 2;
    return TRUE;
  }
  source->pub.next_input_byte = source->buffer;
  source->pub.bytes_in_buffer = static_cast<std::size_t>(count);
  return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
  auto* source = reinterpret_cast<DeviceSource*>(info->src);
  while (count > static_cast<long>(source->pub.bytes_in_buffer)) {
    count -= static_cast<long>(source->pub.bytes_in_buffer);
    FillInputBuffer(info);
  }
  source->pub.next_input_byte += count;
  source->pub.bytes_in_buffer -= static_cast<std::size_t>(count);
}

void TermSource(j_decompress_ptr) {}

// Everything one decode holds; libjpeg's own memory goes with jpeg_destroy_decompress.
struct Job {
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  std::unique_ptr<DeviceSource> source = std::make_unique<DeviceSource>();
  bool created = false;
  // A fill or a fit: two bands of decoded rows, one being scaled while the other is decoded.
  std::optional<AreaScaler> scaler;
  std::vector<JSAMPLE> bands[2];
  // Declared last, so that it is waited for before the scaler and the bands go.
  std::future<void> scaling;

  ~Job() {
    if (created) {
      jpeg_destroy_decompress(&info);
    }
  }
};

// The bytes of the whole-image coefficient buffers a progressive decode keeps.
qint64 CoefficientBytes(const jpeg_decompress_struct& info) {
  qint64 bytes = 0;
  for (int i = 0; i < info.num_components; ++i) {
    const jpeg_component_info& component = info.comp_info[i];
    const qint64 width = (component.width_in_blocks + component.h_samp_factor - 1) /
                         component.h_samp_factor * component.h_samp_factor;
    const qint64 height = (component.height_in_blocks + component.v_samp_factor - 1) /
                          component.v_samp_factor * component.v_samp_factor;
    bytes += width * height * static_cast<qint64>(sizeof(JBLOCK));
  }
  return bytes;
}

qint64 BlockCount(const jpeg_decompress_struct& info) {
  qint64 blocks = 0;
  for (int i = 0; i < info.num_components; ++i) {
    blocks += qint64(info.comp_info[i].width_in_blocks) * info.comp_info[i].height_in_blocks;
  }
  return blocks;
}

int CeilEighths(int side, int eighths) {
  return static_cast<int>((qint64(side) * eighths + 7) / 8);
}

std::uint16_t Read16(const JOCTET* at, bool bigEndian) {
  return bigEndian ? static_cast<std::uint16_t>(at[0] << 8 | at[1])
                   : static_cast<std::uint16_t>(at[1] << 8 | at[0]);
}

std::uint32_t Read32(const JOCTET* at, bool bigEndian) {
  return bigEndian ? std::uint32_t(Read16(at, true)) << 16 | Read16(at + 2, true)
                   : std::uint32_t(Read16(at + 2, false)) << 16 | Read16(at, false);
}

// The orientation (1..8) in an APP1 "Exif" segment's first image directory; 1 when there is none.
int ExifOrientation(const JOCTET* data, std::size_t size) {
  constexpr std::size_t kTiff = 6;  // after "Exif\0\0"
  if (size < kTiff + 8 || std::memcmp(data, "Exif\0\0", kTiff) != 0) {
    return 1;
  }
  const JOCTET* tiff = data + kTiff;
  const std::size_t length = size - kTiff;
  const bool bigEndian = tiff[0] == 'M' && tiff[1] == 'M';
  if (!bigEndian && !(tiff[0] == 'I' && tiff[1] == 'I')) {
    return 1;
  }
  const std::uint32_t directory = Read32(tiff + 4, bigEndian);
  if (directory > length - 2) {
    return 1;
  }
  const std::size_t entries = Read16(tiff + directory, bigEndian);
  for (std::size_t i = 0; i < entries; ++i) {
    const std::size_t entry = directory + 2 + 12 * i;
    if (entry + 12 > length) {
      break;
    }
    // Tag 0x0112, type SHORT: the value sits in the entry itself.
    if (Read16(tiff + entry, bigEndian) == 0x0112 && Read16(tiff + entry + 2, bigEndian) == 3) {
      const int value = Read16(tiff + entry + 8, bigEndian);
      return value >= 1 && value <= 8 ? value : 1;
    }
  }
  return 1;
}

// The EXIF orientations as the turns and mirrors that undo them.
QImageIOHandler::Transformations TransformationOf(int orientation) {
  switch (orientation) {
    case 2:
      return QImageIOHandler::TransformationMirror;
    case 3:
      return QImageIOHandler::TransformationRotate180;
    case 4:
      return QImageIOHandler::TransformationFlip;
    case 5:
      return QImageIOHandler::TransformationFlipAndRotate90;
    case 6:
      return QImageIOHandler::TransformationRotate90;
    case 7:
      return QImageIOHandler::TransformationMirrorAndRotate90;
    case 8:
      return QImageIOHandler::TransformationRotate270;
    default:
      return QImageIOHandler::TransformationNone;
  }
}

QImage Oriented(QImage image, QImageIOHandler::Transformations transformation) {
  if (transformation == QImageIOHandler::TransformationRotate270) {
    return image.transformed(QTransform().rotate(270));
  }
  if (transformation &
      (QImageIOHandler::TransformationMirror | QImageIOHandler::TransformationFlip)) {
    image = image.mirrored(transformation.testFlag(QImageIOHandler::TransformationMirror),
                           transformation.testFlag(QImageIOHandler::TransformationFlip));
  }
  if (transformation & QImageIOHandler::TransformationRotate90) {
    image = image.transformed(QTransform().rotate(90));
  }
  return image;
}

// What a fill or a fit shows of the decoded picture: the part that shows, and the size it shows at.
struct Shrink {
  QRect part;
  QSize size;
};

// The shrink that a fill or a fit of a `decoded` picture on a `fitSize` picture needs; nothing for
// a stretch, which keeps the picture whole for the stretch's own averaging, and where the part
// would have to grow.
std::optional<Shrink> ShrinkFor(QSize decoded, QSize fitSize, PhotoFit fit) {
  if (fit == PhotoFit::Stretch || !fitSize.isValid() || fitSize.isEmpty() || decoded.isEmpty()) {
    return std::nullopt;
  }
  const PictureSize photo{decoded.width(), decoded.height()};
  const PictureSize picture{fitSize.width(), fitSize.height()};
  Rect part{0, 0, photo.width, photo.height};
  QSize size = fitSize;
  if (fit == PhotoFit::Fill) {
    // The picture's shape fitted into the photograph is what a fill shows.
    part = PlacePhoto(picture, photo, PhotoFit::Fit);
  } else {
    const Rect placed = PlacePhoto(photo, picture, PhotoFit::Fit);
    size = QSize(placed.right - placed.left, placed.bottom - placed.top);
  }
  const QRect partRect(part.left, part.top, part.right - part.left, part.bottom - part.top);
  if (size.width() > partRect.width() || size.height() > partRect.height()) {
    return std::nullopt;
  }
  return Shrink{partRect, size};
}

enum class Stage { Done, Failed, TooLarge, TooShort };

// The calls into libjpeg, under setjmp. Only trivially destructible locals live in this frame, so
// a jump back from the library skips no destructor; the image belongs to the caller.
Stage Decode(Job& job, QIODevice& device, QSize fitSize, PhotoFit fit, qint64 maxBytes,
             QImage& image, int& orientation) {
  jpeg_decompress_struct& info = job.info;
  if (setjmp(job.errors.jump) != 0) {
    return Stage::Failed;
  }
  info.err = jpeg_std_error(&job.errors.pub);
  job.errors.pub.error_exit = ErrorExit;
  job.errors.pub.emit_message = EmitMessage;
  job.errors.pub.output_message = OutputMessage;
  jpeg_create_decompress(&info);
  job.created = true;

  DeviceSource& source = *job.source;
  source.device = &device;
  source.pub.init_source = InitSource;
  source.pub.fill_input_buffer = FillInputBuffer;
  source.pub.skip_input_data = SkipInputData;
  source.pub.resync_to_restart = jpeg_resync_to_restart;
  source.pub.term_source = TermSource;
  source.pub.bytes_in_buffer = 0;
  source.pub.next_input_byte = nullptr;
  info.src = &source.pub;

  jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(&info, TRUE);
  orientation = 1;
  for (jpeg_saved_marker_ptr marker = info.marker_list; marker != nullptr; marker = marker->next) {
    if (marker->marker == JPEG_APP0 + 1) {
      orientation = ExifOrientation(marker->data, marker->data_length);
      break;
    }
  }
  // The fit is in the turned picture's orientation; orientations 5 to 8 turn by a quarter.
  const QSize stored(static_cast<int>(info.image_width), static_cast<int>(info.image_height));
  const QSize storedFit = orientation >= 5 ? fitSize.transposed() : fitSize;
  info.scale_num = static_cast<unsigned>(ReducedDecodeEighths(stored, storedFit, fit));
  info.scale_denom = 8;
  info.out_color_space = JCS_EXT_BGRX;  // the byte order of QImage::Format_RGB32
  info.dct_method = JDCT_ISLOW;
  jpeg_calc_output_dimensions(&info);
  // A fill or a fit shrinks the rows as they come, and decodes no row that does not show.
  const std::optional<Shrink> shrink =
      ShrinkFor(QSize(static_cast<int>(info.output_width), static_cast<int>(info.output_height)),
                storedFit, fit);
  if (shrink) {
    info.out_color_space = JCS_RGB;  // the byte order of QImage::Format_RGB888
  }

  // Every Huffman-coded block takes at least one bit of the first scan: a file shorter than that
  // cannot hold the picture its header claims, whatever it would make us allocate.
  if (!info.arith_code && device.size() > 0 && device.size() * 8 < BlockCount(info)) {
    return Stage::TooShort;
  }
  const qint64 output = shrink ? qint64(shrink->size.width()) * shrink->size.height() * 3
                               : qint64(info.output_width) * info.output_height * 4;
  const qint64 coefficients = info.progressive_mode ? CoefficientBytes(info) : 0;
  // The output twice: turning it as its EXIF data asks makes a copy.
  if (2 * output + coefficients > maxBytes) {
    return Stage::TooLarge;
  }
  info.mem->max_memory_to_use = static_cast<long>(maxBytes);

  jpeg_start_decompress(&info);
  if (shrink) {
    image = QImage(shrink->size, QImage::Format_RGB888);
    if (image.isNull()) {
      return Stage::TooLarge;
    }
    // Cropping starts at a column of whole blocks at or left of the part.
    auto left = static_cast<JDIMENSION>(shrink->part.x());
    auto width = static_cast<JDIMENSION>(shrink->part.width());
    if (width < info.output_width) {
      jpeg_crop_scanline(&info, &left, &width);
    }
    const std::size_t offset = 3 * (static_cast<std::size_t>(shrink->part.x()) - left);
    const std::size_t stride = 3 * static_cast<std::size_t>(info.output_width);
    job.scaler.emplace(shrink->part.width(), shrink->part.height(), image);
    for (std::vector<JSAMPLE>& band : job.bands) {
      band.resize(stride * kBandRows);
    }
    jpeg_skip_scanlines(&info, static_cast<JDIMENSION>(shrink->part.y()));
    // The rows of a band are scaled on a second thread while the next band is decoded.
    std::size_t remaining = static_cast<std::size_t>(shrink->part.height());
    for (int band = 0; remaining > 0; band ^= 1) {
      JSAMPLE* rows = job.bands[band].data();
      const std::size_t count = std::min(remaining, kBandRows);
      for (std::size_t done = 0; done < count;) {
        JSAMPROW pointers[kBandRows];
        for (std::size_t i = done; i < count; ++i) {
          pointers[i - done] = rows + i * stride;
        }
        done += jpeg_read_scanlines(&info, pointers, static_cast<JDIMENSION>(count - done));
      }
      remaining -= count;
      if (job.scaling.valid()) {
        job.scaling.get();
      }
      job.scaling = std::async(std::launch::async | std::launch::deferred,
                               [&job, rows, count, stride, offset] {
                                 for (std::size_t i = 0; i < count; ++i) {
                                   job.scaler->AddRow(rows + i * stride + offset);
                                 }
                               });
    }
    job.scaling.get();
    jpeg_abort_decompress(&info);
    return Stage::Done;
  }
  image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                 QImage::Format_RGB32);
  if (image.isNull()) {
    return Stage::TooLarge;
  }
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  // Not jpeg_finish_decompress: it would look for the end-of-image marker, whose absence alone
  // does not make a picture incomplete.
  jpeg_abort_decompress(&info);
  return Stage::Done;
}

}  // namespace

bool IsJpeg(const QByteArray& head) {
  return head.size() >= 3 && static_cast<unsigned char>(head[0]) == 0xFF &&
         static_cast<unsigned char>(head[1]) == 0xD8 && static_cast<unsigned char>(head[2]) == 0xFF;
}

int ReducedDecodeEighths(QSize pictureSize, QSize fitSize, PhotoFit fit) {
  if (!fitSize.isValid() || fitSize.isEmpty() || pictureSize.isEmpty()) {
    return 8;
  }
  const Rect drawn = PlacePhoto({pictureSize.width(), pictureSize.height()},
                                {fitSize.width(), fitSize.height()}, fit);
  for (int eighths = 1; eighths < 8; ++eighths) {
    if (CeilEighths(pictureSize.width(), eighths) >= drawn.right - drawn.left &&
        CeilEighths(pictureSize.height(), eighths) >= drawn.bottom - drawn.top) {
      return eighths;
    }
  }
  return 8;
}

Result<DecodedPicture> DecodeJpeg(QIODevice& device, QSize fitSize, PhotoFit fit, qint64 maxBytes) {
  // Before the job: a decode that fails mid-way leaves the job's scaler still writing into it
  // until the job is gone.
  QImage image;
  Job job;
  int orientation = 1;
  const Stage stage = Decode(job, device, fitSize, fit, maxBytes, image, orientation);
  QSize size(static_cast<int>(job.info.image_width), static_cast<int>(job.info.image_height));
  if (orientation >= 5) {
    size.transpose();
  }
  switch (stage) {
    case Stage::Done:
      break;
    case Stage::Failed:
      return Failure(Fault::Undecodable, {}, {}, QString::fromLatin1(job.errors.message));
    case Stage::TooLarge: {
      Failure failure(Fault::TooLarge);
      failure.size = size;
      return failure;
    }
    case Stage::TooShort:
      return Failure(Fault::Truncated);
  }
  if (job.errors.dataEndedInSegment) {
    return Failure(Fault::Truncated);
  }
  return DecodedPicture{Oriented(std::move(image), TransformationOf(orientation)), size};
}

}  // namespace lunetta
