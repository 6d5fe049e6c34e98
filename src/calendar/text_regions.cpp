#include "calendar/text_regions.h"

#include <algorithm>
#include <charconv>

namespace lunetta {

namespace {

constexpr std::array<std::string_view, kTextClassCount> kTextClassNames = {
    "title", "weekdayNames", "dayNumbers", "weekNumbers", "saturday", "sundayHoliday"};

int DayNumber(const std::string& cell) {
  int day = 0;
  std::from_chars(cell.data(), cell.data() + cell.size(), day);
  return day;
}

}  // namespace

std::string_view TextClassName(TextClass textClass) {
  return kTextClassNames[static_cast<std::size_t>(textClass)];
}

ColorRef ColorOf(const BlockColors& colors, TextClass textClass) {
  switch (textClass) {
    case TextClass::Saturday:
      return colors.saturday;
    case TextClass::SundayHoliday:
      return colors.sunday;
    default:
      return colors.text;
  }
}

std::vector<TextRegion> BlockTextRegions(const BlockGeometry& geometry, const MonthGrid& grid,
                                         const std::vector<int>& holidayDays, bool weekNumbers,
                                         int titleWidth) {
  std::vector<TextRegion> regions;
  // The title's line is centred in its rectangle, which begins above the block.
  const Rect title = TitleRect(geometry);
  const int middle = (title.top + title.bottom) / 2;
  const int width =
      titleWidth > 0 ? std::min(titleWidth, geometry.blockWidth) : geometry.blockWidth;
  const int left = (geometry.blockWidth - width) / 2;
  regions.push_back({TextClass::Title,
                     {left, std::max(0, middle - geometry.cellHeight / 2), left + width,
                      middle + geometry.cellHeight / 2}});

  for (int row = 0; row < 7; ++row) {
    if (weekNumbers && row >= 1 && row <= grid.weekRows) {
      regions.push_back({TextClass::WeekNumbers, WeekNumberRect(geometry, row)});
    }
    for (int column = 0; column < 7; ++column) {
      const int weekday = ColumnWeekday(column, grid.weekStart);
      bool holiday = false;
      if (row > 0) {
        const std::string& cell = grid.cells[static_cast<std::size_t>((row - 1) * 7 + column)];
        if (cell.empty()) {
          continue;
        }
        holiday =
            std::find(holidayDays.begin(), holidayDays.end(), DayNumber(cell)) != holidayDays.end();
      }
      TextClass textClass = row == 0 ? TextClass::WeekdayNames : TextClass::DayNumbers;
      if (weekday == 0 || holiday) {
        textClass = TextClass::SundayHoliday;
      } else if (weekday == 6) {
        textClass = TextClass::Saturday;
      }
      regions.push_back({textClass, CellRect(geometry, row, column)});
    }
  }
  return regions;
}

}  // namespace lunetta
