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

bool IsLeapYear(int year);

/// 28..31. Throws InvalidArgumentError for a month outside 1..12.
int MonthLength(int year, int month);

/// 0 = Sunday … 6 = Saturday. Throws InvalidArgumentError for a date it cannot place.
int FirstWeekday(int year, int month);

/// The day layout of one month, weeks starting on Sunday.
struct MonthGrid {
  int year = 0;
  int month = 0;
  int firstWeekday = 0;
  int dayCount = 0;
  std::array<std::string, 42> cells;  // index = week row × 7 + weekday; empty or "1".."31"
  int weekRows = 5;                   // 5 or 6
};

/// Throws InvalidArgumentError for a date it cannot place.
MonthGrid BuildMonthGrid(int year, int month);

}  // namespace lunetta
