#include "wall/wall_pdf.h"

#include <QBuffer>
#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "picture/load_picture_file.h"
#include "platform/file_io.h"
#include "wall/pdf_assembly.h"
#include "wall/print_photo.h"
#include "wall/wall_painter.h"

namespace lunetta {

namespace {

// Qt's drawing resolution: fine enough that no coordinate it rounds is seen in print.
constexpr int kDrawingDpi = 1200;

QPageLayout PageLayoutOf(const PageFrame& frame) {
  const QSizeF media(frame.media.width, frame.media.height);
  const bool landscape = media.width() > media.height();
  const QPageSize size(landscape ? media.transposed() : media, QPageSize::Point, QString(),
                       QPageSize::ExactMatch);
  return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                     QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

// The pages' photos made ready on worker threads, ahead of the pages that take them in order. What
// waits is small: the pixels are in their files.
class PhotoQueue {
 public:
  PhotoQueue(std::vector<PagePhoto> places, std::filesystem::path scratch, int workers,
             std::stop_token stop)
      : places_(std::move(places)),
        scratch_(std::move(scratch)),
        stop_(std::move(stop)),
        ready_(places_.size()) {
    const int count =
        std::clamp(workers, 1, static_cast<int>(std::max<std::size_t>(places_.size(), 1)));
    for (int i = 0; i < count; ++i) {
      threads_.emplace_back([this] { Work(); });
    }
  }
  PhotoQueue(const PhotoQueue&) = delete;
  PhotoQueue& operator=(const PhotoQueue&) = delete;

  ~PhotoQueue() {
    {
      std::lock_guard lock(mutex_);
      abandoned_ = true;  // a photo under way is finished, no other is started
    }
    changed_.notify_all();
  }

  /// Page `page`'s photo when it is ready; nothing once `stop` is requested.
  std::optional<Result<PrintPhoto>> Take(std::size_t page) {
    std::unique_lock lock(mutex_);
    if (!changed_.wait(lock, stop_, [&] { return ready_[page].has_value(); })) {
      return std::nullopt;
    }
    return std::move(ready_[page]);
  }

 private:
  void Work() {
    for (;;) {
      std::size_t page = 0;
      {
        std::lock_guard lock(mutex_);
        if (abandoned_ || stop_.stop_requested() || next_ >= places_.size()) {
          return;
        }
        page = next_++;
      }
      const PagePhoto& place = places_[page];
      Result<PrintPhoto> photo =
          place.file.empty()
              ? Result<PrintPhoto>(Failure(Fault::NoFileNamed))
              : PreparePrintPhoto(place, scratch_ / ("photo-" + std::to_string(page) + ".jpg"));
      {
        std::lock_guard lock(mutex_);
        ready_[page] = std::move(photo);
      }
      changed_.notify_all();
    }
  }

  const std::vector<PagePhoto> places_;
  const std::filesystem::path scratch_;
  const std::stop_token stop_;
  std::mutex mutex_;
  std::condition_variable_any changed_;
  std::vector<std::optional<Result<PrintPhoto>>> ready_;
  std::size_t next_ = 0;
  bool abandoned_ = false;
  std::vector<std::jthread> threads_;  // last: joined before the rest goes
};

WallPageReport PageReport(const WallCalendar& calendar, const WallPage& page,
                          const PageFrame& frame) {
  WallPageReport report;
  report.page = page;
  if (page.kind == WallPageKind::Month) {
    const WallMonth& month = calendar.months[static_cast<std::size_t>(page.month)];
    report.year = month.year;
    report.month = month.month;
  }
  report.media = ToPdfBox(frame.media, frame);
  report.bleed = ToPdfBox(frame.bleed, frame);
  report.trim = ToPdfBox(frame.trim, frame);
  return report;
}

WallPhotoReport PhotoReport(const PagePhoto& place, const PrintPhoto& photo) {
  WallPhotoReport report;
  report.file = place.file;
  report.photo = photo.photoSize;
  report.crop =
      CropPhoto(photo.photoSize.width, photo.photoSize.height, place.area.size(), place.crop);
  report.dpi = photo.dpi;
  report.lowResolution = photo.dpi < kLowResolutionDpi;
  report.embedded = photo.embedded;
  report.asIs = photo.original;
  return report;
}

}  // namespace

WallOutcome WriteWallCalendarPdf(const WallCalendar& calendar, const std::filesystem::path& target,
                                 const std::function<void(int done, int total)>& progress,
                                 std::stop_token stop, int workers, MissingPhoto missing) {
  WallOutcome outcome;
  if (calendar.months.empty()) {
    outcome.status = Failure(Fault::NothingToWrite, target);
    return outcome;
  }
  for (const WallMonth& month : calendar.months) {
    try {
      BuildMonthGrid(month.year, month.month);
    } catch (const InvalidArgumentError&) {
      outcome.status = Failure(
          Fault::DateOutOfRange, {}, {},
          QStringLiteral("%1-%2").arg(month.year).arg(month.month, 2, 10, QLatin1Char('0')));
      return outcome;
    }
  }

  AtomicFileWriter file;
  AtomicWriteOptions options;
  options.flush = Flush::WhenReplacing;
  if (const std::error_code error = file.open(target, options)) {
    outcome.status = WritingFailure(target, error);
    return outcome;
  }
  std::error_code error;
  // Encoded photos wait here until the document is put together; no other user can reach them.
  const PrivateFolder scratch = PrivateFolder::Create(FilePath(QDir::tempPath()), error);
  if (error) {
    outcome.status = WritingFailure(FilePath(QDir::tempPath()), error);
    return outcome;
  }

  const PageFrame frame = FramePage(calendar.options);
  const std::vector<WallPage> pages = WallPages(calendar);
  std::vector<PagePhoto> places;
  for (const WallPage& page : pages) {
    places.push_back(PhotoOfPage(calendar, page));
  }
  PhotoQueue photos(places, scratch.path(), workers, stop);
  std::vector<PageFinish> finishes;
  QBuffer drawn;
  drawn.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&drawn);
    pdf.setTitle(QStringLiteral("LUNETTA"));
    pdf.setCreator(QStringLiteral("Lunetta"));
    pdf.setResolution(kDrawingDpi);
    pdf.setPageLayout(PageLayoutOf(frame));
    QPainter painter;
    for (std::size_t i = 0; i < pages.size(); ++i) {
      if (stop.stop_requested()) {
        outcome.cancelled = true;
        return outcome;  // the writer's destructor removes the unfinished document
      }
      if (i == 0 ? !painter.begin(&pdf) : !pdf.newPage()) {
        outcome.status = Failure(Fault::EncodeFailed, target);
        return outcome;
      }
      painter.save();
      painter.scale(kDrawingDpi / kPointsPerInch, kDrawingDpi / kPointsPerInch);
      PaintWallPage(painter, calendar, pages[i]);
      painter.restore();

      WallPageReport report = PageReport(calendar, pages[i], frame);
      PageFinish finish{frame, std::nullopt, places[i].area};
      std::optional<Result<PrintPhoto>> photo = photos.Take(i);
      if (!photo) {
        outcome.cancelled = true;
        return outcome;
      }
      if (places[i].file.empty()) {
        // No photo asked for: nothing to say.
      } else if (*photo) {
        report.photo = PhotoReport(places[i], photo->value());
        finish.photo = std::move(*photo).value();
      } else if (missing == MissingPhoto::Fails) {
        outcome.status = photo->failure();
        return outcome;
      } else {
        report.photoFailure = photo->failure();
      }
      finishes.push_back(std::move(finish));
      outcome.pages.push_back(std::move(report));
      if (progress) {
        progress(static_cast<int>(i) + 1, static_cast<int>(pages.size()));
      }
    }
    if (!painter.end()) {
      outcome.status = Failure(Fault::EncodeFailed, target);
      return outcome;
    }
  }

  const QByteArray& bytes = drawn.data();
  bool cancelled = false;
  const Status finished =
      FinishPdf(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                finishes, file, stop, cancelled);
  if (cancelled) {
    outcome.cancelled = true;
  } else if (!finished) {
    Failure failure = finished.failure();
    if (failure.file.empty()) {
      failure.file = target;
    }
    outcome.status = failure;
  } else if (const std::error_code committed = file.commit()) {
    outcome.status = WritingFailure(target, committed);
  }
  return outcome;
}

}  // namespace lunetta
