#include "calendar/calendar_renderer.h"

#include <gtest/gtest.h>

#include <set>

#include "calendar/block_geometry.h"
#include "calendar/month_model.h"
#include "platform/drawing.h"

namespace lunetta {
namespace {

// May 2026 starts on a Friday and needs six week rows; February 2026 starts on a Sunday and fills
// exactly four, yet reserves five.
constexpr int kMay = 5;
constexpr int kFebruary = 2;

enum Hue { kNone, kRedHue, kGreenHue, kBlueHue };

// Antialiased edges mix the text colour with the white background; only strong pixels count.
Hue HueOf(QColor c) {
  if (c.red() > 200 && c.green() < 100 && c.blue() < 100)
    return kRedHue;
  if (c.green() > 200 && c.red() < 100 && c.blue() < 100)
    return kGreenHue;
  if (c.blue() > 200 && c.red() < 100 && c.green() < 100)
    return kBlueHue;
  return kNone;
}

CalendarRenderer MakeRenderer(int month, const char* font = "Arial Black") {
  CalendarRenderer renderer;
  renderer.SetFontName(font);
  renderer.SetTextSize(28);
  renderer.SetMonth(2026, month);
  return renderer;
}

BlockGeometry GeometryOf(const CalendarRenderer& r) {
  return {r.cellWidth(), r.cellHeight(), r.blockWidth(), r.blockHeight()};
}

// The hues present in a cell of May 2026; row 0 is the weekday names, a day > 0 names its cell.
std::set<Hue> HuesIn(const CalendarRenderer& renderer, const QImage& surface, int day, int row = 0,
                     int column = 0) {
  if (day > 0) {
    row = (5 + day - 1) / 7 + 1;
    column = (5 + day - 1) % 7;
  }
  const Rect r = CellRect(GeometryOf(renderer), row, column);
  std::set<Hue> hues;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      hues.insert(HueOf(surface.pixelColor(x, y)));
    }
  }
  hues.erase(kNone);
  return hues;
}

TEST(CalendarRendererTest, ColumnAndHolidayColours) {
  CalendarRenderer renderer = MakeRenderer(kMay);  // text colour stays the default green
  // A Monday and a Saturday, two days that do not exist, then fourteen days past the fifteenth.
  std::vector<int> holidays = {4, 16, 0, 40};
  holidays.resize(15, 99);
  holidays.push_back(20);
  renderer.SetHolidays(holidays);
  const QImage& surface = renderer.Draw();
  using Hues = std::set<Hue>;
  EXPECT_EQ(HuesIn(renderer, surface, 3), Hues{kRedHue});     // Sunday
  EXPECT_EQ(HuesIn(renderer, surface, 2), Hues{kBlueHue});    // Saturday
  EXPECT_EQ(HuesIn(renderer, surface, 6), Hues{kGreenHue});   // Wednesday
  EXPECT_EQ(HuesIn(renderer, surface, 16), Hues{kRedHue});    // Saturday holiday
  EXPECT_EQ(HuesIn(renderer, surface, 4), Hues{kRedHue});     // Monday holiday
  EXPECT_EQ(HuesIn(renderer, surface, 20), Hues{kGreenHue});  // sixteenth entry: ignored
  EXPECT_EQ(HuesIn(renderer, surface, 0, 1, 0), Hues{});      // empty cell before the 1st
  // Weekday names never take the holiday colour (the list holds 0).
  EXPECT_EQ(HuesIn(renderer, surface, 0, 0, 0).count(kRedHue), 1u);
  for (int column = 1; column <= 5; ++column) {
    const Hues hues = HuesIn(renderer, surface, 0, 0, column);
    EXPECT_TRUE(hues.count(kGreenHue) == 1 && hues.count(kRedHue) == 0) << column;
  }
  EXPECT_EQ(HuesIn(renderer, surface, 0, 0, 6).count(kBlueHue), 1u);
  EXPECT_EQ(surface.pixelColor(renderer.blockWidth() - 1, renderer.blockHeight() - 1),
            QColor(Qt::white));
}

