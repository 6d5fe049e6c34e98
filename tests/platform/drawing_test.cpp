#include "platform/drawing.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <climits>

namespace lunetta {
namespace {

TEST(DrawingTest, ColorRefsAndFontRequests) {
  EXPECT_EQ(ColorFromRef(0xFF123456u), QColor(0x56, 0x34, 0x12));  // the high byte is ignored
  EXPECT_EQ(RefFromColor(QColor(0x56, 0x34, 0x12)), 0x00123456u);

  // A positive height is the cell height: the largest font whose cell still fits.
  for (auto [face, height] : {std::pair{"Arial Black", 28}, std::pair{"Times New Roman", 41},
                              std::pair{"Garamond", 200}, std::pair{"No Such Face 123", 9}}) {
    const QFont font = CreateFont(face, height, 400, false);
    QFont larger = font;
    larger.setPixelSize(font.pixelSize() + 1);
    EXPECT_TRUE(MeasureFont(font).height <= height && QFontMetrics(larger).height() > height)
        << face << " " << height << ": pixel size " << font.pixelSize();
  }
  EXPECT_EQ(CreateFont("Arial", -20, 700, false).pixelSize(), 20);  // the character height
  EXPECT_EQ(CreateFont("Arial", INT_MIN, 400, false).pixelSize(), 4096);
  EXPECT_LE(MeasureFont(CreateFont("Arial", INT_MAX, 400, false)).height, 4096);
  EXPECT_EQ(CreateFont("Arial", 20, 700, true).weight(), QFont::Bold);
  EXPECT_TRUE(CreateFont("Arial", 20, 400, true).italic());
  EXPECT_TRUE(CreateFont("Arial", 20, 400, false).styleStrategy() & QFont::NoSubpixelAntialias);
}

// The widest character of the 8-bit repertoire, not of the whole face: DejaVu Sans, the stand-in
// for "Arial Black", has far wider glyphs elsewhere.
TEST(DrawingTest, MaxCharWidthIgnoresGlyphsOutsideTheEightBitSet) {
  const QFont font = CreateFont("Arial Black", 28, 400, false);
  const QFontMetrics metrics(font);
  const TextMetrics measured = MeasureFont(font);
  EXPECT_EQ(measured.height, metrics.ascent() + metrics.descent());
  EXPECT_GE(measured.maxCharWidth, metrics.horizontalAdvance(QChar(u'\u00C6')));
  EXPECT_LT(measured.maxCharWidth, metrics.maxWidth());
}

}  // namespace
}  // namespace lunetta
