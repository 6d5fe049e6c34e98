#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>

#include "holidaygen/holiday_file.h"

namespace lunetta {
namespace {

using namespace std::chrono;

TEST(HolidayLine, LeavesOutSundaysOfAYearTooLongForTheTable) {
  // 21 days off: the line leaves out those on a Sunday.
  EXPECT_EQ(FormatHolidayLine(year{2024}, ListedHolidays(year{2024})),
            "2024,0101,0108,0212,0223,0320,0429,0503,0504,0506,0715,0812,0916,0923,1014,1104,1123");
  EXPECT_THROW(FormatHolidayFile(kFirstShippedYear, year{2199}), std::length_error);
  EXPECT_THROW(ListedHolidays(year{1969}), std::out_of_range);
}

TEST(HolidayFile, CommittedFileIsTheGeneratorsOutput) {
  std::ifstream in(LUNETTA_SOURCE_DIR "/data/holiday.dat", std::ios::binary);
  const std::string text(std::istreambuf_iterator<char>{in}, std::istreambuf_iterator<char>{});
  // On a mismatch, regenerate it: lunetta-holidaygen > data/holiday.dat
  EXPECT_EQ(text, FormatHolidayFileFrom(kFirstShippedYear));
  EXPECT_LE(text.size(), kMaxHolidayFileBytes);
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_LE(std::count(line.begin(), line.end(), ','), 20) << line;
  }
}

}  // namespace
}  // namespace lunetta
