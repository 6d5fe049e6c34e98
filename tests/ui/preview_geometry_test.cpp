#include "ui/preview_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

namespace lunetta {
namespace {

constexpr PreviewBounds kDesign{23, 22, 666, 504};  // 643 × 482 from (23, 22)
constexpr int kMax = std::numeric_limits<int>::max();

auto Fields(const DragPlacement& p) {
  return std::tuple(p.x, p.y, p.frameWidth, p.frameHeight, p.pictureX, p.pictureY);
}

TEST(PlaceDraggedBlock, ClampsLowerBoundsFirstThenConverts) {
  const struct {
    int x, y, blockWidth, blockHeight;
    DragPlacement expected;
    double scaleX = 643.0 / 800, scaleY = 482.0 / 600;
    PreviewBounds bounds = kDesign;
  } cases[] = {
      {500, 400, 300, 200, {425, 344, 241, 160, 500, 400}},  // past the lower right
      {23, 22, 300, 200, {23, 22, 241, 160, 0, 0}},          // at the top-left bounds
      {-40, 3, 300, 200, {23, 22, 241, 160, 0, 0}},
      {100, 100, 300, 200, {100, 100, 241, 160, 95, 97}},
      {100, 100, 1000, 200, {-137, 100, 803, 160, -199, 97}},  // wider than the preview
      // Nothing decoded yet: factors that are not positive finite numbers count as 1.
      {50, 60, 100, 100, {50, 60, 100, 100, 27, 38}, 0.0, 0.0},
      {50, 60, 100, 100, {50, 60, 100, 100, 27, 38}, std::nan(""), -1.0},
      {500, 500, 200, 100, {310, 290, 100, 50, 600, 500}, 0.5, 0.5, {10, 40, 410, 340}},
      {kMax, kMax, kMax, kMax, {666 - kMax, 504 - kMax, kMax, kMax, -536870751, -536870791}, 4, 4},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Fields(PlaceDraggedBlock(c.x, c.y, c.bounds, c.blockWidth, c.blockHeight, c.scaleX,
                                       c.scaleY)),
              Fields(c.expected))
        << "row " << &c - cases;
  }
}

}  // namespace
}  // namespace lunetta
