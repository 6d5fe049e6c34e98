#include "render/composition.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "calendar/color_contrast.h"
#include "calendar/month_model.h"
#include "picture/load_picture_file.h"
#include "picture/picture_painter.h"
#include "platform/file_io.h"
#include "render/calendar_renderer.h"
#include "render/drawing.h"

namespace lunetta {

namespace {

constexpr std::int64_t kHeadersSize = 14 + 40;

bool Is24Bit(const QImage& image) {
  return image.format() == QImage::Format_RGB888 || image.format() == QImage::Format_BGR888;
}

void Put16(char* out, std::uint16_t value) {
  out[0] = static_cast<char>(value & 0xFF);
  out[1] = static_cast<char>(value >> 8);
}

void Put32(char* out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
}

// C = (A·α + B·β) >> 8 for each byte of a row. Runs of a fixed length let the compiler turn the
// inner loop into vector code at the usual optimisation level.
void BlendRow(uchar* __restrict destination, const uchar* __restrict source, std::size_t count,
              unsigned alpha, unsigned beta) {
  constexpr std::size_t kRun = 16;
  std::size_t i = 0;
  for (; i + kRun <= count; i += kRun) {
    for (std::size_t k = i; k < i + kRun; ++k) {
      destination[k] = static_cast<uchar>((source[k] * alpha + destination[k] * beta) >> 8);
    }
  }
  for (; i < count; ++i) {
    destination[i] = static_cast<uchar>((source[i] * alpha + destination[i] * beta) >> 8);
  }
}

// The `part` of `image`, sharing its pixels where their depth allows.
QImage PartOf(const QImage& image, const Rect& part) {
  const QRect rect(part.left, part.top, part.right - part.left, part.bottom - part.top);
  if (rect == image.rect()) {
    return image;
  }
  if (image.depth() < 8) {
    return image.copy(rect);
  }
  const qsizetype offset =
      rect.top() * image.bytesPerLine() + qsizetype{rect.left()} * (image.depth() / 8);
  // Read-only over the caller's pixels: nothing writes to it, so it never detaches.
  QImage shared(image.constBits() + offset, rect.width(), rect.height(), image.bytesPerLine(),
                image.format());
  shared.setColorTable(image.colorTable());
  return shared;
}

}  // namespace

QImage PictureBackground(QImage photo, PictureSize size, PhotoFit fit) {
  QImage shown;  // the photograph's part that shows, at its size on the picture
  Rect placed{0, 0, size.width, size.height};
  if (!photo.isNull()) {
    const PictureSize photoSize{photo.width(), photo.height()};
    if (fit == PhotoFit::Fill) {
      // What a fill shows is the picture's shape fitted into the photograph.
      const Rect part = PlacePhoto(size, photoSize, PhotoFit::Fit);
      shown = StretchHalftone(PartOf(photo, part), size.width, size.height);
    } else {
      placed = PlacePhoto(photoSize, size, fit);
      shown = StretchHalftone(photo, placed.right - placed.left, placed.bottom - placed.top);
    }
    photo = QImage();
  }
  const bool covers = placed == Rect{0, 0, size.width, size.height};
  if (!shown.isNull() && covers && !shown.hasAlphaChannel()) {
    return std::move(shown).convertToFormat(QImage::Format_RGB888);
  }
  QImage background(size.width, size.height, QImage::Format_RGB888);
  background.fill(ColorFromRef(DesktopBackgroundColor()));
  // The see-through parts of a photograph show the desktop colour, not black.
  if (!shown.isNull()) {
    QPainter painter(&background);
    painter.drawImage(placed.left, placed.top, shown);
  }
  return background;
}

Result<CalendarBlock> DrawCalendarBlock(const CalendarSettings& settings,
                                        const std::vector<int>& holidayDays,
                                        std::optional<PictureSize> picture, const DayMarks& marks) {
  try {
    BlockArrangement asStored;
    asStored.settings = settings;
    return DrawArrangedBlock(asStored, holidayDays, picture, marks);
  } catch (const InvalidArgumentError&) {
    return Failure(Fault::DateOutOfRange, {}, {},
                   QStringLiteral("%1-%2").arg(settings.year).arg(settings.month));
  }
}

ComposedPicture BlendCalendarBlock(QImage background, const CalendarBlock& block,
                                   const CalendarSettings& settings) {
  // Every picture goes through here, so no month's block is ever cut by the picture's edge: a
  // six-row month placed where a five-row one just fitted moves up by as much as its sixth row
  // needs.
  const Rect drawn = DrawnBlockRect(settings.startX, settings.startY, block.width, block.height,
                                    background.width(), background.height());
  ComposedPicture result{
      std::move(background), block.width, block.height, drawn.left, drawn.top, {}};
  // A failed blend (an opacity outside 0..255) leaves the picture without a block.
  const QRect blockRect(0, 0, block.width, block.height);
  const bool blended = BlendBlock(result.picture, blockRect.translated(drawn.left, drawn.top),
                                  block.surface, blockRect, settings.transparency);
  if (blended && !block.text.isNull()) {
    QPainter(&result.picture).drawImage(drawn.left, drawn.top, block.text);
  }
  return result;
}

Result<ComposedPicture> ComposeOver(QImage background, const CalendarSettings& settings,
                                    const std::vector<int>& holidayDays, const DayMarks& marks) {
  Result<PreparedBlock> result = PrepareBlock(
      settings, holidayDays, PictureSize{background.width(), background.height()}, marks);
  if (!result) {
    return result.failure();
  }
  PreparedBlock prepared = std::move(result).value();
  FinishBlock(prepared, background);
  ComposedPicture composed =
      BlendCalendarBlock(std::move(background), *prepared.block, prepared.arrangement.settings);
  composed.arrangement = std::move(prepared.arrangement);
  return composed;
}

Result<ComposedPicture> ComposeCalendar(const QImage& photo, const CalendarSettings& settings,
                                        const std::vector<int>& holidayDays,
                                        std::optional<PictureSize> screen) {
  return ComposeOver(
      PictureBackground(photo, PictureSizeOf(settings, screen), PhotoFitOf(settings)), settings,
      holidayDays);
}

bool BlendBlock(QImage& destination, const QRect& destinationRect, const QImage& source,
                const QRect& sourceRect, int opacity) {
  const int x = destinationRect.x();
  const int y = destinationRect.y();
  const int width = destinationRect.width();
  const int height = destinationRect.height();
  const int sourceX = sourceRect.x();
  const int sourceY = sourceRect.y();
  if (opacity < 0 || opacity > 255) {
    return false;
  }
  if (width <= 0 || height <= 0 || destinationRect.size() != sourceRect.size()) {
    return false;
  }
  if (!Is24Bit(destination) || source.format() != destination.format()) {
    return false;
  }

  // The part of the block rectangle that lies inside both images, in block coordinates. 64-bit so
  // that far-off positions cannot overflow.
  const std::int64_t left = std::max<std::int64_t>({0, -std::int64_t{x}, -std::int64_t{sourceX}});
  const std::int64_t top = std::max<std::int64_t>({0, -std::int64_t{y}, -std::int64_t{sourceY}});
  const std::int64_t right = std::min<std::int64_t>(
      {width, std::int64_t{destination.width()} - x, std::int64_t{source.width()} - sourceX});
  const std::int64_t bottom = std::min<std::int64_t>(
      {height, std::int64_t{destination.height()} - y, std::int64_t{source.height()} - sourceY});
  if (left >= right || top >= bottom) {
    return true;
  }

  const auto alpha = static_cast<unsigned>(opacity);
  const unsigned beta = 255 - alpha;
  const auto rowBytes = static_cast<std::size_t>(3 * (right - left));
  const qsizetype destinationStride = destination.bytesPerLine();
  const qsizetype sourceStride = source.bytesPerLine();
  uchar* destinationRow = destination.bits() + (y + top) * destinationStride + (x + left) * 3;
  const uchar* sourceRow =
      source.constBits() + (sourceY + top) * sourceStride + (sourceX + left) * 3;
  for (std::int64_t row = top; row < bottom; ++row) {
    BlendRow(destinationRow, sourceRow, rowBytes, alpha, beta);
    destinationRow += destinationStride;
    sourceRow += sourceStride;
  }
  return true;
}

Status SaveBitmapFile(const QImage& image, const std::filesystem::path& path) {
  const auto fail = [&path](Fault fault, QString detail = {}) {
    return Failure(fault, path, {}, std::move(detail));
  };
  if (image.isNull()) {
    return fail(Fault::NothingToWrite);
  }
  const QImage rgb = image.format() == QImage::Format_RGB888
                         ? image
                         : image.convertToFormat(QImage::Format_RGB888);
  if (rgb.isNull()) {
    return fail(Fault::EncodeFailed);
  }
  const std::int64_t width = rgb.width();
  const std::int64_t height = rgb.height();
  const std::int64_t stride = (3 * width + 3) & ~std::int64_t{3};
  const std::int64_t imageSize = height * stride;
  if (kHeadersSize + imageSize > std::int64_t{UINT32_MAX}) {
    return fail(Fault::EncodeFailed);
  }

  std::array<char, kHeadersSize> headers{};
  char* file = headers.data();
  Put16(file, 0x4D42);  // "BM"
  Put32(file + 2, static_cast<std::uint32_t>(kHeadersSize + imageSize));
  Put32(file + 10, static_cast<std::uint32_t>(kHeadersSize));
  char* info = file + 14;
  Put32(info, 40);
  Put32(info + 4, static_cast<std::uint32_t>(width));
  Put32(info + 8, static_cast<std::uint32_t>(height));  // positive: rows stored bottom-up
  Put16(info + 12, 1);
  Put16(info + 14, 24);
  Put32(info + 20, static_cast<std::uint32_t>(imageSize));

  // The program's own hand-off file: readable by the user alone.
  AtomicFileWriter out;
  AtomicWriteOptions privateFile;
  privateFile.mode = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
  privateFile.keepExistingMode = false;
  // Read back only while the program runs, and gone with its folder when it ends.
  privateFile.flush = Flush::Never;
  if (const std::error_code error = out.open(path, privateFile)) {
    return WritingFailure(path, error);
  }
  if (const std::error_code error = out.write(std::string_view(headers.data(), kHeadersSize))) {
    return WritingFailure(path, error);
  }
  // BMP stores blue, green, red; the padding bytes stay zero. Rows go out in batches of about a
  // quarter of a megabyte.
  const std::int64_t rowsPerBatch = std::max<std::int64_t>(1, (256 << 10) / stride);
  std::string batch;
  batch.reserve(static_cast<std::size_t>(rowsPerBatch * stride));
  for (std::int64_t y = height - 1; y >= 0; --y) {
    const uchar* in = rgb.constScanLine(static_cast<int>(y));
    const std::size_t start = batch.size();
    batch.resize(start + static_cast<std::size_t>(stride), '\0');
    auto* bgr = reinterpret_cast<uchar*>(batch.data() + start);
    for (std::int64_t i = 0; i < width; ++i) {
      bgr[3 * i] = in[3 * i + 2];
      bgr[3 * i + 1] = in[3 * i + 1];
      bgr[3 * i + 2] = in[3 * i];
    }
    if (static_cast<std::int64_t>(batch.size()) >= rowsPerBatch * stride || y == 0) {
      if (const std::error_code error = out.write(batch)) {
        return WritingFailure(path, error);
      }
      batch.clear();
    }
  }
  if (const std::error_code error = out.commit()) {
    return WritingFailure(path, error);
  }
  return {};
}

}  // namespace lunetta
