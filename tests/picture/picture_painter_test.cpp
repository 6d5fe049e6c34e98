#include "picture/picture_painter.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QTemporaryDir>
#include <functional>

namespace lunetta {
namespace {

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

TEST(PicturePainterTest, CoversTheWholeTargetAndKeepsTheFactorsWhenNothingDecodes) {
  QTemporaryDir dir;
  const QString picture = dir.filePath("Calendar.bmp");
  const QString missing = dir.filePath("none.bmp");
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
  EXPECT_EQ(painter.scaleX(), 1.0);  // unscaled until something decodes
  EXPECT_EQ(painter.scaleY(), 1.0);
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

}  // namespace
}  // namespace lunetta
