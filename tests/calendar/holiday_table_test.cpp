#include "calendar/holiday_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/file_io.h"
#include "support/fifo_guard.h"

namespace lunetta {
namespace {

namespace fs = std::filesystem;

// holiday.dat in a folder of its own, holding `text`.
fs::path HolidayFile(std::string_view text) {
  const fs::path folder = fs::temp_directory_path() / "holiday";
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::ofstream(folder / "holiday.dat", std::ios::binary).write(text.data(), std::ssize(text));
  return folder / "holiday.dat";
}

// Rows: file text, month of 2009, the days it gives, whether the year has a line.
using TextCase = std::tuple<std::string, int, std::vector<int>, bool>;

class HolidayTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(HolidayTextTest, GivesTheDaysOfTheMonth) {
  const auto& [text, month, days, listed] = GetParam();
  HolidayTable table;
  EXPECT_FALSE(table.load(HolidayFile(text).parent_path(), 2009));
  EXPECT_EQ(table.daysInMonth(month), days);
  EXPECT_EQ(table.listsYear(), listed);
}

INSTANTIATE_TEST_SUITE_P(
    Files, HolidayTextTest,
    testing::Values(
        TextCase{"2008,0101\r\n2009,0101,0112,0211\r\n2010,0105\r\n", 1, {1, 12}, true},
        TextCase{"20\r09,01\r01,02\r11", 2, {11}, true},  // CR dropped anywhere, no line end
        TextCase{"2009\n", 1, {}, true}, TextCase{"2008,0101\n2010,0101\n", 1, {}, false},
        TextCase{"2009x0101-0112/1223", 12, {23}, true},  // separators never read
        TextCase{"2009,ab01,01cd", 1, {0}, true},
        TextCase{"Holidays of Japan\n2009,0101\n", 1, {1}, true},
        TextCase{"2009,0101,0102\n2009,0303\n", 1, {}, true},  // the later line replaces it
        TextCase{"2009," + std::string(105, '1'), 11, std::vector(20, 11), true},  // 21 entries
        TextCase{"2009,0101", 13, {}, true},  // empty slots are month 0
        TextCase{std::string("2008,0101\n\0\n2009,0101\n", 22), 1, {}, false},  // NUL ends it
        // Byte 5120 ends after "2009,0102,1": the second entry's month is "1", its day nothing.
        // One byte more or less reads month 12 or no entry, and January gives only 2.
        TextCase{std::string(5120 - 11, '\n') + "2009,0102,1225", 1, {2, 0}, true}));

TEST(HolidayTableTest, KeptWhenTheFileCannotBeRead) {
  const fs::path file = HolidayFile("2009,0101\n"), folder = file.parent_path();
  HolidayTable table;
  EXPECT_FALSE(table.load(folder, 2009));
  fs::remove(file);
  test_support::MakeFifo(file);  // would wait for a writer if opened as a plain file
  EXPECT_EQ(test_support::WithoutBlocking(file, [&] { return table.load(folder, 2010); }),
            FileErrc::not_regular_file);
  EXPECT_EQ(table.daysInMonth(1), std::vector{1});
}

}  // namespace
}  // namespace lunetta
