#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>
#include <vector>

#include "picture/failure.h"
#include "wall/wall_layout.h"

namespace lunetta {

/// How a page's photo went into the PDF.
struct WallPhotoReport {
  std::filesystem::path file;
  PixelSize photo;             // the photo's own pixels, upright
  PixelRect crop;              // the part of them that fills the photo's area
  double dpi = 0;              // the crop's pixels per inch at its printed size
  bool lowResolution = false;  // dpi below kLowResolutionDpi: its pixels will show in print
  PixelSize embedded;          // the pixels in the PDF: the crop's, or fewer at kPrintDpi
  bool asIs = false;           // the photo's own JPEG data, not encoded again
};

struct WallPageReport {
  WallPage page;
  int year = 0;  // of a month's page
  int month = 0;
  PdfBox media;
  PdfBox bleed;
  PdfBox trim;
  std::optional<WallPhotoReport> photo;
  std::optional<Failure> photoFailure;  // why a page that names a photo shows none
};

struct WallOutcome {
  Status status;
  bool cancelled = false;
  std::vector<WallPageReport> pages;  // the pages made, in order
};

/// What becomes of a page whose photo cannot be used.
enum class MissingPhoto {
  PageWithout,  // the page is made without it, and its report says why
  Fails,        // nothing is written: the photo's failure is the outcome's
};

/// Writes `calendar` as a PDF for print at `target`, atomically: a cancel or a failure leaves
/// whatever was at `target` as it was. Text and lines are vector with the fonts embedded; photos
/// keep their pixels up to kPrintDpi at their printed size. A page whose photo cannot be used is
/// made without it, or stops the whole, as `missing` says. `progress` hears after each page is
/// made; `stop` is looked at while a page waits for its photo and before each photo is written.
/// `workers` photos are made ready at once, each holding one decoded photo (YearWorkers() says what
/// the machine affords). DateOutOfRange for a month the calendar cannot place, NothingToWrite for
/// no months.
WallOutcome WriteWallCalendarPdf(const WallCalendar& calendar, const std::filesystem::path& target,
                                 const std::function<void(int done, int total)>& progress = {},
                                 std::stop_token stop = {}, int workers = 1,
                                 MissingPhoto missing = MissingPhoto::PageWithout);

}  // namespace lunetta
