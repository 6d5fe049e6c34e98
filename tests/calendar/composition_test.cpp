#include "calendar/composition.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include "calendar/month_model.h"
#include "platform/drawing.h"

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

CalendarSettings Settings() {
  CalendarSettings settings;
  settings.year = 2026;
  settings.month = 5;
  settings.pictSize = 1;
  return settings;
}

QImage SolidPhoto(int width, int height, QColor color) {
  QImage photo(width, height, QImage::Format_RGB32);
  photo.fill(color);
  return photo;
}

// Every pixel of `image` inside (or outside) `rect` equals `color`.
::testing::AssertionResult AllPixels(const QImage& image, const QRect& rect, bool inside,
                                     QColor color) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (rect.contains(x, y) == inside && image.pixelColor(x, y) != color) {
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is "
                                             << image.pixelColor(x, y).name().toStdString();
      }
    }
  }
  return ::testing::AssertionSuccess();
}

struct SizeCase {
  int pictSize;
  QSize size;
};

class PictureSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(PictureSizeTest, NoPhotoGivesTheDesktopColourAroundTheBlock) {
  CalendarSettings settings = Settings();
  settings.pictSize = GetParam().pictSize;
  const ComposedPicture composed = ComposeCalendar(QImage(), settings, {});
  EXPECT_EQ(composed.picture.size(), GetParam().size);
  EXPECT_EQ(composed.picture.format(), QImage::Format_RGB888);
  const QRect block(settings.startX, settings.startY, composed.blockWidth, composed.blockHeight);
  EXPECT_TRUE(AllPixels(composed.picture, block, false, kDesktop));
}

INSTANTIATE_TEST_SUITE_P(Sizes, PictureSizeTest,
                         ::testing::Values(SizeCase{0, {800, 600}}, SizeCase{1, {1024, 768}},
                                           SizeCase{2, {1280, 1024}}, SizeCase{7, {1280, 1024}},
                                           SizeCase{-1, {1280, 1024}}));

TEST(ComposeCalendarTest, PhotoFillsTheWholePicture) {
  CalendarSettings settings = Settings();
  settings.pictSize = 2;
  settings.transparency = -1;  // no block, so every pixel shows the photograph
  const ComposedPicture composed = ComposeCalendar(SolidPhoto(640, 480, kPhoto), settings, {});
  ASSERT_EQ(composed.picture.size(), QSize(1280, 1024));
  EXPECT_TRUE(AllPixels(composed.picture, QRect(), false, kPhoto));
}

TEST(ComposeCalendarTest, SquarePhotoIsDistortedNotCropped) {
  QImage photo(100, 100, QImage::Format_RGB32);
  photo.fill(Qt::red);
  for (int y = 0; y < 100; ++y) {
    for (int x = 50; x < 100; ++x) {
      photo.setPixelColor(x, y, y < 50 ? QColor(Qt::green) : QColor(Qt::blue));
    }
  }
  CalendarSettings settings = Settings();
  settings.pictSize = 0;
  settings.transparency = 256;
  const QImage picture = ComposeCalendar(photo, settings, {}).picture;
  ASSERT_EQ(picture.size(), QSize(800, 600));
  // Each quadrant of the photograph covers a quadrant of the picture, corners included.
  EXPECT_EQ(picture.pixelColor(0, 0), QColor(Qt::red));
  EXPECT_EQ(picture.pixelColor(0, 599), QColor(Qt::red));
  EXPECT_EQ(picture.pixelColor(799, 0), QColor(Qt::green));
  EXPECT_EQ(picture.pixelColor(799, 599), QColor(Qt::blue));
  EXPECT_EQ(picture.pixelColor(395, 295), QColor(Qt::red));
  EXPECT_EQ(picture.pixelColor(405, 295), QColor(Qt::green));
  EXPECT_EQ(picture.pixelColor(405, 305), QColor(Qt::blue));
}

