#include "session/year_export.h"

#include <QIODevice>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <algorithm>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#if __has_include(<unistd.h>)
#include <unistd.h>
#endif

#include "picture/atomic_file_device.h"
#include "picture/load_picture_file.h"
#include "picture/page_placement.h"
#include "picture/picture.h"
#include "platform/file_io.h"

namespace lunetta {

int YearWorkers() {
  if (std::thread::hardware_concurrency() < 2) {
    return 1;
  }
#if defined(_SC_AVPHYS_PAGES) && defined(_SC_PAGESIZE)
  // A decode holds at most the decoder's bound; a second one runs only while both fit.
  const long pages = ::sysconf(_SC_AVPHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  if (pages > 0 && pageSize > 0 &&
      static_cast<double>(pages) * static_cast<double>(pageSize) <
          2.0 * static_cast<double>(kMaxDecodedBytes)) {
    return 1;
  }
#endif
  return 2;
}

namespace {

// One photo's decode, shared by the months that show it and let go after the last of them.
struct SharedPhoto {
  std::mutex mutex;
  std::unique_ptr<PhotoBackdrop> backdrop;
  QImage background;  // taken from the backdrop once, shared by the months that show it
  int monthsLeft = 0;
};

class YearRun {
 public:
  YearRun(const YearPlan& plan, const YearWork& work, std::stop_token stop, int workers)
      : plan_(plan),
        work_(work),
        stop_(std::move(stop)),
        workers_(static_cast<std::size_t>(std::max(workers, 1))),
        ready_(plan.months.size()) {
    for (const MonthPlan& month : plan_.months) {
      if (!month.photo.empty()) {
        ++photos_[month.photo].monthsLeft;
      }
    }
  }

  YearOutcome Run() {
    YearOutcome outcome;
    const std::size_t count = plan_.months.size();
    {
      std::vector<std::jthread> threads;
      for (std::size_t i = 0; i < std::min(workers_, count); ++i) {
        threads.emplace_back([this] { Work(); });
      }
      while (outcome.delivered < static_cast<int>(count)) {
        std::optional<ComposedMonth> month;
        {
          std::unique_lock lock(mutex_);
          changed_.wait(lock, stop_, [&] { return failure_ || ready_[nextToDeliver_]; });
          if (failure_ || stop_.stop_requested()) {
            break;
          }
          month = std::move(ready_[nextToDeliver_]);
          ready_[nextToDeliver_].reset();
        }
        if (work_.deliver) {
          if (Status delivered = work_.deliver(*month); !delivered) {
            Fail(delivered.failure());
            break;
          }
        }
        {
          std::lock_guard lock(mutex_);
          ++nextToDeliver_;
        }
        changed_.notify_all();
        ++outcome.delivered;
        if (month->photoFailure) {
          outcome.photoFailures.emplace_back(month->month, *month->photoFailure);
        }
        if (work_.progress) {
          work_.progress(outcome.delivered, static_cast<int>(count));
        }
      }
      {
        std::lock_guard lock(mutex_);
        abandoned_ = true;  // the workers start no more months
      }
      changed_.notify_all();
    }
    if (failure_) {
      outcome.status = *failure_;
    }
    outcome.cancelled = !failure_ && outcome.delivered < static_cast<int>(count);
    std::sort(finished_.begin(), finished_.end());
    outcome.finished = std::move(finished_);
    return outcome;
  }

 private:
  void Fail(const Failure& failure) {
    {
      std::lock_guard lock(mutex_);
      if (!failure_) {
        failure_ = failure;
      }
    }
    changed_.notify_all();
  }

  void Work() {
    const std::size_t count = plan_.months.size();
    for (;;) {
      std::size_t index = 0;
      {
        std::unique_lock lock(mutex_);
        // Composed pictures are large: beyond the months being composed and the one being
        // delivered, none waits.
        const bool go = changed_.wait(lock, stop_, [&] {
          return abandoned_ || failure_ || nextToStart_ >= count ||
                 nextToStart_ < nextToDeliver_ + workers_ + 1;
        });
        if (!go || abandoned_ || failure_ || nextToStart_ >= count) {
          return;
        }
        index = nextToStart_++;
      }
      Result<ComposedMonth> month = Compose(plan_.months[index]);
      if (!month) {
        Fail(month.failure());
        return;
      }
      if (stop_.stop_requested()) {
        return;
      }
      if (work_.finish) {
        if (Status finished = work_.finish(month.value()); !finished) {
          Fail(finished.failure());
          return;
        }
      }
      {
        std::lock_guard lock(mutex_);
        if (work_.finish) {
          finished_.push_back(month->month);
        }
        ready_[index] = std::move(month).value();
      }
      changed_.notify_all();
    }
  }

  Result<ComposedMonth> Compose(const MonthPlan& plan) {
    // The block first, as the session does: text drawing needs no photo.
    DayMarks marks;
    marks.ownDays = DaysOfKind(plan.days, SpecialDayKind::Day);
    Result<PreparedBlock> preparedBlock = PrepareBlock(
        plan.settings, DaysOfKind(plan.days, SpecialDayKind::Holiday), plan_.size, marks);
    if (!preparedBlock) {
      return preparedBlock.failure();
    }
    PreparedBlock prepared = std::move(preparedBlock).value();
    ComposedMonth month;
    month.month = plan.settings.month;
    QImage background;
    if (plan.photo.empty()) {
      background = PictureBackground(QImage(), plan_.size);
    } else {
      SharedPhoto& shared = photos_.at(plan.photo);
      // A second month of the same photo waits here for the first one's decode.
      std::lock_guard lock(shared.mutex);
      if (!shared.backdrop) {
        shared.backdrop = std::make_unique<PhotoBackdrop>(plan_.loadPhoto);
        shared.backdrop->Choose(plan.photo);
        shared.background = shared.backdrop->TakeBackground(plan_.size, plan_.fit);
      }
      // Shared until the block goes on, which makes this month's own copy.
      background = shared.background;
      month.photoFailure = shared.backdrop->failure();
      if (--shared.monthsLeft == 0) {
        shared.backdrop.reset();
        shared.background = QImage();
      }
    }
    FinishBlock(prepared, background);
    month.composed =
        BlendCalendarBlock(std::move(background), *prepared.block, prepared.arrangement.settings);
    month.composed.arrangement = std::move(prepared.arrangement);
    return month;
  }

  const YearPlan& plan_;
  const YearWork& work_;
  const std::stop_token stop_;
  const std::size_t workers_;
  std::map<std::filesystem::path, SharedPhoto> photos_;  // nodes stay where they are

  std::mutex mutex_;
  std::condition_variable_any changed_;
  std::size_t nextToStart_ = 0;
  std::size_t nextToDeliver_ = 0;
  std::vector<std::optional<ComposedMonth>> ready_;  // composed, waiting for delivery
  std::optional<Failure> failure_;
  std::vector<int> finished_;
  bool abandoned_ = false;
};

}  // namespace

YearOutcome ComposeYear(const YearPlan& plan, const YearWork& work, std::stop_token stop,
                        int workers) {
  return YearRun(plan, work, std::move(stop), workers).Run();
}

YearOutcome SaveYearPictures(const YearPlan& plan,
                             const std::function<std::filesystem::path(int month)>& target,
                             const std::function<void(int done, int total)>& progress,
                             std::stop_token stop) {
  // A name no encoder takes fails before the first picture is composed.
  if (!plan.months.empty()) {
    const std::filesystem::path first = target(plan.months.front().settings.month);
    if (const Result<QByteArray> encoder = EncoderForPath(first); !encoder) {
      Failure failure = encoder.failure();
      failure.file = first;
      return {.status = failure};
    }
  }
  YearWork work;
  work.finish = [&target](const ComposedMonth& month) -> Status {
    const std::filesystem::path file = target(month.month);
    if (const Status saved = Picture(month.composed.picture).Save(file); !saved) {
      Failure failure = saved.failure();
      failure.file = file;
      return failure;
    }
    return {};
  };
  work.progress = progress;
  return ComposeYear(plan, work, std::move(stop));
}

PageSequence::PageSequence(QPagedPaintDevice& device, QSize pictureSize, PagePlacement placement)
    : device_(device), placement_(placement) {
  device_.setPageOrientation(OrientationFor(pictureSize));
}

Status PageSequence::Add(const QImage& picture) {
  if (!painter_.isActive()) {
    if (!painter_.begin(&device_)) {
      return Failure(Fault::PrinterNotStarted);
    }
  } else if (!device_.newPage()) {
    return Failure(Fault::PrinterNotStarted);
  }
  // The device's own pixels are far finer than the picture's: the engine scales as it renders.
  painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
  const QRectF area(0, 0, device_.width(), device_.height());
  painter_.drawImage(PlacePicture(QSizeF(picture.size()), area, placement_), picture);
  return {};
}

Status PageSequence::Finish() {
  if (painter_.isActive() && !painter_.end()) {
    return Failure(Fault::PrinterNotStarted);
  }
  return {};
}

YearOutcome WriteYearPdf(const YearPlan& plan, const std::filesystem::path& target,
                         const QPageLayout& layout, YearWork work, std::stop_token stop) {
  AtomicFileWriter file;
  AtomicWriteOptions options;
  options.flush = Flush::WhenReplacing;
  if (const std::error_code error = file.open(target, options)) {
    return {.status = WritingFailure(target, error)};
  }
  AtomicFileDevice device(file);
  QPdfWriter pdf(&device);
  pdf.setTitle(QString::fromLatin1(kDocumentName));
  pdf.setCreator(QStringLiteral("Lunetta"));
  pdf.setPageLayout(layout);
  // Fine enough for any picture size; the pictures themselves go in at their own pixels.
  pdf.setResolution(300);
  PageSequence pages(pdf, QSize(plan.size.width, plan.size.height), plan.placement);

  work.deliver = [&pages, first = std::move(work.deliver)](const ComposedMonth& month) -> Status {
    if (first) {
      if (Status done = first(month); !done) {
        return done;
      }
    }
    return pages.Add(month.composed.picture);
  };
  YearOutcome outcome = ComposeYear(plan, work, std::move(stop));
  const Status ended = pages.Finish();
  if (!outcome.status || outcome.cancelled) {
    return outcome;  // the writer's destructor removes the unfinished document
  }
  if (outcome.delivered == 0) {
    outcome.status = Failure(Fault::NothingToWrite, target);
  } else if (!ended) {
    outcome.status = ended;
  } else if (const std::error_code error = device.Finish()) {
    outcome.status = WritingFailure(target, error);
  } else if (const std::error_code error = file.commit()) {
    outcome.status = WritingFailure(target, error);
  }
  return outcome;
}

Result<MonthPhotos> PhotosForMonths(const std::filesystem::path& folder,
                                    const QStringList& patterns) {
  std::error_code error;
  std::filesystem::directory_iterator entries(folder, error);
  if (error) {
    return ReadingFailure(folder, error);
  }
  std::vector<std::filesystem::path> photos;
  for (const std::filesystem::directory_entry& entry : entries) {
    std::error_code statusError;
    // Links to pictures count; FIFOs and devices are never offered to the decoder.
    if (!entry.is_regular_file(statusError)) {
      continue;
    }
    const QString extension = FindExtension(QtPath(entry.path().filename())).toString();
    const bool photo = std::any_of(patterns.begin(), patterns.end(), [&](const QString& pattern) {
      return !extension.isEmpty() &&
             pattern.mid(1).compare(extension, Qt::CaseInsensitive) == 0;  // "*.jpg" -> ".jpg"
    });
    if (photo) {
      photos.push_back(entry.path());
    }
  }
  if (photos.empty()) {
    return Failure(Fault::NoPhotosInFolder, folder);
  }
  std::sort(photos.begin(), photos.end(), [](const auto& a, const auto& b) {
    return a.filename().native() < b.filename().native();
  });
  MonthPhotos months;
  for (std::size_t i = 0; i < months.size(); ++i) {
    months[i] = photos[i % photos.size()];
  }
  return months;
}

}  // namespace lunetta
