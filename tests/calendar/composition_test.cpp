#include "calendar/composition.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>

#include "calendar/month_model.h"
#include "picture/picture_files.h"

namespace lunetta {
namespace {

const QColor kDesktop(0x3A, 0x6E, 0xA5);
const QColor kPhoto(200, 100, 50);

// May 2026: six week rows.
ComposedPicture Compose(const QImage& photo, int size, int opacity, int x = 560, int y = 500) {
  CalendarSettings settings{.transparency = opacity, .startX = x, .startY = y, .pictSize = size};
  settings.year = 2026;
  settings.month = 5;
  return ComposeCalendar(photo, settings, {});
}

QImage Filled(int width, int height, QColor color, QImage::Format format = QImage::Format_RGB32) {
  QImage image(width, height, format);
  image.fill(color);
  return image;
}

// Every pixel outside `rect` (all of them for a null rect) equals `color`.
bool AllOutside(QImage image, const QRect& rect, QColor color) {
  QPainter(&image).fillRect(rect, color);
  return image == Filled(image.width(), image.height(), color, image.format());
}

TEST(ComposeCalendarTest, PictureSizesAndAStretchedPhotoThatCoversThemAll) {
  for (auto [pictSize, size] :
       {std::pair{0, QSize(800, 600)}, std::pair{1, QSize(1024, 768)},
        std::pair{7, QSize(1280, 1024)}, std::pair{-1, QSize(1280, 1024)}}) {
    const ComposedPicture composed = Compose(QImage(), pictSize, 255);
    EXPECT_EQ(composed.picture.size(), size);
    EXPECT_EQ(composed.picture.format(), QImage::Format_RGB888);
    const QRect block(560, 500, composed.blockWidth, composed.blockHeight);
    EXPECT_TRUE(AllOutside(composed.picture, block, kDesktop)) << pictSize;
  }
  EXPECT_TRUE(AllOutside(Compose(Filled(640, 480, kPhoto), 2, -1).picture, QRect(), kPhoto));
  // A square photo is distorted, not cropped: its quadrants become the picture's.
  QImage square = Filled(100, 100, Qt::red);
  QPainter(&square).fillRect(50, 0, 50, 50, Qt::green);
  QPainter(&square).fillRect(50, 50, 50, 50, Qt::blue);
  const QImage picture = Compose(square, 0, -1).picture;
  const std::tuple<int, int, Qt::GlobalColor> points[] = {
      {0, 599, Qt::red},     {395, 295, Qt::red},  {799, 0, Qt::green},
      {405, 295, Qt::green}, {799, 599, Qt::blue}, {405, 305, Qt::blue}};
  for (auto [x, y, color] : points) {
    EXPECT_EQ(picture.pixelColor(x, y), QColor(color)) << x << "," << y;
  }
  // The see-through parts of a photograph show the desktop colour.
  const QImage clear = Filled(100, 100, Qt::transparent, QImage::Format_ARGB32);
  EXPECT_TRUE(AllOutside(Compose(clear, 0, -1).picture, QRect(), kDesktop));
  EXPECT_THROW(ComposeCalendar(QImage(), {.month = 13}, {}), InvalidArgumentError);
}

// A white block over (200, 100, 50): C = (255·α + photo·(255 − α)) >> 8 where the block has no
// text, the photograph untouched around it, and the block cut off at the picture's edges.
TEST(ComposeCalendarTest, BlendsTheBlockAreaOnlyAndCutsItAtTheEdges) {
  for (auto [opacity, expected] :
       {std::pair{255, QColor(254, 254, 254)}, std::pair{0, QColor(199, 99, 49)},
        std::pair{90, QColor(218, 154, 121)}, std::pair{256, kPhoto}, std::pair{-1, kPhoto}}) {
    const ComposedPicture composed = Compose(Filled(64, 48, kPhoto), 2, opacity);
    const QRect block(560, 500, composed.blockWidth, composed.blockHeight);
    EXPECT_EQ(composed.picture.pixelColor(block.topLeft()), expected) << opacity;
    EXPECT_EQ(composed.picture.pixelColor(block.bottomRight()), expected) << opacity;
    EXPECT_TRUE(AllOutside(composed.picture, block, kPhoto)) << opacity;
  }
  const ComposedPicture outside = Compose(QImage(), 0, 255, 1200);
  EXPECT_TRUE(outside.blockWidth > 0 && outside.blockHeight > 0);
  EXPECT_TRUE(AllOutside(outside.picture, QRect(), kDesktop));
  const ComposedPicture left = Compose(QImage(), 1, 255, -100, -10);
  const QRect visible(0, 0, left.blockWidth - 100, left.blockHeight - 10);
  EXPECT_EQ(left.picture.pixelColor(visible.bottomRight()), QColor(254, 254, 254));
  EXPECT_TRUE(AllOutside(left.picture, visible, kDesktop));
}

// A 24-bit image whose pixel at (x, y) is (100 + x, y, 7).
QImage Gradient(int width, int height) {
  QImage image(width, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.setPixelColor(x, y, QColor(100 + x, y, 7));
    }
  }
  return image;
}

TEST(BlendBlockTest, ClipsAtTheEdgesAndKeepsTheSourceAligned) {
  const QImage source = Gradient(10, 10);
  QImage destination = Filled(20, 20, Qt::black, QImage::Format_RGB888);
  ASSERT_TRUE(BlendBlock(destination, -5, 15, 10, 10, source, 0, 0, 10, 10, 255));
  // Destination (0, 15) shows source (5, 0), as v·255 >> 8.
  EXPECT_EQ(destination.pixelColor(0, 15), QColor(104, 0, 6));
  EXPECT_EQ(destination.pixelColor(4, 19), QColor(108, 3, 6));
  EXPECT_TRUE(AllOutside(destination, QRect(0, 15, 5, 5), Qt::black));

  // Wholly outside succeeds, even near the end of the coordinate range; what cannot be blended
  // fails. Neither changes anything.
  destination.fill(Qt::black);
  EXPECT_TRUE(BlendBlock(destination, -10, -10, 10, 10, source, 0, 0, 10, 10, 255));
  EXPECT_TRUE(BlendBlock(destination, INT_MAX - 5, 0, 100, 10, source, 0, 0, 100, 10, 255));
  EXPECT_FALSE(BlendBlock(destination, 0, 0, 10, 10, source, 0, 0, 5, 10, 255));
  EXPECT_FALSE(BlendBlock(destination, 0, 0, 10, 10, source.convertToFormat(QImage::Format_RGB32),
                          0, 0, 10, 10, 255));
  EXPECT_TRUE(AllOutside(destination, QRect(), Qt::black));
}

TEST(SaveBitmapFileTest, WritesBottomUpTwentyFourBitRowsAndFailsWithoutLeavingAnything) {
  const QString path = ComposedPicturePath();
  EXPECT_EQ(path, QDir::tempPath() + "/Calendar.bmp");
  ASSERT_TRUE(SaveBitmapFile(Compose(QImage(), 1, 255).picture, path));
  ASSERT_TRUE(SaveBitmapFile(Gradient(3, 2), path));  // rows of 9 bytes, padded to 12
  // "BM", file size 78, reserved, offset 54; info header 40, 3 × 2, 1 plane, 24 bits, BI_RGB,
  // image size 24, the rest 0. Then the bottom row first, blue first, padding zero.
  const QByteArray expected = QByteArray::fromHex(
      "424d4e000000000000003600000028000000030000000200000001001800000000001800000000000000000000"
      "000000000000000000070164070165070166000000070064070065070066000000");
  EXPECT_EQ(testing::ReadBytes(path), expected);
  EXPECT_FALSE(SaveBitmapFile(QImage(), path));
  EXPECT_FALSE(SaveBitmapFile(Gradient(3, 2), QDir::temp().filePath("missing/x.bmp")));
  EXPECT_FALSE(SaveBitmapFile(Gradient(3, 2), QDir::tempPath()));
  EXPECT_EQ(testing::ReadBytes(path), expected);
  EXPECT_EQ(QDir::temp().entryList(QDir::Files | QDir::Hidden), QStringList{"Calendar.bmp"});
}

}  // namespace
}  // namespace lunetta
