#include "platform/drawing.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>
#include <climits>

namespace lunetta {
namespace {

TEST(ColorRefTest, ConvertsBothWaysInBgrOrder) {
  EXPECT_EQ(ColorFromRef(kRed), QColor(255, 0, 0));
  EXPECT_EQ(ColorFromRef(kBlue), QColor(0, 0, 255));
  EXPECT_EQ(ColorFromRef(0x00123456), QColor(0x56, 0x34, 0x12));
  EXPECT_EQ(RefFromColor(QColor(0x56, 0x34, 0x12)), 0x00123456u);
  EXPECT_EQ(ColorFromRef(DesktopBackgroundColor()), QColor(0x3A, 0x6E, 0xA5));
  // The unused high byte never leaks into the colour.
  EXPECT_EQ(ColorFromRef(0xFF0000FFu), QColor(255, 0, 0));
}

struct FontCase {
  const char* face;
  int height;
};

class CellHeightTest : public ::testing::TestWithParam<FontCase> {};

// A positive height is the cell height: the font is the largest one whose cell still fits.
TEST_P(CellHeightTest, PicksLargestSizeThatFits) {
  const FontCase& c = GetParam();
  const QFont font = CreateFont(QString::fromLatin1(c.face), c.height, 400, false);
  EXPECT_LE(MeasureFont(font).height, c.height);
  QFont larger = font;
  larger.setPixelSize(font.pixelSize() + 1);
  EXPECT_GT(QFontMetrics(larger).height(), c.height) << "pixel size " << font.pixelSize();
}

INSTANTIATE_TEST_SUITE_P(Faces, CellHeightTest,
                         ::testing::Values(FontCase{"Arial Black", 28}, FontCase{"Arial Black", 9},
                                           FontCase{"Times New Roman", 28},
                                           FontCase{"Times New Roman", 41},
                                           FontCase{"Garamond", 24}, FontCase{"Garamond", 200},
                                           FontCase{"No Such Face 123", 30}));

TEST(CreateFontTest, NegativeHeightIsTheCharacterHeight) {
  EXPECT_EQ(CreateFont(QStringLiteral("Arial Black"), -20, 400, false).pixelSize(), 20);
}

TEST(CreateFontTest, AbsurdHeightsAreBoundedAndReturnQuickly) {
  EXPECT_LE(CreateFont(QStringLiteral("Arial Black"), INT_MAX, 400, false).pixelSize(), 4096);
  EXPECT_LE(CreateFont(QStringLiteral("Arial Black"), INT_MIN, 400, false).pixelSize(), 4096);
  // Even the smallest size is taller than one pixel; the smallest size is used.
  EXPECT_EQ(CreateFont(QStringLiteral("Arial Black"), 1, 400, false).pixelSize(), 1);
}

TEST(CreateFontTest, WeightItalicAndAntialiasing) {
  EXPECT_EQ(CreateFont(QStringLiteral("Arial"), 20, 0, false).weight(), QFont::Normal);
  EXPECT_EQ(CreateFont(QStringLiteral("Arial"), 20, 400, false).weight(), QFont::Normal);
  EXPECT_EQ(CreateFont(QStringLiteral("Arial"), 20, 700, false).weight(), QFont::Bold);
  EXPECT_EQ(CreateFont(QStringLiteral("Arial"), 20, 5000, false).weight(), 1000);
  EXPECT_TRUE(CreateFont(QStringLiteral("Arial"), 20, 400, true).italic());
  const QFont font = CreateFont(QStringLiteral("Arial"), 20, 400, false);
  EXPECT_FALSE(font.italic());
  EXPECT_TRUE(font.styleStrategy() & QFont::NoSubpixelAntialias);
}

TEST(MeasureFontTest, MaxWidthCoversTheEightBitRepertoireOnly) {
  const QFont font = CreateFont(QStringLiteral("Arial Black"), 28, 400, false);
  const QFontMetrics metrics(font);
  const TextMetrics measured = MeasureFont(font);
  EXPECT_EQ(measured.height, metrics.ascent() + metrics.descent());
  EXPECT_EQ(measured.aveCharWidth, metrics.averageCharWidth());
  EXPECT_GE(measured.maxCharWidth, metrics.horizontalAdvance(QChar(u'W')));
  EXPECT_GE(measured.maxCharWidth, metrics.horizontalAdvance(QChar(u'\u00C6')));
  EXPECT_LE(measured.maxCharWidth, metrics.maxWidth());
}

// Bounding box of the pixels that differ from `background`.
QRect InkBounds(const QImage& image, QColor background) {
  QRect bounds;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y) != background) {
        bounds |= QRect(x, y, 1, 1);
      }
    }
  }
  return bounds;
}

