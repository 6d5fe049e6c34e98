#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>

#include "holidaygen/holiday_rules.h"

namespace lunetta {
namespace {

using namespace std::chrono;

TEST(HolidayLaw, MatchesTheCabinetOfficeLists) {
  for (const std::string published :
       {// Olympic dates; substitutes for 23 February and 3 May (past 4 and 5 May).
        "2020,0101,0113,0211,0223,0224,0320,0429,0503,0504,0505,0506,0723,0724,0810,0921,0922,"
        "1103,1123",
        // Olympic dates, Mountain Day on a Sunday.
        "2021,0101,0111,0211,0223,0320,0429,0503,0504,0505,0722,0723,0808,0809,0920,0923,1103,"
        "1123",
        // New Year's Day on a Sunday: the substitute comes before Coming of Age Day.
        "2023,0101,0102,0109,0211,0223,0321,0429,0503,0504,0505,0717,0811,0918,0923,1009,1103,"
        "1123",
        // Citizens' holiday on 22 September.
        "2026,0101,0112,0211,0223,0320,0429,0503,0504,0505,0506,0720,0811,0921,0922,0923,1012,"
        "1103,1123",
        // Vernal equinox on a Sunday; two days between 20 and 23 September stay working days.
        "2027,0101,0111,0211,0223,0321,0322,0429,0503,0504,0505,0719,0811,0920,0923,1011,1103,"
        "1123"}) {
    const year y{std::stoi(published.substr(0, 4))};
    EXPECT_EQ(FormatHolidayLine(y, JapaneseHolidays(y)), published);
  }
  EXPECT_THROW(FormatHolidayFile(kFirstHolidayYear, kLastHolidayYear), std::length_error);
  // 21 days off: the line leaves out those on a Sunday.
  EXPECT_EQ(FormatHolidayLine(year{2024}, ListedHolidays(year{2024})),
            "2024,0101,0108,0212,0223,0320,0429,0503,0504,0506,0715,0812,0916,0923,1014,1104,1123");
  EXPECT_THROW(FormatHolidayLine(year{2024}, JapaneseHolidays(year{2024})), std::length_error);
  EXPECT_THROW(JapaneseHolidays(year{2019}), std::out_of_range);
  EXPECT_THROW(JapaneseHolidays(year{2100}), std::out_of_range);
}

TEST(HolidayFile, CommittedFileIsTheGeneratorsOutputAndFitsTheReader) {
  std::ifstream in(LUNETTA_SOURCE_DIR "/data/holiday.dat", std::ios::binary);
  const std::string text(std::istreambuf_iterator<char>{in}, std::istreambuf_iterator<char>{});
  // On a mismatch, regenerate it: lunetta-holidaygen > data/holiday.dat
  EXPECT_EQ(text, FormatHolidayFileFrom(kFirstHolidayYear));
  EXPECT_LE(text.size(), kMaxHolidayFileBytes);
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_LE(std::count(line.begin(), line.end(), ','), 20) << line;
  }
}

}  // namespace
}  // namespace lunetta
