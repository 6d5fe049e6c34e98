#include "calendar/japanese_holidays.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace lunetta {

namespace {

using namespace std::chrono;

enum class DateRule { Fixed, NthMonday, VernalEquinox, AutumnalEquinox };

// One national holiday for the years firstYear..lastYear. `day` is the day of the month for a
// fixed date, which Monday of the month for NthMonday, and unused for the equinoxes.
struct HolidayRule {
  int firstYear;
  int lastYear;
  DateRule rule;
  unsigned month;
  unsigned day;
  std::string_view japaneseName;
  std::string_view englishName;
};

constexpr int kNow = kLastJapaneseHolidayYear;

// The law as it stood in each year since 1970, special laws included: the Olympic years 2020 and
// 2021 moved three holidays, and the imperial ceremonies of 1989, 1990, 1993 and 2019 were days
// off of their own.
constexpr HolidayRule kRules[] = {
    {1949, kNow, DateRule::Fixed, 1, 1, "元日", "New Year's Day"},
    {1949, 1999, DateRule::Fixed, 1, 15, "成人の日", "Coming of Age Day"},
    {2000, kNow, DateRule::NthMonday, 1, 2, "成人の日", "Coming of Age Day"},
    {1967, kNow, DateRule::Fixed, 2, 11, "建国記念の日", "National Foundation Day"},
    {2020, kNow, DateRule::Fixed, 2, 23, "天皇誕生日", "The Emperor's Birthday"},
    {1989, 1989, DateRule::Fixed, 2, 24, "昭和天皇の大喪の礼", "State Funeral of Emperor Showa"},
    {1949, kNow, DateRule::VernalEquinox, 3, 0, "春分の日", "Vernal Equinox Day"},
    {1949, 1988, DateRule::Fixed, 4, 29, "天皇誕生日", "The Emperor's Birthday"},
    {1989, 2006, DateRule::Fixed, 4, 29, "みどりの日", "Greenery Day"},
    {2007, kNow, DateRule::Fixed, 4, 29, "昭和の日", "Showa Day"},
    {2019, 2019, DateRule::Fixed, 5, 1, "天皇の即位の日", "Enthronement Day"},
    {1949, kNow, DateRule::Fixed, 5, 3, "憲法記念日", "Constitution Memorial Day"},
    {2007, kNow, DateRule::Fixed, 5, 4, "みどりの日", "Greenery Day"},
    {1949, kNow, DateRule::Fixed, 5, 5, "こどもの日", "Children's Day"},
    {1993, 1993, DateRule::Fixed, 6, 9, "皇太子徳仁親王の結婚の儀",
     "Wedding of Crown Prince Naruhito"},
    {1996, 2002, DateRule::Fixed, 7, 20, "海の日", "Marine Day"},
    {2003, 2019, DateRule::NthMonday, 7, 3, "海の日", "Marine Day"},
    {2020, 2020, DateRule::Fixed, 7, 23, "海の日", "Marine Day"},
    {2021, 2021, DateRule::Fixed, 7, 22, "海の日", "Marine Day"},
    {2022, kNow, DateRule::NthMonday, 7, 3, "海の日", "Marine Day"},
    {2020, 2020, DateRule::Fixed, 7, 24, "スポーツの日", "Sports Day"},
    {2021, 2021, DateRule::Fixed, 7, 23, "スポーツの日", "Sports Day"},
    {2016, 2019, DateRule::Fixed, 8, 11, "山の日", "Mountain Day"},
    {2020, 2020, DateRule::Fixed, 8, 10, "山の日", "Mountain Day"},
    {2021, 2021, DateRule::Fixed, 8, 8, "山の日", "Mountain Day"},
    {2022, kNow, DateRule::Fixed, 8, 11, "山の日", "Mountain Day"},
    {1966, 2002, DateRule::Fixed, 9, 15, "敬老の日", "Respect for the Aged Day"},
    {2003, kNow, DateRule::NthMonday, 9, 3, "敬老の日", "Respect for the Aged Day"},
    {1948, kNow, DateRule::AutumnalEquinox, 9, 0, "秋分の日", "Autumnal Equinox Day"},
    {1966, 1999, DateRule::Fixed, 10, 10, "体育の日", "Health and Sports Day"},
    {2000, 2019, DateRule::NthMonday, 10, 2, "体育の日", "Health and Sports Day"},
    {2022, kNow, DateRule::NthMonday, 10, 2, "スポーツの日", "Sports Day"},
    {2019, 2019, DateRule::Fixed, 10, 22, "即位礼正殿の儀", "Enthronement Ceremony"},
    {1948, kNow, DateRule::Fixed, 11, 3, "文化の日", "Culture Day"},
    {1990, 1990, DateRule::Fixed, 11, 12, "即位礼正殿の儀", "Enthronement Ceremony"},
    {1948, kNow, DateRule::Fixed, 11, 23, "勤労感謝の日", "Labour Thanksgiving Day"},
    {1989, 2018, DateRule::Fixed, 12, 23, "天皇誕生日", "The Emperor's Birthday"},
};

// The two rules that derive days off from the national holidays, as amended. A version applies
// to the holidays (substitute) and days (citizens') from its effective date on.
struct DerivedRules {
  sys_days effective;
  bool substitute;              // a national holiday on a Sunday gives a day off after it...
  bool substitutePastHolidays;  // ...the first later day that is no national holiday; else the
                                // next day, unless it is a national holiday itself
  bool citizens;                // a day between two national holidays is a day off...
  bool citizensOnSunday;        // ...a Sunday too, where the law no longer excludes it
};

constexpr DerivedRules kDerivedRules[] = {
    {sys_days{1948y / July / 20}, false, false, false, false},
    {sys_days{1973y / April / 12}, true, false, false, false},
    {sys_days{1985y / December / 27}, true, false, true, false},
    {sys_days{2007y / January / 1}, true, true, true, true},
};

const DerivedRules& DerivedRulesOn(sys_days date) {
  const auto later = std::find_if(std::begin(kDerivedRules), std::end(kDerivedRules),
                                  [date](const DerivedRules& r) { return r.effective > date; });
  return *std::prev(later);
}

// The equinox approximation of the almanacs (新こよみ便利帳), which the references use for years
// the observatory has not announced: day = floor(C + 0.242194 (Y - 1980) - floor((Y - 1980) / 4)).
// The constants are in millionths of a day, so no binary rounding can move a day. Published for
// 1900–2150; the last row goes on to 2199.
struct EquinoxFormula {
  int lastYear;
  std::int64_t vernal;
  std::int64_t autumnal;
};

constexpr EquinoxFormula kEquinoxFormulas[] = {
    {1979, 20'835'700, 23'258'800},
    {2099, 20'843'100, 23'248'800},
    {kLastJapaneseHolidayYear, 21'851'000, 24'248'800},
};

// Years in which the approximation and the Sun's position (VSOP87, with the predicted difference
// of terrestrial and universal time) put the equinox on different days, all within half an hour
// of midnight, Japan time; the Sun's day is the one the observatory will announce.
// tools/holidaycheck repeats the computation.
struct EquinoxCorrection {
  int year;
  DateRule rule;
  unsigned day;
};

constexpr EquinoxCorrection kEquinoxCorrections[] = {
    {2107, DateRule::AutumnalEquinox, 23},
    {2154, DateRule::VernalEquinox, 21},
    {2169, DateRule::AutumnalEquinox, 22},
    {2187, DateRule::VernalEquinox, 21},
};

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

unsigned EquinoxDay(int y, DateRule rule) {
  for (const EquinoxCorrection& c : kEquinoxCorrections) {
    if (c.year == y && c.rule == rule) {
      return c.day;
    }
  }
  const EquinoxFormula& f = *std::find_if(std::begin(kEquinoxFormulas), std::end(kEquinoxFormulas),
                                          [y](const EquinoxFormula& e) { return y <= e.lastYear; });
  const std::int64_t n = y - 1980;
  const std::int64_t base = rule == DateRule::VernalEquinox ? f.vernal : f.autumnal;
  return static_cast<unsigned>(FloorDiv(base + 242'194 * n, 1'000'000) - FloorDiv(n, 4));
}

sys_days RuleDate(int y, const HolidayRule& r) {
  const year yy{y};
  const month m{r.month};
  switch (r.rule) {
    case DateRule::Fixed:
      return sys_days{yy / m / day{r.day}};
    case DateRule::NthMonday:
      return sys_days{yy / m / Monday[r.day]};
    case DateRule::VernalEquinox:
    case DateRule::AutumnalEquinox:
      break;
  }
  return sys_days{yy / m / day{EquinoxDay(y, r.rule)}};
}

}  // namespace

std::vector<JapaneseHoliday> JapaneseHolidays(int y) {
  if (y < kFirstJapaneseHolidayYear || y > kLastJapaneseHolidayYear) {
    return {};
  }
  std::map<sys_days, JapaneseHoliday> dayOff;
  for (const HolidayRule& r : kRules) {
    if (y >= r.firstYear && y <= r.lastYear) {
      const sys_days d = RuleDate(y, r);
      dayOff.emplace(d, JapaneseHoliday{year_month_day{d}, JapaneseHolidayKind::National,
                                        r.japaneseName, r.englishName});
    }
  }
  // Both derived rules look at the national holidays only.
  const std::map<sys_days, JapaneseHoliday> national = dayOff;
  const auto isNational = [&national](sys_days d) { return national.contains(d); };

  for (const auto& [d, holiday] : national) {
    const DerivedRules& rules = DerivedRulesOn(d);
    if (!rules.substitute || weekday{d} != Sunday) {
      continue;
    }
    sys_days next = d + days{1};
    while (rules.substitutePastHolidays && isNational(next)) {
      next += days{1};
    }
    if (!isNational(next)) {
      dayOff.emplace(next, JapaneseHoliday{year_month_day{next}, JapaneseHolidayKind::Substitute,
                                           "振替休日", "Substitute Holiday"});
    }
  }
  for (const auto& [d, holiday] : national) {
    const sys_days between = d + days{1};
    const DerivedRules& rules = DerivedRulesOn(between);
    if (rules.citizens && !isNational(between) && isNational(between + days{1}) &&
        (rules.citizensOnSunday || weekday{between} != Sunday)) {
      // A substitute holiday keeps its name.
      dayOff.emplace(between,
                     JapaneseHoliday{year_month_day{between}, JapaneseHolidayKind::Citizens,
                                     "国民の休日", "Citizens' Holiday"});
    }
  }

  std::vector<JapaneseHoliday> result;
  result.reserve(dayOff.size());
  for (const auto& [d, holiday] : dayOff) {
    result.push_back(holiday);
  }
  return result;
}

std::vector<JapaneseHoliday> JapaneseHolidaysInMonth(int y, int m) {
  if (m < 1 || m > 12) {
    return {};
  }
  std::vector<JapaneseHoliday> result = JapaneseHolidays(y);
  std::erase_if(result, [m](const JapaneseHoliday& h) {
    return h.date.month() != month{static_cast<unsigned>(m)};
  });
  return result;
}

bool JapaneseEquinoxesPredicted(int y) {
  return y > kLastAnnouncedEquinoxYear;
}

}  // namespace lunetta
