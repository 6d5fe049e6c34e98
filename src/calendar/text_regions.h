#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "calendar/block_geometry.h"
#include "calendar/calendar_settings.h"
#include "calendar/month_model.h"

namespace lunetta {

/// The kinds of text on a calendar block that a reader must be able to read.
enum class TextClass {
  Title = 0,
  WeekdayNames = 1,  // the weekday names in the text colour
  DayNumbers = 2,    // the day numbers in the text colour
  WeekNumbers = 3,
  Saturday = 4,       // Saturday's name and days
  SundayHoliday = 5,  // Sunday's name and days, and holidays
};
inline constexpr int kTextClassCount = 6;

/// "title", "weekdayNames", "dayNumbers", "weekNumbers", "saturday", "sundayHoliday".
std::string_view TextClassName(TextClass textClass);

/// The colours a block is drawn in.
struct BlockColors {
  ColorRef text = 0x000000;
  ColorRef back = 0xFFFFFF;
  ColorRef saturday = kBlue;
  ColorRef sunday = kRed;  // Sundays and holidays
  bool operator==(const BlockColors&) const = default;
};

/// The colour `colors` draw a text of `textClass` in.
ColorRef ColorOf(const BlockColors& colors, TextClass textClass);

/// Where a text of one class lies, in block coordinates.
struct TextRegion {
  TextClass textClass = TextClass::Title;
  Rect rect;
  bool operator==(const TextRegion&) const = default;
};

/// The block's texts as the renderer places them: the title's line (`titleWidth` wide and centred
/// when known, else the block's width), then every weekday name and every day number in its cell,
/// and the week numbers when shown. The geometry and the grid are those the block is drawn with.
std::vector<TextRegion> BlockTextRegions(const BlockGeometry& geometry, const MonthGrid& grid,
                                         const std::vector<int>& holidayDays, bool weekNumbers,
                                         int titleWidth = 0);

}  // namespace lunetta
