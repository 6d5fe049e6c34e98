#pragma once

#include <chrono>
#include <string_view>
#include <vector>

// Japan's days off under the Act on National Holidays, computed from the law's rules for any year
// the calendar offers. holiday.dat, where it lists a year, stays the authority for that year.

namespace lunetta {

inline constexpr int kFirstJapaneseHolidayYear = 1970;
inline constexpr int kLastJapaneseHolidayYear = 2199;

/// The National Astronomical Observatory announces each February the equinox days of the year
/// after; later years' equinoxes are predicted by the formula.
inline constexpr int kLastAnnouncedEquinoxYear = 2027;

enum class JapaneseHolidayKind {
  National,    // a national holiday (国民の祝日)
  Substitute,  // the day off for a national holiday on a Sunday (振替休日)
  Citizens,    // a day between two national holidays (国民の休日)
};

struct JapaneseHoliday {
  std::chrono::year_month_day date;
  JapaneseHolidayKind kind = JapaneseHolidayKind::National;
  std::string_view japaneseName;  // UTF-8, e.g. "春分の日"
  std::string_view englishName;   // e.g. "Vernal Equinox Day"

  friend bool operator==(const JapaneseHoliday&, const JapaneseHoliday&) = default;
};

/// Every day off in `year`, in date order; empty outside kFirstJapaneseHolidayYear..
/// kLastJapaneseHolidayYear.
std::vector<JapaneseHoliday> JapaneseHolidays(int year);

/// The days off of one month (1..12) of `year`, in date order.
std::vector<JapaneseHoliday> JapaneseHolidaysInMonth(int year, int month);

/// True when `year`'s equinox days are a prediction, not yet announced.
bool JapaneseEquinoxesPredicted(int year);

}  // namespace lunetta
