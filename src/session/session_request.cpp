#include "session/session_request.h"

#include <QThread>
#include <algorithm>
#include <future>
#include <memory>
#include <mutex>
#include <set>
#include <system_error>

#include "picture/jpeg_decoder.h"
#include "picture/load_picture_file.h"
#include "picture/picture.h"
#include "platform/file_io.h"
#include "session/calendar_session.h"
#include "session/renewal.h"
#include "session/session_wallpaper.h"
#include "session/year_export.h"
#include "settings/profile.h"

namespace lunetta {

namespace {

// The main photo, each month's from the folder, then the months named one by one; or the ones the
// profile remembers.
Status ChoosePhotos(CalendarSession& session, const RequestSources& from, bool remembered) {
  if (remembered) {
    session.ChoosePhoto(session.rememberedPhoto());
    for (int month = 1; month <= 12; ++month) {
      session.ChooseMonthPhoto(month, session.rememberedMonthPhotos()[month - 1]);
    }
    return {};
  }
  session.ChoosePhoto(from.photo);
  if (!from.photosFolder.empty()) {
    const Result<MonthPhotos> photos = PhotosForMonths(from.photosFolder, PhotoFilePatterns());
    if (!photos) {
      return photos.failure();
    }
    for (int month = 1; month <= 12; ++month) {
      session.ChooseMonthPhoto(month, photos.value()[month - 1]);
    }
  }
  for (const auto& [month, photo] : from.monthPhotos) {
    session.ChooseMonthPhoto(month, photo);
  }
  return {};
}

class Carrier {
 public:
  Carrier(CalendarSession& session, const SessionRequest& request)
      : session_(session),
        request_(request),
        months_(request.months.empty() ? std::vector{session.month()} : request.months),
        composes_(request.setWallpaper || !request.pictures.empty() || !request.pdf.empty() ||
                  !request.wallPdf.empty()),
        oneMonth_(months_.size() == 1 && request.pdf.empty() && request.wallPdf.empty()) {}

  RequestOutcome Run() {
    if (request_.sources && !Prepare(*request_.sources)) {
      return outcome_;
    }
    if (unchanged_) {
      outcome_.unchanged = true;
      return outcome_;
    }
    if (request_.renewal && !ChangeRenewal(*request_.renewal)) {
      return outcome_;
    }
    if (!request_.wallPdf.empty()) {
      ComposeWall();
    } else if (composes_) {
      oneMonth_ ? ComposeMonth() : ComposeMonths();
    }
    return outcome_;
  }

 private:
  bool Fail(RequestStep step, const Failure& failure) {
    outcome_.step = step;
    outcome_.status = failure;
    return false;
  }

