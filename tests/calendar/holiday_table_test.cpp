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

// A fresh folder holding `bytes` as its holiday file.
fs::path HolidayFolder(std::string_view bytes) {
  const fs::path folder = fs::temp_directory_path() / "holiday";
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::ofstream(folder / "holiday.dat", std::ios::binary).write(bytes.data(), bytes.size());
  return folder;
}

// Rows: file text, month of 2009, the days it gives.
using TextCase = std::tuple<std::string, int, std::vector<int>>;

class HolidayTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(HolidayTextTest, GivesTheDaysOfTheMonth) {
  const auto& [text, month, days] = GetParam();
  HolidayTable table;
  table.load(HolidayFolder(text), 2009);
  EXPECT_EQ(table.daysInMonth(month), days);
}

INSTANTIATE_TEST_SUITE_P(
    Files, HolidayTextTest,
    testing::Values(
        TextCase{"2008,0101\r\n2009,0101,0112,0211\r\n2010,0105\r\n", 1, {1, 12}},
        TextCase{"20\r09,01\r01,02\r11", 2, {11}},  // CR dropped anywhere, no line end
        TextCase{"2009\n", 1, {}}, TextCase{"2009,", 1, {}}, TextCase{"", 1, {}},
        TextCase{"2009,0503,0504,0505,0506\n", 5, {3, 4, 5, 6}}, TextCase{"2009,0506", 6, {}},
        TextCase{"2009x0101-0112/1223", 12, {23}},  // separators never read
        TextCase{"2009,ab01,01cd", 1, {0}}, TextCase{"Holidays of Japan\n2009,0101\n", 1, {1}},
        TextCase{"2009,0101,0102\n2009,0303\n", 1, {2}},  // tail of the first stays
        TextCase{"2009," + std::string(105, '1'), 11, std::vector(20, 11)},  // 21 entries
        TextCase{"2009,0101", 0, {}}, TextCase{"2009,0101", 13, {}},  // empty slots are month 0
        TextCase{std::string("2008,0101\n\0\n2009,0101\n", 22), 1, {}},
        // Byte 5120 ends after "2009,0102,1": the second entry's month is "1", its day nothing.
        // One byte more or less reads month 12 or no entry, and January gives only 2.
        TextCase{std::string(5120 - 11, '\n') + "2009,0102,1225", 1, {2, 0}}));

// A year without a line is told apart from a year listed without holidays.
TEST(HolidayTableTest, ListsTheYearOnlyWhenALineStartsWithIt) {
  using namespace std::literals;
  const std::pair<std::string_view, bool> texts[] = {
      {"2009\n"sv, true},
      {"2009,"sv, true},
      {"2008,0101\n2010,0101\n"sv, false},
      {""sv, false},
      {"Holidays\n2009,0101"sv, true},
      {"2008,0101\n\0\n2009\n"sv, false}};  // NUL ends the text
  for (const auto& [text, listed] : texts) {
    HolidayTable table;
    table.loadText(text, 2009);
    EXPECT_EQ(table.listsYear(), listed) << text;
  }
}

TEST(HolidayTableTest, KeptWhenTheFileCannotBeReadButReadOnlyFilesLoad) {
  const fs::path folder = HolidayFolder("2009,0101\n"), file = folder / "holiday.dat";
  HolidayTable table;
  EXPECT_FALSE(table.load(folder, 2009));
  fs::remove(file);
  EXPECT_EQ(table.load(folder, 2010), std::errc::no_such_file_or_directory);
  fs::create_directory(file);
  EXPECT_EQ(table.load(folder, 2010), std::errc::is_a_directory);
  fs::remove(file);
  test_support::MakeFifo(file);  // would wait for a writer if opened as a plain file
  EXPECT_EQ(test_support::WithoutBlocking(file, [&] { return table.load(folder, 2010); }),
            FileErrc::not_regular_file);
  EXPECT_EQ(table.daysInMonth(1), std::vector{1});
  fs::remove(file);
  std::ofstream(file) << "2010,0505\n";
  fs::permissions(file, fs::perms::owner_read);
  table.load(folder, 2010);
  EXPECT_EQ(table.daysInMonth(5), std::vector{5});
}

}  // namespace
}  // namespace lunetta
