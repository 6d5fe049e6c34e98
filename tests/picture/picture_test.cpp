#include "picture/picture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>

#include "picture/picture_files.h"

namespace lunetta {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

TEST(PictureTest, SavesTheFormatTheExtensionSelectsAndNothingElse) {
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.jpg"));
  ASSERT_TRUE(WriteBytes(dir.filePath("picture.bmp"), "old") &&
              WriteBytes(dir.filePath("DeskTopImg."), "keep me"));
  const QImage image = testing::DetailedImage(64, 48);
  const std::pair<const char*, const char*> cases[] = {
      // name, format; none: nothing written
      {"DeskTopImg.jpg", "jpeg"},    {"DESKTOP.JPG", "jpeg"},
      {"picture.bmp", "bmp"},        {"picture.png", "png"},
      {"folder.jpg/a.BMP", "bmp"},   {"DeskTopImg", ""},
      {"folder.jpg/DeskTopImg", ""}, {"DeskTopImg.", ""},
      {"DeskTopImg.xyz", ""},        {"no-such-folder/DeskTopImg.jpg", ""}};
  for (const auto& [name, format] : cases) {
    QString error;
    const bool saved = Picture(image).Save(dir.filePath(name), &error);
    EXPECT_TRUE(saved == (*format != 0) && error.isEmpty() == saved)
        << name << ": " << error.toStdString();
    if (saved) {
      EXPECT_EQ(QImageReader::imageFormat(dir.filePath(name)), format) << name;
    }
  }
  EXPECT_FALSE(Picture().Save(dir.filePath("picture.bmp")));  // the encoder itself fails
  EXPECT_EQ(QImage(dir.filePath("picture.bmp")).size(), QSize(64, 48));
  EXPECT_EQ(ReadBytes(dir.filePath("DeskTopImg.")), "keep me");
  EXPECT_EQ(ReadBytes(dir.filePath("DeskTopImg.jpg")), testing::Encode(image, "jpeg", 75));
  // No temporary file left behind.
  EXPECT_EQ(
      QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
      (QStringList{"DESKTOP.JPG", "DeskTopImg.", "DeskTopImg.jpg", "picture.bmp", "picture.png"}));
}

TEST(PictureTest, BmpKeepsItsBitsPerPixelAndPalette) {
  QTemporaryDir dir;
  const QImage indexed = testing::DetailedImage(20, 4).convertToFormat(QImage::Format_Indexed8);
  Picture picture;
  for (const QImage& original :
       {testing::DetailedImage(37, 23).convertToFormat(QImage::Format_RGB888), indexed}) {
    ASSERT_TRUE(WriteBytes(dir.filePath("in.bmp"), testing::Encode(original, "bmp")));
    ASSERT_TRUE(picture.Load(dir.filePath("in.bmp")));
    ASSERT_TRUE(picture.Save(dir.filePath("out.bmp")));
    EXPECT_EQ(ReadBytes(dir.filePath("out.bmp")).at(28), original.depth());
    EXPECT_EQ(QImage(dir.filePath("out.bmp")).convertToFormat(original.format()), original);
  }
  EXPECT_FALSE(picture.Load(dir.filePath("none.bmp")));
  EXPECT_TRUE(picture.isEmpty());
}

}  // namespace
}  // namespace lunetta