TEST(ComposeCalendarTest, SeeThroughPhotoShowsTheDesktopColour) {
  QImage photo(100, 100, QImage::Format_ARGB32);
  photo.fill(Qt::transparent);
  for (int y = 0; y < 50; ++y) {
    for (int x = 0; x < 50; ++x) {
      photo.setPixelColor(x, y, kPhoto);
    }
  }
  CalendarSettings settings = Settings();
  settings.pictSize = 0;
  settings.transparency = -1;
  const QImage picture = ComposeCalendar(photo, settings, {}).picture;
  EXPECT_EQ(picture.format(), QImage::Format_RGB888);
  EXPECT_EQ(picture.pixelColor(100, 100), kPhoto);
  EXPECT_EQ(picture.pixelColor(700, 500), kDesktop);
}

struct OpacityCase {
  int opacity;
  QColor blockBackground;  // where the white block has no text
};

class OpacityTest : public ::testing::TestWithParam<OpacityCase> {};

TEST_P(OpacityTest, BlendsTheBlockAreaOnly) {
  CalendarSettings settings = Settings();
  settings.pictSize = 2;  // the whole six-row block fits
  settings.transparency = GetParam().opacity;
  const ComposedPicture composed = ComposeCalendar(SolidPhoto(64, 48, kPhoto), settings, {});
  const QImage& picture = composed.picture;
  const QRect block(settings.startX, settings.startY, composed.blockWidth, composed.blockHeight);
  EXPECT_EQ(picture.pixelColor(block.topLeft()), GetParam().blockBackground);
  EXPECT_EQ(picture.pixelColor(block.bottomRight()), GetParam().blockBackground);
  EXPECT_EQ(picture.pixelColor(block.left() + 1, block.bottom() - 1), GetParam().blockBackground);
  EXPECT_TRUE(AllPixels(picture, block, false, kPhoto));
}

// C = (block × α + photo × (255 − α)) >> 8 with a white block over (200, 100, 50).
INSTANTIATE_TEST_SUITE_P(Opacities, OpacityTest,
                         ::testing::Values(OpacityCase{255, QColor(254, 254, 254)},
                                           OpacityCase{0, QColor(199, 99, 49)},
                                           OpacityCase{90, QColor(218, 154, 121)},
                                           OpacityCase{256, kPhoto}, OpacityCase{-1, kPhoto},
                                           OpacityCase{1000, kPhoto}));

TEST(ComposeCalendarTest, BlockBeyondTheRightEdgeIsCutOffButStillMeasured) {
  CalendarSettings settings = Settings();
  settings.pictSize = 0;
  settings.startX = 1200;
  const ComposedPicture composed = ComposeCalendar(QImage(), settings, {});
  EXPECT_GT(composed.blockWidth, 0);
  EXPECT_GT(composed.blockHeight, 0);
  EXPECT_TRUE(AllPixels(composed.picture, QRect(), false, kDesktop));
}

TEST(ComposeCalendarTest, NegativePositionShowsTheBlocksRightPart) {
  CalendarSettings settings = Settings();
  settings.startX = -100;
  settings.startY = -10;
  settings.transparency = 255;
  const ComposedPicture composed = ComposeCalendar(QImage(), settings, {});
  const QRect visible(0, 0, composed.blockWidth - 100, composed.blockHeight - 10);
  EXPECT_EQ(composed.picture.pixelColor(visible.bottomRight()), QColor(254, 254, 254));
  EXPECT_TRUE(AllPixels(composed.picture, visible, false, kDesktop));
}

TEST(ComposeCalendarTest, MonthTheCalendarCannotPlaceThrows) {
  CalendarSettings settings = Settings();
  settings.month = 13;
  EXPECT_THROW(ComposeCalendar(QImage(), settings, {}), InvalidArgumentError);
  settings.month = 1;
  settings.year = 1969;
  EXPECT_THROW(ComposeCalendar(QImage(), settings, {}), InvalidArgumentError);
}

// A 24-bit image whose pixel at (x, y) is (base + x, y, 7).
QImage Gradient(int width, int height, int base) {
  QImage image(width, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.setPixelColor(x, y, QColor(base + x, y, 7));
    }
  }
  return image;
}

