#include "res/artwork.h"

#include <gtest/gtest.h>

#include <QImage>
#include <set>

namespace lunetta {
namespace {

// A picture that failed to load renders as a blank, transparent rectangle of the right size.
int DistinctColors(const QImage& image) {
  std::set<QRgb> colors;
  for (int y = 0; y < image.height(); y += 3) {
    for (int x = 0; x < image.width(); x += 3) {
      colors.insert(image.pixel(x, y));
    }
  }
  return static_cast<int>(colors.size());
}

TEST(Artwork, PicturesAndIconAreDrawn) {
  EXPECT_EQ(TitlePicture().size(), QSize(500, 330));
  EXPECT_GT(DistinctColors(TitlePicture().toImage()), 50);
  EXPECT_EQ(LogoPicture().size(), QSize(180, 65));
  EXPECT_GT(DistinctColors(LogoPicture().toImage()), 10);
  for (const int side : {16, 256}) {
    EXPECT_GT(DistinctColors(ApplicationIcon().pixmap(side, side).toImage()), 3) << side;
  }
}

TEST(Artwork, HandCursorPointsWithItsFingertip) {
  const QCursor hand = HandCursor();
  EXPECT_EQ(hand.hotSpot(), QPoint(6, 3));
  const QImage image = hand.pixmap().toImage();
  ASSERT_EQ(image.size(), QSize(32, 32));
  // The fingertip's outline is at the hot spot; the corner is see-through.
  EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
  EXPECT_GT(qAlpha(image.pixel(6, 3)), 128);
  EXPECT_LT(qGray(image.pixel(6, 3)), 128);
  EXPECT_GT(qGray(image.pixel(6, 8)), 200);  // inside the finger: white
}

}  // namespace
}  // namespace lunetta
