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

TEST(Artwork, PicturesHaveTheirSizesAndContent) {
  const QImage title = TitlePicture().toImage();
  EXPECT_EQ(title.size(), QSize(500, 330));
  EXPECT_GT(DistinctColors(title), 50);
  EXPECT_EQ(qAlpha(title.pixel(250, 165)), 255);

  const QImage logo = LogoPicture().toImage();
  EXPECT_EQ(logo.size(), QSize(180, 65));
  EXPECT_GT(DistinctColors(logo), 10);
}

TEST(Artwork, IconComesInEverySize) {
  const QIcon icon = ApplicationIcon();
  for (const int side : {16, 32, 48, 256}) {
    const QImage image = icon.pixmap(side, side).toImage();
    EXPECT_EQ(image.size(), QSize(side, side)) << side;
    EXPECT_GT(DistinctColors(image), 3) << side;
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