  // Settings, photos, year and holidays from the files the request names.
  bool Prepare(const RequestSources& from) {
    std::filesystem::path profile = session_.profilePath();
    if (!from.settingsFile.empty()) {
      profile = from.settingsFile;
      std::error_code error;
      if (!OpenRegularFile(profile, error)) {
        return Fail(RequestStep::Settings, ReadingFailure(profile, error));
      }
    }
    if (const Status loaded = session_.LoadSettings(profile); !loaded) {
      return Fail(RequestStep::Settings, loaded.failure());
    }
    CalendarSettings settings = session_.settings();
    snapshot_ = ReadRenewalSnapshotStyle(profile, settings);
    if (snapshot_) {
      snapshotFile_ = profile;
      keptScreens_ = ReadRenewalSnapshotScreens(profile);
    }
    if (from.adjustSettings) {
      if (const Status adjusted = from.adjustSettings(settings, session_.screenSize()); !adjusted) {
        return Fail(RequestStep::Adjust, adjusted.failure());
      }
    }
    for (const CalendarFile& named : from.calendarFiles) {
      if (std::find(settings.calendarFiles.begin(), settings.calendarFiles.end(), named) ==
          settings.calendarFiles.end()) {
        settings.calendarFiles.push_back(named);
      }
    }
    session_.ApplySettings(settings);
    if (!CheckCalendars(from)) {
      return false;
    }

    remembered_ = (request_.setWallpaper || request_.renewal == true) && from.photo.empty() &&
                  from.photosFolder.empty() && from.monthPhotos.empty();
    if (const Status chosen = ChoosePhotos(session_, from, remembered_); !chosen) {
      return Fail(RequestStep::PhotosFolder, chosen.failure());
    }
    if (request_.renewal == true && !from.photo.empty()) {
      // The renewal will use it every month: it must be there now.
      std::error_code error;
      if (!OpenRegularFile(from.photo, error)) {
        return Fail(RequestStep::Photo, ReadingFailure(from.photo, error));
      }
    }
    if (composes_ && oneMonth_) {
      // It decodes on a worker thread while this one checks the output, reads the holidays and
      // draws the block.
      session_.ChooseMonth(months_.front());
      // A renewal that set this very picture already (at login, then from the timer) decodes,
      // writes and sets nothing.
      if (snapshot_ && request_.setWallpaper && !request_.renewal) {
        session_.ChooseYear(from.year);  // the picture is named by its date
        if (!Plan(months_.front())) {
          return false;
        }
        unchanged_ = RenewalIsCurrent(RenewalStampPath(request_.wallpaper.environment),
                                      StampText(snapshotFile_), *plan_);
        if (unchanged_) {
          return true;
        }
      }
      session_.PrefetchPhoto();
    }
    // Checked before anything is composed, so a batch fails before its first file.
    if (!request_.pictures.empty()) {
      if (const Result<QByteArray> encoder = EncoderForPath(request_.pictureName); !encoder) {
        return Fail(RequestStep::Write, encoder.failure());
      }
    }
    session_.ChooseYear(from.year);
    if (const std::optional<Failure>& failure = session_.holidayFailure()) {
      if (from.holidaysNamed) {
        return Fail(RequestStep::Holidays, *failure);
      }
      // Without a file the rules give the year's holidays, which needs no word.
      const bool missing =
          failure->fault == Fault::NotFound && session_.holidaySource() != HolidaySource::None;
      if ((composes_ || request_.renewal == true) && !missing) {
        outcome_.notes.push_back({RequestNote::Kind::Holidays, *failure});
      }
    }
    return true;
  }

  // A named calendar file must be read; the settings' own ones are noted.
  bool CheckCalendars(const RequestSources& from) {
    for (const LoadedCalendar& loaded : session_.calendarFiles()) {
      const bool named = std::find(from.calendarFiles.begin(), from.calendarFiles.end(),
                                   loaded.file) != from.calendarFiles.end();
      if (loaded.failure && named) {
        return Fail(RequestStep::Calendar, *loaded.failure);
      }
      if (!composes_ && request_.renewal != true) {
        continue;
      }
      if (loaded.failure) {
        outcome_.notes.push_back({RequestNote::Kind::Calendar, *loaded.failure});
      }
      for (const Failure& leftOut : loaded.leftOut) {
        outcome_.notes.push_back({RequestNote::Kind::Calendar, leftOut});
      }
    }
    return true;
  }

  bool ChangeRenewal(bool on) {
    const QProcessEnvironment& environment = request_.wallpaper.environment;
    const Status changed = on ? TurnRenewalOn(session_, request_.composeProgram, environment,
                                              request_.renewalDaily, request_.wallpaper.screens)
                              : TurnRenewalOff(session_, environment);
    if (!changed) {
      const bool profile = changed.failure().file == session_.profilePath();
      return Fail(profile ? RequestStep::Settings : RequestStep::Renewal, changed.failure());
    }
    return true;
  }

  void Tell(const std::filesystem::path& file) const {
    if (request_.written) {
      request_.written(file, session_.composed(), session_.settings(),
                       session_.MarkedDays(session_.month()));
    }
  }

  void ComposeMonth() {
    const int month = months_.front();
    if (request_.setWallpaper && !plan_ && !Plan(month)) {
      return;
    }
    // The window's session holds its picture already; the files a request names are composed.
    if (request_.sources || session_.picture().isNull() || session_.month() != month ||
        session_.photoPending()) {
      session_.ChooseMonth(month);
      if (const Status composed = session_.Compose(); !composed) {
        Fail(RequestStep::Compose, composed.failure());
        return;
      }
    }
    if (const std::optional<Failure>& failure = session_.photoFailure();
        failure && request_.sources) {
      if (!remembered_) {
        Fail(RequestStep::Photo, *failure);
        return;
      }
      // The renewal sets what the user saw, or nothing.
      if (snapshot_) {
        Fail(RequestStep::RenewalPhoto, *failure);
        return;
      }
      // A photograph that has gone away still leaves this month's calendar to show.
      outcome_.notes.push_back({RequestNote::Kind::RememberedPhoto, *failure});
    }
    if (request_.setWallpaper) {
      SetWallpaper();
      return;
    }
    const auto target = request_.pictures.find(month);
    if (target == request_.pictures.end()) {
      return;
    }
    if (const Status saved = session_.Save(target->second); !saved) {
      Failure failure = saved.failure();
      failure.file = target->second;
      Fail(RequestStep::Write, failure);
      return;
    }
    Tell(target->second);
  }

