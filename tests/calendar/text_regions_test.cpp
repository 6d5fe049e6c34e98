#include "calendar/text_regions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "support/core_printers.h"

namespace lunetta {
namespace {

// May 2026 begins on a Friday: day 2 is a Saturday, day 3 a Sunday, day 9 a Saturday again.
TEST(TextRegionsTest, CellsTakeTheClassOfTheirColour) {
  const BlockGeometry geometry = ComputeBlockGeometry({26, 5, 10}, "Arial", 6);
  using Case = std::tuple<WeekStart, int, int, TextClass>;
  for (const auto& [start, row, column, expected] :
       {Case{WeekStart::Sunday, 0, 0, TextClass::SundayHoliday},
        Case{WeekStart::Sunday, 0, 3, TextClass::WeekdayNames},
        Case{WeekStart::Sunday, 0, 6, TextClass::Saturday},
        Case{WeekStart::Sunday, 1, 6, TextClass::SundayHoliday},  // the 2nd: a holiday
        Case{WeekStart::Sunday, 2, 6, TextClass::Saturday},       // the 9th
        Case{WeekStart::Sunday, 2, 1, TextClass::DayNumbers},
        Case{WeekStart::Monday, 1, 6, TextClass::SundayHoliday},  // the 3rd
        Case{WeekStart::Monday, 1, 5, TextClass::SundayHoliday}}) {
    const MonthGrid grid = BuildMonthGrid(2026, 5, start);
    const std::vector<TextRegion> regions = BlockTextRegions(geometry, grid, {2}, false);
    const Rect cell = CellRect(geometry, row, column);
    const auto found = std::find_if(regions.begin(), regions.end(),
                                    [&](const TextRegion& r) { return r.rect == cell; });
    ASSERT_NE(found, regions.end()) << row << ", " << column;
    EXPECT_EQ(found->textClass, expected) << row << ", " << column;
  }
}

TEST(TextRegionsTest, EmptyCellsHaveNoText) {
  const BlockGeometry geometry = ComputeBlockGeometry({26, 5, 10}, "Arial", 6);
  const MonthGrid grid = BuildMonthGrid(2026, 5);  // 31 days from column 5, in 6 rows
  const std::vector<TextRegion> regions = BlockTextRegions(geometry, grid, {}, true, 100);
  // The title, 7 weekday names, 31 days and 6 week numbers.
  EXPECT_EQ(regions.size(), 1u + 7 + 31 + 6);
  EXPECT_EQ(regions.front().rect, (Rect{25, 0, 125, 30}));
}

}  // namespace
}  // namespace lunetta
