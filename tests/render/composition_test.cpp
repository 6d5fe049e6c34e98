#include "render/composition.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFontMetrics>
#include <QPainter>
#include <QSet>
#include <QTemporaryDir>
#include <climits>
#include <cmath>
#include <optional>
#include <set>

#include "calendar/block_geometry.h"
#include "calendar/month_model.h"
#include "picture/load_picture_file.h"
#include "picture/picture_files.h"
#include "render/calendar_renderer.h"
#include "render/drawing.h"
#include "support/core_printers.h"
#include "support/picture_printers.h"

namespace lunetta {
namespace {

const QColor kDesktop(0x3A, 0x6E, 0xA5);
const QColor kPhoto(200, 100, 50);

// May 2026: six week rows.
ComposedPicture Compose(const QImage& photo, int size, int opacity, int x = 560, int y = 500) {
  const CalendarSettings settings{.transparency = opacity,
                                  .startX = x,
                                  .startY = y,
                                  .pictSize = size,
                                  .year = 2026,
                                  .month = 5};
  return ComposeCalendar(photo, settings, {}).value();
}

// Every pixel outside `rect` (all of them for a null rect) equals `color`.
bool AllOutside(QImage image, const QRect& rect, QColor color) {
  QPainter(&image).fillRect(rect, color);
  return image == testing::Filled(image.size(), color, image.format());
}

// A white block over (200, 100, 50): C = (255·α + photo·(255 − α)) >> 8 where the block has no
// text, and the photograph stretched over the rest; no photograph, or its see-through parts, show
// the desktop colour.
TEST(ComposeCalendarTest, BlendsTheBlockOverThePhotoOrTheDesktopColour) {
  for (auto [opacity, expected] :
       {std::pair{255, QColor(254, 254, 254)}, std::pair{0, QColor(199, 99, 49)},
        std::pair{90, QColor(218, 154, 121)}, std::pair{256, kPhoto}, std::pair{-1, kPhoto}}) {
    const ComposedPicture composed = Compose(testing::Filled({64, 48}, kPhoto), 2, opacity);
    const QRect block(560, 500, composed.blockWidth, composed.blockHeight);
    EXPECT_EQ(composed.picture.pixelColor(block.topLeft()), expected) << opacity;
    EXPECT_EQ(composed.picture.pixelColor(block.bottomRight()), expected) << opacity;
    EXPECT_TRUE(AllOutside(composed.picture, block, kPhoto)) << opacity;
  }
  const QImage clear = testing::Filled({100, 100}, Qt::transparent, QImage::Format_ARGB32);
  EXPECT_TRUE(AllOutside(Compose(clear, 0, -1).picture, QRect(), kDesktop));
}

// The bounding box of everything that is not `paper` inside `r`.
QRect InkIn(const QImage& surface, const Rect& r, QColor paper = Qt::white) {
  QRect ink;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      if (surface.pixelColor(x, y) != paper) {
        ink |= QRect(x, y, 1, 1);
      }
    }
  }
  return ink;
}

