#include "calendar/japanese_holidays.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace lunetta {
namespace {

// "MMDD,MMDD,…", as holiday.dat lists days.
std::string MonthDays(const std::vector<JapaneseHoliday>& holidays) {
  std::string text;
  for (const JapaneseHoliday& h : holidays) {
    char entry[8];
    std::snprintf(entry, sizeof entry, "%s%02u%02u", text.empty() ? "" : ",",
                  static_cast<unsigned>(h.date.month()), static_cast<unsigned>(h.date.day()));
    text += entry;
  }
  return text;
}

class JapaneseHolidayLawTest : public testing::TestWithParam<std::pair<int, std::string>> {};

TEST_P(JapaneseHolidayLawTest, ListsTheYearsDaysOff) {
  const auto& [year, daysOff] = GetParam();
  EXPECT_EQ(MonthDays(JapaneseHolidays(year)), daysOff) << year;
}

INSTANTIATE_TEST_SUITE_P(
    Years, JapaneseHolidayLawTest,
    testing::Values(
        std::pair{1969, ""},
        std::pair{1970, "0101,0115,0211,0321,0429,0503,0505,0915,0923,1010,1103,1123"},
        // The first substitute holidays.
        std::pair{1973, "0101,0115,0211,0321,0429,0430,0503,0505,0915,0923,0924,1010,1103,1123"},
        // 4 May on a Sunday stayed a Sunday until 2007.
        std::pair{1986, "0101,0115,0211,0321,0429,0503,0505,0915,0923,1010,1103,1123,1124"},
        // The first citizens' holiday; the vernal equinox on a Sunday.
        std::pair{1988, "0101,0115,0211,0320,0321,0429,0503,0504,0505,0915,0923,1010,1103,1123"},
        // The state funeral, Greenery Day, the Emperor's Birthday in December.
        std::pair{1989,
                  "0101,0102,0115,0116,0211,0224,0321,0429,0503,0504,0505,0915,0923,1010,1103,"
                  "1123,1223"},
        // The enthronement between two citizens' holidays; no Emperor's Birthday.
        std::pair{2019,
                  "0101,0114,0211,0321,0429,0430,0501,0502,0503,0504,0505,0506,0715,0811,0812,"
                  "0916,0923,1014,1022,1103,1104,1123"},
        // 3 May on a Sunday: its day off comes after the two holidays that follow.
        std::pair{2026,
                  "0101,0112,0211,0223,0320,0429,0503,0504,0505,0506,0720,0811,0921,0922,0923,"
                  "1012,1103,1123"},
        // The Sun's equinox, 23 September, where the almanac's approximation gives the 24th.
        std::pair{2107,
                  "0101,0110,0211,0223,0321,0429,0503,0504,0505,0718,0811,0919,0923,1010,1103,"
                  "1123"},
        std::pair{2200, ""}));

TEST(JapaneseHolidays, NameEachDayOff) {
  std::string names;
  for (const JapaneseHoliday& h : JapaneseHolidaysInMonth(2019, 5)) {
    names += std::to_string(static_cast<unsigned>(h.date.day())) + std::string(h.japaneseName);
  }
  EXPECT_EQ(names, "1天皇の即位の日2国民の休日3憲法記念日4みどりの日5こどもの日6振替休日");
  EXPECT_EQ(JapaneseHolidaysInMonth(2026, 9).at(1).englishName, "Citizens' Holiday");
}

TEST(JapaneseHolidays, EquinoxesAfterTheAnnouncedYearArePredicted) {
  EXPECT_FALSE(JapaneseEquinoxesPredicted(kLastAnnouncedEquinoxYear));
  EXPECT_TRUE(JapaneseEquinoxesPredicted(kLastAnnouncedEquinoxYear + 1));
}

}  // namespace
}  // namespace lunetta
