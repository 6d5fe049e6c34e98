#include "picture/jpeg_decoder.h"

#include <QIODevice>
#include <QImageIOHandler>
#include <QTransform>
#include <algorithm>
#include <array>
#include <condition_variable>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <limits>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "picture/area_scaler.h"
#include "picture/jpeg_errors.h"
#include "picture/load_picture_file.h"

namespace lunetta {

namespace {

constexpr std::size_t kBandRows = 32;  // a multiple of every height libjpeg gives rows in
constexpr std::size_t kBands = 4;      // handed to the scaler, so that the decoder seldom waits

// The first bytes of a file too large to decode, read for the size its header gives.
constexpr qint64 kHeadBytes = qint64(1) << 20;

// Every Huffman-coded block takes at least one bit. An arithmetic-coded one may take far less, but
// no photograph comes near a quarter of a bit a block (a smooth sky takes three); a file shorter
// than that is refused, once its blocks are more than a fraction of a second's decoding.
constexpr qint64 kArithmeticBlocksPerByte = 32;
constexpr qint64 kArithmeticFreeBlocks = qint64(1) << 20;

// The bytes one picture's decode may take. Each allocation takes its bytes before it is made;
// nothing is given back before the decode ends, so what was taken is its peak.
class Budget {
 public:
  explicit Budget(qint64 bytes) : bound_(bytes), left_(bytes) {}

  /// Takes `bytes`, or nothing when fewer are left.
  bool Take(qint64 bytes) {
    if (bytes < 0 || bytes > left_) {
      return false;
    }
    left_ -= bytes;
    return true;
  }
  qint64 taken() const { return bound_ - left_; }

 private:
  const qint64 bound_;
  qint64 left_;
};

// Bands of decoded rows shrunk on a thread of their own, in the order they come, while the decoder
// goes on: it fills a free band, hands it over, and waits only while every band is waiting. Without
// a thread to spare, each band is shrunk as it is handed over.
class BandScaling {
 public:
  /// Bands of `bandBytes`; a row starts every `stride` bytes, its pixels `offset` bytes in.
  BandScaling(AreaScaler& scaler, std::size_t bandBytes, std::size_t stride, std::size_t offset)
      : scaler_(scaler), stride_(stride), offset_(offset), storage_(kBands) {
    for (std::vector<JSAMPLE>& band : storage_) {
      band.resize(bandBytes);
      free_.push_back(band.data());
    }
    try {
      thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
    }
  }
  /// Stops after the band being shrunk; the others are dropped.
  ~BandScaling() {
    {
      const std::lock_guard lock(mutex_);
      filled_.clear();
      ending_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) {
      thread_.join();
    }
  }
  BandScaling(const BandScaling&) = delete;
  BandScaling& operator=(const BandScaling&) = delete;

  JSAMPLE* Free() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !free_.empty(); });
    JSAMPLE* band = free_.back();
    free_.pop_back();
    return band;
  }

  void HandOver(JSAMPLE* band, std::size_t rows) {
    if (!thread_.joinable()) {
      Shrink({band, rows});
      free_.push_back(band);
      return;
    }
    {
      const std::lock_guard lock(mutex_);
      filled_.push_back({band, rows});
    }
    changed_.notify_all();
  }

  /// Waits until every band handed over is shrunk.
  void Finish() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return free_.size() == kBands; });
  }

 private:
  struct Filled {
    JSAMPLE* band;
    std::size_t rows;
  };

  void Shrink(const Filled& filled) {
    for (std::size_t i = 0; i < filled.rows; ++i) {
      scaler_.AddRow(filled.band + i * stride_ + offset_);
    }
  }

  void Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      changed_.wait(lock, [this] { return ending_ || !filled_.empty(); });
      if (filled_.empty()) {
        return;
      }
      const Filled filled = filled_.front();
      filled_.pop_front();
      lock.unlock();
      Shrink(filled);
      lock.lock();
      free_.push_back(filled.band);
      changed_.notify_all();
    }
  }

  AreaScaler& scaler_;
  const std::size_t stride_;
  const std::size_t offset_;
  std::vector<std::vector<JSAMPLE>> storage_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<JSAMPLE*> free_;
  std::deque<Filled> filled_;
  bool ending_ = false;
  std::thread thread_;
};

// Everything one decode holds; libjpeg's own memory goes with jpeg_destroy_decompress.
struct Job {
  explicit Job(Budget& budget) : budget(budget) {}
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;

