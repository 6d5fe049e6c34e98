#include "picture/picture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>

#include "picture/load_picture_file.h"
#include "picture/picture_files.h"
#include "picture/picture_painter.h"

namespace lunetta {
namespace {

using namespace testing;

class PictureFilesTest : public ::testing::Test {
 protected:
  QString Write(const QString& name, const QByteArray& bytes) const {
    EXPECT_TRUE(WriteBytes(dir_.filePath(name), bytes));
    return dir_.filePath(name);
  }

  QTemporaryDir dir_;
};

TEST_F(PictureFilesTest, SavesTheFormatTheExtensionSelectsAndNothingElse) {
  ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.jpg"));
  Write("picture.bmp", "old");
  Write("DeskTopImg.", "keep me");
  const QImage image = DetailedImage(64, 48);
  const std::pair<const char*, const char*> cases[] = {
      // name, format; none: nothing written
      {"DeskTopImg.jpg", "jpeg"},    {"DESKTOP.JPG", "jpeg"},
      {"picture.bmp", "bmp"},        {"picture.png", "png"},
      {"folder.jpg/a.BMP", "bmp"},   {"DeskTopImg", ""},
      {"folder.jpg/DeskTopImg", ""}, {"DeskTopImg.", ""},
      {"DeskTopImg.xyz", ""},        {"no-such-folder/DeskTopImg.jpg", ""}};
  for (const auto& [name, format] : cases) {
    QString error;
    const bool saved = Picture(image).Save(dir_.filePath(name), &error);
    EXPECT_TRUE(saved == (*format != 0) && error.isEmpty() == saved &&
                QImageReader::imageFormat(dir_.filePath(name)) == format)
        << name << ": " << error.toStdString();
  }
  EXPECT_FALSE(Picture().Save(dir_.filePath("picture.bmp")));  // the encoder itself fails
  EXPECT_EQ(QImage(dir_.filePath("picture.bmp")).size(), QSize(64, 48));
  EXPECT_EQ(ReadBytes(dir_.filePath("DeskTopImg.")), "keep me");
  EXPECT_EQ(ReadBytes(dir_.filePath("DeskTopImg.jpg")), Encode(image, "jpeg", 75));
  // No temporary file left behind.
  EXPECT_EQ(
      QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
      (QStringList{"DESKTOP.JPG", "DeskTopImg.", "DeskTopImg.jpg", "picture.bmp", "picture.png"}));
}

TEST_F(PictureFilesTest, BmpKeepsItsBitsPerPixelAndPalette) {
  const QImage indexed = DetailedImage(20, 4).convertToFormat(QImage::Format_Indexed8);
  Picture picture;
  for (const QImage& original :
       {DetailedImage(37, 23).convertToFormat(QImage::Format_RGB888), indexed}) {
    ASSERT_TRUE(picture.Load(Write("in.bmp", Encode(original, "bmp"))));
    ASSERT_TRUE(picture.Save(dir_.filePath("out.bmp")));
    EXPECT_EQ(ReadBytes(dir_.filePath("out.bmp")).at(28), original.depth());
    EXPECT_EQ(QImage(dir_.filePath("out.bmp")).convertToFormat(original.format()), original);
  }
  EXPECT_FALSE(picture.Load(dir_.filePath("none.bmp")));
  EXPECT_TRUE(picture.isEmpty());
}

// Runs `paint` on a blue target of `size` and names the colours at `points`: r, g, b or ?.
std::string Paint(QSize size, std::initializer_list<QPoint> points,
                  const std::function<void(QPainter&)>& paint) {
  QImage target(size, QImage::Format_RGB32);
  target.fill(Qt::blue);
  QPainter painter(&target);
  paint(painter);
  painter.end();
  const QList<QRgb> colours{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
  std::string names;
  for (const QPoint point : points) {
    names += "?rgb"[colours.indexOf(target.pixel(point)) + 1];
  }
  return names;
}

TEST_F(PictureFilesTest, CoversTheWholeTargetAndKeepsTheFactorsWhenNothingDecodes) {
  const QString picture = dir_.filePath("Calendar.bmp");
  const QString missing = dir_.filePath("none.bmp");
  QImage image(1280, 1024, QImage::Format_RGB888);
  image.fill(Qt::red);  // left half red, right half green: a kept aspect or a crop shows
  QPainter(&image).fillRect(640, 0, 640, 1024, Qt::green);
  ASSERT_TRUE(image.save(picture));

  PicturePainter painter;
  const auto stretched = [&](const QString& path) {
    return Paint({643, 482}, {{2, 2}, {300, 240}, {343, 240}, {640, 479}},
                 [&](QPainter& p) { painter.PaintStretched(path, p, 643, 482); });
  };
  EXPECT_EQ(stretched(missing), "bbbb");
  EXPECT_TRUE(painter.scaleX() == 1.0 && painter.scaleY() == 1.0);  // until something decodes
  EXPECT_EQ(stretched(picture), "rrgg");
  EXPECT_EQ(stretched(missing) + stretched(QString()), "bbbbbbbb");
  EXPECT_DOUBLE_EQ(painter.scaleX(), 0.50234375);
  EXPECT_DOUBLE_EQ(painter.scaleY(), 0.470703125);

  const auto printed = [&](const QString& path) {
    return Paint({300, 500}, {{0, 0}, {0, 499}, {140, 250}, {160, 250}, {299, 0}, {299, 499}},
                 [&](QPainter& p) {
                   p.translate(40, 40);  // a caller's transform does not shift the page
                   painter.PrintFullPage(p, path);
                 });
  };
  EXPECT_EQ(printed(picture) + printed(missing), "rrrgggbbbbbb");
}

// A BMP whose info header claims `width` × `height` pixels over 16 × 16 pixels of data.
QByteArray LyingBmp(std::int32_t width, std::int32_t height) {
  QByteArray bmp = Encode(DetailedImage(16, 16), "bmp");
  qToLittleEndian(width, bmp.data() + 18);
  qToLittleEndian(height, bmp.data() + 22);
  return bmp;
}

TEST_F(PictureFilesTest, RefusesBadFilesAndSaysWhy) {
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

TEST_F(PictureFilesTest, DecodesEachFormatAndLargeJpegsAtReducedScaleTurnedAsExifSays) {
  const QImage image = DetailedImage(64, 48);
  for (const char* format : {"bmp", "jpeg", "png"}) {
    const DecodedPicture decoded =
        LoadPictureFile(Write(QString("a.") + format, Encode(image, format)));
    EXPECT_EQ(decoded.image.size(), QSize(64, 48)) << format << decoded.error.toStdString();
  }
  // Some cameras append data (a preview, a video) after the end-of-image marker.
  EXPECT_TRUE(LoadPictureFile(Write("tail.jpg", JpegBytes(40, 30) + QByteArray(5000, 'x'))));
  const QString big = Write("big.jpg", JpegBytes(4000, 3000));
  EXPECT_EQ(LoadPictureFile(big, {1280, 1024}).image.size(), QSize(1500, 1125));  // 3/8 covers
  EXPECT_EQ(ReducedDecodeSize({6001, 4001}, {750, 500}), QSize(751, 501));        // sides round up
  EXPECT_EQ(ReducedDecodeSize({1300, 1100}, {1280, 1024}), QSize(1300, 1100));    // 7/8 too small
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
