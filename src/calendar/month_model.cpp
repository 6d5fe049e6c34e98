#include "calendar/month_model.h"

#include <chrono>
#include <ctime>
#include <string>

namespace lunetta {

namespace {

// The local clock's time conversion covers 1970-01-01 00:00 UTC to the end of the year 3000.
constexpr std::time_t kLatestTime = 32'535'215'999;  // 3000-12-31 23:59:59 UTC
constexpr int kFirstYear = 1970;
constexpr int kLastYear = 3000;

void CheckMonth(int month) {
  if (month < 1 || month > 12) {
    throw InvalidArgumentError("month " + std::to_string(month) + " is outside 1..12");
  }
}

// The Gregorian calendar repeats every 400 years, so reducing the year keeps it inside the range
// std::chrono::year can represent without changing leap years or weekdays.
std::chrono::year ReducedYear(int year) {
  return std::chrono::year{year % 400};
}

std::string DateText(int year, int month) {
  return std::to_string(year) + "-" + std::to_string(month);
}

}  // namespace

bool IsLeapYear(int year) {
  return ReducedYear(year).is_leap();
}

int MonthLength(int year, int month) {
  CheckMonth(month);
  const std::chrono::year_month_day_last last{
      ReducedYear(year),
      std::chrono::month_day_last{std::chrono::month{static_cast<unsigned>(month)}}};
  return static_cast<int>(static_cast<unsigned>(last.day()));
}

int FirstWeekday(int year, int month) {
  CheckMonth(month);
  // Years outside the range are refused before mktime sees them, so tm_year cannot overflow.
  if (year < kFirstYear || year > kLastYear) {
    throw InvalidArgumentError(DateText(year, month) + " is outside the years " +
                               std::to_string(kFirstYear) + ".." + std::to_string(kLastYear));
  }
  std::tm local{};
  local.tm_mday = 1;
  local.tm_mon = month - 1;
  local.tm_year = year - 1900;
  local.tm_isdst = -1;
  const std::time_t midnight = std::mktime(&local);
  // mktime's failure value is -1, which also lies before the epoch.
  if (midnight < 0 || midnight > kLatestTime) {
    throw InvalidArgumentError("local midnight of " + DateText(year, month) +
                               "-1 is outside 1970-01-01 00:00 UTC .. 3000-12-31 23:59:59 UTC");
  }
  const std::chrono::year_month_day first{std::chrono::year{year},
                                          std::chrono::month{static_cast<unsigned>(month)},
                                          std::chrono::day{1}};
  return static_cast<int>(std::chrono::weekday{std::chrono::sys_days{first}}.c_encoding());
}

namespace {

// Day 1's column in rows beginning on `weekStart`.
int FirstColumn(const MonthGrid& grid) {
  return (grid.firstWeekday - static_cast<int>(grid.weekStart) + 7) % 7;
}

}  // namespace

MonthGrid BuildMonthGrid(int year, int month, WeekStart weekStart) {
  MonthGrid grid;
  grid.year = year;
  grid.month = month;
  grid.firstWeekday = FirstWeekday(year, month);
  grid.dayCount = MonthLength(year, month);
  grid.weekStart = weekStart;
  const int first = FirstColumn(grid);
  for (int day = 1; day <= grid.dayCount; ++day) {
    grid.cells[static_cast<std::size_t>(first + day - 1)] = std::to_string(day);
  }
  grid.weekRows = first + grid.dayCount <= 35 ? 5 : 6;
  return grid;
}

int ColumnWeekday(int column, WeekStart weekStart) {
  return (column + static_cast<int>(weekStart)) % 7;
}

int IsoWeekOfRow(const MonthGrid& grid, int row) {
  using namespace std::chrono;
  const sys_days first{year{grid.year} / grid.month / 1};
  const int thursdayColumn = (4 - static_cast<int>(grid.weekStart) + 7) % 7;
  const sys_days thursday = first + days{row * 7 + thursdayColumn - FirstColumn(grid)};
  // A week belongs to the year of its Thursday; its number counts from that year's first one.
  const year_month_day date{thursday};
  const sys_days january1{date.year() / January / 1};
  return static_cast<int>((thursday - january1).count() / 7 + 1);
}

}  // namespace lunetta