  jpeg_decompress_struct info{};
  JpegErrors errors{};
  jpeg_progress_mgr progress{};
  jpeg_memory_mgr library{};  // libjpeg's own allocation methods, which the counted ones call
  Budget& budget;
  bool created = false;
  bool multiScan = false;
  std::array<bool, MAX_COMPONENTS> scanned{};  // components a scan has begun for
  bool scansMissing = false;
  // A shrink. The scaling goes first, so that it stops before the scaler goes.
  std::optional<AreaScaler> scaler;
  std::optional<BandScaling> scaling;

  ~Job() {
    if (created) {
      jpeg_destroy_decompress(&info);
    }
  }
};

Job& JobOf(j_common_ptr info) {
  return *static_cast<Job*>(info->client_data);
}

// Takes the bytes of an allocation libjpeg is about to make; past the budget the decode stops as
// it does when memory runs out.
Job& Charged(j_common_ptr info, std::uint64_t bytes) {
  Job& job = JobOf(info);
  if (bytes > std::uint64_t(std::numeric_limits<qint64>::max()) ||
      !job.budget.Take(static_cast<qint64>(bytes))) {
    ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
  }
  return job;
}

// Counts every allocation libjpeg makes for the decode against its budget. Whole-image arrays are
// counted when they are asked for, before any of them is made; none is ever kept outside memory.
void CountAllocations(Job& job) {
  jpeg_memory_mgr& memory = *job.info.mem;
  job.library = memory;
  memory.alloc_small = [](j_common_ptr info, int pool, std::size_t size) {
    return Charged(info, size).library.alloc_small(info, pool, size);
  };
  memory.alloc_large = [](j_common_ptr info, int pool, std::size_t size) {
    return Charged(info, size).library.alloc_large(info, pool, size);
  };
  memory.alloc_sarray = [](j_common_ptr info, int pool, JDIMENSION samples, JDIMENSION rows) {
    const std::uint64_t bytes =
        std::uint64_t(rows) * (samples * sizeof(JSAMPLE) + sizeof(JSAMPROW));
    return Charged(info, bytes).library.alloc_sarray(info, pool, samples, rows);
  };
  memory.alloc_barray = [](j_common_ptr info, int pool, JDIMENSION blocks, JDIMENSION rows) {
    const std::uint64_t bytes = std::uint64_t(rows) * (blocks * sizeof(JBLOCK) + sizeof(JBLOCKROW));
    return Charged(info, bytes).library.alloc_barray(info, pool, blocks, rows);
  };
  memory.request_virt_sarray = [](j_common_ptr info, int pool, boolean zero, JDIMENSION samples,
                                  JDIMENSION rows, JDIMENSION access) {
    const std::uint64_t bytes = std::uint64_t(rows) * samples * sizeof(JSAMPLE);
    return Charged(info, bytes)
        .library.request_virt_sarray(info, pool, zero, samples, rows, access);
  };
  memory.request_virt_barray = [](j_common_ptr info, int pool, boolean zero, JDIMENSION blocks,
                                  JDIMENSION rows, JDIMENSION access) {
    const std::uint64_t bytes = std::uint64_t(rows) * blocks * sizeof(JBLOCK);
    return Charged(info, bytes).library.request_virt_barray(info, pool, zero, blocks, rows, access);
  };
}

// Called before each step of reading coded data: notes the components of the scan being read.
void NoteScan(j_common_ptr common) {
  const auto* info = reinterpret_cast<j_decompress_ptr>(common);
  Job& job = JobOf(common);
  for (int i = 0; i < info->comps_in_scan; ++i) {
    job.scanned[static_cast<std::size_t>(info->cur_comp_info[i]->component_index)] = true;
  }
}

// Whether every component got all the scans a whole picture needs: every coefficient to its last
// bit in a progressive file, a scan in a sequential one.
bool EveryScanArrived(const Job& job) {
  const jpeg_decompress_struct& info = job.info;
  if (info.progressive_mode) {
    for (int component = 0; component < info.num_components; ++component) {
      for (int k = 0; k < DCTSIZE2; ++k) {
        if (info.coef_bits[component][k] != 0) {
          return false;
        }
      }
    }
    return true;
  }
  return std::all_of(job.scanned.begin(), job.scanned.begin() + info.num_components,
                     [](bool scanned) { return scanned; });
}

qint64 BlockCount(const jpeg_decompress_struct& info) {
  qint64 blocks = 0;
  for (int i = 0; i < info.num_components; ++i) {
    blocks += qint64(info.comp_info[i].width_in_blocks) * info.comp_info[i].height_in_blocks;
  }
  return blocks;
}

