#include "calendar/block_geometry.h"

#include <gtest/gtest.h>

namespace lunetta {
namespace {

struct GeometryCase {
  TextMetrics metrics;
  const char* fontName;
  int weekRows;
  BlockGeometry expected;
};

class BlockGeometryTest : public testing::TestWithParam<GeometryCase> {};

TEST_P(BlockGeometryTest, FollowsTheMetrics) {
  const GeometryCase& c = GetParam();
  EXPECT_EQ(ComputeBlockGeometry(c.metrics, c.fontName, c.weekRows), c.expected) << c.fontName;
}

// Height 26 gives cell height 30; maximum 10 and average 5 give cell width 20, or 15 for Times.
INSTANTIATE_TEST_SUITE_P(
    Fonts, BlockGeometryTest,
    testing::Values(GeometryCase{{26, 5, 10}, "Arial Black", 5, {20, 30, 150, 240}},
                    GeometryCase{{26, 5, 10}, "Arial Black", 6, {20, 30, 150, 270}},
                    GeometryCase{{26, 5, 10}, "Times New Roman", 5, {15, 30, 112, 240}},
                    GeometryCase{{26, 5, 10}, "times new roman", 5, {20, 30, 150, 240}},
                    GeometryCase{{26, 5, 10}, "Times New Roman Bold", 5, {20, 30, 150, 240}},
                    GeometryCase{{26, 5, 11}, "", 6, {21, 30, 158, 270}}));  // odd width made even

TEST(BlockRectsTest, TitleAndRowsStartHalfACellAboveTheBlock) {
  const BlockGeometry g = ComputeBlockGeometry({26, 5, 10}, "Arial", 6);
  EXPECT_EQ(TitleRect(g), (Rect{0, -15, 150, 45}));
  EXPECT_EQ(CellRect(g, 0, 0), (Rect{0, 45, 20, 75}));
  EXPECT_EQ(CellRect(g, 2, 3), (Rect{60, 105, 80, 135}));
  EXPECT_EQ(CellRect(g, 6, 6), (Rect{120, 225, 140, 255}));
  const BlockGeometry odd = ComputeBlockGeometry({27, 5, 10}, "Arial", 5);  // half rounds down
  EXPECT_EQ(TitleRect(odd), (Rect{0, -15, 150, 47}));
  EXPECT_EQ(CellRect(odd, 0, 1), (Rect{20, 47, 40, 78}));
}

}  // namespace
}  // namespace lunetta
