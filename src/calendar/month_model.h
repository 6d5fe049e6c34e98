#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lunetta {

/// A date the calendar arithmetic cannot place: a month outside 1..12, or a first day whose
/// local midnight lies before 1970-01-01 00:00 UTC or after the end of the year 3000.
class InvalidArgumentError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

inline constexpr std::array<std::string_view, 12> MonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

inline constexpr std::array<std::string_view, 7> WeekdayHeaders = {"Sun", "Mon", "Tue", "Wed",
                                                                   "Thu", "Fri", "Sat"};

/// The weekday names of the Japanese labels, Sunday first, in UTF-8.
inline constexpr std::array<std::string_view, 7> JapaneseWeekdayHeaders = {"日", "月", "火", "水",
                                                                           "木", "金", "土"};

/// The weekday a week row begins with.
enum class WeekStart : std::int32_t { Sunday = 0, Monday = 1 };

bool IsLeapYear(int year);

/// 28..31. Throws InvalidArgumentError for a month outside 1..12.
int MonthLength(int year, int month);

/// 0 = Sunday … 6 = Saturday. Throws InvalidArgumentError for a date it cannot place.
int FirstWeekday(int year, int month);

/// The day layout of one month in week rows beginning on `weekStart`.
struct MonthGrid {
  int year = 0;
  int month = 0;
  int firstWeekday = 0;  // of day 1: 0 = Sunday … 6 = Saturday
  int dayCount = 0;
  WeekStart weekStart = WeekStart::Sunday;
  std::array<std::string, 42> cells;  // index = week row × 7 + column; empty or "1".."31"
  int weekRows = 5;                   // 5 or 6
};

/// Throws InvalidArgumentError for a date it cannot place. Rows are reserved by the same rule
/// whatever day they begin with: 5, or 6 when day 1's column plus the month's days pass 35.
MonthGrid BuildMonthGrid(int year, int month, WeekStart weekStart = WeekStart::Sunday);

/// The weekday (0 = Sunday) of `column` 0..6 in rows beginning on `weekStart`.
int ColumnWeekday(int column, WeekStart weekStart);

/// The ISO 8601 week number of week row `row` (0..5) of `grid`: the week of the row's Thursday,
/// which may lie in the month before or after.
int IsoWeekOfRow(const MonthGrid& grid, int row);

}  // namespace lunetta