  // What the wallpaper will be: the desktop, the screens (the renewal's kept ones where no display
  // or compositor tells them) and the files.
  bool Plan(int month) {
    context_ = request_.wallpaper;
    context_.keptScreens = keptScreens_;
    session_.ChooseMonth(month);
    Result<WallpaperPlan> plan = PlanSessionWallpaper(session_, context_);
    if (!plan) {
      outcome_.desktop = DesktopOf(context_.environment);
      return Fail(RequestStep::Wallpaper, plan.failure());
    }
    plan_ = std::move(plan).value();
    return true;
  }

  std::string StampText(const std::filesystem::path& snapshot) const {
    std::error_code error;
    const FileBytes bytes = ReadRegularFile(snapshot, Profile::kMaxFileBytes, error);
    return RenewalStampText(*plan_, error ? std::string() : bytes.bytes);
  }

  void SetWallpaper() {
    const WallpaperOutcome set = SetSessionWallpaper(session_, context_, *plan_);
    outcome_.desktop = set.desktop;
    outcome_.wallpaper = set.picture;
    if (!set.status) {
      Fail(RequestStep::Wallpaper, set.status.failure());
      return;
    }
    Tell(set.picture);
    const QProcessEnvironment& environment = request_.wallpaper.environment;
    std::filesystem::path stamped = snapshotFile_;
    if (request_.keepWallpaperForRenewal) {
      bool kept = false;
      if (const Status refreshed =
              RefreshRenewalSnapshot(session_, environment, request_.wallpaper.screens, &kept);
          !refreshed) {
        Fail(RequestStep::Renewal, refreshed.failure());
        return;
      }
      stamped = kept ? RenewalSnapshotPath(environment) : std::filesystem::path();
    }
    // What the renewal would set now is set: its next run has nothing to do. A stamp that cannot
    // be written only means that run does the work again.
    if (!stamped.empty()) {
      (void)WriteFileAtomically(RenewalStampPath(environment), StampText(stamped));
    }
  }

  // Several months, or a document: composed two at a time where the machine allows, each photo
  // decoded once.
  void ComposeMonths() {
    YearPlan plan = session_.PlanYear();
    std::erase_if(plan.months, [&](const MonthPlan& month) {
      return std::find(months_.begin(), months_.end(), month.settings.month) == months_.end();
    });
    std::set<std::filesystem::path> photos;
    for (const MonthPlan& month : plan.months) {
      if (!month.photo.empty()) {
        photos.insert(month.photo);
      }
    }
    YearWork work;
    work.finish = [this](const ComposedMonth& month) -> Status {
      if (month.photoFailure) {
        return *month.photoFailure;
      }
      const auto target = request_.pictures.find(month.month);
      if (target == request_.pictures.end()) {
        return {};
      }
      if (const Status saved = Picture(month.composed.picture).Save(target->second); !saved) {
        Failure failure = saved.failure();
        failure.file = target->second;
        return failure;
      }
      return {};
    };
    if (request_.written && !request_.pictures.empty()) {
      work.deliver = [&](const ComposedMonth& month) -> Status {
        const MonthPlan& planned =
            *std::find_if(plan.months.begin(), plan.months.end(),
                          [&](const MonthPlan& m) { return m.settings.month == month.month; });
        request_.written(request_.pictures.at(month.month), month.composed, planned.settings,
                         planned.days);
        return {};
      };
    }
    const YearOutcome done = request_.pdf.empty()
                                 ? ComposeYear(plan, work)
                                 : WriteYearPdf(plan, request_.pdf, request_.paper, work);
    outcome_.pages = done.delivered;
    if (!done.status) {
      const Failure& failure = done.status.failure();
      const RequestStep step = failure.fault == Fault::DateOutOfRange ? RequestStep::Compose
                               : photos.contains(failure.file)        ? RequestStep::Photo
                                                                      : RequestStep::Write;
      Fail(step, failure);
    }
  }

