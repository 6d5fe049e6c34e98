#include "ui/preview_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

namespace lunetta {
namespace {

// Client pixels from (left, top) to just before (right, bottom).
constexpr QRect Bounds(int left, int top, int right, int bottom) {
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

constexpr QRect kDesign = Bounds(23, 22, 666, 504);  // 643 × 482 from (23, 22)
constexpr int kMax = std::numeric_limits<int>::max();
// 1920 × 1080 shown as 643 × 362 between bands.
constexpr QRect kWide = Bounds(23, 82, 666, 444);
constexpr double kWideX = 643.0 / 1920, kWideY = 362.0 / 1080;

// The frame's place and size, and the block's place on the picture.
using Fields = std::tuple<int, int, int, int, int, int>;

Fields FieldsOf(const DragPlacement& p) {
  return {p.frame.x(),          p.frame.y(),   p.frameSize.width(),
          p.frameSize.height(), p.picture.x(), p.picture.y()};
}

TEST(PlaceDraggedBlock, ClampsToThePreviewThenConverts) {
  const struct {
    int x, y, blockWidth, blockHeight;
    Fields expected;
    double scaleX = 643.0 / 800, scaleY = 482.0 / 600;
    QRect bounds = kDesign;
  } cases[] = {
      {500, 400, 300, 200, {425, 344, 241, 160, 500, 400}},  // past the lower right
      {23, 22, 300, 200, {23, 22, 241, 160, 0, 0}},          // at the top-left bounds
      {-40, 3, 300, 200, {23, 22, 241, 160, 0, 0}},
      {100, 100, 300, 200, {100, 100, 241, 160, 95, 97}},
      // Wider or taller than the preview: at the picture's edge, never before it.
      {100, 100, 1000, 200, {23, 100, 803, 160, 0, 97}},
      {100, 100, 300, 700, {100, 22, 241, 562, 95, 0}},
      // Nothing decoded yet: factors that are not positive finite numbers count as 1.
      {50, 60, 100, 100, {50, 60, 100, 100, 27, 38}, 0.0, 0.0},
      {50, 60, 100, 100, {50, 60, 100, 100, 27, 38}, std::nan(""), -1.0},
      {500, 500, 200, 100, {310, 290, 100, 50, 600, 500}, 0.5, 0.5, Bounds(10, 40, 410, 340)},
      {kMax, kMax, kMax, kMax, {23, 22, kMax, kMax, 0, 0}, 4, 4},
      // Against the lower right, the block's corner is the picture's, where converting the frame's
      // place would give (1591, 793).
      {900, 900, 330, 288, {556, 348, 110, 96, 1590, 792}, kWideX, kWideY, kWide},
      {24, 83, 330, 288, {24, 83, 110, 96, 2, 2}, kWideX, kWideY, kWide},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FieldsOf(PlaceDraggedBlock(QPoint(c.x, c.y), c.bounds,
                                         QSize(c.blockWidth, c.blockHeight), c.scaleX, c.scaleY)),
              c.expected)
        << "row " << &c - cases;
  }
}

// A 300 × 200 block at (100, 100) of an 800 × 600 picture shows as a 241 × 160 frame at (103, 102).
TEST(PlaceGrabbedBlock, KeepsTheGrabOffsetOnTheBlock) {
  constexpr double kScaleX = 643.0 / 800, kScaleY = 482.0 / 600;
  const struct {
    QPoint press, release;
    bool onBlock;
    Fields expected;
  } cases[] = {
      // Released where pressed: the block stays exactly, though (103, 102) converts to (99, 99).
      {{150, 150}, {150, 150}, true, {103, 102, 241, 160, 100, 100}},
      {{103, 102}, {103, 102}, true, {103, 102, 241, 160, 100, 100}},
      // Moved sideways only: the other axis keeps its place.
      {{150, 150}, {160, 150}, true, {113, 102, 241, 160, 111, 100}},
      // Clamping as before, against the frame's corner.
      {{150, 150}, {1000, 1000}, true, {425, 344, 241, 160, 500, 400}},
      {{150, 150}, {-100, -100}, true, {23, 22, 241, 160, 0, 0}},
      // Off the block (one pixel past its frame, or elsewhere on the picture): the corner comes
      // to the pointer.
      {{344, 150}, {344, 150}, false, {344, 150, 241, 160, 399, 159}},
      {{400, 300}, {400, 300}, false, {400, 300, 241, 160, 469, 346}},
  };
  for (const auto& c : cases) {
    const DragGrab grab =
        GrabBlock(c.press, kDesign, QPoint(100, 100), QSize(300, 200), kScaleX, kScaleY);
    EXPECT_EQ(grab.onBlock, c.onBlock) << "row " << &c - cases;
    EXPECT_EQ(
        FieldsOf(PlaceGrabbedBlock(c.release, grab, kDesign, QSize(300, 200), kScaleX, kScaleY)),
        c.expected)
        << "row " << &c - cases;
  }
}

TEST(ShownPicture, EveryPictureKeepsItsShapeInThePreviewsMiddle) {
  const struct {
    PictureSize picture;
    std::tuple<int, int, int, int> expected;
  } cases[] = {
      {{1280, 1024}, {43, 22, 646, 504}},  // 603 × 482, not stretched to the 4:3 preview
      {{1920, 1080}, {23, 82, 666, 444}},
      {{1080, 1920}, {209, 22, 480, 504}},  // 271 × 482
      {{1024, 768}, {23, 22, 666, 504}},    // the preview's own shape, within a pixel
  };
  for (const auto& c : cases) {
    const QRect shown = ShownPicture(kDesign, c.picture);
    EXPECT_EQ(
        std::tuple(shown.x(), shown.y(), shown.x() + shown.width(), shown.y() + shown.height()),
        c.expected)
        << c.picture.width << " x " << c.picture.height;
  }
}

}  // namespace
}  // namespace lunetta
