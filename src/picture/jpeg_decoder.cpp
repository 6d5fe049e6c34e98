#include "picture/jpeg_decoder.h"

#include <QIODevice>
#include <QImageIOHandler>
#include <QTransform>
#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "picture/area_scaler.h"
#include "picture/jpeg_errors.h"
#include "picture/load_picture_file.h"

namespace lunetta {

namespace {

constexpr std::size_t kBandRows = 32;  // a multiple of every height libjpeg gives rows in

// Decodes running in this process. A second core helps a decode only while no other one holds it:
// splitting two decodes at once costs each the extra pass over coded data and gains nothing.
std::atomic<int> decodesRunning{0};

class RunningDecode {
 public:
  RunningDecode() : alone_(decodesRunning.fetch_add(1) == 0) {}
  ~RunningDecode() { decodesRunning.fetch_sub(1); }
  RunningDecode(const RunningDecode&) = delete;
  RunningDecode& operator=(const RunningDecode&) = delete;
  bool alone() const { return alone_ && decodesRunning.load() == 1; }

 private:
  bool alone_;
};

// Everything one decode holds; libjpeg's own memory goes with jpeg_destroy_decompress.
struct Job {
  jpeg_decompress_struct info{};
  JpegErrors errors{};
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

}  // namespace

int ExifOrientation(const unsigned char* data, std::size_t size) {
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

namespace {

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

// The calls into libjpeg, in stages, each under setjmp. Only trivially destructible locals live in
// these frames, so a jump back from the library skips no destructor; images belong to the caller.

// Reads the header of `data`, keeping the EXIF segment.
Stage ReadHeader(Job& job, const QByteArray& data) {
  jpeg_decompress_struct& info = job.info;
  if (setjmp(job.errors.jump) != 0) {
    return Stage::Failed;
  }
  info.err = InstallJpegErrors(job.errors);
  jpeg_create_decompress(&info);
  job.created = true;
  // At the end of the data the source reads an end-of-image marker, and warns.
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
               static_cast<unsigned long>(data.size()));
  jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(&info, TRUE);
  return Stage::Done;
}

int Orientation(const jpeg_decompress_struct& info) {
  for (jpeg_saved_marker_ptr marker = info.marker_list; marker != nullptr; marker = marker->next) {
    if (marker->marker == JPEG_APP0 + 1) {
      return ExifOrientation(marker->data, marker->data_length);
    }
  }
  return 1;
}

// Sets the decode up at `eighths`/8 of the size, into 32-bit rows.
Stage Scale(Job& job, int eighths) {
  jpeg_decompress_struct& info = job.info;
  if (setjmp(job.errors.jump) != 0) {
    return Stage::Failed;
  }
  info.scale_num = static_cast<unsigned>(eighths);
  info.scale_denom = 8;
  info.out_color_space = JCS_EXT_BGRX;  // the byte order of QImage::Format_RGB32
  info.dct_method = JDCT_ISLOW;
  jpeg_calc_output_dimensions(&info);
  return Stage::Done;
}

// ReadHeader, then Scale.
Stage Start(Job& job, const QByteArray& data, int eighths) {
  const Stage read = ReadHeader(job, data);
  return read == Stage::Done ? Scale(job, eighths) : read;
}

// Two decoders share the rows of one picture. The first decodes from the top; the second passes
// over the coded data from the top without making pixels, then decodes from where it stopped to
// the bottom. It stops passing once the rows below it are no more than the first still has to
// decode above it: that balances the two whatever passing costs at this scale and however busy
// each core is. Should the first get there before, it decodes them all and the second gives up.
class RowSplit {
 public:
  explicit RowSplit(JDIMENSION rows) : rows_(rows), split_(rows) {}

  /// The first decoder, about to decode from `from`: where its next band ends (`from` at the end).
  JDIMENSION Claim(JDIMENSION from, JDIMENSION band) {
    std::lock_guard lock(mutex_);
    claimedFrom_ = from;
    claimedTo_ = std::min(from + band, split_);
    return std::max(claimedTo_, from);
  }

  /// The first decoder has stopped, done or not: the second no longer waits for it.
  void FirstStopped() {
    std::lock_guard lock(mutex_);
    if (!decided_) {
      claimedTo_ = rows_;
    }
  }

  enum class Next { Pass, Decode, GiveUp };
  /// The second decoder, having passed over the rows before `passed`.
  Next Passed(JDIMENSION passed) {
    std::lock_guard lock(mutex_);
    if (claimedTo_ >= rows_) {
      return Next::GiveUp;
    }
    if (passed >= claimedTo_ && rows_ - passed <= passed - claimedFrom_) {
      decided_ = true;
      split_ = passed;
      return Next::Decode;
    }
    return Next::Pass;
  }

 private:
  std::mutex mutex_;
  const JDIMENSION rows_;
  JDIMENSION split_;  // where the second decodes from, once decided
  bool decided_ = false;
  JDIMENSION claimedFrom_ = 0;  // the first decoder's band
  JDIMENSION claimedTo_ = 0;
};

// The first decoder: bands from the top for as long as `split` gives it rows.
Stage ReadFromTop(Job& job, QImage& image, RowSplit& split, qint64 maxBytes) {
  jpeg_decompress_struct& info = job.info;
  if (setjmp(job.errors.jump) != 0) {
    return Stage::Failed;
  }
  info.mem->max_memory_to_use = static_cast<long>(maxBytes);
  jpeg_start_decompress(&info);
  for (JDIMENSION end;
       (end = split.Claim(info.output_scanline, kBandRows)) > info.output_scanline;) {
    while (info.output_scanline < end) {
      JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
      jpeg_read_scanlines(&info, &row, 1);
    }
  }
  // Not jpeg_finish_decompress: it would look for the end-of-image marker, whose absence alone
  // does not make a picture incomplete.
  jpeg_abort_decompress(&info);
  return Stage::Done;
}

// The second decoder: passes over whole rows of blocks until `split` says to decode the rest.
Stage ReadToBottom(Job& job, QImage& image, RowSplit& split, qint64 maxBytes) {
  jpeg_decompress_struct& info = job.info;
  if (setjmp(job.errors.jump) != 0) {
    return Stage::Failed;
  }
  info.mem->max_memory_to_use = static_cast<long>(maxBytes);
  jpeg_start_decompress(&info);
  // Passing over whole rows of blocks from one's start makes no pixels at all.
  const auto step = static_cast<JDIMENSION>(4 * info.max_v_samp_factor * info.min_DCT_scaled_size);
  RowSplit::Next next;
  while ((next = split.Passed(info.output_scanline)) == RowSplit::Next::Pass) {
    jpeg_skip_scanlines(&info, std::min(step, info.output_height - info.output_scanline));
  }
  while (next == RowSplit::Next::Decode && info.output_scanline < info.output_height) {
    JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_abort_decompress(&info);
  return Stage::Done;
}

// Decodes the part of the picture `shrink` shows, shrinking its rows to `shrink.size` on a second
// thread, band by band, as they come.
Stage ReadShrunk(Job& job, QImage& image, const Shrink& shrink, qint64 maxBytes) {
  jpeg_decompress_struct& info = job.info;
  if (setjmp(job.errors.jump) != 0) {
    return Stage::Failed;
  }
  info.mem->max_memory_to_use = static_cast<long>(maxBytes);
  info.out_color_space = JCS_RGB;  // the byte order of QImage::Format_RGB888
  jpeg_start_decompress(&info);
  // Cropping starts at a column of whole blocks at or left of the part.
  auto left = static_cast<JDIMENSION>(shrink.part.x());
  auto width = static_cast<JDIMENSION>(shrink.part.width());
  if (width < info.output_width) {
    jpeg_crop_scanline(&info, &left, &width);
  }
  const std::size_t offset = 3 * (static_cast<std::size_t>(shrink.part.x()) - left);
  const std::size_t stride = 3 * static_cast<std::size_t>(info.output_width);
  job.scaler.emplace(shrink.part.width(), shrink.part.height(), image);
  for (std::vector<JSAMPLE>& band : job.bands) {
    band.resize(stride * kBandRows);
  }
  jpeg_skip_scanlines(&info, static_cast<JDIMENSION>(shrink.part.y()));
  std::size_t remaining = static_cast<std::size_t>(shrink.part.height());
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
    job.scaling =
        std::async(std::launch::async | std::launch::deferred, [&job, rows, count, stride, offset] {
          for (std::size_t i = 0; i < count; ++i) {
            job.scaler->AddRow(rows + i * stride + offset);
          }
        });
  }
  job.scaling.get();
  jpeg_abort_decompress(&info);
  return Stage::Done;
}

Failure StageFailure(const Job& job, Stage stage) {
  return stage == Stage::TooShort
             ? Failure(Fault::Truncated)
             : Failure(Fault::Undecodable, {}, {}, QString::fromLatin1(job.errors.message));
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
  // In memory, so that two decoders can read it at once.
  if (device.size() > maxBytes / 2) {
    return Failure(Fault::TooLarge);
  }
  const QByteArray data = device.readAll();
  const RunningDecode running;
  // Before the jobs: a decode that fails mid-way leaves a job's scaler writing into the image
  // until the job is gone.
  QImage image;
  Job job;
  if (const Stage read = ReadHeader(job, data); read != Stage::Done) {
    return StageFailure(job, read);
  }
  const jpeg_decompress_struct& info = job.info;
  const int orientation = Orientation(info);
  // The fit is in the turned picture's orientation; orientations 5 to 8 turn by a quarter.
  const QSize stored(static_cast<int>(info.image_width), static_cast<int>(info.image_height));
  const bool turned = orientation >= 5;
  const QSize storedFit = turned ? fitSize.transposed() : fitSize;
  const int eighths = ReducedDecodeEighths(stored, storedFit, fit);
  if (const Stage scaled = Scale(job, eighths); scaled != Stage::Done) {
    return StageFailure(job, scaled);
  }
  const QSize size = turned ? stored.transposed() : stored;
  // Every Huffman-coded block takes at least one bit of the first scan: a file shorter than that
  // cannot hold the picture its header claims, whatever it would make us allocate.
  if (!info.arith_code && qint64(data.size()) * 8 < BlockCount(info)) {
    return Failure(Fault::Truncated);
  }
  // A fill or a fit shrinks the rows as they come, and decodes no row that does not show.
  const std::optional<Shrink> shrink =
      ShrinkFor(QSize(static_cast<int>(info.output_width), static_cast<int>(info.output_height)),
                storedFit, fit);
  const qint64 output = shrink ? qint64(shrink->size.width()) * shrink->size.height() * 3
                               : qint64(info.output_width) * info.output_height * 4;
  const qint64 coefficients = info.progressive_mode ? CoefficientBytes(info) : 0;
  // The file, and the output twice: turning it as its EXIF data asks makes a copy.
  const qint64 working = data.size() + 2 * output + coefficients;
  if (working <= maxBytes) {
    image = shrink ? QImage(shrink->size, QImage::Format_RGB888)
                   : QImage(static_cast<int>(info.output_width),
                            static_cast<int>(info.output_height), QImage::Format_RGB32);
  }
  if (image.isNull()) {
    Failure failure(Fault::TooLarge);
    failure.size = size;
    return failure;
  }
  if (shrink) {
    if (const Stage read = ReadShrunk(job, image, *shrink, maxBytes); read != Stage::Done) {
      return StageFailure(job, read);
    }
    if (job.errors.dataEndedInSegment) {
      return Failure(Fault::Truncated);
    }
    return DecodedPicture{Oriented(std::move(image), TransformationOf(orientation)), size};
  }

  // A large single-scan picture decodes on two cores at once, split where the two finish together.
  const JDIMENSION rows = info.output_height;
  const bool split = !info.progressive_mode && rows >= 512 &&
                     std::thread::hardware_concurrency() > 1 && running.alone();
  RowSplit rowSplit(rows);
  Job secondJob;  // before its future, which waits for the work on it
  std::future<std::pair<Stage, Job*>> second;
  if (split) {
    second = std::async(std::launch::async, [&] {
      Stage stage = Start(secondJob, data, eighths);
      if (stage == Stage::Done) {
        stage = ReadToBottom(secondJob, image, rowSplit, maxBytes);
      }
      return std::pair{stage, &secondJob};
    });
  }
  const Stage firstHalf = ReadFromTop(job, image, rowSplit, maxBytes);
  rowSplit.FirstStopped();
  if (split) {
    const auto [stage, other] = second.get();
    if (stage != Stage::Done) {
      return StageFailure(*other, stage);
    }
    if (other->errors.dataEndedInSegment) {
      return Failure(Fault::Truncated);
    }
  }
  if (firstHalf != Stage::Done) {
    return StageFailure(job, firstHalf);
  }
  if (job.errors.dataEndedInSegment) {
    return Failure(Fault::Truncated);
  }
  return DecodedPicture{Oriented(std::move(image), TransformationOf(orientation)), size};
}

}  // namespace lunetta
