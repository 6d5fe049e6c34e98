#include "session/screen_pictures.h"

#include <gtest/gtest.h>

#include <QPainter>

#include "picture/picture_files.h"
#include "support/picture_printers.h"

namespace lunetta {
namespace {

const WallpaperScreen kLeft{"A", QRect(0, 0, 1920, 1080), 1, true};
const WallpaperScreen kRight{"B", QRect(1920, 0, 1280, 1024), 1, false};

TEST(ScreenPicturesTest, SpannedPartsKeepTheLayoutInDevicePixels) {
  const struct {
    const char* what;
    ScreenList screens;
    QSize size;
    std::vector<QRect> parts;
  } cases[] = {
      {"side by side", {kLeft, kRight}, {3200, 1080}, {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}}},
      {"stacked",
       {kLeft, {"B", QRect(0, 1080, 1280, 720), 1, false}},
       {1920, 1800},
       {{0, 0, 1920, 1080}, {0, 1080, 1280, 720}}},
      {"a screen at twice the ratio",
       {kLeft, {"B", QRect(1920, 0, 1280, 720), 2, false}},
       {4480, 1440},
       {{0, 0, 1920, 1080}, {1920, 0, 2560, 1440}}},
  };
  for (const auto& c : cases) {
    const SpannedLayout layout = SpanScreens(c.screens);
    EXPECT_EQ(layout.size, c.size) << c.what;
    EXPECT_EQ(layout.parts, c.parts) << c.what;
  }
}

// A square photo in four colours, filled into pictures of other shapes: every picture shows all
// four in its corners, so each was filled in its own shape.
QImage Quadrants() {
  QImage photo(200, 200, QImage::Format_RGB888);
  QPainter painter(&photo);
  painter.fillRect(0, 0, 100, 100, Qt::red);
  painter.fillRect(100, 0, 100, 100, Qt::green);
  painter.fillRect(0, 100, 100, 100, Qt::blue);
  painter.fillRect(100, 100, 100, 100, Qt::yellow);
  return photo;
}

void ExpectQuadrants(const QImage& picture, const QRect& part, const char* what) {
  EXPECT_EQ(picture.pixelColor(part.topLeft() + QPoint(2, 2)), QColor(Qt::red)) << what;
  EXPECT_EQ(picture.pixelColor(part.topRight() + QPoint(-2, 2)), QColor(Qt::green)) << what;
  EXPECT_EQ(picture.pixelColor(part.bottomLeft() + QPoint(2, -2)), QColor(Qt::blue)) << what;
  EXPECT_EQ(picture.pixelColor(part.bottomRight() - QPoint(2, 2)), QColor(Qt::yellow)) << what;
}

// The block's card is opaque white (254 after the blend) at its stored place, moved in proportion
// to each picture.
bool HasBlock(const QImage& picture, PictureSize from) {
  const QPoint at(560 * picture.width() / from.width + 2, 500 * picture.height() / from.height + 2);
  return picture.pixelColor(at) == QColor(254, 254, 254);
}

TEST(ScreenPicturesTest, EachScreenFilledInItsOwnShapeWithTheCalendarOnThePrimary) {
  ScreenComposition composition;
  composition.photo = Quadrants();
  composition.settings = {.transparency = 255, .year = 2026, .month = 5};
  composition.settings.photoFit = PhotoFit::Fill;
  composition.settingsSize = {1024, 768};
  const ScreenList screens{kRight, kLeft};  // the primary second

  const std::vector<QImage> pictures = ComposeScreenPictures(composition, screens).value();
  ASSERT_EQ(pictures.size(), 2U);
  EXPECT_EQ(pictures[0].size(), QSize(1280, 1024));
  EXPECT_EQ(pictures[1].size(), QSize(1920, 1080));
  ExpectQuadrants(pictures[0], pictures[0].rect(), "B");
  EXPECT_FALSE(HasBlock(pictures[0], composition.settingsSize));
  EXPECT_TRUE(HasBlock(pictures[1], composition.settingsSize));

  composition.settings.everyScreen = true;
  EXPECT_TRUE(
      HasBlock(ComposeScreenPictures(composition, screens).value()[0], composition.settingsSize));

  // Spanned, one screen left of and below the origin: each part filled on its own where the layout
  // puts it, the desktop colour where no screen is.
  composition.settings.everyScreen = false;
  const ScreenList spanned{kLeft, {"B", QRect(-1280, 100, 1280, 1024), 1, false}};
  const QImage picture = ComposeSpannedPicture(composition, spanned).value();
  ASSERT_EQ(picture.size(), QSize(3200, 1124));
  ExpectQuadrants(picture, QRect(0, 100, 1280, 1024), "B");
  EXPECT_EQ(picture.pixelColor(5, 5), QColor(0x3A, 0x6E, 0xA5));
  EXPECT_TRUE(HasBlock(picture.copy(1280, 0, 1920, 1080), composition.settingsSize));
}

TEST(ScreenPicturesTest, TheBlockReadsTheSameOnADenserScreen) {
  const CalendarSettings settings{.textSize = 28, .startX = 560, .startY = 500};
  const CalendarSettings scaled = ScreenSettings(settings, {1024, 768}, {2048, 1536}, 2.0);
  EXPECT_EQ(std::tuple(scaled.textSize, scaled.startX, scaled.startY), std::tuple(56, 1120, 1000));
}

}  // namespace
}  // namespace lunetta
