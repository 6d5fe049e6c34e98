#include "session/calendar_files.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "icalendar/icalendar.h"
#include "platform/file_io.h"

namespace lunetta {

namespace {

Fault FaultOf(ICalendarProblemKind kind) {
  switch (kind) {
    case ICalendarProblemKind::MalformedLine:
      break;
    case ICalendarProblemKind::EventWithoutStart:
      return Fault::CalendarEventWithoutStart;
    case ICalendarProblemKind::UnsupportedRecurrence:
      return Fault::CalendarRuleWithoutDates;
    case ICalendarProblemKind::UnknownTimeZone:
      return Fault::CalendarUnknownTimeZone;
    case ICalendarProblemKind::TooManyEvents:
      return Fault::CalendarTooManyEvents;
  }
  return Fault::CalendarLineUnreadable;
}

// When and how large the file is now; nothing when that cannot be told.
void Stamp(LoadedCalendar& loaded) {
  std::error_code error;
  const auto modified = std::filesystem::last_write_time(loaded.file.path, error);
  const std::uintmax_t size = error ? 0 : std::filesystem::file_size(loaded.file.path, error);
  loaded.modified = error ? std::nullopt : std::optional(modified);
  loaded.size = error ? 0 : size;
}

bool Unchanged(const LoadedCalendar& loaded) {
  LoadedCalendar now{loaded.file, nullptr, std::nullopt, {}, std::nullopt, 0};
  Stamp(now);
  return loaded.modified && now.modified == loaded.modified && now.size == loaded.size;
}

}  // namespace

LoadedCalendar LoadCalendarFile(const CalendarFile& file) {
  LoadedCalendar loaded{file, nullptr, std::nullopt, {}, std::nullopt, 0};
  Stamp(loaded);
  const CalendarFileKind kind =
      file.kind == SpecialDayKind::Holiday ? CalendarFileKind::Holidays : CalendarFileKind::Days;
  std::error_code error;
  std::optional<ICalendar> calendar = ICalendar::Load(file.path, {kind}, error);
  if (!calendar) {
    if (error == ICalendarErrc::not_icalendar) {
      loaded.failure = Failure(Fault::NotCalendarFile, file.path);
    } else if (error == FileErrc::too_large) {
      loaded.failure = Failure(Fault::CalendarFileTooLarge, file.path);
    } else {
      loaded.failure = ReadingFailure(file.path, error);
    }
    return loaded;
  }
  for (const ICalendarProblem& problem : calendar->problems()) {
    loaded.leftOut.emplace_back(FaultOf(problem.kind), file.path, std::error_code(),
                                problem.line > 0 ? QString::number(problem.line) : QString());
  }
  loaded.calendar = std::make_shared<const ICalendar>(std::move(*calendar));
  return loaded;
}

void CalendarFiles::Update(const std::vector<CalendarFile>& files) {
  std::vector<LoadedCalendar> updated;
  updated.reserve(files.size());
  for (const CalendarFile& file : files) {
    const auto known = std::find_if(loaded_.begin(), loaded_.end(), [&](const LoadedCalendar& l) {
      return l.file == file && l.calendar;
    });
    if (known != loaded_.end() && Unchanged(*known)) {
      updated.push_back(*known);
    } else {
      updated.push_back(LoadCalendarFile(file));
    }
  }
  loaded_ = std::move(updated);
}

void CalendarFiles::AddMarkedDays(int year, int month, std::vector<SpecialDay>& days,
                                  std::vector<std::filesystem::path>* cutOff) const {
  for (const LoadedCalendar& loaded : loaded_) {
    if (!loaded.calendar) {
      continue;
    }
    const MonthMarks marks = loaded.calendar->daysInMonth(year, month);
    for (const MarkedDay& marked : marks.days) {
      AddSpecialDay(days, marked.day, loaded.file.kind);
      for (const std::string& summary : marked.summaries) {
        AddSpecialDay(days, marked.day, loaded.file.kind, summary);
      }
    }
    if (marks.incomplete && cutOff != nullptr) {
      cutOff->push_back(loaded.file.path);
    }
  }
}

}  // namespace lunetta