// Wherever the block is stored, every day of the month is drawn whole on the picture, also when
// the block is larger than 1280 × 1024.
TEST(ComposeCalendarTest, EveryDayIsInkedInsideThePicture) {
  // Rows: picture size, stored place, month of 2026 (3, 5: six rows), text size, Monday first.
  const struct {
    int width, height, x, y, month, textSize;
    bool mondayWeeks;
  } cases[] = {
      {1024, 768, 560, 500, 5, 28, false},    // the default place
      {1920, 1080, 1920, 1080, 3, 28, true},  // the bottom-right corner
      {3840, 2160, 560, 500, 5, 130, false},  // a 1560 × 1206 block at 4K
  };
  for (const auto& c : cases) {
    CalendarSettings s{.textSize = c.textSize, .transparency = 255, .startX = c.x, .startY = c.y};
    s.year = 2026;
    s.month = c.month;
    s.weekStart = c.mondayWeeks ? WeekStart::Monday : WeekStart::Sunday;
    s.weekNumbers = c.mondayWeeks;
    const CalendarBlock block = DrawCalendarBlock(s, {}, PictureSize{c.width, c.height}).value();
    const ComposedPicture composed =
        BlendCalendarBlock(PictureBackground(QImage(), {c.width, c.height}), block, s);
    const QRect drawn(composed.blockX, composed.blockY, block.width, block.height);
    ASSERT_TRUE(composed.picture.rect().contains(drawn)) << c.width;
    const QImage shown = composed.picture.copy(drawn);
    const MonthGrid grid = BuildMonthGrid(2026, c.month, s.weekStart);
    for (int k = 0; k < 42; ++k) {
      if (!grid.cells[k].empty()) {
        EXPECT_FALSE(InkIn(shown, CellRect(block.geometry, k / 7 + 1, k % 7), QColor(254, 254, 254))
                         .isNull())
            << c.width << " wide, day " << grid.cells[k];
      }
    }
  }
  // An absurd text size takes no more memory than the picture it is drawn on.
  const CalendarSettings huge{.textSize = INT_MAX, .year = 2026, .month = 5, .opaqueText = true};
  const CalendarBlock big = DrawCalendarBlock(huge, {}, PictureSize{800, 600}).value();
  EXPECT_EQ(big.surface.size(), QSize(800, 600));
  EXPECT_EQ(big.text.size(), QSize(800, 600));
}

// In proportion, the text drawn on the block keeps its share of the picture at every size of one
// shape, and the block its default anchor, bottom right; the block's own share is the layout's to
// test.
TEST(ComposeCalendarTest, ProportionalBlockKeepsItsShareAcrossPictureSizes) {
  CalendarSettings s{.transparency = 255, .year = 2026, .month = 6, .proportional = true};
  std::optional<QRectF> previous;
  for (const QSize size : {QSize(1280, 720), QSize(1920, 1080), QSize(3840, 2160)}) {
    const ComposedPicture composed =
        ComposeOver(PictureBackground(QImage(), {size.width(), size.height()}), s, {}).value();
    const QRect block(composed.blockX, composed.blockY, composed.blockWidth, composed.blockHeight);
    const int margin = std::lround(0.04 * size.height());
    EXPECT_NEAR(block.height(), 0.3 * size.height(), 1) << size.width();
    EXPECT_EQ(block.bottomRight(),
              QPoint(size.width(), size.height()) - QPoint(margin, margin) - QPoint(1, 1))
        << size.width();
    const QRect ink =
        InkIn(composed.picture, {block.left(), block.top(), block.right() + 1, block.bottom() + 1},
              QColor(254, 254, 254));
    const QRectF share(double(ink.x()) / size.width(), double(ink.y()) / size.height(),
                       double(ink.width()) / size.width(), double(ink.height()) / size.height());
    const double pixel = 3.0 / size.height();
    if (previous) {
      EXPECT_NEAR(share.x(), previous->x(), pixel) << size.width();
      EXPECT_NEAR(share.width(), previous->width(), pixel) << size.width();
      EXPECT_NEAR(share.height(), previous->height(), pixel) << size.width();
    }
    previous = share;
  }
}

// A 3000 × 2000 photo with a black square of 1000 in its middle, on a 1920 × 1080 picture.
TEST(PictureBackgroundTest, ThePhotoLiesWhereItsFitPutsIt) {
  QImage photo(3000, 2000, QImage::Format_RGB32);
  photo.fill(Qt::white);
  QPainter(&photo).fillRect(1000, 500, 1000, 1000, Qt::black);
  const struct {
    PhotoFit fit;
    QRect square;  // where the square lands
    int border;    // of the desktop colour, left and right
  } cases[] = {
      {PhotoFit::Stretch, QRect(QPoint(640, 270), QPoint(1279, 809)), 0},  // distorted: 640 × 540
      {PhotoFit::Fill, QRect(QPoint(640, 220), QPoint(1279, 859)), 0},     // 1280 high, 100 cut off
      {PhotoFit::Fit, QRect(QPoint(690, 270), QPoint(1229, 809)), 150},    // 1620 wide
  };
  for (const auto& c : cases) {
    const QImage picture = PictureBackground(photo, {1920, 1080}, c.fit);
    ASSERT_EQ(picture.size(), QSize(1920, 1080));
    QRect square;
    for (int y = 0; y < picture.height(); ++y) {
      for (int x = 0; x < picture.width(); ++x) {
        square |= qGray(picture.pixel(x, y)) < 64 ? QRect(x, y, 1, 1) : QRect();
      }
    }
    // Within a pixel, whatever the averaging makes of the edges.
    EXPECT_LE((square.topLeft() - c.square.topLeft()).manhattanLength(), 2) << int(c.fit);
    EXPECT_LE((square.bottomRight() - c.square.bottomRight()).manhattanLength(), 2) << int(c.fit);
    for (const int x : {0, c.border, 1919 - c.border, 1919}) {
      const bool border = x < c.border || x >= 1920 - c.border;
      EXPECT_EQ(picture.pixelColor(x, 540) == kDesktop, border) << int(c.fit) << " at " << x;
    }
  }
}