TEST(CalendarRendererTest, SurfaceIsReusedAndSixRowsAreOneCellTaller) {
  CalendarRenderer renderer = MakeRenderer(kFebruary);
  EXPECT_EQ(renderer.blockWidth(), 0);
  EXPECT_EQ(renderer.blockHeight(), 0);
  const QImage& first = renderer.Draw();
  const uchar* pixels = first.constBits();
  const BlockGeometry five = GeometryOf(renderer);
  renderer.SetMonth(2026, kMay);
  const QImage& second = renderer.Draw();
  EXPECT_EQ(second.size(), QSize(1280, 1024));
  EXPECT_EQ(second.constBits(), pixels);
  EXPECT_EQ(renderer.blockHeight() - five.blockHeight, five.cellHeight);
  EXPECT_EQ(renderer.blockWidth(), five.blockWidth);
}

TEST(CalendarRendererTest, SettersIgnoreEmptyNamesAndNonPositiveSizes) {
  const auto geometry = [](const char* name, std::initializer_list<int> sizes) {
    CalendarRenderer renderer;
    renderer.SetFontName(name);
    for (int size : sizes)
      renderer.SetTextSize(size);
    renderer.Draw();
    return GeometryOf(renderer);
  };
  const BlockGeometry defaults = geometry("Garamond", {24});
  EXPECT_EQ(geometry("", {}), defaults);
  EXPECT_EQ(geometry("", {0}), defaults);
  EXPECT_EQ(geometry("", {-5}), defaults);
  EXPECT_EQ(geometry("", {40, 0}), geometry("Garamond", {40}));
  // A positive size is the font's cell height, four pixels less than a cell.
  EXPECT_LE(defaults.cellHeight, 24 + 4);
  EXPECT_GE(defaults.cellHeight, 24 + 4 - 3);
}

class CellWidthTest : public ::testing::TestWithParam<std::pair<const char*, int>> {};

// Only the exact name "Times New Roman" gets the narrow cell: widest character + one average.
TEST_P(CellWidthTest, AddsAveragesToTheWidestCharacter) {
  const auto [name, averages] = GetParam();
  const TextMetrics metrics = MeasureFont(CreateFont(QString::fromLatin1(name), 28, 400, false));
  CalendarRenderer renderer = MakeRenderer(kFebruary, name);
  renderer.Draw();
  EXPECT_EQ(renderer.cellWidth(), metrics.maxCharWidth + averages * metrics.aveCharWidth);
}

INSTANTIATE_TEST_SUITE_P(Names, CellWidthTest,
                         ::testing::Values(std::pair{"Times New Roman", 1},
                                           std::pair{"times new roman", 2},
                                           std::pair{"Times New Roman X", 2},
                                           std::pair{"Arial Black", 2}));

TEST(CalendarRendererTest, BlockWidthIsAlwaysEven) {
  CalendarRenderer renderer = MakeRenderer(kFebruary);
  for (int size = 6; size <= 60; ++size) {
    renderer.SetTextSize(size);
    renderer.Draw();
    const int width = 7 * renderer.cellWidth() + renderer.cellWidth() / 2;
    EXPECT_EQ(renderer.blockWidth(), width + width % 2) << "size " << size;
  }
}

class InvalidMonthTest : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(InvalidMonthTest, ThrowsAndKeepsThePreviousBlock) {
  CalendarRenderer renderer = MakeRenderer(kFebruary);
  renderer.Draw();
  const BlockGeometry before = GeometryOf(renderer);
  renderer.SetMonth(GetParam().first, GetParam().second);
  EXPECT_THROW(renderer.Draw(), InvalidArgumentError);
  EXPECT_EQ(GeometryOf(renderer), before);
}

INSTANTIATE_TEST_SUITE_P(Months, InvalidMonthTest,
                         ::testing::Values(std::pair{2026, 13}, std::pair{2026, 0},
                                           std::pair{1969, 12}, std::pair{3001, 1}));

}  // namespace
}  // namespace lunetta
