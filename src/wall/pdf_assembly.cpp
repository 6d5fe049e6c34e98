#include "wall/pdf_assembly.h"

#include <unistd.h>

#include <array>
#include <exception>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "wall/pdf_rewrite.h"

namespace lunetta {

namespace {

// Where a point (u, v) of a stored picture, from its top left in parts of its sides, lies in the
// upright picture, for EXIF orientations 1 to 8: x = a + b·u + c·v, y = d + e·u + f·v.
constexpr std::array<std::array<int, 6>, 8> kUpright = {{
    {0, 1, 0, 0, 0, 1},    // as stored
    {1, -1, 0, 0, 0, 1},   // mirrored
    {1, -1, 0, 1, 0, -1},  // half a turn
    {0, 1, 0, 1, 0, -1},   // mirrored upside down
    {0, 0, 1, 0, 1, 0},    // transposed
    {1, 0, -1, 0, 1, 0},   // a quarter turn clockwise
    {1, 0, -1, 1, -1, 0},  // transverse
    {0, 0, 1, 1, -1, 0},   // a quarter turn anticlockwise
}};

// Ends a write from inside a photo's data; the reason is kept apart, since the PDF library may
// wrap the exception in words of its own.
struct WriteStopped {};

struct Stopping {
  std::stop_token token;
  std::optional<Failure> failure{};
  bool cancelled = false;

  [[noreturn]] void Fail(Failure reason) {
    failure = std::move(reason);
    throw WriteStopped{};
  }
};

// Writes a photo's JPEG data: the header segments decoding needs, then the file from its first
// scan to its end of image, read a piece at a time.
void WritePhoto(const PrintPhoto& photo, const std::function<void(std::string_view)>& write,
                Stopping& stopping) {
  if (stopping.token.stop_requested()) {
    stopping.cancelled = true;
    throw WriteStopped{};
  }
  std::error_code error;
  const UniqueFd fd = OpenRegularFile(photo.data, error);
  if (error) {
    stopping.Fail(ReadingFailure(photo.data, error));
  }
  write(photo.jpeg.header);
  std::vector<char> buffer(std::size_t{1} << 20);
  std::uint64_t offset = photo.jpeg.scanOffset;
  while (offset < photo.jpeg.end) {
    const auto want =
        static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), photo.jpeg.end - offset));
    const ssize_t count = ::pread(fd.get(), buffer.data(), want, static_cast<off_t>(offset));
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count < 0) {
      stopping.Fail(ReadingFailure(photo.data, std::error_code(errno, std::generic_category())));
    }
    if (count == 0) {
      stopping.Fail(Failure(Fault::Truncated, photo.data));  // cut short since it was looked at
    }
    write(std::string_view(buffer.data(), static_cast<std::size_t>(count)));
    offset += static_cast<std::uint64_t>(count);
  }
}

PdfCorners Corners(const PointRect& rect, const PageFrame& frame) {
  const PdfBox box = ToPdfBox(rect, frame);
  return {box.left, box.bottom, box.right, box.top};
}

std::string Numbers(std::initializer_list<double> values) {
  std::string text;
  for (const double value : values) {
    text += PdfNumber(value) + ' ';
  }
  return text;
}

}  // namespace

std::string PhotoContent(const PrintPhoto& photo, const PointRect& area, double pageHeight) {
  const EmbeddableJpeg& jpeg = photo.jpeg;
  const int orientation = jpeg.orientation >= 1 && jpeg.orientation <= 8 ? jpeg.orientation : 1;
  const bool quarter = orientation >= 5;
  const double uprightWidth = quarter ? jpeg.height : jpeg.width;
  const double uprightHeight = quarter ? jpeg.width : jpeg.height;
  const double sx = area.width / photo.crop.width;
  const double sy = area.height / photo.crop.height;
  const PointRect whole{area.x - photo.crop.x * sx, area.y - photo.crop.y * sy, uprightWidth * sx,
                        uprightHeight * sy};
  // The image space's unit square, (0, 0) at the stored picture's bottom left, as it lands on the
  // page: turned upright, then stretched over `whole`.
  const std::array<int, 6>& m = kUpright[static_cast<std::size_t>(orientation - 1)];
  const auto land = [&](double a, double b) {
    const double u = a;
    const double v = 1 - b;
    const double x = m[0] + m[1] * u + m[2] * v;
    const double y = m[3] + m[4] * u + m[5] * v;
    return std::pair{whole.x + x * whole.width, pageHeight - (whole.y + y * whole.height)};
  };
  const auto [e, f] = land(0, 0);
  const auto [ax, ay] = land(1, 0);
  const auto [cx, cy] = land(0, 1);
  return "q\n" + Numbers({area.x, pageHeight - area.bottom(), area.width, area.height}) +
         "re W n\n" + Numbers({ax - e, ay - f, cx - e, cy - f, e, f}) + "cm\n" + kPdfImageName +
         " Do\nQ\n";
}

Status FinishPdf(std::string_view drawn, const std::vector<PageFinish>& pages,
                 AtomicFileWriter& out, std::stop_token stop, bool& cancelled) {
  Stopping stopping{std::move(stop)};
  cancelled = false;
  if (stopping.token.stop_requested()) {
    cancelled = true;
    return {};
  }
  std::vector<PdfPageChange> changes;
  for (const PageFinish& page : pages) {
    PdfPageChange& change = changes.emplace_back();
    change.media = Corners(page.frame.media, page.frame);
    change.bleed = Corners(page.frame.bleed, page.frame);
    change.trim = Corners(page.frame.trim, page.frame);
    if (page.photo) {
      const PrintPhoto& photo = *page.photo;
      change.image =
          PdfJpegImage{photo.jpeg.width, photo.jpeg.height, photo.jpeg.components,
                       PhotoContent(photo, page.area, page.frame.media.height),
                       [&photo, &stopping](const std::function<void(std::string_view)>& write) {
                         WritePhoto(photo, write, stopping);
                       }};
    }
  }
  std::error_code written;
  try {
    RewritePdf(drawn, changes, [&out, &written](std::string_view bytes) {
      if (!written) {
        written = out.write(bytes);
      }
    });
  } catch (const WriteStopped&) {
  } catch (const std::exception& error) {
    if (!stopping.failure && !stopping.cancelled) {
      return Failure(Fault::EncodeFailed, {}, {}, QString::fromUtf8(error.what()));
    }
  }
  cancelled = stopping.cancelled;
  if (stopping.failure) {
    return *stopping.failure;
  }
  if (written) {
    return Failure(Fault::CannotWrite, {}, written);
  }
  return {};
}

}  // namespace lunetta
