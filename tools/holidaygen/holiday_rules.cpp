#include "holidaygen/holiday_rules.h"

#include <cstdint>
#include <cstdio>
#include <set>
#include <stdexcept>

namespace lunetta {
namespace {

using namespace std::chrono;

// The standard approximation, valid 1980–2099. The constants are in millionths of a day so that
// no binary rounding of 0.242194 can move a result across a day boundary.
int EquinoxDay(year y, std::int64_t baseMicrodays) {
  const int n = static_cast<int>(y) - 1980;  // >= 40 in our range, so division floors
  return static_cast<int>((baseMicrodays + 242194 * std::int64_t{n}) / 1000000) - n / 4;
}

sys_days NthMonday(year y, month m, unsigned n) {
  return sys_days{y / m / Monday[n]};
}

// The national holidays proper (国民の祝日), before substitutes and citizens' holidays.
std::set<sys_days> NationalHolidays(year y) {
  std::set<sys_days> days;
  const auto add = [&](month m, int d) { days.insert(sys_days{y / m / day(d)}); };

  add(January, 1);
  days.insert(NthMonday(y, January, 2));
  add(February, 11);
  add(February, 23);
  add(March, EquinoxDay(y, 20843100));
  add(April, 29);
  add(May, 3);
  add(May, 4);
  add(May, 5);
  days.insert(NthMonday(y, September, 3));
  add(September, EquinoxDay(y, 23248800));
  add(November, 3);
  add(November, 23);

  // The Olympic years moved Marine Day, Sports Day and Mountain Day by special law.
  if (y == year{2020}) {
    add(July, 23);
    add(July, 24);
    add(August, 10);
  } else if (y == year{2021}) {
    add(July, 22);
    add(July, 23);
    add(August, 8);
  } else {
    days.insert(NthMonday(y, July, 3));
    add(August, 11);
    days.insert(NthMonday(y, October, 2));
  }
  return days;
}

}  // namespace

std::vector<year_month_day> JapaneseHolidays(year y) {
  if (y < kFirstHolidayYear || y > kLastHolidayYear) {
    throw std::out_of_range("year " + std::to_string(static_cast<int>(y)) + " is outside " +
                            std::to_string(static_cast<int>(kFirstHolidayYear)) + ".." +
                            std::to_string(static_cast<int>(kLastHolidayYear)));
  }
  const std::set<sys_days> national = NationalHolidays(y);
  std::set<sys_days> all = national;

  // Both rules look at the national holidays only: a substitute moves on past national holidays
  // (3 May on a Sunday gives 6 May), and a citizens' holiday lies between two of them.
  for (const sys_days d : national) {
    if (weekday{d} == Sunday) {
      sys_days next = d + days{1};
      while (national.contains(next)) {
        next += days{1};
      }
      all.insert(next);
    }
  }
  for (const sys_days d : national) {
    const sys_days between = d + days{1};
    if (!national.contains(between) && national.contains(between + days{1}) &&
        weekday{between} != Sunday) {
      all.insert(between);
    }
  }

  std::vector<year_month_day> result;
  for (const sys_days d : all) {
    result.emplace_back(d);
  }
  return result;
}

std::vector<year_month_day> ListedHolidays(year y) {
  std::vector<year_month_day> days = JapaneseHolidays(y);
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
  if (first > last) {
    throw std::invalid_argument("the first year is after the last");
  }
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
  for (year y = first + years{1}; y <= kLastHolidayYear; ++y) {
    const std::string line = FormatHolidayLine(y, ListedHolidays(y)) + '\n';
    if (file.size() + line.size() > kMaxHolidayFileBytes) {
      break;
    }
    file += line;
  }
  return file;
}

}  // namespace lunetta
