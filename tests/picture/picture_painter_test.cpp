#include "picture/picture_painter.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QTemporaryDir>

#include "picture/picture_files.h"

namespace lunetta {
namespace {

// Left half red, right half green, so a stretch that keeps the aspect or crops shows.
QImage HalvesImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::red);
  QPainter(&image).fillRect(width / 2, 0, width - width / 2, height, Qt::green);
  return image;
}

class PicturePainterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing::WriteBytes(picturePath_, testing::BmpBytes(HalvesImage(1280, 1024))));
  }

  QTemporaryDir dir_;
  QString picturePath_ = dir_.filePath("Calendar.bmp");
  QString missingPath_ = dir_.filePath("none.bmp");
};

TEST_F(PicturePainterTest, StretchesOverTheTargetAndKeepsTheFactors) {
  QImage target(643, 482, QImage::Format_RGB32);
  target.fill(Qt::blue);
  PicturePainter painter;
  {
    QPainter p(&target);
    painter.PaintStretched(picturePath_, p, 643, 482);
  }
  EXPECT_DOUBLE_EQ(painter.scaleX(), 0.50234375);
  EXPECT_DOUBLE_EQ(painter.scaleY(), 0.470703125);
  EXPECT_EQ(target.pixelColor(2, 2), QColor(Qt::red));
  EXPECT_EQ(target.pixelColor(640, 479), QColor(Qt::green));
  EXPECT_EQ(target.pixelColor(300, 240), QColor(Qt::red));
  EXPECT_EQ(target.pixelColor(343, 240), QColor(Qt::green));
}

TEST_F(PicturePainterTest, NothingDecodedPaintsNothingAndKeepsThePreviousFactors) {
  QImage target(643, 482, QImage::Format_RGB32);
  PicturePainter painter;
  {
    QPainter p(&target);
    painter.PaintStretched(picturePath_, p, 643, 482);
  }
  target.fill(Qt::blue);
  const QImage before = target;
  for (const QString& path : {missingPath_, QString()}) {
    QPainter p(&target);
    painter.PaintStretched(path, p, 320, 200);
  }
  EXPECT_DOUBLE_EQ(painter.scaleX(), 0.50234375);
  EXPECT_DOUBLE_EQ(painter.scaleY(), 0.470703125);
  EXPECT_EQ(target, before);

  PicturePainter fresh;
  QPainter p(&target);
  fresh.PaintStretched(missingPath_, p, 643, 482);
  EXPECT_EQ(fresh.scaleX(), 1.0);  // unscaled until something decodes
  EXPECT_EQ(fresh.scaleY(), 1.0);
}

TEST_F(PicturePainterTest, PrintFullPageCoversTheWholeDeviceWithoutKeepingTheAspect) {
  QImage page(300, 500, QImage::Format_RGB32);
  page.fill(Qt::blue);
  PicturePainter painter;
  {
    QPainter p(&page);
    p.translate(40, 40);  // a caller's transform does not shift the page
    painter.PrintFullPage(p, picturePath_);
  }
  EXPECT_EQ(page.pixelColor(0, 0), QColor(Qt::red));
  EXPECT_EQ(page.pixelColor(0, 499), QColor(Qt::red));
  EXPECT_EQ(page.pixelColor(299, 0), QColor(Qt::green));
  EXPECT_EQ(page.pixelColor(299, 499), QColor(Qt::green));
  EXPECT_EQ(page.pixelColor(140, 250), QColor(Qt::red));
  EXPECT_EQ(page.pixelColor(160, 250), QColor(Qt::green));
  EXPECT_EQ(painter.scaleX(), 1.0);

  page.fill(Qt::blue);
  const QImage blank = page;
  QPainter p(&page);
  painter.PrintFullPage(p, missingPath_);
  p.end();
  EXPECT_EQ(page, blank);
}

}  // namespace
}  // namespace lunetta