class SingleLineTextTest : public ::testing::Test {
 protected:
  QRect Draw(TextAlign align) {
    image = QImage(200, 60, QImage::Format_RGB888);
    image.fill(Qt::green);
    QPainter painter(&image);
    painter.setFont(CreateFont(QStringLiteral("Arial Black"), 20, 400, false));
    DrawSingleLineText(painter, cell, QStringLiteral("88"), align, kRed);
    painter.end();
    return InkBounds(image, Qt::green);
  }
  QImage image;
  const QRect cell{40, 10, 120, 40};
};

TEST_F(SingleLineTextTest, AlignsInsideTheRectangleOnATransparentBackground) {
  const QRect right = Draw(TextAlign::Right);
  ASSERT_FALSE(right.isNull());
  EXPECT_TRUE(cell.contains(right));
  EXPECT_GE(right.right(), cell.right() - 4);
  // Vertically centred: the ink leaves about as much room above as below.
  EXPECT_NEAR(right.center().y(), cell.center().y(), 4);

  const QRect left = Draw(TextAlign::Left);
  EXPECT_LE(left.left(), cell.left() + 4);
  const QRect centre = Draw(TextAlign::Center);
  EXPECT_NEAR(centre.center().x(), cell.center().x(), 2);

  // Only glyphs are painted: some pixel is pure red, none outside the ink is touched.
  bool pureRed = false;
  for (int y = centre.top(); y <= centre.bottom(); ++y) {
    for (int x = centre.left(); x <= centre.right(); ++x) {
      pureRed = pureRed || image.pixelColor(x, y) == QColor(255, 0, 0);
    }
  }
  EXPECT_TRUE(pureRed);
  EXPECT_EQ(image.pixelColor(cell.left() + 1, cell.top() + 1), QColor(Qt::green));
}

TEST(FillSolidRectTest, FillsExactlyTheRectangle) {
  QImage image(10, 10, QImage::Format_RGB888);
  image.fill(Qt::black);
  QPainter painter(&image);
  FillSolidRect(painter, QRect(2, 3, 4, 5), 0x00336699);
  painter.end();
  EXPECT_EQ(InkBounds(image, Qt::black), QRect(2, 3, 4, 5));
  EXPECT_EQ(image.pixelColor(2, 3), QColor(0x99, 0x66, 0x33));
}

TEST(StretchHalftoneTest, StretchesTheWholeSourceIgnoringAspect) {
  QImage source(10, 10, QImage::Format_RGB32);
  source.fill(Qt::red);
  source.setPixelColor(9, 9, Qt::blue);
  const QImage stretched = StretchHalftone(source, 80, 20);
  EXPECT_EQ(stretched.size(), QSize(80, 20));
  EXPECT_EQ(stretched.pixelColor(0, 0), QColor(Qt::red));
  EXPECT_EQ(stretched.pixelColor(79, 19), QColor(Qt::blue));
  EXPECT_TRUE(StretchHalftone(QImage(), 80, 20).isNull());
  EXPECT_TRUE(StretchHalftone(source, 0, 20).isNull());
}

}  // namespace
}  // namespace lunetta
