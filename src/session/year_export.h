#pragma once

#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>
#include <utility>
#include <vector>

#include "calendar/calendar_settings.h"
#include "picture/failure.h"
#include "picture/page_placement.h"
#include "render/composition.h"
#include "session/photo_backdrop.h"
#include "settings/settings_store.h"

class QPagedPaintDevice;

namespace lunetta {

/// The title of every document Lunetta prints or writes as PDF.
inline constexpr char kDocumentName[] = "LUNETTA";

/// One month of an export as the session would compose it, taken whole so that it composes on any
/// thread while the session goes on.
struct MonthPlan {
  CalendarSettings settings;     // with the month's year and month
  std::vector<SpecialDay> days;  // the days the block marks: holidays in red, the user's own
  std::filesystem::path photo;   // empty: no photograph
};

/// The months of an export in the order they are handed on, their picture size and the loader of
/// their photos.
struct YearPlan {
  std::vector<MonthPlan> months;
  PictureSize size;
  PhotoFit fit = PhotoFit::Stretch;
  PagePlacement placement = PagePlacement::Fit;  // how printed pages hold the pictures
  PhotoLoader loadPhoto = [](const std::filesystem::path& path, QSize fitSize, PhotoFit fit) {
    return LoadPictureFile(path, fitSize, fit);
  };
};

/// A month of an export, composed.
struct ComposedMonth {
  int month = 0;
  ComposedPicture composed;
  std::optional<Failure> photoFailure;  // why the month's photo is not in its picture
};

/// What an export does with each composed month. Every part may be empty.
struct YearWork {
  /// On a worker thread, for two months at once where two compose at once: what belongs to the
  /// month alone, such as writing its file. A failure stops the export.
  std::function<Status(const ComposedMonth&)> finish;
  /// On the calling thread, in month order, after finish: what must go in order, such as a
  /// document's pages. A failure stops the export.
  std::function<Status(const ComposedMonth&)> deliver;
  /// On the calling thread after each delivered month.
  std::function<void(int done, int total)> progress;
};

struct YearOutcome {
  Status status;           // the failure that stopped the export
  bool cancelled = false;  // stopped by the caller before every month was delivered
  int delivered = 0;
  std::vector<int> finished{};                           // months whose finish succeeded, in order
  std::vector<std::pair<int, Failure>> photoFailures{};  // delivered months without their photo
};

/// How many months compose at once: two where the machine has two cores or more and free memory
/// for two of the largest decodes, otherwise one.
int YearWorkers();

/// Composes the months of `plan`, `workers` at a time, each photo decoded once for all the months
/// that show it and let go after the last of them. No month starts once `stop` is requested or a
/// step has failed; a month under way is finished or dropped whole.
YearOutcome ComposeYear(const YearPlan& plan, const YearWork& work, std::stop_token stop = {},
                        int workers = YearWorkers());

/// Writes each month of `plan` to `target(month)` in the format of its extension, atomically, so a
/// cancel or a failure leaves the files written so far complete and no other.
YearOutcome SaveYearPictures(const YearPlan& plan,
                             const std::function<std::filesystem::path(int month)>& target,
                             const std::function<void(int done, int total)>& progress = {},
                             std::stop_token stop = {});

/// The pages of a document, one picture each, every picture as large as the printable area allows
/// in its own shape, centred. The pages are turned to the shape of `pictureSize`.
class PageSequence {
 public:
  /// `device` must not be painted on yet.
  PageSequence(QPagedPaintDevice& device, QSize pictureSize,
               PagePlacement placement = PagePlacement::Fit);
  PageSequence(const PageSequence&) = delete;
  PageSequence& operator=(const PageSequence&) = delete;

  /// Paints `picture` on the next page; PrinterNotStarted when the device refuses a page.
  Status Add(const QImage& picture);
  /// Ends the document; PrinterNotStarted when the device reports a failure.
  Status Finish();

 private:
  QPagedPaintDevice& device_;
  PagePlacement placement_;
  QPainter painter_;
};

/// The months of `plan` as a PDF document titled "LUNETTA" at `target`, a page each as
/// PageSequence places them on `layout`'s paper, after `work`'s own steps for each month. Written
/// atomically: a cancel or a failure leaves whatever was at `target` as it was.
YearOutcome WriteYearPdf(const YearPlan& plan, const std::filesystem::path& target,
                         const QPageLayout& layout, YearWork work = {}, std::stop_token stop = {});

/// The pictures of a folder that give the months their photos: the regular files whose
/// extension is one of `patterns` ("*.jpg", ..., without regard to letter case), in byte order of
/// their names, repeated from the first when there are fewer than twelve. NoPhotosInFolder when
/// there is none; the reading failure when the folder cannot be listed.
Result<MonthPhotos> PhotosForMonths(const std::filesystem::path& folder,
                                    const QStringList& patterns);

}  // namespace lunetta
