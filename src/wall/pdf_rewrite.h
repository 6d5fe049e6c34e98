#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What Qt's PDF writer cannot do, done through qpdf on the document it wrote. Standard library
// types only, and C++17: qpdf 11.3's headers do not compile as C++20 under clang.

namespace lunetta {

/// A box as PDF corners: left, bottom, right, top in points.
using PdfCorners = std::array<double, 4>;

/// A JPEG image put on a page under everything drawn there.
struct PdfJpegImage {
  int width = 0;  // as stored
  int height = 0;
  int components = 3;  // 1: grey, 3: colour
  /// Page content that paints the image, which it names kPdfImageName.
  std::string content;
  /// Writes the image's JPEG data through `write`, a piece at a time; may throw to end the write.
  std::function<void(const std::function<void(std::string_view)>& write)> data;
};

inline constexpr char kPdfImageName[] = "/LunettaPhoto";

/// New boxes for a page, and an image under its drawing.
struct PdfPageChange {
  PdfCorners media{};
  PdfCorners bleed{};
  PdfCorners trim{};
  std::optional<PdfJpegImage> image;
};

/// Writes `drawn`, a PDF of as many pages as `changes`, through `write` with each page changed as
/// its entry says. What is drawn keeps its place below the media box's top edge (Qt rounds the
/// media box to whole points). Streams that are there go through as they are; an image's data
/// are fetched as the image is written. Throws what qpdf throws and what an image's `data` throws.
void RewritePdf(std::string_view drawn, const std::vector<PdfPageChange>& changes,
                const std::function<void(std::string_view)>& write);

/// Writes `pdf` through `write` with its pages in `order`, a list of page indexes from 0 in which a
/// page may come again: a page that does share its content and images with its first showing, so
/// the file grows by little more than the page's own dictionary. Throws what qpdf throws, and
/// std::out_of_range for an index the document has no page for.
void RepeatPdfPages(std::string_view pdf, const std::vector<int>& order,
                    const std::function<void(std::string_view)>& write);

/// `value` as PDF content writes a number: no exponent, and a point whatever the C locale says.
std::string PdfNumber(double value);

}  // namespace lunetta
