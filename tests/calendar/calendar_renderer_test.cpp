#include "calendar/calendar_renderer.h"

#include <gtest/gtest.h>

#include "calendar/block_geometry.h"
#include "calendar/month_model.h"
#include "platform/drawing.h"

namespace lunetta {
namespace {

// February 2026 fills exactly four week rows, yet reserves five; May 2026 needs six.
BlockGeometry Geometry(const char* font, std::initializer_list<int> sizes, int month = 2) {
  CalendarRenderer renderer;
  renderer.SetFontName(font);
  for (int size : sizes) {
    renderer.SetTextSize(size);
  }
  renderer.SetMonth(2026, month);
  renderer.Draw();
  return {renderer.cellWidth(), renderer.cellHeight(), renderer.blockWidth(),
          renderer.blockHeight()};
}

// The strong text colours in a cell as letters r, g, b; antialiased edges are left out.
std::string HuesIn(const QImage& surface, const Rect& r) {
  std::string hues;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      const QColor c = surface.pixelColor(x, y);
      const int channels[] = {c.red(), c.green(), c.blue()};
      for (int i = 0; i < 3; ++i) {
        const bool only =
            channels[i] > 200 && channels[(i + 1) % 3] < 100 && channels[(i + 2) % 3] < 100;
        if (only && hues.find("rgb"[i]) == std::string::npos) {
          hues += "rgb"[i];
        }
      }
    }
  }
  return hues;
}

TEST(CalendarRendererTest, ColumnAndHolidayColours) {
  CalendarRenderer renderer;  // the text colour stays the default green
  renderer.SetFontName("Arial Black");
  renderer.SetTextSize(28);
  renderer.SetMonth(2026, 5);
  // A Monday and a Saturday, two days that do not exist, then fourteen days past the fifteenth.
  std::vector<int> holidays = {4, 16, 0, 40};
  holidays.resize(15, 99);
  holidays.push_back(20);
  renderer.SetHolidays(holidays);
  const QImage& surface = renderer.Draw();
  const BlockGeometry g{renderer.cellWidth(), renderer.cellHeight(), renderer.blockWidth(),
                        renderer.blockHeight()};
  // Day d of May 2026 sits in row (d + 4) / 7 + 1, column (d + 4) % 7.
  const std::pair<int, const char*> days[] = {{3, "r"},  {2, "b"}, {6, "g"},
                                              {16, "r"}, {4, "r"}, {20, "g"}};
  for (auto [day, hues] : days) {
    EXPECT_EQ(HuesIn(surface, CellRect(g, (day + 4) / 7 + 1, (day + 4) % 7)), hues) << day;
  }
  EXPECT_EQ(HuesIn(surface, CellRect(g, 1, 0)), "");  // the empty cell before the 1st
  // Weekday names never take the holiday colour (the list holds 0).
  for (int column = 0; column < 7; ++column) {
    EXPECT_EQ(HuesIn(surface, CellRect(g, 0, column)), column == 0 ? "r" : column == 6 ? "b" : "g");
  }
  EXPECT_EQ(surface.pixelColor(g.blockWidth - 1, g.blockHeight - 1), QColor(Qt::white));
}

TEST(CalendarRendererTest, SettersKeepTheLastGoodValueAndSixRowsAreOneCellTaller) {
  const BlockGeometry defaults = Geometry("Garamond", {24});
  EXPECT_EQ(Geometry("", {0}), defaults);
  EXPECT_EQ(Geometry("", {-5}), defaults);
  EXPECT_EQ(Geometry("", {40, 0}), Geometry("Garamond", {40}));
  // A positive size is the font's cell height, four pixels less than a cell.
  EXPECT_TRUE(defaults.cellHeight <= 24 + 4 && defaults.cellHeight >= 24 + 4 - 3);
  const BlockGeometry six = Geometry("Garamond", {24}, 5);
  EXPECT_EQ(six.blockHeight - defaults.blockHeight, defaults.cellHeight);
  EXPECT_EQ(six.blockWidth, defaults.blockWidth);

  // Only the exact name "Times New Roman" gets the narrow cell: widest character + one average.
  for (auto [name, averages] : {std::pair{"Times New Roman", 1}, std::pair{"times new roman", 2}}) {
    const TextMetrics metrics = MeasureFont(CreateFont(name, 28, 400, false));
    EXPECT_EQ(Geometry(name, {28}).cellWidth,
              metrics.maxCharWidth + averages * metrics.aveCharWidth)
        << name;
  }
  CalendarRenderer renderer;
  renderer.SetMonth(1969, 12);
  EXPECT_THROW(renderer.Draw(), InvalidArgumentError);
}

}  // namespace
}  // namespace lunetta
