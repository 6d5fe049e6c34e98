#include "calendar/proportional_layout.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "calendar/anchor_snap.h"
#include "support/core_printers.h"

namespace lunetta {
namespace {

// A face whose metrics grow with the size as real ones do: the cell is 4 pixels taller than the
// text, so the block's shape changes with the text size.
BlockGeometry Layout(int textSize) {
  return ComputeBlockGeometry({textSize, textSize / 2, textSize}, "Arial", 5);
}

TEST(ProportionalLayoutTest, AnchorsKeepTheMargin) {
  const PictureSize picture{1000, 600};
  using Case = std::tuple<Anchor, int, int, Rect>;
  for (const auto& [anchor, width, height, expected] :
       {Case{Anchor::TopLeft, 200, 100, {30, 30, 230, 130}},
        Case{Anchor::Top, 200, 100, {400, 30, 600, 130}},
        Case{Anchor::Center, 200, 100, {400, 250, 600, 350}},
        Case{Anchor::Right, 200, 100, {770, 250, 970, 350}},
        Case{Anchor::BottomRight, 200, 100, {770, 470, 970, 570}},
        Case{Anchor::BottomLeft, 200, 580, {30, 10, 230, 590}}}) {  // too tall: centred
    EXPECT_EQ(AnchorBlock(picture, width, height, anchor, 30), expected) << AnchorName(anchor);
  }
}

// A block dropped by hand goes to the anchor of the thirds its centre lies in, at the mean
// distance from the edges that anchor holds it to, in steps of 5 thousandths.
TEST(ProportionalLayoutTest, DroppedBlockSnapsToTheNearestAnchorAtItsMargin) {
  const PictureSize picture{1000, 600};
  using Case = std::tuple<Rect, AnchoredPlace>;
  for (const auto& [dropped, expected] :
       {Case{{31, 29, 231, 129}, {Anchor::TopLeft, 50}},        // 30 of 600
        Case{{760, 480, 960, 580}, {Anchor::BottomRight, 50}},  // 40 and 20: 30 of 600
        Case{{380, 240, 580, 340}, {Anchor::Center, 77}},       // no edge: the margin stays
        Case{{-50, 250, 150, 350}, {Anchor::Left, 0}},          // past the edge: no margin
        Case{{400, 0, 600, 300}, {Anchor::Top, 0}},
        Case{{0, 0, 1000, 600}, {Anchor::Center, 77}}}) {  // the whole picture
    EXPECT_EQ(SnapToAnchor(picture, dropped, 77), expected) << dropped.left << "," << dropped.top;
  }
  // Far from every edge, the margin stops at the most a margin may be.
  EXPECT_EQ(SnapToAnchor({4000, 4000}, {10, 3000, 210, 3200}, 0),
            (AnchoredPlace{Anchor::BottomLeft, 100}));
}

TEST(ProportionalLayoutTest, AnchorNamesReadBack) {
  for (int i = 0; i < kAnchorCount; ++i) {
    EXPECT_EQ(ParseAnchor(AnchorName(static_cast<Anchor>(i))), static_cast<Anchor>(i));
  }
  EXPECT_EQ(ParseAnchor("Bottom-Right"), Anchor::BottomRight);
  EXPECT_EQ(ParseAnchor("centre"), Anchor::Center);
  EXPECT_EQ(ParseAnchor("middle"), std::nullopt);
  EXPECT_EQ(ParseAnchor(""), std::nullopt);
}

TEST(ProportionalLayoutTest, BlockKeepsItsShareAcrossPictureSizes) {
  std::optional<std::array<double, 4>> first;
  for (const PictureSize picture : {PictureSize{1920, 1080}, {3840, 2160}, {1280, 720}}) {
    const ProportionalSize size = SizeForShare(picture, 0.3, 0.04, Layout);
    const BlockGeometry geometry = Layout(size.textSize);
    const Rect scaled = ScaleRect({0, 0, geometry.blockWidth, geometry.blockHeight}, size.scale);
    const Rect block = AnchorBlock(picture, scaled.right, scaled.bottom, Anchor::BottomRight,
                                   MarginPixels(picture, 0.04));
    EXPECT_NEAR(block.bottom - block.top, 0.3 * picture.height, 1)
        << ::testing::PrintToString(picture);
    // The rectangle in pixels of a 1280 × 720 picture.
    const std::array<double, 4> share = {
        block.left * 1280.0 / picture.width, block.top * 720.0 / picture.height,
        block.right * 1280.0 / picture.width, block.bottom * 720.0 / picture.height};
    if (!first) {
      first = share;
    }
    for (std::size_t edge = 0; edge < share.size(); ++edge) {
      EXPECT_NEAR(share[edge], (*first)[edge], 1.0)
          << ::testing::PrintToString(picture) << " edge " << edge;
    }
  }
}

TEST(ProportionalLayoutTest, NarrowPictureLimitsTheWidth) {
  const PictureSize portrait{600, 1200};
  const ProportionalSize size = SizeForShare(portrait, 0.45, 0.05, Layout);
  const BlockGeometry geometry = Layout(size.textSize);
  EXPECT_LE(geometry.blockWidth * size.scale, 600 - 2 * MarginPixels(portrait, 0.05) + 0.5);
  EXPECT_LT(geometry.blockHeight * size.scale, 0.45 * 1200);
}

}  // namespace
}  // namespace lunetta
