#include "calendar/month_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "calendar/calendar_settings.h"
#include "support/core_printers.h"

namespace lunetta {
namespace {

struct MonthCase {
  int year, month, firstColumn, dayCount;
  const char* rejection = nullptr;  // part of the error message when the month is refused
  WeekStart start = WeekStart::Sunday;
};

void PrintTo(const MonthCase& c, std::ostream* out) {
  *out << c.year << '-' << c.month << (c.start == WeekStart::Monday ? " from Monday" : "");
}

class MonthGridTest : public testing::TestWithParam<MonthCase> {};

// Rows are 5, or 6 when the first day's column plus the month's days pass 35.
TEST_P(MonthGridTest, LaysOutTheMonthOrNamesTheCause) {
  const MonthCase& c = GetParam();
  ::setenv("TZ", "Asia/Tokyo", 1);  // the 1970 boundary depends on the zone; mktime rereads it
  if (c.rejection != nullptr) {
    EXPECT_THAT([&] { BuildMonthGrid(c.year, c.month); },
                testing::ThrowsMessage<InvalidArgumentError>(testing::HasSubstr(c.rejection)));
    return;
  }
  const MonthGrid grid = BuildMonthGrid(c.year, c.month, c.start);
  EXPECT_EQ(std::tuple(grid.dayCount, grid.weekRows),
            std::tuple(c.dayCount, c.firstColumn + c.dayCount > 35 ? 6 : 5));
  for (int cell = 0; cell < 42; ++cell) {
    const int day = cell - c.firstColumn + 1;
    EXPECT_EQ(grid.cells[cell], day >= 1 && day <= c.dayCount ? std::to_string(day) : "") << cell;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Months, MonthGridTest,
    testing::Values(MonthCase{2015, 1, 4, 31}, MonthCase{2015, 5, 5, 31},  // 35 and 36 cells
                    MonthCase{2015, 8, 6, 31}, MonthCase{2015, 2, 0, 28},  // 4 full rows reserve 5
                    MonthCase{2000, 2, 2, 29}, MonthCase{2100, 2, 1, 28},
                    MonthCase{1970, 2, 0, 28},  // first in Tokyo
                    MonthCase{3000, 12, 1, 31},
                    // Monday first: March 2026 starts on a Sunday, the last column.
                    MonthCase{2026, 3, 6, 31, nullptr, WeekStart::Monday},
                    MonthCase{2027, 1, 4, 31, nullptr, WeekStart::Monday},
                    MonthCase{2027, 2, 0, 28, nullptr, WeekStart::Monday},
                    MonthCase{2026, 13, 0, 0, "month 13"},
                    // Tokyo's midnight of 1 January 1970 is before the epoch.
                    MonthCase{1970, 1, 0, 0, "local midnight of 1970-1"},
                    MonthCase{3001, 1, 0, 0, "3001-1"}, MonthCase{INT_MIN, 6, 0, 0, "years"}));

TEST(MonthModelTest, IsoWeeksOfTheRowsThursdays) {
  const struct {
    int year, month;
    WeekStart start;
    std::vector<int> weeks;
  } cases[] = {{2027, 1, WeekStart::Sunday, {53, 1, 2, 3, 4, 5}},  // 31 Dec 2026 is week 53
               {2027, 1, WeekStart::Monday, {53, 1, 2, 3, 4}},
               {2026, 12, WeekStart::Monday, {49, 50, 51, 52, 53}},
               {2021, 1, WeekStart::Monday, {53, 1, 2, 3, 4}}};  // 2020 had 53 weeks
  for (const auto& c : cases) {
    const MonthGrid grid = BuildMonthGrid(c.year, c.month, c.start);
    std::vector<int> weeks;
    for (int row = 0; row < grid.weekRows; ++row) {
      weeks.push_back(IsoWeekOfRow(grid, row));
    }
    EXPECT_EQ(weeks, c.weeks) << c.year << "-" << c.month << " from " << int(c.start);
  }
}

// Far years are reduced without overflow.
TEST(MonthModelTest, LeapYearsAtTheEndsOfTheRange) {
  EXPECT_TRUE(IsLeapYear(INT_MIN));
  EXPECT_FALSE(IsLeapYear(INT_MAX - 147));  // -148 if the year were cut short
}

TEST(PictureSizeTest, FollowsTheSizeKind) {
  const PictureSize screen{3840, 2160};
  using enum SizeKind;
  const struct {
    CalendarSettings settings;
    std::optional<PictureSize> screen;
    PictureSize expected;
  } cases[] = {
      {{.pictSize = -1}, screen, {1280, 1024}},
      {{.pictSize = 0, .sizeKind = SizeKind{9}}, screen, {800, 600}},  // unknown: classic
      {{.pictSize = 0, .sizeKind = Screen}, screen, {3840, 2160}},
      {{.pictSize = 0, .sizeKind = Screen}, PictureSize{100, 20000}, {320, 7680}},
      // No screen: the one remembered, else the classic size.
      {{.sizeKind = Screen, .screenWidth = 2560, .screenHeight = 1440}, {}, {2560, 1440}},
      {{.pictSize = 0, .sizeKind = Screen}, {}, {800, 600}},
      {{.sizeKind = Custom, .customWidth = 1920, .customHeight = 1200}, screen, {1920, 1200}},
      {{.sizeKind = Custom, .customWidth = -5, .customHeight = 99999}, screen, {320, 7680}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PictureSizeOf(c.settings, c.screen), c.expected)
        << testing::PrintToString(c.settings);
  }
}

TEST(PictureSizeTest, PhotoPlacedByItsFit) {
  const struct {
    PictureSize photo;
    PhotoFit fit;
    Rect expected;
  } cases[] = {
      {{1080, 1920}, PhotoFit::Stretch, {0, 0, 1920, 1080}},
      {{1080, 1920}, PhotoFit::Fill, {0, -1166, 1920, 2247}},  // portrait: 3413 high
      {{1080, 1920}, PhotoFit::Fit, {656, 0, 1264, 1080}},     // 607.5 rounds to 608
      {{1, 10000}, PhotoFit::Fit, {959, 0, 960, 1080}},        // never narrower than a pixel
      {{0, 0}, PhotoFit::Fit, {0, 0, 1920, 1080}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlacePhoto(c.photo, {1920, 1080}, c.fit), c.expected)
        << c.photo.width << " x " << c.photo.height << " fit " << int(c.fit);
  }
}

}  // namespace
}  // namespace lunetta