// A 24-bit image whose pixel at (x, y) is (100 + x, y, 7).
QImage Gradient(int width, int height) {
  QImage image(width, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.setPixelColor(x, y, QColor(100 + x, y, 7));
    }
  }
  return image;
}

TEST(BlendBlockTest, ClipsAtThePicturesEdges) {
  const QImage source = Gradient(10, 10);
  QImage destination = testing::Filled({20, 20}, Qt::black, QImage::Format_RGB888);
  const QRect all(0, 0, 10, 10);
  ASSERT_TRUE(BlendBlock(destination, all.translated(-5, 15), source, all, 255));
  // Destination (0, 15) shows source (5, 0), as v·255 >> 8.
  EXPECT_EQ(destination.pixelColor(0, 15), QColor(104, 0, 6));
  EXPECT_EQ(destination.pixelColor(4, 19), QColor(108, 3, 6));
  EXPECT_TRUE(AllOutside(destination, QRect(0, 15, 5, 5), Qt::black));

  // Wholly outside succeeds, even near the end of the coordinate range; what cannot be blended
  // fails. Neither changes anything.
  destination.fill(Qt::black);
  EXPECT_TRUE(BlendBlock(destination, all.translated(-10, -10), source, all, 255));
  // Corners, not a size: QRect's width constructor would overflow on its way to INT_MAX.
  EXPECT_TRUE(BlendBlock(destination, QRect(QPoint(INT_MAX - 99, 0), QPoint(INT_MAX, 9)), source,
                         QRect(0, 0, 100, 10), 255));
  EXPECT_FALSE(BlendBlock(destination, all, source, QRect(0, 0, 5, 10), 255));
  EXPECT_FALSE(
      BlendBlock(destination, all, source.convertToFormat(QImage::Format_RGB32), all, 255));
  EXPECT_TRUE(AllOutside(destination, QRect(), Qt::black));
}

TEST(SaveBitmapFileTest, WritesAWholeBitmapOrNothing) {
  // A folder of the test's own: QDir::temp() is the working directory when TMPDIR names a folder
  // that is not there.
  const QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid()) << folder.errorString().toStdString();
  const QString path = folder.filePath("Calendar.bmp");
  ASSERT_TRUE(Succeeded(SaveBitmapFile(Gradient(3, 2), FilePath(path))));  // 9-byte rows, padded
  // "BM", file size 78, reserved, offset 54; info header 40, 3 × 2, 1 plane, 24 bits, BI_RGB,
  // image size 24, the rest 0. Then the bottom row first, blue first, padding zero.
  const QByteArray expected = QByteArray::fromHex(
      "424d4e000000000000003600000028000000030000000200000001001800000000001800000000000000000000"
      "000000000000000000070164070165070166000000070064070065070066000000");
  EXPECT_EQ(testing::ReadBytes(path), expected);
  const std::pair<QImage, QString> failures[] = {
      {QImage(), path}, {Gradient(3, 2), folder.filePath("missing/x.bmp")}};
  for (const auto& [image, target] : failures) {
    EXPECT_FALSE(SaveBitmapFile(image, FilePath(target)).ok()) << target.toStdString();
  }
  EXPECT_EQ(testing::ReadBytes(path), expected);
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Calendar.bmp"});
}

