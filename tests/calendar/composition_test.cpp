#include "calendar/composition.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "calendar/month_model.h"

QT_BEGIN_NAMESPACE
// Readable colours in failure messages.
void PrintTo(const QColor& color, std::ostream* out) {
  *out << color.name().toStdString();
}
QT_END_NAMESPACE

namespace lunetta {
namespace {

const QColor kDesktop(0x3A, 0x6E, 0xA5);
const QColor kPhoto(200, 100, 50);

CalendarSettings Settings(int pictSize, int transparency, int startX = 560, int startY = 500) {
  CalendarSettings settings;
  settings.year = 2026;
  settings.month = 5;  // six week rows
  settings.pictSize = pictSize;
  settings.transparency = transparency;
  settings.startX = startX;
  settings.startY = startY;
  return settings;
}

QImage Photo(int width, int height, QColor color, QImage::Format format = QImage::Format_RGB32) {
  QImage photo(width, height, format);
  photo.fill(color);
  return photo;
}

// Every pixel outside `rect` (all of them for a null rect) equals `color`.
::testing::AssertionResult AllOutside(const QImage& image, const QRect& rect, QColor color) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (!rect.contains(x, y) && image.pixelColor(x, y) != color) {
        return ::testing::AssertionFailure() << "pixel " << x << "," << y;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(ComposeCalendarTest, PictureSizesAndBackgrounds) {
  for (auto [pictSize, size] :
       {std::pair{0, QSize(800, 600)}, std::pair{1, QSize(1024, 768)},
        std::pair{7, QSize(1280, 1024)}, std::pair{-1, QSize(1280, 1024)}}) {
    const CalendarSettings settings = Settings(pictSize, 255);
    const ComposedPicture composed = ComposeCalendar(QImage(), settings, {});
    EXPECT_EQ(composed.picture.size(), size);
    EXPECT_EQ(composed.picture.format(), QImage::Format_RGB888);
    const QRect block(560, 500, composed.blockWidth, composed.blockHeight);
    EXPECT_TRUE(AllOutside(composed.picture, block, kDesktop)) << pictSize;
  }
  // A 640 × 480 photograph covers all of 1280 × 1024.
  const QImage stretched = ComposeCalendar(Photo(640, 480, kPhoto), Settings(2, -1), {}).picture;
  EXPECT_TRUE(AllOutside(stretched, QRect(), kPhoto));
  // The see-through parts of a photograph show the desktop colour.
  QImage cutOut = Photo(100, 100, Qt::transparent, QImage::Format_ARGB32);
  cutOut.setPixelColor(0, 0, kPhoto);
  const QImage onDesktop = ComposeCalendar(cutOut, Settings(0, -1), {}).picture;
  EXPECT_EQ(onDesktop.pixelColor(0, 0), kPhoto);
  EXPECT_EQ(onDesktop.pixelColor(400, 300), kDesktop);
}

TEST(ComposeCalendarTest, SquarePhotoIsDistortedNotCropped) {
  QImage photo = Photo(100, 100, Qt::red);
  for (int y = 0; y < 100; ++y) {
    for (int x = 50; x < 100; ++x) {
      photo.setPixelColor(x, y, y < 50 ? Qt::green : Qt::blue);
    }
  }
  const QImage picture = ComposeCalendar(photo, Settings(0, 256), {}).picture;
  ASSERT_EQ(picture.size(), QSize(800, 600));
  for (auto [x, y, color] :
       {std::tuple{0, 0, Qt::red}, std::tuple{0, 599, Qt::red}, std::tuple{395, 295, Qt::red},
        std::tuple{799, 0, Qt::green}, std::tuple{405, 295, Qt::green},
        std::tuple{799, 599, Qt::blue}, std::tuple{405, 305, Qt::blue}}) {
    EXPECT_EQ(picture.pixelColor(x, y), QColor(color)) << x << "," << y;
  }
}

class OpacityTest : public ::testing::TestWithParam<std::pair<int, QColor>> {};

// A white block over (200, 100, 50): C = (255·α + photo·(255 − α)) >> 8 where the block has no
// text, and the photograph untouched around it.
TEST_P(OpacityTest, BlendsTheBlockAreaOnly) {
  const auto [opacity, expected] = GetParam();
  const ComposedPicture composed = ComposeCalendar(Photo(64, 48, kPhoto), Settings(2, opacity), {});
  const QRect block(560, 500, composed.blockWidth, composed.blockHeight);
  EXPECT_EQ(composed.picture.pixelColor(block.topLeft()), expected);
  EXPECT_EQ(composed.picture.pixelColor(block.bottomRight()), expected);
  EXPECT_TRUE(AllOutside(composed.picture, block, kPhoto));
}

INSTANTIATE_TEST_SUITE_P(Opacities, OpacityTest,
                         ::testing::Values(std::pair{255, QColor(254, 254, 254)},
                                           std::pair{0, QColor(199, 99, 49)},
                                           std::pair{90, QColor(218, 154, 121)},
                                           std::pair{256, kPhoto}, std::pair{-1, kPhoto}));

TEST(ComposeCalendarTest, BlockIsCutOffAtThePictureEdges) {
  const ComposedPicture outside = ComposeCalendar(QImage(), Settings(0, 255, 1200), {});
  EXPECT_GT(outside.blockWidth, 0);
  EXPECT_GT(outside.blockHeight, 0);
  EXPECT_TRUE(AllOutside(outside.picture, QRect(), kDesktop));

  const ComposedPicture left = ComposeCalendar(QImage(), Settings(1, 255, -100, -10), {});
  const QRect visible(0, 0, left.blockWidth - 100, left.blockHeight - 10);
  EXPECT_EQ(left.picture.pixelColor(visible.bottomRight()), QColor(254, 254, 254));
  EXPECT_TRUE(AllOutside(left.picture, visible, kDesktop));
}

TEST(ComposeCalendarTest, MonthTheCalendarCannotPlaceThrows) {
  CalendarSettings settings = Settings(1, 90);
  settings.month = 13;
  EXPECT_THROW(ComposeCalendar(QImage(), settings, {}), InvalidArgumentError);
  settings.month = 1;
  settings.year = 1969;
  EXPECT_THROW(ComposeCalendar(QImage(), settings, {}), InvalidArgumentError);
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
  QImage destination = Photo(20, 20, Qt::black, QImage::Format_RGB888);
  ASSERT_TRUE(BlendBlock(destination, -5, 15, 10, 10, source, 0, 0, 10, 10, 255));
  // Destination (0, 15) shows source (5, 0), as v·255 >> 8.
  EXPECT_EQ(destination.pixelColor(0, 15), QColor(104, 0, 6));
  EXPECT_EQ(destination.pixelColor(4, 19), QColor(108, 3, 6));
  EXPECT_TRUE(AllOutside(destination, QRect(0, 15, 5, 5), Qt::black));

  // Wholly outside succeeds and changes nothing, even near the end of the coordinate range.
  destination.fill(Qt::black);
  EXPECT_TRUE(BlendBlock(destination, 20, 0, 10, 10, source, 0, 0, 10, 10, 255));
  EXPECT_TRUE(BlendBlock(destination, -10, -10, 10, 10, source, 0, 0, 10, 10, 255));
  EXPECT_TRUE(BlendBlock(destination, INT_MAX - 5, 0, 100, 10, source, 0, 0, 100, 10, 255));
  // What cannot be blended fails and changes nothing.
  EXPECT_FALSE(BlendBlock(destination, 0, 0, 10, 10, source, 0, 0, 5, 10, 255));
  EXPECT_FALSE(BlendBlock(destination, 0, 0, 10, 10, source.convertToFormat(QImage::Format_RGB32),
                          0, 0, 10, 10, 255));
  EXPECT_TRUE(AllOutside(destination, QRect(), Qt::black));
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(SaveBitmapFileTest, WritesBottomUpTwentyFourBitRows) {
  const QString path = ComposedPicturePath();
  EXPECT_EQ(path, QDir::tempPath() + QStringLiteral("/Calendar.bmp"));
  ASSERT_TRUE(SaveBitmapFile(Gradient(3, 2), path));  // rows of 9 bytes, padded to 12
  const QByteArray bytes = ReadAll(path);
  // "BM", file size 78, reserved, offset 54; info header 40, 3 × 2, 1 plane, 24 bits, BI_RGB,
  // image size 24, the rest 0.
  EXPECT_EQ(bytes.left(54).toHex(),
            "424d4e000000000000003600000028000000030000000200000001001800"
            "000000001800000000000000000000000000000000000000");
  // The first stored row is the bottom one (y = 1), blue first, padding zero.
  EXPECT_EQ(bytes.mid(54).toHex(), "070164070165070166000000070064070065070066000000");
  const QImage back(path);
  EXPECT_EQ(back.pixelColor(2, 0), QColor(102, 0, 7));
  EXPECT_EQ(back.pixelColor(0, 1), QColor(100, 1, 7));
}

TEST(SaveBitmapFileTest, FailureLeavesWhatWasThere) {
  QTemporaryDir folder;
  const QString existing = folder.filePath(QStringLiteral("Calendar.bmp"));
  const QString inner = folder.filePath(QStringLiteral("folder/inner.bmp"));
  ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("folder")));
  ASSERT_TRUE(SaveBitmapFile(Gradient(5, 5), existing) && SaveBitmapFile(Gradient(5, 5), inner));
  const QByteArray before = ReadAll(existing);

  EXPECT_FALSE(SaveBitmapFile(QImage(), existing));
  EXPECT_FALSE(SaveBitmapFile(Gradient(3, 2), folder.filePath(QStringLiteral("missing/x.bmp"))));
  EXPECT_FALSE(SaveBitmapFile(Gradient(3, 2), folder.filePath(QStringLiteral("folder"))));
  EXPECT_EQ(ReadAll(inner), before);
  EXPECT_EQ(ReadAll(existing), before);
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files),
            QStringList{QStringLiteral("Calendar.bmp")});
}

TEST(SaveBitmapFileTest, SecondCompositionReplacesTheFirst) {
  const QString path = ComposedPicturePath();
  CalendarSettings settings = Settings(1, 255);
  ASSERT_TRUE(SaveBitmapFile(ComposeCalendar(QImage(), settings, {}).picture, path));
  settings.month = 2;
  const QImage second = ComposeCalendar(QImage(), settings, {}).picture;
  ASSERT_TRUE(SaveBitmapFile(second, path));
  EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB888), second);
  EXPECT_EQ(QDir::temp().entryList(QDir::Files), QStringList{QStringLiteral("Calendar.bmp")});
}

}  // namespace
}  // namespace lunetta
