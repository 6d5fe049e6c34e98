#include "placement/energy_map.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <tuple>

#include "support/core_printers.h"

namespace lunetta {
namespace {

// Grey noise, the same for the same size, with the `calm` areas flat mid grey.
QImage NoisyPicture(int width, int height, std::initializer_list<QRect> calm = {}) {
  QImage picture(width, height, QImage::Format_RGB888);
  std::uint32_t state = 0x2545F491u;
  for (int y = 0; y < height; ++y) {
    uchar* line = picture.scanLine(y);
    for (int x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      const bool flat = std::any_of(calm.begin(), calm.end(),
                                    [&](const QRect& area) { return area.contains(x, y); });
      const auto grey = static_cast<uchar>(flat ? 128 : state >> 24);
      line[3 * x] = line[3 * x + 1] = line[3 * x + 2] = grey;
    }
  }
  return picture;
}

// Within `outer`, give or take the pixel that rounding to the map's cells of 3 pixels may add.
bool Inside(const Rect& inner, const QRect& outer) {
  return inner.left >= outer.left() - 1 && inner.top >= outer.top() - 1 &&
         inner.right <= outer.right() + 2 && inner.bottom <= outer.bottom() + 2;
}

TEST(EnergyMapTest, FlatIsCalmerThanNoise) {
  const EnergyMap map(NoisyPicture(600, 300, {QRect(0, 0, 300, 300)}));
  EXPECT_DOUBLE_EQ(map.EnergyOf({30, 30, 270, 270}), EnergyMap::kEnergyFloor);
  EXPECT_GT(map.EnergyOf({330, 30, 570, 270}), 50.0);
  EXPECT_DOUBLE_EQ(map.EnergyOf({700, 0, 800, 100}), EnergyMap::kEnergyFloor);  // off the picture
}

TEST(EnergyMapTest, MapHasTheSameCellsAtEverySize) {
  for (const auto& [width, height] : {std::pair{1280, 720}, {1920, 1080}, {3840, 2160}}) {
    const EnergyMap map(NoisyPicture(width, height, {QRect(0, 0, width, height)}));
    EXPECT_EQ(map.columns(), 214) << width;
    EXPECT_EQ(map.rows(), 120) << width;
  }
}

PlacementRequest Request(Rect preferred, double panelShare = 0.05) {
  return {.blockWidth = preferred.right - preferred.left,
          .blockHeight = preferred.bottom - preferred.top,
          .preferred = preferred,
          .margin = 12,
          .panelShare = panelShare};
}

TEST(PlacementTest, FindsTheCalmArea) {
  const Rect topRight{468, 12, 588, 112};
  using Case = std::tuple<const char*, QRect>;
  for (const auto& [what, calm] :
       {Case{"corner", QRect(0, 180, 200, 120)}, Case{"band", QRect(0, 120, 600, 110)},
        Case{"middle", QRect(200, 90, 160, 130)}}) {
    const Placement place =
        ChoosePlace(EnergyMap(NoisyPicture(600, 300, {calm})), Request(topRight));
    EXPECT_TRUE(place.admissible) << what;
    EXPECT_FALSE(place.preferredKept) << what;
    EXPECT_TRUE(Inside(place.block, calm)) << what << ": " << ::testing::PrintToString(place.block);
    EXPECT_DOUBLE_EQ(place.energy, EnergyMap::kEnergyFloor) << what;
  }
}

TEST(PlacementTest, KeepsThePreferredPlaceWhenNearlyAsCalm) {
  const EnergyMap map(NoisyPicture(600, 300, {QRect(0, 0, 600, 300)}));
  const Rect preferred{300, 100, 420, 200};
  const Placement place = ChoosePlace(map, Request(preferred));
  EXPECT_TRUE(place.preferredKept);
  EXPECT_EQ(place.block, preferred);
  // A place over the edge comes inside the margin (12) and below the panel band (15).
  EXPECT_EQ(ChoosePlace(map, Request({-20, 0, 100, 100})).block, (Rect{12, 15, 132, 115}));
}

// Two calm squares alike; the one nearer the user's place wins.
TEST(PlacementTest, TieGoesToTheNearerPlace) {
  const QRect left(60, 90, 150, 150);
  const QRect right(390, 90, 150, 150);
  const EnergyMap map(NoisyPicture(600, 300, {left, right}));
  using Case = std::tuple<int, QRect>;
  for (const auto& [preferredX, expected] : {Case{220, left}, Case{270, right}}) {
    const Placement place = ChoosePlace(map, Request({preferredX, 12, preferredX + 100, 112}));
    EXPECT_TRUE(Inside(place.block, expected)) << preferredX;
  }
}

TEST(PlacementTest, KeepsOutOfThePanelBands) {
  // Calm only along the top edge, where a panel may sit.
  const QRect calm(0, 0, 600, 120);
  const EnergyMap map(NoisyPicture(600, 300, {calm}));
  const Rect preferred{400, 150, 500, 250};
  EXPECT_TRUE(Inside(ChoosePlace(map, Request(preferred, 0.0)).block, calm));
  EXPECT_EQ(ChoosePlace(map, Request(preferred, 0.2)).block.top, 60);
}

TEST(PlacementTest, BlockTooBigKeepsThePreferredPlace) {
  const EnergyMap map(NoisyPicture(600, 300));
  const Rect preferred{0, 0, 590, 290};
  const Placement place = ChoosePlace(map, Request(preferred));
  EXPECT_FALSE(place.admissible);
  EXPECT_EQ(place.block, preferred);
}

}  // namespace
}  // namespace lunetta