TEST(DrawingTest, ReadsValuesAsTheWindowsCallsDo) {
  EXPECT_EQ(ColorFromRef(0xFF123456u), QColor(0x56, 0x34, 0x12));  // the high byte is ignored

  // A positive height is the cell height: the largest font whose cell still fits.
  for (auto [face, height] : {std::pair{"Arial Black", 28}, std::pair{"Times New Roman", 41},
                              std::pair{"Garamond", 200}, std::pair{"No Such Face 123", 9}}) {
    const QFont font = CreateFont(face, height, 400, false);
    QFont larger = font;
    larger.setPixelSize(font.pixelSize() + 1);
    EXPECT_LE(MeasureFont(font).height, height) << face << ": pixel size " << font.pixelSize();
    EXPECT_GT(QFontMetrics(larger).height(), height) << face << ": pixel size " << font.pixelSize();
  }
  const QFont em = CreateFont("Arial", -20, 700, true);  // a negative height is the character's
  EXPECT_EQ(em.pixelSize(), 20);
  EXPECT_EQ(em.weight(), QFont::Bold);
  EXPECT_TRUE(em.italic());
  EXPECT_EQ(CreateFont("Arial", INT_MIN, 400, false).pixelSize(), 4096);
  EXPECT_LE(MeasureFont(CreateFont("Arial", INT_MAX, 400, false)).height, 4096);
  EXPECT_TRUE(CreateFont("Arial", 20, 400, false).styleStrategy() & QFont::NoSubpixelAntialias);

  // The widest character of the 8-bit repertoire, not of the whole face: the faces that stand in
  // for the Windows ones have far wider glyphs elsewhere.
  const QFontMetrics metrics(CreateFont("Arial Black", 28, 400, false));
  const int maxCharWidth = MeasureFont(CreateFont("Arial Black", 28, 400, false)).maxCharWidth;
  EXPECT_GE(maxCharWidth, metrics.horizontalAdvance(QChar(u'\u00C6')));
  EXPECT_LT(maxCharWidth, metrics.maxWidth());
}

// The block and its geometry. February 2026 fills exactly four week rows, yet reserves five; May
// 2026 needs six.
std::pair<BlockGeometry, QImage> Render(const char* font, std::initializer_list<int> sizes,
                                        int month = 2, const std::vector<int>& holidays = {},
                                        bool japanese = false) {
  CalendarRenderer renderer;
  renderer.SetJapaneseLabels(japanese);
  renderer.SetFontName(font);
  for (int size : sizes) {
    renderer.SetTextSize(size);
  }
  renderer.SetMonth(2026, month);
  renderer.SetHolidays(holidays);
  const QImage surface = renderer.Draw();
  return {renderer.geometry(), surface};
}

// The strong text colours in a cell as letters r, g, b; antialiased edges are left out.
std::string HuesIn(const QImage& surface, const Rect& r) {
  std::set<char> hues;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      const QColor c = surface.pixelColor(x, y);
      const int v[] = {c.red(), c.green(), c.blue(), c.red(), c.green()};
      for (int i = 0; i < 3; ++i) {
        if (v[i] > 200 && v[i + 1] < 100 && v[i + 2] < 100) {
          hues.insert("rgb"[i]);
        }
      }
    }
  }
  return {hues.begin(), hues.end()};
}

