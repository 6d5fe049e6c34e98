#include "session/calendar_session.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

#include "calendar/anchor_snap.h"
#include "platform/stage_trace.h"
#include "platform/xdg_folders.h"
#include "render/calendar_renderer.h"

namespace lunetta {

namespace {

// Copies `rows` into `image` with its top-left corner at `at`; both 24 bits per pixel.
void CopyRows(const QImage& rows, QImage& image, QPoint at) {
  const auto bytes = static_cast<std::size_t>(rows.width()) * 3;
  for (int y = 0; y < rows.height(); ++y) {
    std::memcpy(image.scanLine(at.y() + y) + static_cast<std::size_t>(at.x()) * 3,
                rows.constScanLine(y), bytes);
  }
}

bool IsMonth(int month) {
  return month >= 1 && month <= 12;
}

}  // namespace

std::vector<std::filesystem::path> HolidaySearchPath(const std::filesystem::path& startupFolder) {
  constexpr std::string_view kFile = "lunetta/holiday.dat";
  std::vector<std::filesystem::path> files{startupFolder / "holiday.dat"};
  if (const std::filesystem::path dataHome = DataHome(); !dataHome.empty()) {
    files.push_back(dataHome / kFile);
  }
  for (const std::filesystem::path& folder : DataDirs()) {
    files.push_back(folder / kFile);
  }
  return files;
}

CalendarSession::CalendarSession(SessionEnvironment environment)
    : environment_(std::move(environment)),
      startDate_(environment_.clock()),
      photo_(environment_.loadPhoto) {
  settings_.year = startDate_.year;
  settings_.month = startDate_.month;
  ReloadHolidays();
}

std::vector<SpecialDay> CalendarSession::MarkedDays(
    int month, std::vector<std::filesystem::path>* cutOff) const {
  std::vector<SpecialDay> days = MonthHolidays(holidaySource_, holidays_, settings_.year, month);
  if (IsMonth(month)) {
    calendars_.AddMarkedDays(settings_.year, month, days, cutOff);
  }
  return days;
}

std::vector<Failure> CalendarSession::CalendarProblems() const {
  std::vector<Failure> problems;
  for (const LoadedCalendar& loaded : calendars_.loaded()) {
    if (loaded.failure) {
      problems.push_back(*loaded.failure);
    }
    problems.insert(problems.end(), loaded.leftOut.begin(), loaded.leftOut.end());
    if (std::find(calendarsCutOff_.begin(), calendarsCutOff_.end(), loaded.file.path) !=
        calendarsCutOff_.end()) {
      problems.emplace_back(Fault::CalendarRepeatsTooOften, loaded.file.path);
    }
  }
  return problems;
}

std::vector<int> CalendarSession::DrawnHolidays() const {
  return DaysOfKind(MarkedDays(settings_.month), SpecialDayKind::Holiday);
}

Status CalendarSession::LoadSettings(const std::filesystem::path& profile) {
  CalendarSettings stored = settings_;
  const std::error_code error = lunetta::LoadSettings(profile, stored);
  remembered_ = {};
  (void)LoadRememberedWork(profile, remembered_);  // the same file: LoadSettings has said why
  stored.fontWeight = 400;
  stored.fontItalic = false;
  ApplySettings(stored);
  if (error) {
    return ReadingFailure(profile, error);
  }
  return {};
}

Status CalendarSession::SaveSettings(const std::filesystem::path& profile) const {
  CalendarSettings saved = settings_;
  if (SizeKindOf(saved) == SizeKind::Screen && environment_.screenSize) {
    saved.screenWidth = environment_.screenSize->width;
    saved.screenHeight = environment_.screenSize->height;
  }
  MonthPhotos own;
  for (int month = 1; month <= 12; ++month) {
    own[static_cast<std::size_t>(month - 1)] = monthPhotoPath(month);
  }
  if (const std::error_code error =
          lunetta::SaveSettings(profile, saved, Today(), photo_.path(), own)) {
    return WritingFailure(profile, error);
  }
  return {};
}

Status CalendarSession::SaveMonthlyRefresh(const std::filesystem::path& profile, bool on,
                                           bool daily) {
  if (const std::error_code error = lunetta::SaveMonthlyRefresh(profile, on, daily)) {
    return WritingFailure(profile, error);
  }
  remembered_.monthlyRefresh = on;
  remembered_.dailyRefresh = on && daily;
  return {};
}

void CalendarSession::ApplySettings(const CalendarSettings& settings) {
  const int year = settings_.year;
  const int month = settings_.month;
  settings_ = settings;
  settings_.year = year;
  settings_.month = month;
  calendars_.Update(settings_.calendarFiles);
}

void CalendarSession::ChoosePhoto(std::filesystem::path path) {
  photo_.Choose(std::move(path));
}

const std::filesystem::path& CalendarSession::monthPhotoPath(int month) const {
  static const std::filesystem::path kNone;
  if (!IsMonth(month)) {
    return kNone;
  }
  const std::optional<PhotoBackdrop>& own = monthPhotos_[static_cast<std::size_t>(month - 1)];
  return own ? own->path() : kNone;
}

void CalendarSession::ChooseMonthPhoto(int month, std::filesystem::path path) {
  if (!IsMonth(month)) {
    return;
  }
  std::optional<PhotoBackdrop>& own = monthPhotos_[static_cast<std::size_t>(month - 1)];
  if (path.empty()) {
    if (own && heldBackdrop_ == &*own) {
      heldBackdrop_ = nullptr;
    }
    own.reset();
    return;
  }
  if (!own) {
    own.emplace(environment_.loadPhoto);
  }
  own->Choose(std::move(path));
}

const PhotoBackdrop& CalendarSession::ShownBackdrop() const {
  if (IsMonth(settings_.month)) {
    if (const auto& own = monthPhotos_[static_cast<std::size_t>(settings_.month - 1)]) {
      return *own;
    }
  }
  return photo_;
}

PhotoBackdrop& CalendarSession::ShownBackdrop() {
  return const_cast<PhotoBackdrop&>(std::as_const(*this).ShownBackdrop());
}

Status CalendarSession::ReplacePhoto(std::filesystem::path path) {
  if (path.empty()) {
    ChoosePhoto({});
    return {};
  }
  const Status chosen =
      photo_.ChooseIfUsable(std::move(path), pictureSize(), PhotoFitOf(settings_));
  if (chosen && heldBackdrop_ == &photo_) {
    heldBackdrop_ = nullptr;  // the composed picture holds the photo this one replaced
  }
  return chosen;
}

Status CalendarSession::ReplaceMonthPhoto(int month, std::filesystem::path path) {
  if (!IsMonth(month) || path.empty()) {
    ChooseMonthPhoto(month, std::move(path));
    return {};
  }
  std::optional<PhotoBackdrop>& own = monthPhotos_[static_cast<std::size_t>(month - 1)];
  const bool had = own.has_value();
  if (!had) {
    own.emplace(environment_.loadPhoto);
  }
  const Status chosen = own->ChooseIfUsable(std::move(path), pictureSize(), PhotoFitOf(settings_));
  if (!chosen && !had) {
    own.reset();
  } else if (chosen && heldBackdrop_ == &*own) {
    heldBackdrop_ = nullptr;
  }
  return chosen;
}

void CalendarSession::ChooseYear(int year) {
  settings_.year = year;
  ReloadHolidays();
  calendars_.Update(settings_.calendarFiles);
}

void CalendarSession::ChooseMonth(int month) {
  settings_.month = month;
}

namespace {

// Both name the same file, however each is spelt.
bool SamePhoto(const std::filesystem::path& a, const std::filesystem::path& b) {
  if (a.empty() || b.empty()) {
    return false;
  }
  std::error_code error;
  const std::filesystem::path left = std::filesystem::absolute(a, error).lexically_normal();
  const std::filesystem::path right = std::filesystem::absolute(b, error).lexically_normal();
  return left == right;
}

}  // namespace

Rect CalendarSession::PlacedBlock(int x, int y) const {
  const PictureSize size = pictureSize();
  const Rect dropped{x, y, x + blockWidth(), y + blockHeight()};
  if (!settings_.proportional) {
    return DrawnBlockRect(x, y, blockWidth(), blockHeight(), size.width, size.height);
  }
  const AnchoredPlace place = SnapToAnchor(size, dropped, settings_.marginShare);
  return AnchorBlock(size, blockWidth(), blockHeight(), place.anchor,
                     MarginPixels(size, place.marginShare / 1000.0));
}

void CalendarSession::MoveBlock(int x, int y) {
  if (settings_.proportional) {
    const AnchoredPlace place = SnapToAnchor(
        pictureSize(), {x, y, x + blockWidth(), y + blockHeight()}, settings_.marginShare);
    settings_.anchor = static_cast<std::int32_t>(place.anchor);
    settings_.marginShare = place.marginShare;
  } else {
    settings_.startX = x;
    settings_.startY = y;
  }
  // Placed by hand, the block stays where the user put it on this photo.
  if (settings_.autoPlace && !shownPhotoPath().empty()) {
    std::error_code error;
    const std::filesystem::path photo = std::filesystem::absolute(shownPhotoPath(), error);
    settings_.handPlacedPhoto = (error ? shownPhotoPath() : photo).string();
  }
}

CalendarSettings CalendarSession::SettingsForMonth(int month) const {
  CalendarSettings settings = settings_;
  settings.month = month;
  const std::filesystem::path& own = monthPhotoPath(month);
  if (SamePhoto(own.empty() ? photo_.path() : own, settings.handPlacedPhoto)) {
    settings.autoPlace = false;
  }
  return settings;
}

void CalendarSession::PrefetchPhoto() {
  ShownBackdrop().Prefetch(pictureSize(), PhotoFitOf(settings_));
}

void CalendarSession::ReloadHolidays() {
  holidayFailure_.reset();
  holidayFile_.clear();
  // Where no file lists the year, the rules give it.
  holidaySource_ = HolidaySourceFor(settings_.year, false);
  const std::vector<std::filesystem::path>& files = environment_.holidayFiles;
  if (files.empty()) {
    return;
  }
  // Only a file that is not there passes the search on; one that is there but cannot be read is
  // reported, so a broken file in the start-up folder never hides behind the installed one.
  const auto found = std::find_if(files.begin(), files.end(), [](const std::filesystem::path& f) {
    std::error_code error;
    // exists() clears the error for a file that is not there and sets it when it cannot tell.
    return std::filesystem::exists(f, error) || static_cast<bool>(error);
  });
  const std::filesystem::path& file = found == files.end() ? files.front() : *found;
  std::error_code error = std::make_error_code(std::errc::no_such_file_or_directory);
  if (found != files.end()) {
    holidayFile_ = file;
    error = holidays_.loadFile(file, settings_.year);
  }
  if (error) {
    holidayFailure_ = ReadingFailure(file, error);
    // The table keeps what it had for its own year; another year's holidays would be wrong here.
    if (holidaysYear_ != settings_.year) {
      holidays_.loadText({}, settings_.year);
    }
  } else {
    holidaysYear_ = settings_.year;
  }
  holidaySource_ = HolidaySourceFor(settings_.year, holidays_.listsYear());
}

Status CalendarSession::Compose(PhotoWait wait) {
  // The block first: a photograph still decoding on a worker thread gets that much more time.
  const PictureSize size = pictureSize();
  const CalendarSettings settings = SettingsForMonth(settings_.month);
  calendarsCutOff_.clear();
  const std::vector<SpecialDay> days = MarkedDays(settings_.month, &calendarsCutOff_);
  DayMarks marks = DayMarksFor(settings, Today());
  marks.ownDays = DaysOfKind(days, SpecialDayKind::Day);
  Result<PreparedBlock> preparedBlock =
      PrepareBlock(settings, DaysOfKind(days, SpecialDayKind::Holiday), size, marks);
  if (!preparedBlock) {
    return preparedBlock.failure();
  }
  PreparedBlock prepared = std::move(preparedBlock).value();
  TraceStage("block");
  const PhotoFit fit = PhotoFitOf(settings_);
  QImage background;
  PhotoBackdrop& shown = ShownBackdrop();
  photoPending_ = false;
  const bool underBlock = heldBackdrop_ == &shown && shown.Current(size, fit);
  if (!underBlock) {
    TakeRequestedPhoto(shown, size, fit, wait);
  }
  if (underBlock) {
    // The photograph is still under the last block: putting back what the block covered gives it
    // whole again, without a copy of the picture.
    background = std::move(composed_.picture);
    CopyRows(patch_, background, patchAt_);
  } else if (wait == PhotoWait::Wait || shown.AtHand(size, fit)) {
    background = shown.TakeBackground(size, fit);
    heldBackdrop_ = &shown;
  } else {
    // heldBackdrop_ stays: its photograph is what the stand-in shows.
    background = StandInBackground(size);
    photoPending_ = true;
  }
  TraceStage("background");
  // Placed and coloured for the photo where the settings ask for it.
  FinishBlock(prepared, background);
  // The pixels the block will cover: where it is drawn, cut to the picture when it is larger.
  const Rect& drawn = prepared.arrangement.block;
  patchAt_ = QPoint(drawn.left, drawn.top);
  patch_ = background.copy(
      QRect(QPoint(drawn.left, drawn.top), QPoint(drawn.right - 1, drawn.bottom - 1))
          .intersected(background.rect()));
  composed_ =
      BlendCalendarBlock(std::move(background), *prepared.block, prepared.arrangement.settings);
  composed_.arrangement = std::move(prepared.arrangement);
  TraceStage("blended");
  if (environment_.composedPicturePath.empty()) {
    return {};
  }
  return SaveBitmapFile(composed_.picture, environment_.composedPicturePath);
}

void CalendarSession::TakeRequestedPhoto(PhotoBackdrop& shown, PictureSize size, PhotoFit fit,
                                         PhotoWait wait) {
  if (!photoRequest_ || !photoRequest_->For(shown.path(), size, fit)) {
    return;
  }
  if (wait == PhotoWait::Defer &&
      photoRequest_->prepared.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
    return;
  }
  shown.Take(photoRequest_->prepared.get());
  photoRequest_.reset();
}

QImage CalendarSession::StandInBackground(PictureSize size) {
  if (composed_.picture.isNull() || composed_.picture.size() != QSize(size.width, size.height)) {
    heldBackdrop_ = nullptr;
    return PictureBackground(QImage(), size);
  }
  QImage background = std::move(composed_.picture);
  CopyRows(patch_, background, patchAt_);
  return background;
}

void CalendarSession::DecodeDeferredPhoto(std::function<void()> arrived) {
  if (!photoPending_) {
    return;
  }
  const PhotoBackdrop& shown = ShownBackdrop();
  const PictureSize size = pictureSize();
  const PhotoFit fit = PhotoFitOf(settings_);
  if (photoRequest_ && photoRequest_->For(shown.path(), size, fit)) {
    return;
  }
  // Shared with the job: a promise cannot be copied, and the job may be dropped unrun.
  auto promise = std::make_shared<std::promise<PhotoBackdrop::Prepared>>();
  auto wanted = std::make_shared<const bool>(true);
  photoRequest_ = PhotoRequest{shown.path(), size, fit, promise->get_future(), wanted};
  photoWorker_.Post([promise, wanted = std::weak_ptr<const bool>(wanted),
                     loader = environment_.loadPhoto, path = shown.path(), size, fit,
                     arrived = std::move(arrived)] {
    try {
      promise->set_value(PhotoBackdrop::Prepare(loader, path, size, fit));
    } catch (...) {
      promise->set_exception(std::current_exception());
    }
    if (arrived && !wanted.expired()) {
      arrived();
    }
  });
}

Status CalendarSession::Save(const std::filesystem::path& target, int jpegQuality) const {
  return Picture(composed_.picture).Save(target, jpegQuality);
}

YearPlan CalendarSession::PlanYear() const {
  YearPlan plan;
  plan.loadPhoto = environment_.loadPhoto;
  plan.size = pictureSize();
  plan.fit = PhotoFitOf(settings_);
  for (int month = 1; month <= 12; ++month) {
    MonthPlan& planned = plan.months.emplace_back();
    planned.settings = SettingsForMonth(month);
    planned.days = MarkedDays(month);
    const std::filesystem::path& own = monthPhotoPath(month);
    planned.photo = own.empty() ? photo_.path() : own;
  }
  return plan;
}

}  // namespace lunetta
