#include "calendar/calendar_renderer.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QRect>

#include "calendar/block_geometry.h"
#include "calendar/month_model.h"
#include "platform/drawing.h"

namespace lunetta {
namespace {

// May 2026 starts on a Friday and needs six week rows; February 2026 starts on a Sunday and fills
// exactly four, yet reserves five.
constexpr int kYear = 2026;
constexpr int kSixRowMonth = 5;
constexpr int kFiveRowMonth = 2;
constexpr int kMayFirstWeekday = 5;

enum class Hue { Red, Green, Blue, Other };

// Antialiased edges mix the text colour with the white background; only strong pixels count.
Hue HueOf(QColor color) {
  const int r = color.red();
  const int g = color.green();
  const int b = color.blue();
  if (r > 200 && g < 100 && b < 100) {
    return Hue::Red;
  }
  if (g > 200 && r < 100 && b < 100) {
    return Hue::Green;
  }
  if (b > 200 && r < 100 && g < 100) {
    return Hue::Blue;
  }
  return Hue::Other;
}

int CountHue(const QImage& image, const QRect& rect, Hue hue) {
  int count = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    for (int x = rect.left(); x <= rect.right(); ++x) {
      count += HueOf(image.pixelColor(x, y)) == hue ? 1 : 0;
    }
  }
  return count;
}

CalendarRenderer MakeRenderer(int month) {
  CalendarRenderer renderer;
  renderer.SetFontName("Arial Black");
  renderer.SetTextSize(28);
  renderer.SetFontStyle(400, 0);
  renderer.SetMonth(kYear, month);
  return renderer;
}

BlockGeometry GeometryOf(const CalendarRenderer& renderer) {
  return {renderer.cellWidth(), renderer.cellHeight(), renderer.blockWidth(),
          renderer.blockHeight()};
}

class RendererColoursTest : public ::testing::Test {
 protected:
  void SetUp() override {
    renderer.SetHolidays({4, 16, 0, 40});  // a Monday, a Saturday, and two days that do not exist
    surface = &renderer.Draw();
  }

  QRect Cell(int row, int column) const {
    const Rect r = CellRect(GeometryOf(renderer), row, column);
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
  }

  QRect DayCell(int day) const {
    const int index = kMayFirstWeekday + day - 1;
    return Cell(index / 7 + 1, index % 7);
  }

