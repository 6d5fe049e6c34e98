#pragma once

#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "picture/failure.h"
#include "wall/print_photo.h"
#include "wall/wall_layout.h"

namespace lunetta {

class AtomicFileWriter;

/// What a page of the drawn document gets that Qt's PDF writer cannot give it.
struct PageFinish {
  PageFrame frame;                  // its exact boxes
  std::optional<PrintPhoto> photo;  // its photo, placed into `area`
  PointRect area;
};

/// Writes `drawn` (a PDF of pages whose media boxes Qt rounded to whole points) to `out` with each
/// page's media, bleed and trim box set exactly as `pages` say, the drawing kept in place, and
/// each photo's JPEG data embedded as they are, under the drawing, cut to its area. The photos'
/// data are read from their files as they are written, one at a time. CannotWrite when `out`
/// fails; the reading failure of a photo file that changed since it was looked at; EncodeFailed,
/// with the PDF library's words, when `drawn` cannot be read.
Status FinishPdf(std::string_view drawn, const std::vector<PageFinish>& pages,
                 AtomicFileWriter& out, std::stop_token stop, bool& cancelled);

/// The PDF content that paints a photo's image (named kPdfImageName) so that its crop fills
/// `area` of a page `pageHeight` points high, turned upright as its orientation says.
std::string PhotoContent(const PrintPhoto& photo, const PointRect& area, double pageHeight);

}  // namespace lunetta
