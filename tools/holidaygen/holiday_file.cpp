#include "holidaygen/holiday_file.h"

#include <cstdio>
#include <stdexcept>

#include "calendar/japanese_holidays.h"

namespace lunetta {

using namespace std::chrono;

namespace {

void CheckYear(year y) {
  if (!IsHolidayYear(y)) {
    throw std::out_of_range("year " + std::to_string(static_cast<int>(y)) + " is outside " +
                            std::to_string(kFirstJapaneseHolidayYear) + ".." +
                            std::to_string(kLastJapaneseHolidayYear));
  }
}

void CheckRange(year first, year last) {
  if (first > last) {
    throw std::invalid_argument("the first year is after the last");
  }
  CheckYear(first);
  CheckYear(last);
}

}  // namespace

bool IsHolidayYear(year y) {
  return y >= year{kFirstJapaneseHolidayYear} && y <= year{kLastJapaneseHolidayYear};
}

std::vector<year_month_day> ListedHolidays(year y) {
  CheckYear(y);
  std::vector<year_month_day> days;
  for (const JapaneseHoliday& h : JapaneseHolidays(static_cast<int>(y))) {
    days.push_back(h.date);
  }
  if (days.size() > kMaxHolidaysPerLine) {
    std::erase_if(days, [](const year_month_day& d) { return weekday{sys_days{d}} == Sunday; });
  }
  return days;
}

std::string FormatHolidayLine(year y, const std::vector<year_month_day>& days) {
  if (days.size() > kMaxHolidaysPerLine) {
    throw std::length_error(std::to_string(static_cast<int>(y)) + " has " +
                            std::to_string(days.size()) + " holidays, more than " +
                            std::to_string(kMaxHolidaysPerLine) + " fit in a line");
  }
  char text[32];
  std::snprintf(text, sizeof text, "%04d", static_cast<int>(y));
  std::string line = text;
  for (std::size_t i = 0; i < days.size(); ++i) {
    const year_month_day& d = days[i];
    if (!d.ok() || d.year() != y || (i > 0 && !(days[i - 1] < d))) {
      throw std::invalid_argument("holiday " + std::to_string(i + 1) + " of " +
                                  std::to_string(static_cast<int>(y)) +
                                  " is not a later date of that year");
    }
    std::snprintf(text, sizeof text, ",%02u%02u", static_cast<unsigned>(d.month()),
                  static_cast<unsigned>(d.day()));
    line += text;
  }
  return line;
}

std::string FormatHolidayFile(year first, year last) {
  CheckRange(first, last);
  std::string file;
  for (year y = first; y <= last; ++y) {
    file += FormatHolidayLine(y, ListedHolidays(y));
    file += '\n';
    if (file.size() > kMaxHolidayFileBytes) {
      throw std::length_error("the years up to " + std::to_string(static_cast<int>(y)) +
                              " take more than the " + std::to_string(kMaxHolidayFileBytes) +
                              " bytes the reader uses");
    }
  }
  return file;
}

std::string FormatHolidayFileFrom(year first) {
  std::string file = FormatHolidayFile(first, first);
  for (year y = first + years{1}; IsHolidayYear(y); ++y) {
    const std::string line = FormatHolidayLine(y, ListedHolidays(y)) + '\n';
    if (file.size() + line.size() > kMaxHolidayFileBytes) {
      break;
    }
    file += line;
  }
  return file;
}

std::string FormatHolidayList(year first, year last) {
  CheckRange(first, last);
  std::string list;
  for (year y = first; y <= last; ++y) {
    for (const JapaneseHoliday& h : JapaneseHolidays(static_cast<int>(y))) {
      char date[16];
      std::snprintf(date, sizeof date, "%04d-%02u-%02u", static_cast<int>(y),
                    static_cast<unsigned>(h.date.month()), static_cast<unsigned>(h.date.day()));
      ((list += date) += ' ').append(h.japaneseName).append(" ").append(h.englishName) += '\n';
    }
  }
  return list;
}

}  // namespace lunetta
