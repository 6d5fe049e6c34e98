#include "calendar/month_model.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <ctime>

#include "calendar/calendar_settings.h"

namespace lunetta {
namespace {

struct MonthCase {
  int year, month, firstWeekday, dayCount, weekRows;
};

class MonthGridTest : public testing::TestWithParam<MonthCase> {};

TEST_P(MonthGridTest, LaysOutTheMonth) {
  const MonthCase& c = GetParam();
  const MonthGrid grid = BuildMonthGrid(c.year, c.month);
  EXPECT_EQ(grid.firstWeekday, c.firstWeekday);
  EXPECT_EQ(grid.dayCount, c.dayCount);
  EXPECT_EQ(grid.weekRows, c.weekRows);
  for (int cell = 0; cell < 42; ++cell) {
    const int day = cell - c.firstWeekday + 1;
    EXPECT_EQ(grid.cells[cell], day >= 1 && day <= c.dayCount ? std::to_string(day) : "") << cell;
  }
}

INSTANTIATE_TEST_SUITE_P(Months, MonthGridTest,
                         testing::Values(MonthCase{2015, 1, 4, 31, 5},  // Thursday: exactly 35
                                         MonthCase{2015, 5, 5, 31, 6},  // Friday: 36
                                         MonthCase{2013, 6, 6, 30, 6},  // Saturday, 30 days
                                         MonthCase{2015, 2, 0, 28, 5},  // four full rows
                                         MonthCase{2015, 8, 6, 31, 6},  // day 31 in cell 36
                                         MonthCase{2000, 2, 2, 29, 5}, MonthCase{2008, 2, 5, 29, 5},
                                         MonthCase{2100, 2, 1, 28, 5},
                                         MonthCase{1970, 2, 0, 28, 5},     // first month in Tokyo
                                         MonthCase{3000, 12, 1, 31, 5}));  // last month

class RejectedMonthTest : public testing::TestWithParam<std::tuple<int, int, const char*>> {
 protected:
  // The 1970 boundary depends on the zone; do not depend on how the binary is started.
  static void SetUpTestSuite() {
    ::setenv("TZ", "Asia/Tokyo", 1);
    ::tzset();
  }
};

TEST_P(RejectedMonthTest, ThrowsInvalidArgumentNamingTheCause) {
  const auto [year, month, cause] = GetParam();
  try {
    BuildMonthGrid(year, month);
    ADD_FAILURE() << "accepted " << year << "-" << month;
  } catch (const InvalidArgumentError& error) {
    EXPECT_NE(std::string(error.what()).find(cause), std::string::npos) << error.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, RejectedMonthTest,
    testing::Values(std::tuple(2026, 0, "month 0"), std::tuple(2026, 13, "month 13"),
                    std::tuple(2026, -1, "month -1"),
                    // Tokyo's midnight of 1 January 1970 is before the epoch.
                    std::tuple(1970, 1, "local midnight of 1970-1"),
                    std::tuple(1969, 12, "1969-12"), std::tuple(3001, 1, "3001-1"),
                    std::tuple(INT_MAX, 1, "years"), std::tuple(INT_MIN, 6, "years")));

TEST(MonthModelTest, LeapYearsAndMonthLengths) {
  for (const int leap : {2000, 2008, 2400, INT_MAX - 47, INT_MIN}) {
    EXPECT_TRUE(IsLeapYear(leap)) << leap;
  }
  for (const int common : {2100, 1900, 2026, INT_MAX}) {
    EXPECT_FALSE(IsLeapYear(common)) << common;
  }
  EXPECT_EQ(MonthLength(2026, 4), 30);
  EXPECT_EQ(MonthLength(2026, 12), 31);
  EXPECT_THROW(MonthLength(2026, 13), InvalidArgumentError);
}

TEST(PictureDimensionsTest, EveryOtherChoiceIsTheLargest) {
  EXPECT_EQ(PictureDimensions(0), (PictureSize{800, 600}));
  EXPECT_EQ(PictureDimensions(1), (PictureSize{1024, 768}));
  for (const int other : {2, 7, -1, INT_MIN}) {
    EXPECT_EQ(PictureDimensions(other), (PictureSize{1280, 1024})) << other;
  }
}

}  // namespace
}  // namespace lunetta
