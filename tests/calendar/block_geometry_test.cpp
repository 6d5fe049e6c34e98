#include "calendar/block_geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "support/core_printers.h"

namespace lunetta {
namespace {

// Height 26 gives cell height 30; maximum 10 and average 5 give cell width 20, or 15 for exactly
// "Times New Roman".
TEST(BlockGeometryTest, FollowsTheFontsMetrics) {
  using Case = std::tuple<TextMetrics, const char*, int, BlockGeometry>;
  for (const auto& [metrics, face, weekRows, expected] :
       {Case{{26, 5, 10}, "Arial Black", 5, {20, 30, 150, 240}},
        Case{{26, 5, 10}, "Times New Roman", 6, {15, 30, 112, 270}},
        Case{{26, 5, 10}, "Times New Roman Bold", 5, {20, 30, 150, 240}},
        Case{{26, 5, 10}, "times new roman", 5, {20, 30, 150, 240}},
        Case{{26, 5, 11}, "", 6, {21, 30, 158, 270}}}) {  // odd width made even
    EXPECT_EQ(ComputeBlockGeometry(metrics, face, weekRows), expected) << face;
  }
}

TEST(BlockGeometryTest, RowsStartHalfACellAboveTheirCells) {
  const BlockGeometry g = ComputeBlockGeometry({27, 5, 10}, "Arial", 6);  // 20 × 31, half 15
  EXPECT_EQ(TitleRect(g), (Rect{0, -15, 150, 47}));
  EXPECT_EQ(CellRect(g, 0, 0), (Rect{0, 47, 20, 78}));
  EXPECT_EQ(CellRect(g, 6, 6), (Rect{120, 233, 140, 264}));
}

// A 300 × 200 block on 1024 × 768 moves up and left just enough to show whole, never past 0.
TEST(BlockGeometryTest, TheBlockIsDrawnWholeWhereverItIsStored) {
  EXPECT_EQ(DrawnBlockRect(900, INT_MAX, 300, 200, 1024, 768), (Rect{724, 568, 1024, 768}));
  EXPECT_EQ(DrawnBlockRect(-20, INT_MIN, 300, 200, 1024, 768), (Rect{0, 0, 300, 200}));
  EXPECT_EQ(DrawnBlockRect(500, 600, 1100, 200, 1024, 768), (Rect{0, 568, 1100, 768}));
}

}  // namespace
}  // namespace lunetta