TEST(CalendarRendererTest, DaysTakeTheirColumnsOrTheHolidayColour) {
  // A Monday and a Saturday, two days that do not exist, eleven repeats, then a sixteenth entry.
  std::vector<int> holidays = {4, 16, 0, 40};
  holidays.resize(15, 99);
  holidays.push_back(21);
  const auto [g, surface] = Render("Arial Black", {28}, 5, holidays);  // default green text
  // Day d of May 2026 sits in row (d + 4) / 7 + 1, column (d + 4) % 7.
  const std::pair<int, const char*> days[] = {{3, "r"}, {2, "b"},  {6, "g"}, {16, "r"},
                                              {4, "r"}, {21, "r"}, {20, "g"}};
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

TEST(CalendarRendererTest, TextStandsWhereTheBlockPutsIt) {
  for (const auto& [japanese, title] :
       {std::pair{false, u"2026 / May"}, std::pair{true, u"2026年5月"}}) {
    const auto [g, surface] = Render("Arial Black", {28}, 5, {}, japanese);
    // The title as it should read, drawn the same way on a fresh surface.
    QImage expected(surface.size(), surface.format());
    expected.fill(Qt::white);
    QPainter painter(&expected);
    painter.setFont(CreateFont("Arial Black", 28, 400, false));
    const Rect t = TitleRect(g);
    DrawSingleLineText(painter, QRect(t.left, t.top, t.right - t.left, t.bottom - t.top),
                       QString::fromUtf16(title), TextAlign::Center, Qt::green);
    painter.end();
    const QRect titleLine(0, 0, g.blockWidth, g.cellHeight);
    EXPECT_EQ(surface.copy(titleLine), expected.copy(titleLine)) << japanese;
  }

  // Right-aligned: the ink ends at the cell's right edge, with the room to spare on the left.
  const auto [g, surface] = Render("Arial Black", {28}, 5);
  for (int day : {1, 9, 10, 31}) {
    const Rect cell = CellRect(g, (day + 4) / 7 + 1, (day + 4) % 7);
    const QRect ink = InkIn(surface, cell);
    const int rightGap = cell.right - 1 - ink.right();
    EXPECT_LE(rightGap, 3) << day;
    EXPECT_GT(ink.left() - cell.left, rightGap) << day;
  }
}

TEST(CalendarRendererTest, OptionalPartsGoWhereTheyBelong) {
  CalendarRenderer renderer;
  renderer.SetFontName("Arial Black");
  renderer.SetTextSize(28);  // green text, the renderer's own default
  renderer.SetMonth(2027, 1);
  renderer.SetWeekStart(WeekStart::Monday);
  renderer.SetWeekNumbers(true);
  const QImage january = renderer.Draw();
  const BlockGeometry g = renderer.geometry();
  // Friday the 1st in the fifth column, Saturday the 2nd blue, Sunday the 3rd last and red, and
  // the weekday names follow the columns.
  EXPECT_EQ(HuesIn(january, CellRect(g, 1, 4)), "g");
  EXPECT_EQ(HuesIn(january, CellRect(g, 1, 5)), "b");
  EXPECT_EQ(HuesIn(january, CellRect(g, 1, 6)), "r");
  EXPECT_EQ(HuesIn(january, CellRect(g, 0, 6)), "r");
  EXPECT_TRUE(InkIn(january, CellRect(g, 1, 3)).isNull());
  // Five week numbers in the text colour, none beside the weekday names.
  EXPECT_GT(g.weekNumberWidth, 0);
  EXPECT_TRUE(InkIn(january, WeekNumberRect(g, 0)).isNull());
  for (int row = 1; row <= 5; ++row) {
    EXPECT_EQ(HuesIn(january, WeekNumberRect(g, row)), "g") << row;
  }
  renderer.SetMonth(2027, 2);  // four rows filled: the reserved fifth has no week to number
  EXPECT_TRUE(InkIn(renderer.Draw(), WeekNumberRect(g, 5)).isNull());

  // March 2026 begins on a Sunday: a sixth row Monday first, so a cell taller.
  renderer.SetWeekNumbers(false);
  renderer.SetMonth(2026, 3);
  renderer.Draw();
  const int monday = renderer.blockHeight();
  renderer.SetWeekStart(WeekStart::Sunday);
  renderer.Draw();
  EXPECT_EQ(monday - renderer.blockHeight(), renderer.cellHeight());
  EXPECT_EQ(renderer.blockWidth() + g.weekNumberWidth, g.blockWidth);

  // Japanese weekday names drawn as glyphs: a face without them borrows them, so no two are the
  // same empty box.
  renderer.SetJapaneseLabels(true);
  const QImage japanese = renderer.Draw();
  QSet<QByteArray> shapes;
  for (int column = 0; column < 7; ++column) {
    const QImage cell = japanese.copy(InkIn(japanese, CellRect(renderer.geometry(), 0, column)))
                            .convertToFormat(QImage::Format_RGB32);
    shapes.insert(QByteArray(reinterpret_cast<const char*>(cell.constBits()), cell.sizeInBytes()));
  }
  EXPECT_EQ(shapes.size(), 7U);
}

// Today filled in the day's colour with its number in the card's, the days before it faded, on
// the first and last day of a month and on 29 February.
TEST(ComposeCalendarTest, TheDateOfTodayShows) {
  for (const LocalDate today :
       {LocalDate{2026, 5, 1}, LocalDate{2026, 12, 31}, LocalDate{2028, 2, 29}}) {
    CalendarSettings s{
        .year = today.year, .month = today.month, .todayMark = true, .dimPastDays = true};
    const CalendarBlock block =
        DrawCalendarBlock(s, {}, std::nullopt, DayMarksFor(s, today)).value();
    const MonthGrid grid = BuildMonthGrid(today.year, today.month, WeekStart::Sunday);
    for (int k = 0; k < 42; ++k) {
      if (grid.cells[k].empty()) {
        continue;
      }
      const int day = std::stoi(grid.cells[k]);
      const Rect cell = CellRect(block.geometry, k / 7 + 1, k % 7);
      int darkest = 255;
      for (int y = cell.top; y < cell.bottom; ++y) {
        for (int x = cell.left; x < cell.right; ++x) {
          const QColor c = block.surface.pixelColor(x, y);
          darkest = std::min({darkest, c.red(), c.green(), c.blue()});
        }
      }
      // Thursday the 31st, Friday the 1st and Tuesday the 29th are in the text colour.
      const QColor corner = block.surface.pixelColor(cell.right - 1, cell.top + 1);
      EXPECT_EQ(corner, day == today.day ? QColor(Qt::black) : QColor(Qt::white)) << day;
      if (day == today.day) {
        EXPECT_FALSE(InkIn(block.surface, cell, Qt::black).isNull()) << "today's number";
      } else {
        EXPECT_EQ(darkest >= 120, day < today.day) << today.month << '/' << day;
      }
    }
  }
  EXPECT_EQ(DayMarksFor({.year = 2026, .month = 6, .todayMark = true}, {2026, 5, 31}), DayMarks{});
  EXPECT_EQ(DayMarksFor({.year = 2026, .month = 5}, {2026, 5, 31}), DayMarks{});
}

// Opaque text at opacity 40: the card blends while every text pixel the block has in the exact
// text colour (green) keeps it, in its place; without the option the text fades with the card.
TEST(ComposeCalendarTest, OpaqueTextKeepsItsColourWhileTheCardBlends) {
  const QPoint at(20, 10);
  CalendarSettings settings{
      .textColor = 0x00FF00, .transparency = 40, .startX = at.x(), .startY = at.y()};
  settings.year = 2026;
  settings.month = 5;
  const auto [g, block] = Render("Arial Black", {28}, 5);
  for (const bool opaqueText : {false, true}) {
    settings.opaqueText = opaqueText;
    const QImage picture =
        ComposeCalendar(testing::Filled({64, 48}, kPhoto), settings, {}).value().picture;
    int kept = 0, inked = 0;
    for (int y = 0; y < g.blockHeight; ++y) {
      for (int x = 0; x < g.blockWidth; ++x) {
        const bool green = block.pixel(x, y) == qRgb(0, 255, 0);
        inked += green;
        kept += green && picture.pixel(at + QPoint(x, y)) == qRgb(0, 255, 0);
      }
    }
    EXPECT_GT(inked, 100);
    EXPECT_EQ(kept, opaqueText ? inked : 0);
    // The card itself blends as before: (255·40 + photo·215) >> 8.
    EXPECT_EQ(picture.pixelColor(at), QColor(207, 123, 81)) << opaqueText;
  }
}

TEST(CalendarRendererTest, SettersKeepTheLastGoodValue) {
  EXPECT_EQ(Render("", {0}).first, Render("Garamond", {24}).first);
  EXPECT_EQ(Render("", {40, -5}).first, Render("Garamond", {40}).first);

  // The face's name as given reaches the geometry, not the family that stands in for it.
  const TextMetrics metrics = MeasureFont(CreateFont("Times New Roman", 28, 400, false));
  EXPECT_EQ(Render("Times New Roman", {28}).first.cellWidth,
            metrics.maxCharWidth + metrics.aveCharWidth);
}

}  // namespace
}  // namespace lunetta
