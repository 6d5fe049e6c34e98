#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "calendar/calendar_settings.h"
#include "calendar/special_days.h"
#include "picture/failure.h"

namespace lunetta {

class ICalendar;

/// One calendar file of the settings as it was read.
struct LoadedCalendar {
  CalendarFile file;
  std::shared_ptr<const ICalendar> calendar;  // null when the file cannot be read
  std::optional<Failure> failure;             // why it cannot be read
  std::vector<Failure> leftOut;               // what it holds that marks no day, line by line
  // The file as it was on disk when read: read again once either changes.
  std::optional<std::filesystem::file_time_type> modified;
  std::uintmax_t size = 0;
};

/// The calendar files the settings name, read once each and asked for the days of any month.
class CalendarFiles {
 public:
  /// Takes `files` in their order: a file read before and unchanged on disk is kept, every other
  /// one is read now.
  void Update(const std::vector<CalendarFile>& files);

  /// Adds the days of `month` (1..12) of `year` that the files mark to `days`, with the events'
  /// summaries as their names. A file whose repeating events were cut off for that month goes into
  /// `cutOff`, where given.
  void AddMarkedDays(int year, int month, std::vector<SpecialDay>& days,
                     std::vector<std::filesystem::path>* cutOff = nullptr) const;

  const std::vector<LoadedCalendar>& loaded() const { return loaded_; }

 private:
  std::vector<LoadedCalendar> loaded_;
};

/// Reads one calendar file: its failure names the file (NotCalendarFile, CalendarFileTooLarge, or
/// why it cannot be opened), and each line it leaves out is one Calendar… failure.
LoadedCalendar LoadCalendarFile(const CalendarFile& file);

}  // namespace lunetta