TEST(BlendBlockTest, ExactIntegerFormulaPerChannel) {
  QImage destination(1, 1, QImage::Format_RGB888);
  QImage source(1, 1, QImage::Format_RGB888);
  destination.setPixelColor(0, 0, QColor(255, 0, 64));
  source.setPixelColor(0, 0, QColor(255, 255, 128));
  ASSERT_TRUE(BlendBlock(destination, 0, 0, 1, 1, source, 0, 0, 1, 1, 128));
  // (255·128 + 255·127) >> 8, (255·128) >> 8, (128·128 + 64·127) >> 8
  EXPECT_EQ(destination.pixelColor(0, 0), QColor(254, 127, 95));
}

TEST(BlendBlockTest, ClipsAtEveryEdgeAndKeepsSourceAlignment) {
  const QImage source = Gradient(10, 10, 100);
  QImage destination(20, 20, QImage::Format_RGB888);
  destination.fill(Qt::black);
  ASSERT_TRUE(BlendBlock(destination, -5, 15, 10, 10, source, 0, 0, 10, 10, 255));
  // Destination (0, 15) shows source (5, 0); at opacity 255 the value is v·255 >> 8.
  EXPECT_EQ(destination.pixelColor(0, 15), QColor(105 * 255 / 256, 0, 7 * 255 / 256));
  EXPECT_EQ(destination.pixelColor(4, 19), QColor(109 * 255 / 256, 4 * 255 / 256, 6));
  EXPECT_TRUE(AllPixels(destination, QRect(0, 15, 5, 5), false, Qt::black));
}

TEST(BlendBlockTest, WhollyOutsideSucceedsAndChangesNothing) {
  const QImage source = Gradient(10, 10, 100);
  QImage destination(20, 20, QImage::Format_RGB888);
  destination.fill(Qt::black);
  EXPECT_TRUE(BlendBlock(destination, 20, 0, 10, 10, source, 0, 0, 10, 10, 255));
  EXPECT_TRUE(BlendBlock(destination, -10, -10, 10, 10, source, 0, 0, 10, 10, 255));
  EXPECT_TRUE(BlendBlock(destination, 2147483600, 0, 100, 10, source, 0, 0, 100, 10, 255));
  EXPECT_TRUE(AllPixels(destination, QRect(), false, Qt::black));
}

TEST(BlendBlockTest, RefusesWhatItCannotBlendAndLeavesTheDestination) {
  const QImage source = Gradient(10, 10, 100);
  QImage destination(20, 20, QImage::Format_RGB888);
  destination.fill(Qt::black);
  EXPECT_FALSE(BlendBlock(destination, 0, 0, 10, 10, source, 0, 0, 10, 10, 256));
  EXPECT_FALSE(BlendBlock(destination, 0, 0, 10, 10, source, 0, 0, 10, 10, -1));
  EXPECT_FALSE(BlendBlock(destination, 0, 0, 10, 10, source, 0, 0, 5, 10, 255));
  EXPECT_FALSE(BlendBlock(destination, 0, 0, 0, 10, source, 0, 0, 0, 10, 255));
  EXPECT_FALSE(BlendBlock(destination, 0, 0, 10, 10, source.convertToFormat(QImage::Format_RGB32),
                          0, 0, 10, 10, 255));
  EXPECT_TRUE(AllPixels(destination, QRect(), false, Qt::black));
  QImage wide = destination.convertToFormat(QImage::Format_RGB32);
  EXPECT_FALSE(BlendBlock(wide, 0, 0, 10, 10, source, 0, 0, 10, 10, 255));
}

