#include "session/wall_plan.h"

#include <algorithm>

#include "calendar/special_days.h"
#include "session/calendar_session.h"

namespace lunetta {

namespace {

// `value` as the enumerator it counts to, or the first where it counts past the last.
template <typename Enum>
Enum Counted(std::int32_t value, Enum last) {
  return value >= 0 && value <= static_cast<std::int32_t>(last) ? static_cast<Enum>(value) : Enum{};
}

PhotoCrop CropFor(const WallCrops& crops, int page, const std::filesystem::path& photo) {
  const auto kept = crops.find(page);
  return kept != crops.end() && kept->second.photo == photo && !photo.empty() ? kept->second.crop
                                                                              : PhotoCrop{};
}

}  // namespace

WallOptions WallOptionsOf(const CalendarSettings& settings) {
  WallOptions options;
  options.paper = Counted(settings.wallPaper, Paper::Tabloid);
  options.orientation = Counted(settings.wallOrientation, PageOrientation::Landscape);
  options.photoPosition = Counted(settings.wallPhotoPosition, PhotoPosition::Right);
  // The layout keeps it within what a print shop asks for.
  options.bleed = settings.wallBleed / 100.0 * kPointsPerMm;
  options.trimMarks = settings.wallTrimMarks;
  options.cover = settings.wallCover;
  options.yearPlanner = settings.wallPlanner;
  options.weekStart = WeekStartOf(settings);
  options.weekNumbers = settings.weekNumbers;
  options.japaneseLabels = settings.labels == LabelLanguage::Japanese;
  return options;
}

// The session's marked days: holidays from whichever source holds the year, and the calendar
// files' days, with their names in the labels' language where the source has them.
std::vector<WallDayMark> WallMarks(const CalendarSession& session, int month) {
  const bool japanese = session.settings().labels == LabelLanguage::Japanese;
  std::vector<WallDayMark> marks;
  for (const SpecialDay& day : session.MarkedDays(month)) {
    marks.push_back(WallDayMark{
        day.day, day.kind == SpecialDayKind::Holiday ? DayMarkKind::Holiday : DayMarkKind::Day,
        japanese || day.englishNames.empty() ? day.names : day.englishNames});
  }
  return marks;
}

WallCalendar PlanWallCalendar(const CalendarSession& session, const std::vector<int>& months,
                              const WallCrops& crops) {
  WallCalendar calendar;
  calendar.options = WallOptionsOf(session.settings());
  for (const int month : months) {
    WallMonth& page = calendar.months.emplace_back();
    page.year = session.year();
    page.month = month;
    page.marks = WallMarks(session, month);
    const std::filesystem::path& own = session.monthPhotoPath(month);
    page.photo = own.empty() ? session.photoPath() : own;
  }
  calendar.coverPhoto = session.photoPath();
  for (const WallMonth& month : calendar.months) {
    if (calendar.coverPhoto.empty()) {
      calendar.coverPhoto = month.photo;
    }
  }
  ApplyWallCrops(calendar, crops);
  return calendar;
}

void ApplyWallCrops(WallCalendar& calendar, const WallCrops& crops) {
  for (WallMonth& page : calendar.months) {
    page.crop = CropFor(crops, page.month, page.photo);
  }
  calendar.coverCrop = CropFor(crops, 0, calendar.coverPhoto);
}

}  // namespace lunetta