  void ComposeWall() {
    const WallCalendar calendar = PlanWallCalendar(session_, months_, request_.wallCrops);
    // The command line names its photos: a page that went without one would pass unnoticed.
    const MissingPhoto missing = request_.sources ? MissingPhoto::Fails : MissingPhoto::PageWithout;
    WallOutcome made = WriteWallCalendarPdf(calendar, request_.wallPdf, request_.progress,
                                            request_.stop, YearWorkers(), missing);
    outcome_.cancelled = made.cancelled;
    outcome_.pages = static_cast<int>(made.pages.size());
    outcome_.wallPages = std::move(made.pages);
    if (!made.status) {
      const Failure& failure = made.status.failure();
      const bool photo = !failure.file.empty() &&
                         (failure.file == calendar.coverPhoto ||
                          std::any_of(calendar.months.begin(), calendar.months.end(),
                                      [&](const WallMonth& m) { return m.photo == failure.file; }));
      Fail(failure.fault == Fault::DateOutOfRange ? RequestStep::Compose
           : photo                                ? RequestStep::Photo
                                                  : RequestStep::Write,
           failure);
    }
  }

  CalendarSession& session_;
  const SessionRequest& request_;
  const std::vector<int> months_;
  const bool composes_;
  const bool oneMonth_;
  bool remembered_ = false;  // the photos are the ones the settings file remembers
  bool snapshot_ = false;    // the settings file is the renewal's snapshot
  bool unchanged_ = false;   // ... and the wallpaper it would set is set already
  std::filesystem::path snapshotFile_;
  ScreenList keptScreens_;  // the snapshot's
  WallpaperContext context_;
  std::optional<WallpaperPlan> plan_;
  RequestOutcome outcome_;
};

}  // namespace

RequestOutcome CarryOut(CalendarSession& session, const SessionRequest& request) {
  return Carrier(session, request).Run();
}

PhotoLoader DecodePhotoEarly(const SessionRequest& request, const std::filesystem::path& profile,
                             PhotoLoader loader) {
  if (!request.sources || request.sources->photo.empty() || request.months.size() > 1 ||
      !request.pdf.empty() || !request.wallPdf.empty()) {
    return loader;
  }
  const RequestSources& from = *request.sources;
  // The settings as Carrier::Prepare reads them; a file it refuses starts nothing.
  CalendarSettings settings;
  if (LoadSettings(from.settingsFile.empty() ? profile : from.settingsFile, settings) ||
      (from.adjustSettings && !from.adjustSettings(settings, std::nullopt)) ||
      SizeKindOf(settings) == SizeKind::Screen) {
    return loader;
  }
  std::error_code error;
  const FileBytes head = ReadRegularFile(from.photo, 3, error);
  if (error || !IsJpeg(QByteArray::fromStdString(head.bytes))) {
    return loader;
  }
  struct Early {
    std::filesystem::path photo;
    QSize fitSize;
    PhotoFit fit;
    std::mutex mutex;
    std::future<Result<DecodedPicture>> decode;  // taken by the first caller that matches
  };
  // Qt takes the first thread that asks for its thread data for the main one: this thread asks
  // before the decode's opens its file, a QFile.
  QThread::currentThread();
  const PictureSize size = PictureSizeOf(settings, std::nullopt);
  auto early = std::make_shared<Early>();
  early->photo = from.photo;
  early->fitSize = QSize(size.width, size.height);
  early->fit = PhotoFitOf(settings);
  try {
    early->decode =
        std::async(std::launch::async, loader, early->photo, early->fitSize, early->fit);
  } catch (const std::system_error&) {
    return loader;  // no thread to spare: the session decodes when it needs the photo
  }
  return [early, loader = std::move(loader)](const std::filesystem::path& path, QSize fitSize,
                                             PhotoFit fit) {
    std::future<Result<DecodedPicture>> decode;
    if (path == early->photo && fitSize == early->fitSize && fit == early->fit) {
      const std::lock_guard lock(early->mutex);
      decode = std::move(early->decode);
    }
    return decode.valid() ? decode.get() : loader(path, fitSize, fit);
  };
}

}  // namespace lunetta
