#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "holidaygen/holiday_rules.h"

namespace lunetta {
namespace {

using namespace std::chrono;

// The year's days off in the line layout, without the line's length limit.
std::string DaysOff(year y) {
  std::string text = std::to_string(static_cast<int>(y));
  for (const year_month_day& d : JapaneseHolidays(y)) {
    char entry[16];
    std::snprintf(entry, sizeof entry, ",%02u%02u", static_cast<unsigned>(d.month()),
                  static_cast<unsigned>(d.day()));
    text += entry;
  }
  return text;
}

struct PublishedYear {
  int year;
  const char* line;  // every day off of the year, as the Cabinet Office publishes them
};

void PrintTo(const PublishedYear& p, std::ostream* os) {
  *os << p.year;
}

class PublishedYearTest : public testing::TestWithParam<PublishedYear> {};

TEST_P(PublishedYearTest, MatchesTheCabinetOfficeList) {
  EXPECT_EQ(DaysOff(year{GetParam().year}), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    HolidayLaw, PublishedYearTest,
    testing::Values(
        // Olympic dates; substitutes for 23 February and 3 May (past 4 and 5 May).
        PublishedYear{2020,
                      "2020,0101,0113,0211,0223,0224,0320,0429,0503,0504,0505,0506,0723,0724,0810,"
                      "0921,0922,1103,1123"},
        // Olympic dates, Mountain Day on a Sunday.
        PublishedYear{2021,
                      "2021,0101,0111,0211,0223,0320,0429,0503,0504,0505,0722,0723,0808,0809,0920,"
                      "0923,1103,1123"},
        // New Year's Day on a Sunday: the substitute comes before Coming of Age Day.
        PublishedYear{2023,
                      "2023,0101,0102,0109,0211,0223,0321,0429,0503,0504,0505,0717,0811,0918,0923,"
                      "1009,1103,1123"},
        // Five substitutes: 21 days off, one more than a line holds.
        PublishedYear{2024,
                      "2024,0101,0108,0211,0212,0223,0320,0429,0503,0504,0505,0506,0715,0811,0812,"
                      "0916,0922,0923,1014,1103,1104,1123"},
        // Emperor's Birthday, 4 May and Labour Thanksgiving Day on Sundays.
        PublishedYear{2025,
                      "2025,0101,0113,0211,0223,0224,0320,0429,0503,0504,0505,0506,0721,0811,0915,"
                      "0923,1013,1103,1123,1124"},
        // Citizens' holiday on 22 September.
        PublishedYear{2026,
                      "2026,0101,0112,0211,0223,0320,0429,0503,0504,0505,0506,0720,0811,0921,0922,"
                      "0923,1012,1103,1123"},
        // Vernal equinox on a Sunday.
        PublishedYear{2027,
                      "2027,0101,0111,0211,0223,0321,0322,0429,0503,0504,0505,0719,0811,0920,0923,"
                      "1011,1103,1123"}),
    [](const auto& info) { return std::to_string(info.param.year); });

struct SeptemberCase {
  int year;
  std::vector<unsigned> days;
};

void PrintTo(const SeptemberCase& c, std::ostream* os) {
  *os << c.year;
}

class SeptemberTest : public testing::TestWithParam<SeptemberCase> {};

// A day between Respect for the Aged Day and the autumnal equinox is off only when it is the
// single day between them.
TEST_P(SeptemberTest, CitizensHolidayOnlyBetweenTwoHolidays) {
  std::vector<unsigned> september;
  for (const year_month_day& d : JapaneseHolidays(year{GetParam().year})) {
    if (d.month() == September) {
      september.push_back(static_cast<unsigned>(d.day()));
    }
  }
  EXPECT_EQ(september, GetParam().days);
}

INSTANTIATE_TEST_SUITE_P(HolidayLaw, SeptemberTest,
                         testing::Values(SeptemberCase{2032, {20, 21, 22}},
                                         SeptemberCase{2037, {21, 22, 23}},
                                         SeptemberCase{2027, {20, 23}}),  // two days between),
                         [](const auto& info) { return std::to_string(info.param.year); });

TEST(HolidayLaw, RefusesYearsOutsideTheRules) {
  EXPECT_THROW(JapaneseHolidays(year{2019}), std::out_of_range);
  EXPECT_THROW(JapaneseHolidays(year{2100}), std::out_of_range);
  EXPECT_NO_THROW(JapaneseHolidays(kLastHolidayYear));
}

TEST(HolidayLine, ListsEveryDayOffThatIsNotASundayWithinTwentyEntries) {
  for (year y = kFirstHolidayYear; y <= kLastHolidayYear; ++y) {
    const std::vector<year_month_day> all = JapaneseHolidays(y);
    const std::vector<year_month_day> listed = ListedHolidays(y);
    ASSERT_LE(listed.size(), kMaxHolidaysPerLine) << static_cast<int>(y);
    for (const year_month_day& d : all) {
      const bool isListed = std::find(listed.begin(), listed.end(), d) != listed.end();
      EXPECT_TRUE(isListed || weekday{sys_days{d}} == Sunday)
          << static_cast<int>(y) << '-' << static_cast<unsigned>(d.month()) << '-'
          << static_cast<unsigned>(d.day());
    }
    if (all.size() <= kMaxHolidaysPerLine) {
      EXPECT_EQ(listed, all) << static_cast<int>(y);
    }
  }
  EXPECT_EQ(FormatHolidayLine(year{2024}, ListedHolidays(year{2024})),
            "2024,0101,0108,0212,0223,0320,0429,0503,0504,0506,0715,0812,0916,0923,1014,1104,1123");
}

TEST(HolidayLine, RefusesWhatTheReaderCannotTake) {
  std::vector<year_month_day> days;
  for (unsigned d = 1; d <= 21; ++d) {
    days.push_back(year{2030} / January / d);
  }
  EXPECT_THROW(FormatHolidayLine(year{2030}, days), std::length_error);
  days.pop_back();
  EXPECT_EQ(FormatHolidayLine(year{2030}, days).size(), 104u);  // the last separator left out

  EXPECT_EQ(FormatHolidayLine(year{2030}, {}), "2030");
  EXPECT_THROW(FormatHolidayLine(year{2030}, {year{2031} / January / 1}), std::invalid_argument);
  EXPECT_THROW(FormatHolidayLine(year{2030}, {year{2030} / February / 30}), std::invalid_argument);
  EXPECT_THROW(FormatHolidayLine(year{2030}, {year{2030} / May / 5, year{2030} / May / 4}),
               std::invalid_argument);
}

TEST(HolidayFile, NeverExceedsWhatTheReaderReads) {
  EXPECT_THROW(FormatHolidayFile(kFirstHolidayYear, kLastHolidayYear), std::length_error);
  EXPECT_THROW(FormatHolidayFile(year{2031}, year{2030}), std::invalid_argument);

  const std::string tail = FormatHolidayFileFrom(year{2090});
  EXPECT_EQ(tail, FormatHolidayFile(year{2090}, kLastHolidayYear));

  const std::string fromFirst = FormatHolidayFileFrom(kFirstHolidayYear);
  EXPECT_LE(fromFirst.size(), kMaxHolidayFileBytes);
  const std::size_t lastLine = fromFirst.rfind('\n', fromFirst.size() - 2) + 1;
  const year last{std::stoi(fromFirst.substr(lastLine, 4))};
  EXPECT_GT(fromFirst.size() +
                FormatHolidayLine(last + years{1}, ListedHolidays(last + years{1})).size() + 1,
            kMaxHolidayFileBytes);
}

TEST(HolidayFile, CommittedFileIsTheGeneratorsOutput) {
  std::ifstream in(LUNETTA_SOURCE_DIR "/data/holiday.dat", std::ios::binary);
  ASSERT_TRUE(in) << "data/holiday.dat is missing";
  std::ostringstream content;
  content << in.rdbuf();
  const std::string text = content.str();

  // On a mismatch, regenerate it: lunetta-holidaygen > data/holiday.dat
  EXPECT_EQ(text, FormatHolidayFileFrom(kFirstHolidayYear));
  EXPECT_LE(text.size(), kMaxHolidayFileBytes);
  EXPECT_EQ(text.find('\r'), std::string::npos);

  std::istringstream lines(text);
  std::string line;
  int expectedYear = static_cast<int>(kFirstHolidayYear);
  while (std::getline(lines, line)) {
    EXPECT_EQ(line.substr(0, 4), std::to_string(expectedYear));
    EXPECT_LE(std::count(line.begin(), line.end(), ','), 20) << line;
    EXPECT_LE(line.size(), 105u) << line;
    ++expectedYear;
  }
  EXPECT_GE(expectedYear, 2030);
}

}  // namespace
}  // namespace lunetta