  CalendarRenderer renderer = MakeRenderer(kSixRowMonth);  // text colour stays the default green
  const QImage* surface = nullptr;
};

TEST_F(RendererColoursTest, SundaysRedSaturdaysBlueWeekdaysInTextColour) {
  EXPECT_GT(CountHue(*surface, DayCell(3), Hue::Red), 0);
  EXPECT_EQ(CountHue(*surface, DayCell(3), Hue::Green), 0);
  EXPECT_GT(CountHue(*surface, DayCell(2), Hue::Blue), 0);
  EXPECT_EQ(CountHue(*surface, DayCell(2), Hue::Red), 0);
  EXPECT_GT(CountHue(*surface, DayCell(6), Hue::Green), 0);
  EXPECT_EQ(CountHue(*surface, DayCell(6), Hue::Red), 0);
  EXPECT_EQ(CountHue(*surface, DayCell(31), Hue::Green), 0);
  EXPECT_GT(CountHue(*surface, DayCell(31), Hue::Red), 0);
}

TEST_F(RendererColoursTest, HolidaysAreRedEvenOnSaturday) {
  EXPECT_GT(CountHue(*surface, DayCell(16), Hue::Red), 0);
  EXPECT_EQ(CountHue(*surface, DayCell(16), Hue::Blue), 0);
  EXPECT_GT(CountHue(*surface, DayCell(4), Hue::Red), 0);
  EXPECT_EQ(CountHue(*surface, DayCell(4), Hue::Green), 0);
}

TEST_F(RendererColoursTest, WeekdayRowAndTitleNeverTakeTheHolidayColour) {
  EXPECT_GT(CountHue(*surface, Cell(0, 0), Hue::Red), 0);
  for (int column = 1; column <= 5; ++column) {
    EXPECT_GT(CountHue(*surface, Cell(0, column), Hue::Green), 0) << "column " << column;
    EXPECT_EQ(CountHue(*surface, Cell(0, column), Hue::Red), 0) << "column " << column;
  }
  EXPECT_GT(CountHue(*surface, Cell(0, 6), Hue::Blue), 0);

  const QRect titleBand(0, 0, renderer.blockWidth(), renderer.cellHeight());
  EXPECT_GT(CountHue(*surface, titleBand, Hue::Green), 0);
  EXPECT_EQ(CountHue(*surface, titleBand, Hue::Red), 0);
}

TEST_F(RendererColoursTest, EmptyCellsAndMarginsShowOnlyTheBackground) {
  const QColor white(255, 255, 255);
  const QRect emptyCell = Cell(1, 0);  // May 2026 starts on a Friday
  for (int y = emptyCell.top(); y <= emptyCell.bottom(); ++y) {
    for (int x = emptyCell.left(); x <= emptyCell.right(); ++x) {
      ASSERT_EQ(surface->pixelColor(x, y), white) << x << "," << y;
    }
  }
  EXPECT_EQ(surface->pixelColor(0, 0), white);
  EXPECT_EQ(surface->pixelColor(renderer.blockWidth() - 1, renderer.blockHeight() - 1), white);
}

TEST(CalendarRendererTest, HolidayListKeepsTheFirstFifteen) {
  std::vector<int> days(16, 99);
  days[14] = 19;  // the fifteenth entry counts
  days[15] = 20;  // the sixteenth does not
  CalendarRenderer renderer = MakeRenderer(kSixRowMonth);
  renderer.SetHolidays(days);
  const QImage& surface = renderer.Draw();
  const auto dayCell = [&](int day) {
    const int index = kMayFirstWeekday + day - 1;
    const Rect r = CellRect(GeometryOf(renderer), index / 7 + 1, index % 7);
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
  };
  EXPECT_GT(CountHue(surface, dayCell(19), Hue::Red), 0);
  EXPECT_EQ(CountHue(surface, dayCell(20), Hue::Red), 0);
}

TEST(CalendarRendererTest, SurfaceIsMadeOnceAndGeometryIsZeroUntilDrawn) {
  CalendarRenderer renderer = MakeRenderer(kSixRowMonth);
  EXPECT_EQ(renderer.blockWidth(), 0);
  EXPECT_EQ(renderer.blockHeight(), 0);
  const QImage& first = renderer.Draw();
  EXPECT_EQ(first.size(), QSize(1280, 1024));
  const uchar* pixels = first.constBits();
  renderer.SetMonth(kYear, kFiveRowMonth);
  const QImage& second = renderer.Draw();
  EXPECT_EQ(&first, &second);
  EXPECT_EQ(second.constBits(), pixels);
}

TEST(CalendarRendererTest, SixRowMonthIsOneCellTaller) {
  CalendarRenderer renderer = MakeRenderer(kFiveRowMonth);
  renderer.Draw();
  const BlockGeometry five = GeometryOf(renderer);
  renderer.SetMonth(kYear, kSixRowMonth);
  renderer.Draw();
  const BlockGeometry six = GeometryOf(renderer);
  EXPECT_EQ(six.blockHeight - five.blockHeight, five.cellHeight);
  EXPECT_EQ(six.blockWidth, five.blockWidth);
}

TEST(CalendarRendererTest, TextSizeIsTheCellHeightAndNonPositiveSizesAreIgnored) {
  CalendarRenderer defaults;
  defaults.SetFontStyle(400, 0);
  defaults.Draw();
  EXPECT_LE(defaults.cellHeight(), 24 + 4);
  EXPECT_GE(defaults.cellHeight(), 24 + 4 - 3);

  for (int ignored : {0, -5}) {
    CalendarRenderer renderer;
    renderer.SetFontStyle(400, 0);
    renderer.SetTextSize(ignored);
    renderer.Draw();
    EXPECT_EQ(GeometryOf(renderer), GeometryOf(defaults)) << ignored;
  }

  CalendarRenderer larger;
  larger.SetFontStyle(400, 0);
  larger.SetTextSize(40);
  larger.SetTextSize(0);
  larger.Draw();
  EXPECT_GT(larger.cellHeight(), defaults.cellHeight());
}

TEST(CalendarRendererTest, EmptyFontNameKeepsTheCurrentOne) {
  const auto geometryFor = [](std::initializer_list<const char*> names) {
    CalendarRenderer renderer;
    renderer.SetFontStyle(400, 0);
    for (const char* name : names) {
      renderer.SetFontName(name);
    }
    renderer.Draw();
    return GeometryOf(renderer);
  };
  EXPECT_EQ(geometryFor({""}), geometryFor({"Garamond"}));
  EXPECT_EQ(geometryFor({"Times New Roman", ""}), geometryFor({"Times New Roman"}));
}

struct CellWidthCase {
  const char* name;
  int averages;  // how many average widths the cell adds to the widest character
};

class CellWidthTest : public ::testing::TestWithParam<CellWidthCase> {};

TEST_P(CellWidthTest, OnlyTheExactTimesNewRomanGetsTheNarrowCell) {
  const CellWidthCase& c = GetParam();
  const TextMetrics metrics = MeasureFont(CreateFont(QString::fromLatin1(c.name), 28, 400, false));
  CalendarRenderer renderer = MakeRenderer(kFiveRowMonth);
  renderer.SetFontName(c.name);
  renderer.Draw();
  EXPECT_EQ(renderer.cellWidth(), metrics.maxCharWidth + c.averages * metrics.aveCharWidth);
}

INSTANTIATE_TEST_SUITE_P(Names, CellWidthTest,
                         ::testing::Values(CellWidthCase{"Times New Roman", 1},
                                           CellWidthCase{"times new roman", 2},
                                           CellWidthCase{"Times New Roman X", 2},
                                           CellWidthCase{"Times New Roman ", 2},
                                           CellWidthCase{"Arial Black", 2}));

TEST(CalendarRendererTest, BlockWidthIsAlwaysEven) {
  CalendarRenderer renderer = MakeRenderer(kFiveRowMonth);
  for (int size = 6; size <= 60; ++size) {
    renderer.SetTextSize(size);
    renderer.Draw();
    const int seven = 7 * renderer.cellWidth() + renderer.cellWidth() / 2;
    EXPECT_EQ(renderer.blockWidth() % 2, 0) << "size " << size;
    EXPECT_EQ(renderer.blockWidth(), seven + seven % 2) << "size " << size;
  }
}

struct BadMonth {
  int year;
  int month;
};

class InvalidMonthTest : public ::testing::TestWithParam<BadMonth> {};

TEST_P(InvalidMonthTest, ThrowsAndKeepsThePreviousBlock) {
  CalendarRenderer renderer = MakeRenderer(kFiveRowMonth);
  renderer.Draw();
  const BlockGeometry before = GeometryOf(renderer);
  renderer.SetMonth(GetParam().year, GetParam().month);
  EXPECT_THROW(renderer.Draw(), InvalidArgumentError);
  EXPECT_EQ(GeometryOf(renderer), before);
}

INSTANTIATE_TEST_SUITE_P(Months, InvalidMonthTest,
                         ::testing::Values(BadMonth{2026, 13}, BadMonth{2026, 0},
                                           BadMonth{2026, -1}, BadMonth{1969, 12},
                                           BadMonth{3001, 1}));

}  // namespace
}  // namespace lunetta
