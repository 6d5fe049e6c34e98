#pragma once

#include <string>
#include <vector>

#include "calendar/holiday_table.h"

// The days of a month the calendar marks: holidays, and the user's own days from calendar files.

namespace lunetta {

/// How the calendar draws a marked day.
enum class SpecialDayKind {
  Holiday,  // in the holiday red, as Sundays
  Day,      // the user's own days (birthdays, family and school days): in the day colour
};

/// A day of a month that the holidays or a calendar file mark. A date that is both a holiday and
/// one of the user's days is two entries, the holiday first.
struct SpecialDay {
  int day = 0;  // 1..31
  SpecialDayKind kind = SpecialDayKind::Holiday;
  std::vector<std::string> names{};  // UTF-8, no repeats; none for a holiday.dat day the rules lack
  /// The English names where the source has them (Japan's national holidays); empty otherwise.
  std::vector<std::string> englishNames{};

  bool operator==(const SpecialDay&) const = default;
};

/// Where a year's holidays come from.
enum class HolidaySource {
  None,           // no file lists the year, and the rules do not reach it
  File,           // holiday.dat lists the year, which makes it the authority for it
  Rule,           // Japan's national holidays by the rules of the law
  RulePredicted,  // by rule, with equinox days not announced yet
};

/// The file where it lists `year`, else the rules for the years they cover.
HolidaySource HolidaySourceFor(int year, bool fileListsYear);

/// The holidays of `month` (1..12) of `year` from `source`, in day order: the table's days that the
/// month has (named where the rules hold the same day), or the rules'.
std::vector<SpecialDay> MonthHolidays(HolidaySource source, const HolidayTable& table, int year,
                                      int month);

/// Adds `name` (none when empty) to the entry of `day` and `kind` in `days`, which stays in day
/// order, or makes that entry.
void AddSpecialDay(std::vector<SpecialDay>& days, int day, SpecialDayKind kind,
                   const std::string& name = {}, const std::string& englishName = {});

/// The days of `kind` in `days`, in order.
std::vector<int> DaysOfKind(const std::vector<SpecialDay>& days, SpecialDayKind kind);

}  // namespace lunetta
