#include "platform/drawing.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
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

// The widest character of the 8-bit repertoire, not of the whole face: DejaVu Sans, the stand-in
// for "Arial Black", has far wider glyphs elsewhere.
TEST(DrawingTest, MaxCharWidthIgnoresGlyphsOutsideTheEightBitSet) {
  const QFont font = CreateFont(QStringLiteral("Arial Black"), 28, 400, false);
  const QFontMetrics metrics(font);
  const TextMetrics measured = MeasureFont(font);
  EXPECT_EQ(measured.height, metrics.ascent() + metrics.descent());
  EXPECT_GE(measured.maxCharWidth, metrics.horizontalAdvance(QChar(u'\u00C6')));
  EXPECT_LT(measured.maxCharWidth, metrics.maxWidth());
}

}  // namespace
}  // namespace lunetta
