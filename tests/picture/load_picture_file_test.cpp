#include "picture/load_picture_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>

#include "picture/picture_files.h"

namespace lunetta {
namespace {

using testing::DetailedImage;
using testing::Encode;
using testing::JpegBytes;

class LoadPictureFileTest : public ::testing::Test {
 protected:
  QString Write(const QString& name, const QByteArray& bytes) const {
    EXPECT_TRUE(testing::WriteBytes(dir_.filePath(name), bytes));
    return dir_.filePath(name);
  }

  QTemporaryDir dir_;
};

// A BMP whose info header claims `width` × `height` pixels over 16 × 16 pixels of data.
QByteArray LyingBmp(std::int32_t width, std::int32_t height) {
  QByteArray bmp = Encode(DetailedImage(16, 16), "bmp");
  qToLittleEndian(width, bmp.data() + 18);
  qToLittleEndian(height, bmp.data() + 22);
  return bmp;
}

TEST_F(LoadPictureFileTest, RefusesBadFilesAndSaysWhy) {
  const QByteArray jpeg = JpegBytes(320, 240);
  ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.jpg"));
  std::vector<std::pair<QString, const char*>> cases = {
      {dir_.filePath("none.jpg"), "no such file"},
      {Write("empty.jpg", {}), "empty"},
      {dir_.filePath("folder.jpg"), "folder"},
      {Write("notes.jpg", "Shopping list:\n- milk\n"), "not a picture"},
      {Write("cut.jpg", jpeg.left(jpeg.size() / 2)), "ends before"},
      {Write("lies.bmp", LyingBmp(4000, 3000)), "ends before"},
      {Write("huge.bmp", LyingBmp(60000, 60000)), "header"},
      // A valid PNG header claiming 100000 × 100000 RGBA pixels.
      {Write("huge.png", QByteArray::fromHex("89504E470D0A1A0A0000000D49484452000186A0000186A008"
                                             "06000000A8520BC80000000A49444154789C630000000001"
                                             "0001C15F56CD0000000049454E44AE426082")),
       "too large"}};
  if (geteuid() != 0) {  // permissions do not bind root
    cases.emplace_back(Write("locked.jpg", jpeg), "permission");
    ASSERT_TRUE(QFile::setPermissions(cases.back().first, QFileDevice::WriteOwner));
  }
  for (const auto& [path, reason] : cases) {
    for (const QSize fit : {QSize(), QSize(1280, 1024)}) {
      const DecodedPicture decoded = LoadPictureFile(path, fit);
      EXPECT_TRUE(!decoded && decoded.image.isNull() && decoded.size == QSize(0, 0) &&
                  decoded.error.contains(QLatin1String(reason)))
          << path.toStdString() << ": " << decoded.error.toStdString();
    }
  }
}

TEST_F(LoadPictureFileTest, DecodesEachFormatAndLargeJpegsAtReducedScaleTurnedAsExifSays) {
  const QImage image = DetailedImage(64, 48);
  for (const char* format : {"bmp", "jpeg", "png"}) {
    const DecodedPicture decoded =
        LoadPictureFile(Write(QString("a.") + format, Encode(image, format)));
    EXPECT_EQ(decoded.image.size(), QSize(64, 48)) << format << decoded.error.toStdString();
  }
  EXPECT_EQ(LoadPictureFile(dir_.filePath("a.bmp")).image.convertToFormat(QImage::Format_RGB32),
            image);
  // Some cameras append data (a preview, a video) after the end-of-image marker.
  EXPECT_TRUE(LoadPictureFile(Write("tail.jpg", JpegBytes(40, 30) + QByteArray(5000, 'x'))));
  const QString big = Write("big.jpg", JpegBytes(4000, 3000));
  EXPECT_EQ(LoadPictureFile(big, {1280, 1024}).image.size(), QSize(1500, 1125));  // 3/8 covers
  EXPECT_EQ(LoadPictureFile(big).image.size(), QSize(4000, 3000));
  EXPECT_EQ(ReducedDecodeSize({6001, 4001}, {750, 500}), QSize(751, 501));      // sides round up
  EXPECT_EQ(ReducedDecodeSize({1300, 1100}, {1280, 1024}), QSize(1300, 1100));  // 7/8 too small
  EXPECT_EQ(LoadPictureData(JpegBytes(64, 48), {32, 24}).image.size(), QSize(32, 24));

  // APP1 "Exif" with one big-endian IFD entry: orientation (0x0112) = 6, turn 90° clockwise. The
  // fit applies to the turned picture.
  const QByteArray jpeg = JpegBytes(4000, 2000);
  const QByteArray exif = QByteArray::fromHex(
      "FFE100224578696600004D4D002A00000008000101120003000000010006000000000000");
  const DecodedPicture turned =
      LoadPictureFile(Write("turned.jpg", jpeg.left(2) + exif + jpeg.mid(2)), {1280, 1024});
  EXPECT_EQ(turned.size, QSize(2000, 4000));
  EXPECT_EQ(turned.image.size(), QSize(1500, 3000));  // 6/8 is the smallest that covers
}

}  // namespace
}  // namespace lunetta
