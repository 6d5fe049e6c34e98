#include "picture/picture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>

#include "picture/picture_files.h"

namespace lunetta {
namespace {

using testing::DetailedImage;
using testing::ReadBytes;
using testing::WriteBytes;

struct ExtensionCase {
  const char* path;
  const char* extension;
};

class FindExtensionTest : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(FindExtensionTest, FromTheLastDotOfTheLastComponent) {
  EXPECT_EQ(FindExtension(QString::fromUtf8(GetParam().path)).toString(),
            QString::fromUtf8(GetParam().extension));
}

INSTANTIATE_TEST_SUITE_P(Cases, FindExtensionTest,
                         ::testing::Values(ExtensionCase{"DeskTopImg.jpg", ".jpg"},
                                           ExtensionCase{"/home/u/photo.tar.JPG", ".JPG"},
                                           ExtensionCase{"name.", "."},
                                           ExtensionCase{".bmp", ".bmp"}, ExtensionCase{"name", ""},
                                           ExtensionCase{"/pics.d/name", ""},
                                           ExtensionCase{"pics.d/", ""}, ExtensionCase{"", ""}));

struct SaveCase {
  const char* name;
  const char* format;  // what the written file is; empty: nothing may be written
};

void PrintTo(const SaveCase& c, std::ostream* os) {
  *os << '"' << c.name << '"';
}

class SaveByExtensionTest : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SaveByExtensionTest, WritesTheFormatTheExtensionSelects) {
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.jpg"));
  const QString path = dir.filePath(QString::fromUtf8(GetParam().name));
  const Picture picture(DetailedImage(64, 48));
  QString error;
  const bool saved = picture.Save(path, &error);

  const QByteArray expected(GetParam().format);
  if (expected.isEmpty()) {
    EXPECT_FALSE(saved);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path));
    // Nothing else either: no temporary file left in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
  } else {
    ASSERT_TRUE(saved) << error.toStdString();
    EXPECT_EQ(QImageReader::imageFormat(path), expected);
    EXPECT_EQ(QImage(path).size(), QSize(64, 48));
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveByExtensionTest,
    ::testing::Values(SaveCase{"DeskTopImg.jpg", "jpeg"}, SaveCase{"DESKTOP.JPG", "jpeg"},
                      SaveCase{"photo.Jpeg", "jpeg"}, SaveCase{"picture.bmp", "bmp"},
                      SaveCase{"picture.png", "png"}, SaveCase{"folder.jpg/inside.BMP", "bmp"},
                      SaveCase{"DeskTopImg", ""}, SaveCase{"folder.jpg/DeskTopImg", ""},
                      SaveCase{"DeskTopImg.", ""}, SaveCase{"DeskTopImg.xyz", ""},
                      SaveCase{"no-such-folder/DeskTopImg.jpg", ""}));

TEST(PictureTest, JpegIsWrittenAtQualityDefault75) {
  QTemporaryDir dir;
  const QImage image = DetailedImage(128, 96);
  ASSERT_TRUE(Picture(image).Save(dir.filePath("q.jpg")));
  EXPECT_EQ(ReadBytes(dir.filePath("q.jpg")), testing::Encode(image, "jpeg", 75));
}

TEST(PictureTest, ReplacesAnExistingFileAndKeepsItWhenSavingFails) {
  QTemporaryDir dir;
  const QString path = dir.filePath("DeskTopImg.bmp");
  ASSERT_TRUE(WriteBytes(path, "old"));
  ASSERT_TRUE(Picture(DetailedImage(32, 32)).Save(path));
  EXPECT_EQ(QImageReader::imageFormat(path), "bmp");

  const QString kept = dir.filePath("DeskTopImg.");
  ASSERT_TRUE(WriteBytes(kept, "keep me"));
  QString error;
  EXPECT_FALSE(Picture(DetailedImage(32, 32)).Save(kept, &error));
  EXPECT_EQ(ReadBytes(kept), "keep me");

  // The encoder itself fails (an empty picture cannot be written): the old file stays.
  EXPECT_FALSE(Picture().Save(path, &error));
  EXPECT_EQ(QImage(path).size(), QSize(32, 32));
}

TEST(PictureTest, A24BitBmpLoadsAndSavesWithTheSamePixels) {
  QTemporaryDir dir;
  const QImage original = DetailedImage(37, 23).convertToFormat(QImage::Format_RGB888);
  const QString in = dir.filePath("in.bmp");
  ASSERT_TRUE(WriteBytes(in, testing::BmpBytes(original)));
  ASSERT_EQ(qFromLittleEndian<quint16>(ReadBytes(in).constData() + 28), 24);

  Picture picture;
  ASSERT_TRUE(picture.Load(in));
  const QString out = dir.filePath("out.bmp");
  ASSERT_TRUE(picture.Save(out));
  const QByteArray written = ReadBytes(out);
  EXPECT_EQ(qFromLittleEndian<quint16>(written.constData() + 28), 24);
  EXPECT_EQ(QImage(out).convertToFormat(QImage::Format_RGB888), original);
}

TEST(PictureTest, AnIndexedBmpKeepsItsPaletteAndItsEightBits) {
  QTemporaryDir dir;
  // More than 16 colours, or the writer would use 4 bits.
  QImage indexed(20, 4, QImage::Format_Indexed8);
  QList<QRgb> palette;
  for (int i = 0; i < 20; ++i) {
    palette << qRgb(10 * i, 255 - 12 * i, (37 * i) % 256);
  }
  indexed.setColorTable(palette);
  for (int y = 0; y < indexed.height(); ++y) {
    for (int x = 0; x < indexed.width(); ++x) {
      indexed.setPixel(x, y, static_cast<uint>((x + y) % 20));
    }
  }
  const QString in = dir.filePath("in.bmp");
  ASSERT_TRUE(WriteBytes(in, testing::BmpBytes(indexed)));
  ASSERT_EQ(qFromLittleEndian<quint16>(ReadBytes(in).constData() + 28), 8);

  Picture picture;
  ASSERT_TRUE(picture.Load(in));
  EXPECT_EQ(picture.image().format(), QImage::Format_Indexed8);
  const QString out = dir.filePath("out.bmp");
  ASSERT_TRUE(picture.Save(out));
  EXPECT_EQ(qFromLittleEndian<quint16>(ReadBytes(out).constData() + 28), 8);
  const QImage back(out);
  EXPECT_EQ(back.colorTable().mid(0, 20), palette);
  EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32),
            indexed.convertToFormat(QImage::Format_RGB32));
}

TEST(PictureTest, AFailedLoadLeavesThePictureEmpty) {
  QTemporaryDir dir;
  const QString good = dir.filePath("good.bmp");
  ASSERT_TRUE(WriteBytes(good, testing::BmpBytes(DetailedImage(8, 8))));
  Picture picture;
  ASSERT_TRUE(picture.Load(good));
  EXPECT_FALSE(picture.isEmpty());
  QString error;
  EXPECT_FALSE(picture.Load(dir.filePath("none.bmp"), &error));
  EXPECT_TRUE(picture.isEmpty());
  EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace lunetta
