#include "calendar/color_contrast.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace lunetta {
namespace {

// Worked by hand from the WCAG 2 formulas; #767676 and #777777 are the greys either side of 4.5:1
// on white.
TEST(ColorContrastTest, MatchesHandComputedRatios) {
  using Case = std::tuple<ColorRef, ColorRef, double>;
  for (const auto& [a, b, expected] :
       {Case{0x000000, 0xFFFFFF, 21.0}, Case{0xFFFFFF, 0xFFFFFF, 1.0},
        Case{0x767676, 0xFFFFFF, 4.542}, Case{0xFFFFFF, 0x777777, 4.478},
        Case{kRed, 0xFFFFFF, 3.998}, Case{kBlue, 0x000000, 2.444}}) {
    EXPECT_NEAR(ContrastRatio(a, b), expected, 0.002) << std::hex << a << " on " << b;
  }
  EXPECT_NEAR(RelativeLuminance(0x808080), 0.2159, 0.0001);
}

// The least change that reaches 4.5:1: red 239 gives 4.497 on white, 238 gives 4.530; on black,
// blue needs its other channels at 94 (4.521), 93 gives 4.476.
TEST(ColorContrastTest, AdjustsAsLittleAsReaches) {
  EXPECT_EQ(AdjustForContrast(kRed, 0xFFFFFF, 4.5), ColorRef{0x0000EE});
  EXPECT_EQ(AdjustForContrast(kBlue, 0x000000, 4.5), ColorRef{0xFF5E5E});
  EXPECT_EQ(AdjustForContrast(0x000000, 0xFFFFFF, 4.5), ColorRef{0x000000});
  // Not even black has 10:1 on mid grey.
  EXPECT_EQ(AdjustForContrast(kRed, 0x808080, 10), std::nullopt);
}

double Hue(ColorRef color) {
  const double r = color & 0xFF;
  const double g = (color >> 8) & 0xFF;
  const double b = (color >> 16) & 0xFF;
  const double high = std::max({r, g, b});
  const double range = high - std::min({r, g, b});
  double hue = high == r ? (g - b) / range : high == g ? 2 + (b - r) / range : 4 + (r - g) / range;
  return hue < 0 ? hue * 60 + 360 : hue * 60;
}

TEST(ColorContrastTest, AdjustmentKeepsTheHue) {
  // Orange, teal and violet, darkened on white and lightened on black.
  for (ColorRef color : {ColorRef{0x0080FF}, ColorRef{0x808000}, ColorRef{0xC04080}}) {
    for (ColorRef background : {ColorRef{0xFFFFFF}, ColorRef{0x000000}}) {
      const std::optional<ColorRef> adjusted = AdjustForContrast(color, background, 7);
      ASSERT_TRUE(adjusted.has_value()) << std::hex << color << " on " << background;
      EXPECT_NEAR(Hue(*adjusted), Hue(color), 1.0) << std::hex << color << " on " << background;
      EXPECT_GE(ContrastRatio(*adjusted, background), 7.0);
    }
  }
}

}  // namespace
}  // namespace lunetta
