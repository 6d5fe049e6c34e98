#include "session/calendar_session.h"

#include <algorithm>
#include <utility>

#include "calendar/calendar_renderer.h"

namespace lunetta {

CalendarSession::CalendarSession(SessionEnvironment environment)
    : environment_(std::move(environment)),
      startDate_(environment_.clock()),
      photo_(environment_.loadPhoto) {
  settings_.year = startDate_.year;
  settings_.month = startDate_.month;
  ReloadHolidays();
}

std::vector<int> CalendarSession::DrawnHolidays() const {
  std::vector<int> days = holidays_.daysInMonth(settings_.month);
  days.resize(std::min(days.size(), static_cast<std::size_t>(CalendarRenderer::kMaxHolidays)));
  return days;
}

Status CalendarSession::LoadSettings(const std::filesystem::path& profile) {
  CalendarSettings stored = settings_;
  const std::error_code error = lunetta::LoadSettings(profile, stored);
  remembered_ = {};
  (void)LoadRememberedWork(profile, remembered_);  // the same file: LoadSettings has said why
  stored.fontWeight = 400;
  stored.fontItalic = 0;
  ApplySettings(stored);
  if (error) {
    return ReadingFailure(profile, error);
  }
  return {};
}

Status CalendarSession::SaveSettings(const std::filesystem::path& profile) const {
  if (const std::error_code error =
          lunetta::SaveSettings(profile, settings_, Today(), photo_.path())) {
    return WritingFailure(profile, error);
  }
  return {};
}

Status CalendarSession::SaveMonthlyRefresh(const std::filesystem::path& profile, bool on) {
  if (const std::error_code error = lunetta::SaveMonthlyRefresh(profile, on)) {
    return WritingFailure(profile, error);
  }
  remembered_.monthlyRefresh = on;
  return {};
}

void CalendarSession::ApplySettings(const CalendarSettings& settings) {
  const int year = settings_.year;
  const int month = settings_.month;
  settings_ = settings;
  settings_.year = year;
  settings_.month = month;
}

void CalendarSession::ChoosePhoto(std::filesystem::path path) {
  photo_.Choose(std::move(path));
}

void CalendarSession::ChooseYear(int year) {
  settings_.year = year;
  ReloadHolidays();
}

void CalendarSession::ChooseMonth(int month) {
  settings_.month = month;
}

void CalendarSession::MoveBlock(int x, int y) {
  settings_.startX = x;
  settings_.startY = y;
}

void CalendarSession::PrefetchPhoto() {
  photo_.Prefetch(PictureDimensions(settings_.pictSize));
}

void CalendarSession::ReloadHolidays() {
  holidayFailure_.reset();
  const std::filesystem::path& file = environment_.holidayFile;
  if (file.empty()) {
    return;
  }
  // A file that cannot be read leaves the table as it was.
  if (const std::error_code error = holidays_.loadFile(file, settings_.year)) {
    holidayFailure_ = ReadingFailure(file, error);
  }
}

Status CalendarSession::Compose() {
  // The block first: a photograph still decoding on a worker thread gets that much more time.
  const Result<CalendarBlock> block = DrawCalendarBlock(settings_, DrawnHolidays());
  if (!block) {
    return block.failure();
  }
  composed_ = BlendCalendarBlock(photo_.Background(PictureDimensions(settings_.pictSize)),
                                 block.value(), settings_);
  if (environment_.composedPicturePath.empty()) {
    return {};
  }
  return SaveBitmapFile(composed_.picture, environment_.composedPicturePath);
}

Status CalendarSession::Save(const std::filesystem::path& target, int jpegQuality) const {
  return Picture(composed_.picture).Save(target, jpegQuality);
}

}  // namespace lunetta
