#include "calendar/holiday_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>

namespace lunetta {
namespace {

namespace fs = std::filesystem;
using testing::ElementsAre;

class HolidayFileTest : public testing::Test {
 protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    directory_ = fs::temp_directory_path() / "holiday" / info->test_suite_name() / info->name();
    fs::remove_all(directory_);
    fs::create_directories(directory_);
  }
  void TearDown() override { fs::remove_all(directory_); }

  void writeFile(std::string_view bytes) const {
    std::ofstream(directory_ / "holiday.dat", std::ios::binary).write(bytes.data(), bytes.size());
  }

  fs::path directory_;
};

// Lines of another year that end exactly `bytes` into the file.
std::string Padding(std::size_t bytes) {
  std::string lines;
  while (lines.size() + 10 <= bytes) {
    lines += "1999,0101\n";
  }
  return lines.size() < bytes ? lines + std::string(bytes - lines.size() - 1, 'x') + "\n" : lines;
}
const std::string kNearTheCut = Padding(HolidayTable::kMaxFileBytes - 9);  // room for 2009,0101

struct TextCase {
  std::string text;
  int month;  // of 2009
  std::vector<int> days;
};

class HolidayTextTest : public HolidayFileTest, public testing::WithParamInterface<TextCase> {};

TEST_P(HolidayTextTest, FileAndTextGiveTheDays) {
  const TextCase& c = GetParam();
  HolidayTable fromText;
  fromText.loadText(c.text, 2009);
  EXPECT_EQ(fromText.daysInMonth(c.month), c.days);
  writeFile(c.text);
  HolidayTable fromFile;
  fromFile.load(directory_, 2009);
  EXPECT_EQ(fromFile.daysInMonth(c.month), c.days);
}

INSTANTIATE_TEST_SUITE_P(
    Files, HolidayTextTest,
    testing::Values(TextCase{"2008,0101\n2009,0101,0112,0211\n2010,0105\n", 1, {1, 12}},
                    TextCase{"2008,0101\r\n2009,0101,0112,0211\r\n2010,0105\r\n", 1, {1, 12}},
                    TextCase{"20\r09,01\r01,02\r11", 2, {11}},  // CR dropped anywhere
                    TextCase{"2008,0101\n2009,0101,0112", 1, {1, 12}}, TextCase{"2009\n", 1, {}},
                    TextCase{"2009,", 1, {}}, TextCase{"", 1, {}},
                    TextCase{"2009,0503,0504,0505,0506\n", 5, {3, 4, 5, 6}},
                    TextCase{"2009,0503,0504,0505,0506\n", 6, {}},
                    TextCase{"2009,0101,1223", 12, {23}},
                    TextCase{"2009x0101-0112/0211", 1, {1, 12}},       // separators never read
                    TextCase{"2009,0230,0211,0230", 2, {30, 11, 30}},  // file order, no checks
                    TextCase{"2009,ab01,01cd", 1, {0}},
                    TextCase{"Holidays of Japan\n2009,0101\n", 1, {1}},
                    TextCase{"2008," + std::string(400, '1') + "\n2009,0101", 1, {1}},
                    TextCase{"2009,0101,0102\n2009,0303\n", 1, {2}},  // tail of the first stays
                    TextCase{std::string("2008,0101\n\0\n2009,0101\n", 22), 1, {}},
                    TextCase{kNearTheCut + "2009,0101", 1, {1}},
                    TextCase{kNearTheCut + "2009,0101,0202", 2, {}},
                    TextCase{Padding(HolidayTable::kMaxFileBytes) + "\n2009,0101", 1, {}}));

TEST(HolidayTableTest, TwentyEntriesAtMostAndOnlyRealMonths) {
  std::string line = "2009";
  for (int day = 10; day <= 31; ++day) {
    line += ",01" + std::to_string(day);
  }
  HolidayTable table;
  table.loadText(line, 2009);
  std::vector<int> twenty(20);
  std::iota(twenty.begin(), twenty.end(), 10);
  EXPECT_EQ(table.daysInMonth(1), twenty);
  table.loadText("2009,0101,ab02", 2009);
  EXPECT_TRUE(table.daysInMonth(0).empty());  // empty and non-digit slots read as month 0
  EXPECT_TRUE(table.daysInMonth(13).empty());
}

TEST(HolidayTableTest, AtoiFieldSaturates) {
  EXPECT_EQ(AtoiField(" \t-12x"), -12);
  EXPECT_EQ(AtoiField("- 5"), 0);
  EXPECT_EQ(AtoiField("99999999999999999999"), INT_MAX);
  EXPECT_EQ(AtoiField("-2147483648"), INT_MIN);
  EXPECT_EQ(AtoiField("-99999999999999999999"), INT_MIN);
}

TEST_F(HolidayFileTest, TableKeptWhenTheFileCannotBeRead) {
  writeFile("2009,0101,0112\n");
  HolidayTable table;
  table.load(directory_, 2009);
  ASSERT_THAT(table.daysInMonth(1), ElementsAre(1, 12));

  fs::remove(directory_ / "holiday.dat");
  table.load(directory_, 2010);
  EXPECT_THAT(table.daysInMonth(1), ElementsAre(1, 12)) << "deleted";

  fs::create_directory(directory_ / "holiday.dat");
  table.load(directory_, 2010);
  EXPECT_THAT(table.daysInMonth(1), ElementsAre(1, 12)) << "directory";

  fs::remove(directory_ / "holiday.dat");
  writeFile("2010,0505\n");
  if (::geteuid() != 0) {  // root reads files whatever their mode
    fs::permissions(directory_ / "holiday.dat", fs::perms::none);
    table.load(directory_, 2010);
    EXPECT_THAT(table.daysInMonth(1), ElementsAre(1, 12)) << "unreadable";
  }
  fs::permissions(directory_ / "holiday.dat", fs::perms::owner_read);
  table.load(directory_, 2010);
  EXPECT_THAT(table.daysInMonth(5), ElementsAre(5)) << "read-only files load";
  EXPECT_TRUE(table.daysInMonth(1).empty());
}

}  // namespace
}  // namespace lunetta