TEST(ComposedPicturePathTest, IsCalendarBmpInTheTemporaryFolder) {
  EXPECT_EQ(ComposedPicturePath(), QDir::tempPath() + QStringLiteral("/Calendar.bmp"));
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SaveBitmapFileTest : public ::testing::Test {
 protected:
  QString PathOf(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
  QTemporaryDir folder;
};

TEST_F(SaveBitmapFileTest, WritesBottomUpTwentyFourBitRows) {
  const QImage image = Gradient(3, 2, 10);  // rows of 9 bytes, padded to 12
  const QString path = PathOf("Calendar.bmp");
  ASSERT_TRUE(SaveBitmapFile(image, path));
  const QByteArray bytes = ReadAll(path);
  ASSERT_EQ(bytes.size(), 54 + 2 * 12);
  const auto* raw = reinterpret_cast<const uchar*>(bytes.constData());
  const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(raw + at); };
  const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(raw + at); };
  EXPECT_EQ(bytes.left(2), QByteArray("BM"));
  EXPECT_EQ(u32(2), 78u);
  EXPECT_EQ(u32(6), 0u);
  EXPECT_EQ(u32(10), 54u);
  EXPECT_EQ(u32(14), 40u);
  EXPECT_EQ(u32(18), 3u);
  EXPECT_EQ(u32(22), 2u);
  EXPECT_EQ(u16(26), 1u);
  EXPECT_EQ(u16(28), 24u);
  EXPECT_EQ(u32(30), 0u);
  EXPECT_EQ(u32(34), 24u);
  for (int at = 38; at < 54; at += 4) {
    EXPECT_EQ(u32(at), 0u) << "offset " << at;
  }
  // The first stored row is the image's bottom row (y = 1), blue first; padding is zero.
  EXPECT_EQ(bytes.mid(54, 12), QByteArray::fromHex("07010a07010b07010c000000"));
  EXPECT_EQ(bytes.mid(66, 3), QByteArray::fromHex("07000a"));

  const QImage back(path);
  ASSERT_EQ(back.size(), QSize(3, 2));
  EXPECT_EQ(back.pixelColor(2, 0), QColor(12, 0, 7));
  EXPECT_EQ(back.pixelColor(0, 1), QColor(10, 1, 7));
}

TEST_F(SaveBitmapFileTest, FailureLeavesWhatWasThere) {
  const QImage image = Gradient(3, 2, 10);
  const QString existing = PathOf("Calendar.bmp");
  ASSERT_TRUE(SaveBitmapFile(Gradient(5, 5, 0), existing));
  const QByteArray before = ReadAll(existing);

  EXPECT_FALSE(SaveBitmapFile(QImage(), existing));
  EXPECT_FALSE(SaveBitmapFile(image, PathOf("missing/Calendar.bmp")));
  ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("folder")));
  ASSERT_TRUE(SaveBitmapFile(image, PathOf("folder/inside.bmp")));
  EXPECT_FALSE(SaveBitmapFile(image, PathOf("folder")));
  EXPECT_TRUE(QFileInfo(PathOf("folder")).isDir());
  EXPECT_TRUE(QFileInfo::exists(PathOf("folder/inside.bmp")));
  EXPECT_EQ(ReadAll(existing), before);
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files),
            QStringList{QStringLiteral("Calendar.bmp")});
}

TEST_F(SaveBitmapFileTest, UnwritableFolderFailsAndKeepsTheOldFile) {
  const QString existing = PathOf("Calendar.bmp");
  ASSERT_TRUE(SaveBitmapFile(Gradient(5, 5, 0), existing));
  const QByteArray before = ReadAll(existing);
  ASSERT_TRUE(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
  const bool bypassed = access(folder.path().toLocal8Bit().constData(), W_OK) == 0;
  const bool saved = SaveBitmapFile(Gradient(3, 2, 10), existing);
  QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  if (bypassed) {
    GTEST_SKIP() << "running with the right to write anywhere";
  }
  EXPECT_FALSE(saved);
  EXPECT_EQ(ReadAll(existing), before);
}

TEST(ComposeAndSaveTest, SecondCompositionReplacesTheFirst) {
  const QString path = ComposedPicturePath();
  CalendarSettings settings = Settings();
  settings.transparency = 255;
  const QImage first = ComposeCalendar(QImage(), settings, {}).picture;
  ASSERT_TRUE(SaveBitmapFile(first, path));
  settings.month = 2;
  settings.backColor = 0x00FFFF;
  const QImage second = ComposeCalendar(QImage(), settings, {}).picture;
  ASSERT_NE(first, second);
  ASSERT_TRUE(SaveBitmapFile(second, path));
  EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB888), second);
  EXPECT_EQ(QDir(QDir::tempPath()).entryList(QDir::Files),
            QStringList{QStringLiteral("Calendar.bmp")});
}

}  // namespace
}  // namespace lunetta
