#include "placement/legibility.h"

#include <gtest/gtest.h>

#include "calendar/color_contrast.h"
#include "support/core_printers.h"

namespace lunetta {
namespace {

// A block of 170 × 270 with week numbers (May 2026 takes six rows) at (50, 20) on a 400 × 320
// picture.
LegibilityRequest Request(QImage background, BlockColors colors) {
  const BlockGeometry geometry = ComputeBlockGeometry({26, 5, 10}, "Arial", 6, {0, 20});
  LegibilityRequest request;
  request.background = std::move(background);
  request.block = {50, 20, 50 + geometry.blockWidth, 20 + geometry.blockHeight};
  request.regions = BlockTextRegions(geometry, BuildMonthGrid(2026, 5), {}, true);
  request.colors = colors;
  return request;
}

void ExpectAllReach(const Legibility& legibility) {
  EXPECT_EQ(legibility.contrast.size(), static_cast<std::size_t>(kTextClassCount));
  for (const ClassContrast& measured : legibility.contrast) {
    EXPECT_GE(measured.ratio, 4.5) << TextClassName(measured.textClass);
  }
}

// Black reaches 4.5:1 on a white photo with no card at all; red must darken to about 237.
TEST(LegibilityTest, WhitePhotoNeedsNoCard) {
  QImage white(400, 320, QImage::Format_RGB888);
  white.fill(Qt::white);
  const Legibility legibility = SolveLegibility(Request(white, {}));
  EXPECT_TRUE(legibility.reached);
  EXPECT_TRUE(legibility.userColorsKept);
  EXPECT_EQ(legibility.opacity, 0);
  EXPECT_EQ(legibility.colors.saturday, kBlue);
  EXPECT_EQ(legibility.colors.sunday & 0xFFFF00, 0u);  // still pure red
  EXPECT_NEAR(static_cast<int>(legibility.colors.sunday & 0xFF), 237, 2);
  ExpectAllReach(legibility);
}

// Every other pixel black. Black text needs the black half lifted to grey 117 (a white card of
// 118), but red may only darken to about (102, 0, 0), 40 % of its colour, which needs grey 150:
// a card of 151 (255 · 151 >> 8 = 150). The search samples every second pixel, sees white only, and
// must be corrected by the check at full resolution.
TEST(LegibilityTest, BusyPhotoGetsTheCardItNeeds) {
  QImage checker(400, 320, QImage::Format_RGB888);
  for (int y = 0; y < checker.height(); ++y) {
    for (int x = 0; x < checker.width(); ++x) {
      checker.setPixel(x, y, (x + y) % 2 == 0 ? 0xFFFFFFu : 0xFF000000u);
    }
  }
  const LegibilityRequest request = Request(checker, {0x808080, 0x808080, kBlue, kRed});
  const Legibility legibility = SolveLegibility(request);
  EXPECT_TRUE(legibility.reached);
  EXPECT_FALSE(legibility.userColorsKept);  // grey on grey has 1:1
  EXPECT_EQ(legibility.colors.text, 0x000000u);
  EXPECT_EQ(legibility.colors.back, 0xFFFFFFu);
  EXPECT_NEAR(legibility.opacity, 151, 1);
  EXPECT_GE(legibility.colors.sunday & 0xFF, 100u);
  ExpectAllReach(legibility);
  const std::vector<ClassContrast> lighter =
      MeasureContrast(request, legibility.colors, legibility.opacity - 2, TextBlend::Opaque);
  EXPECT_LT(lighter[static_cast<std::size_t>(TextClass::SundayHoliday)].ratio, 4.5);
}

}  // namespace
}  // namespace lunetta