// Whether the file is too short to hold the blocks its header claims (see the constants above).
bool TooShortFor(const jpeg_decompress_struct& info, qint64 bytes) {
  const qint64 blocks = BlockCount(info);
  if (!info.arith_code) {
    return blocks > bytes * 8;
  }
  return blocks > kArithmeticFreeBlocks && blocks > bytes * kArithmeticBlocksPerByte;
}

bool IsCmyk(const jpeg_decompress_struct& info) {
  return info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
}

// A row of CMYK, as libjpeg gives it, into RGB in place: `bytes` 4 for QImage::Format_RGB32, 3
// for Format_RGB888. Adobe's CMYK, which nearly every CMYK JPEG is, is stored inverted (255 is no
// ink).
void CmykToRgb(JSAMPLE* row, JDIMENSION width, bool inverted, int bytes) {
  const auto channel = [inverted](unsigned ink, unsigned black) {
    if (!inverted) {
      ink = 255 - ink;
      black = 255 - black;
    }
    return static_cast<JSAMPLE>((ink * black + 127) / 255);
  };
  for (JDIMENSION x = 0; x < width; ++x) {
    const JSAMPLE* in = row + 4 * std::size_t{x};
    const JSAMPLE red = channel(in[0], in[3]);
    const JSAMPLE green = channel(in[1], in[3]);
    const JSAMPLE blue = channel(in[2], in[3]);
    JSAMPLE* out = row + static_cast<std::size_t>(bytes) * x;
    if (bytes == 4) {
      out[0] = blue;
      out[1] = green;
      out[2] = red;
      out[3] = 0xFF;
    } else {
      out[0] = red;
      out[1] = green;
      out[2] = blue;
    }
  }
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

std::optional<int> ExifOrientation(const unsigned char* data, std::size_t size) {
  constexpr std::size_t kTiff = 6;  // after "Exif\0\0"
  if (size < kTiff + 8 || std::memcmp(data, "Exif\0\0", kTiff) != 0) {
    return std::nullopt;
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

int SavedExifOrientation(const jpeg_decompress_struct& info) {
  for (jpeg_saved_marker_ptr marker = info.marker_list; marker != nullptr; marker = marker->next) {
    if (marker->marker == JPEG_APP0 + 1) {
      if (const std::optional<int> orientation =
              ExifOrientation(marker->data, marker->data_length)) {
        return *orientation;
      }
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

// The shrink a `decoded` picture needs; nothing where it is drawn whole at the size decoded.
std::optional<Shrink> JpegShrinkFor(QSize decoded, QSize fitSize, PhotoFit fit) {
  std::optional<Shrink> shrink = ShrinkFor(decoded, fitSize, fit);
  if (shrink && shrink->size == decoded && shrink->part.size() == decoded) {
    return std::nullopt;
  }
  return shrink;
}

enum class Stage { Done, Failed };

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
  info.client_data = &job;
  CountAllocations(job);
  job.progress.progress_monitor = NoteScan;
  info.progress = &job.progress;
  // At the end of the data the source reads an end-of-image marker, and warns.
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
               static_cast<unsigned long>(data.size()));
  jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(&info, TRUE);
  job.multiScan = jpeg_has_multiple_scans(&info);
  return Stage::Done;
}

// Sets the decode up at `eighths`/8 of the size, into 32-bit rows.
Stage Scale(Job& job, int eighths) {
  jpeg_decompress_struct& info = job.info;
  if (setjmp(job.errors.jump) != 0) {
    return Stage::Failed;
  }
  info.scale_num = static_cast<unsigned>(eighths);
  info.scale_denom = 8;
  // The byte order of QImage::Format_RGB32; CMYK is turned into it row by row.
  info.out_color_space = IsCmyk(info) ? JCS_CMYK : JCS_EXT_BGRX;
  info.dct_method = JDCT_ISLOW;
  jpeg_calc_output_dimensions(&info);
  return Stage::Done;
}

// Starts decompressing, which reads a file of several scans whole. One whose data end before a
// component got all its scans is cut, though each scan that came is whole.
Stage Begin(Job& job) {
  if (setjmp(job.errors.jump) != 0) {
    return Stage::Failed;
  }
  jpeg_start_decompress(&job.info);
  job.scansMissing = job.multiScan && job.errors.dataEnded && !EveryScanArrived(job);
  return Stage::Done;
}

// Turns a row just read into RGB when the picture is CMYK.
void ToRgb(const jpeg_decompress_struct& info, JSAMPLE* row, int bytes) {
  if (info.out_color_space == JCS_CMYK) {
    CmykToRgb(row, info.output_width, info.saw_Adobe_marker != 0, bytes);
  }
}

// Decodes the whole picture at its eighth.
Stage ReadWhole(Job& job, QImage& image) {
  jpeg_decompress_struct& info = job.info;
  if (setjmp(job.errors.jump) != 0) {
    return Stage::Failed;
  }
  // A cut shows in the first rows past it: the rest need no decoding.
  while (info.output_scanline < info.output_height && !job.errors.dataEndedInSegment) {
    JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
    ToRgb(info, row, 4);
  }
  // Not jpeg_finish_decompress: it would look for the end-of-image marker, whose absence alone
  // does not make a picture incomplete.
  jpeg_abort_decompress(&info);
  return Stage::Done;
}

// Decodes the part of the picture `shrink` shows, shrinking its rows to `shrink.size` on a second
// thread as they come.
Stage ReadShrunk(Job& job, QImage& image, const Shrink& shrink) {
  jpeg_decompress_struct& info = job.info;
  if (setjmp(job.errors.jump) != 0) {
    return Stage::Failed;
  }
  // Cropping starts at a column of whole blocks at or left of the part.
  auto left = static_cast<JDIMENSION>(shrink.part.x());
  auto width = static_cast<JDIMENSION>(shrink.part.width());
  if (width < info.output_width) {
    jpeg_crop_scanline(&info, &left, &width);
  }
  const std::size_t offset = 3 * (static_cast<std::size_t>(shrink.part.x()) - left);
  const std::size_t stride = static_cast<std::size_t>(info.output_components) *
                             static_cast<std::size_t>(info.output_width);
  job.scaler.emplace(shrink.part.width(), shrink.part.height(), image);
  job.scaling.emplace(*job.scaler, stride * kBandRows, stride, offset);
  jpeg_skip_scanlines(&info, static_cast<JDIMENSION>(shrink.part.y()));
  std::size_t remaining = static_cast<std::size_t>(shrink.part.height());
  while (remaining > 0 && !job.errors.dataEndedInSegment) {
    JSAMPLE* rows = job.scaling->Free();
    const std::size_t count = std::min(remaining, kBandRows);
    for (std::size_t done = 0; done < count;) {
      JSAMPROW pointers[kBandRows];
      for (std::size_t i = done; i < count; ++i) {
        pointers[i - done] = rows + i * stride;
      }
      const JDIMENSION read =
          jpeg_read_scanlines(&info, pointers, static_cast<JDIMENSION>(count - done));
      for (JDIMENSION i = 0; i < read; ++i) {
        ToRgb(info, pointers[i], 3);
      }
      done += read;
    }
    remaining -= count;
    job.scaling->HandOver(rows, count);
  }
  job.scaling->Finish();
  jpeg_abort_decompress(&info);
  return Stage::Done;
}

// Why a stage failed: the budget, or the decoder's words.
Failure StageFailure(const Job& job, QSize size) {
  const int code = job.errors.pub.msg_code;
  if (code == JERR_OUT_OF_MEMORY || code == JERR_NO_BACKING_STORE) {
    return Failure::TooLarge(size);
  }
  return Failure(Fault::Undecodable, {}, {}, QString::fromLatin1(job.errors.message));
}

// A decoder's stop: the failure of its stage, a cut, or nothing.
std::optional<Failure> Stopped(const Job& job, Stage stage, QSize size) {
  if (stage != Stage::Done) {
    return StageFailure(job, size);
  }
  if (job.errors.dataEndedInSegment || job.scansMissing) {
    return Failure(Fault::Truncated);
  }
  return std::nullopt;
}

// The size a JPEG's header gives, turned as its EXIF data says; none when `head` holds no whole
// header.
QSize HeaderSize(const QByteArray& head, qint64 maxBytes) {
  Budget budget(maxBytes);
  Job job(budget);
  if (ReadHeader(job, head) != Stage::Done) {
    return {};
  }
  const QSize stored(static_cast<int>(job.info.image_width),
                     static_cast<int>(job.info.image_height));
  return SavedExifOrientation(job.info) >= 5 ? stored.transposed() : stored;
}

// What the decode allocates itself: the output, a turned copy of it, and for a shrink two bands of
// decoded rows and the scaler's sums (about 32 bytes a column and 8 a row of the part it shrinks).
qint64 OwnBytes(const jpeg_decompress_struct& info, const std::optional<Shrink>& shrink,
                bool turns) {
  if (!shrink) {
    const qint64 output = qint64(info.output_width) * info.output_height * 4;
    return turns ? 2 * output : output;
  }
  const QSize size = shrink->size;
  const qint64 output = qint64((3 * size.width() + 3) / 4 * 4) * size.height();
  const qint64 bands = qint64(kBands * kBandRows) * (IsCmyk(info) ? 4 : 3) * info.output_width;
  const qint64 scaler =
      32 * qint64(shrink->part.width()) + 8 * qint64(shrink->part.height()) + 16 * size.width();
  return (turns ? 2 * output : output) + bands + scaler;
}

std::optional<Failure> DecodeWhole(Job& job, QImage& image, QSize size) {
  if (const Stage begun = Begin(job); begun != Stage::Done) {
    return StageFailure(job, size);
  }
  return Stopped(job, ReadWhole(job, image), size);
}

// The part that shows, shrunk as it is decoded.
std::optional<Failure> DecodeShrunk(Job& job, QImage& image, const Shrink& shrink, QSize size) {
  job.info.out_color_space = IsCmyk(job.info) ? JCS_CMYK : JCS_RGB;  // for QImage::Format_RGB888
  if (const Stage begun = Begin(job); begun != Stage::Done) {
    return StageFailure(job, size);
  }
  return Stopped(job, ReadShrunk(job, image, shrink), size);
}

// What a decode makes of a picture, decided from its header before any pixel is decoded.
struct Plan {
  int orientation = 1;
  QSize size;       // the whole picture's, turned as it shows
  QSize storedFit;  // the picture it is drawn on, in the stored picture's orientation
  int eighths = 8;
  std::optional<Shrink> shrink;
};

Plan PlanFor(const jpeg_decompress_struct& info, QSize fitSize, PhotoFit fit) {
  Plan plan;
  plan.orientation = SavedExifOrientation(info);
  // The fit is in the turned picture's orientation; orientations 5 to 8 turn by a quarter.
  const QSize stored(static_cast<int>(info.image_width), static_cast<int>(info.image_height));
  const bool turned = plan.orientation >= 5;
  plan.size = turned ? stored.transposed() : stored;
  plan.storedFit = turned ? fitSize.transposed() : fitSize;
  plan.eighths = ReducedDecodeEighths(stored, plan.storedFit, fit);
  return plan;
}

QSize OutputSize(const jpeg_decompress_struct& info) {
  return QSize(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
}

// The image the decode writes into, within what is left of `budget`; null past it.
QImage OutputFor(const jpeg_decompress_struct& info, const Plan& plan, Budget& budget) {
  if (!budget.Take(OwnBytes(info, plan.shrink, plan.orientation != 1))) {
    return QImage();
  }
  return plan.shrink ? QImage(plan.shrink->size, QImage::Format_RGB888)
                     : QImage(OutputSize(info), QImage::Format_RGB32);
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
  Budget budget(maxBytes);
  // Whole in memory, counted against the bound.
  if (!budget.Take(device.size())) {
    return Failure::TooLarge(HeaderSize(device.peek(kHeadBytes), maxBytes));
  }
  const QByteArray data = device.readAll();
  // Before the job: a decode that fails mid-way leaves a job's scaler writing into the image
  // until the job is gone.
  QImage image;
  Job job(budget);
  if (ReadHeader(job, data) != Stage::Done) {
    return StageFailure(job, {});
  }
  Plan plan = PlanFor(job.info, fitSize, fit);
  if (Scale(job, plan.eighths) != Stage::Done) {
    return StageFailure(job, plan.size);
  }
  if (TooShortFor(job.info, data.size())) {
    return Failure(Fault::Truncated);
  }
  plan.shrink = JpegShrinkFor(OutputSize(job.info), plan.storedFit, fit);
  image = OutputFor(job.info, plan, budget);
  if (image.isNull()) {
    return Failure::TooLarge(plan.size);
  }
  if (const std::optional<Failure> failure = plan.shrink
                                                 ? DecodeShrunk(job, image, *plan.shrink, plan.size)
                                                 : DecodeWhole(job, image, plan.size)) {
    return *failure;
  }
  return DecodedPicture{Oriented(std::move(image), TransformationOf(plan.orientation)), plan.size,
                        budget.taken()};
}

}  // namespace lunetta
