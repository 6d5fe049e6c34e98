#include "platform/drawing.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>
#include <climits>

namespace lunetta {
namespace {

TEST(DrawingTest, ColorRefIsBgr) {
  EXPECT_EQ(ColorFromRef(0xFF123456u), QColor(0x56, 0x34, 0x12));  // the high byte is ignored
  EXPECT_EQ(RefFromColor(QColor(0x56, 0x34, 0x12)), 0x00123456u);
  EXPECT_EQ(ColorFromRef(DesktopBackgroundColor()), QColor(0x3A, 0x6E, 0xA5));
}

class CellHeightTest : public ::testing::TestWithParam<std::pair<const char*, int>> {};

// A positive height is the cell height: the largest font whose cell still fits.
TEST_P(CellHeightTest, PicksTheLargestSizeThatFits) {
  const auto [face, height] = GetParam();
  const QFont font = CreateFont(QString::fromLatin1(face), height, 400, false);
  EXPECT_LE(MeasureFont(font).height, height);
  QFont larger = font;
  larger.setPixelSize(font.pixelSize() + 1);
  EXPECT_GT(QFontMetrics(larger).height(), height) << "pixel size " << font.pixelSize();
}

INSTANTIATE_TEST_SUITE_P(Faces, CellHeightTest,
                         ::testing::Values(std::pair{"Arial Black", 28},
                                           std::pair{"Arial Black", 9},
                                           std::pair{"Times New Roman", 41},
                                           std::pair{"Garamond", 200},
                                           std::pair{"No Such Face 123", 30}));

TEST(DrawingTest, FontRequestRules) {
  EXPECT_EQ(CreateFont(QStringLiteral("Arial"), -20, 400, false).pixelSize(), 20);
  EXPECT_EQ(CreateFont(QStringLiteral("Arial"), 1, 400, false).pixelSize(), 1);
  EXPECT_LE(MeasureFont(CreateFont(QStringLiteral("Arial"), INT_MAX, 400, false)).height, 4096);
  EXPECT_EQ(CreateFont(QStringLiteral("Arial"), INT_MIN, 400, false).pixelSize(), 4096);
  EXPECT_EQ(CreateFont(QStringLiteral("Arial"), 20, 0, false).weight(), QFont::Normal);
  EXPECT_EQ(CreateFont(QStringLiteral("Arial"), 20, 700, false).weight(), QFont::Bold);
  EXPECT_EQ(CreateFont(QStringLiteral("Arial"), 20, 5000, false).weight(), 1000);
  EXPECT_TRUE(CreateFont(QStringLiteral("Arial"), 20, 400, true).italic());
  const QFont plain = CreateFont(QStringLiteral("Arial"), 20, 400, false);
  EXPECT_FALSE(plain.italic());
  EXPECT_TRUE(plain.styleStrategy() & QFont::NoSubpixelAntialias);
}

TEST(DrawingTest, MaxWidthCoversTheEightBitRepertoireOnly) {
  const QFont font = CreateFont(QStringLiteral("Arial Black"), 28, 400, false);
  const QFontMetrics metrics(font);
  const TextMetrics measured = MeasureFont(font);
  EXPECT_EQ(measured.height, metrics.ascent() + metrics.descent());
  EXPECT_EQ(measured.aveCharWidth, metrics.averageCharWidth());
  EXPECT_GE(measured.maxCharWidth, metrics.horizontalAdvance(QChar(u'W')));
  EXPECT_GE(measured.maxCharWidth, metrics.horizontalAdvance(QChar(u'\u00C6')));
  EXPECT_LE(measured.maxCharWidth, metrics.maxWidth());
}

class SingleLineTextTest : public ::testing::TestWithParam<TextAlign> {};

TEST_P(SingleLineTextTest, AlignsInsideTheRectangleOnATransparentBackground) {
  const QRect cell(40, 10, 120, 40);
  QImage image(200, 60, QImage::Format_RGB888);
  image.fill(Qt::green);
  QPainter painter(&image);
  painter.setFont(CreateFont(QStringLiteral("Arial Black"), 20, 400, false));
  DrawSingleLineText(painter, cell, QStringLiteral("88"), GetParam(), kRed);
  painter.end();
  QRect ink;
  bool pureRed = false;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor color = image.pixelColor(x, y);
      ink |= color != QColor(Qt::green) ? QRect(x, y, 1, 1) : QRect();
      pureRed = pureRed || color == QColor(Qt::red);
    }
  }
  EXPECT_TRUE(pureRed);
  EXPECT_TRUE(cell.contains(ink));
  EXPECT_NEAR(ink.center().y(), cell.center().y(), 4);
  switch (GetParam()) {
    case TextAlign::Left:
      EXPECT_LE(ink.left(), cell.left() + 4);
      break;
    case TextAlign::Center:
      EXPECT_NEAR(ink.center().x(), cell.center().x(), 2);
      break;
    case TextAlign::Right:
      EXPECT_GE(ink.right(), cell.right() - 4);
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(Alignments, SingleLineTextTest,
                         ::testing::Values(TextAlign::Left, TextAlign::Center, TextAlign::Right));

}  // namespace
}  // namespace lunetta
