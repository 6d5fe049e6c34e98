#include "ui/preview_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

namespace lunetta {
namespace {

// The preview at its design size: 643 × 482 client pixels from (23, 22).
constexpr PreviewBounds kDesign{23, 22, 666, 504};

struct DragCase {
  const char* name;
  int x;
  int y;
  PreviewBounds bounds;
  int blockWidth;
  int blockHeight;
  double scaleX;
  double scaleY;
  DragPlacement expected;
};

void PrintTo(const DragCase& c, std::ostream* os) {
  *os << c.name;
}

class PlaceDraggedBlockTest : public testing::TestWithParam<DragCase> {};

TEST_P(PlaceDraggedBlockTest, ClampsAndConverts) {
  const DragCase& c = GetParam();
  const DragPlacement p =
      PlaceDraggedBlock(c.x, c.y, c.bounds, c.blockWidth, c.blockHeight, c.scaleX, c.scaleY);
  EXPECT_EQ(p.x, c.expected.x);
  EXPECT_EQ(p.y, c.expected.y);
  EXPECT_EQ(p.frameWidth, c.expected.frameWidth);
  EXPECT_EQ(p.frameHeight, c.expected.frameHeight);
  EXPECT_EQ(p.pictureX, c.expected.pictureX);
  EXPECT_EQ(p.pictureY, c.expected.pictureY);
}

constexpr double k800X = 643.0 / 800;
constexpr double k800Y = 482.0 / 600;
constexpr double k1280X = 643.0 / 1280;
constexpr double k1280Y = 482.0 / 1024;

INSTANTIATE_TEST_SUITE_P(
    Preview, PlaceDraggedBlockTest,
    testing::Values(
        // The block touches the picture's right and bottom edges.
        DragCase{"release_past_lower_right",
                 500,
                 400,
                 kDesign,
                 300,
                 200,
                 k800X,
                 k800Y,
                 {425, 344, 241, 160, 500, 400}},
        DragCase{"at_top_left_bounds",
                 23,
                 22,
                 kDesign,
                 300,
                 200,
                 k800X,
                 k800Y,
                 {23, 22, 241, 160, 0, 0}},
        DragCase{"left_of_and_above_bounds",
                 -40,
                 3,
                 kDesign,
                 300,
                 200,
                 k800X,
                 k800Y,
                 {23, 22, 241, 160, 0, 0}},
        DragCase{"inside", 100, 100, kDesign, 300, 200, k800X, k800Y, {100, 100, 241, 160, 95, 97}},
        DragCase{"large_picture_factors",
                 30,
                 30,
                 kDesign,
                 300,
                 200,
                 k1280X,
                 k1280Y,
                 {30, 30, 150, 94, 13, 16}},
        // Lower bounds first, upper last: a block wider than the preview ends left of it.
        DragCase{"block_wider_than_preview",
                 100,
                 100,
                 kDesign,
                 1000,
                 200,
                 k800X,
                 k800Y,
                 {-137, 100, 803, 160, -199, 97}},
        DragCase{"block_taller_than_preview",
                 100,
                 100,
                 kDesign,
                 100,
                 700,
                 k800X,
                 k800Y,
                 {100, -58, 80, 562, 95, -99}},
        // Nothing decoded yet: the factors are not usable and count as 1.
        DragCase{"zero_factors", 50, 60, kDesign, 100, 100, 0.0, 0.0, {50, 60, 100, 100, 27, 38}},
        DragCase{"nan_factors",
                 50,
                 60,
                 kDesign,
                 100,
                 100,
                 std::nan(""),
                 -1.0,
                 {50, 60, 100, 100, 27, 38}},
        DragCase{"bounds_of_a_resized_preview",
                 500,
                 500,
                 PreviewBounds{10, 40, 410, 340},
                 200,
                 100,
                 0.5,
                 0.5,
                 {310, 290, 100, 50, 600, 500}}),
    [](const testing::TestParamInfo<DragCase>& info) { return std::string(info.param.name); });

TEST(PlaceDraggedBlock, HugeBlockDoesNotOverflow) {
  constexpr int kMax = std::numeric_limits<int>::max();
  const DragPlacement p = PlaceDraggedBlock(kMax, kMax, kDesign, kMax, kMax, 4.0, 4.0);
  EXPECT_EQ(p.frameWidth, kMax);
  EXPECT_EQ(p.x, 666 - kMax);
  EXPECT_EQ(p.y, 504 - kMax);
  EXPECT_LT(p.pictureX, 0);
  EXPECT_LT(p.pictureY, 0);
}

}  // namespace
}  // namespace lunetta
