#include "wall/wall_pdf.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>

#include "picture/load_picture_file.h"
#include "picture/picture_files.h"
#include "support/picture_printers.h"

namespace lunetta {
namespace {

using namespace lunetta::testing;

QString Output(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(60000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

// Dark or coloured: text, not white paper or the grid's grey lines.
bool Inked(const QImage& page, const PointRect& box) {
  for (int y = static_cast<int>(box.y); y < static_cast<int>(box.bottom()); ++y) {
    for (int x = static_cast<int>(box.x); x < static_cast<int>(box.right()); ++x) {
      const QColor c = page.pixelColor(x, y);
      if (std::min({c.red(), c.green(), c.blue()}) < 100) {
        return true;
      }
    }
  }
  return false;
}

class WallPdfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable("pdfimages").isEmpty()) {
      GTEST_SKIP() << "poppler-utils are not installed";
    }
    ASSERT_TRUE(dir_.isValid());
  }

  std::filesystem::path Write(const QString& name, const QByteArray& bytes) {
    EXPECT_TRUE(WriteBytes(dir_.filePath(name), bytes));
    return FilePath(dir_.filePath(name));
  }

  QTemporaryDir dir_;
};

// An A4 calendar with bleed, trim marks, a cover and a planner: a PNG cover (encoded again), a
// photo finer than print needs (scaled to 300 dpi) and a small turned phone photo (kept as it is).
TEST_F(WallPdfTest, APrintShopFindsWhatItNeeds) {
  WallCalendar calendar;
  calendar.options.bleed = kStandardBleed;
  calendar.options.trimMarks = true;
  calendar.options.cover = true;
  calendar.options.yearPlanner = true;
  calendar.coverPhoto = Write("cover.png", Encode(DetailedImage(800, 600), "png"));
  const auto fineJpg = Write("fine.jpg", JpegBytes(4000, 2700));
  const auto phoneJpg =
      Write("phone.jpg",
            WithOrientation(Encode(Quadrants(900, 600), "jpeg", 95), 6) + "a motion photo's video");
  using enum DayMarkKind;
  calendar.months = {
      {2026, 2, {{11, Holiday, {"建国記念の日"}}}, fineJpg, {}},
      {2026, 5, {{5, Holiday, {"こどもの日"}}, {20, Day, {"Birthday"}}}, phoneJpg, {}}};
  const QString pdf = dir_.filePath("wall.pdf");
  int reported = 0;
  const WallOutcome outcome =
      WriteWallCalendarPdf(calendar, FilePath(pdf), [&](int done, int) { reported = done; });
  ASSERT_TRUE(outcome.status.ok()) << ::testing::PrintToString(outcome.status.failure());
  ASSERT_EQ(outcome.pages.size(), 4u);
  EXPECT_EQ(reported, 4);

  const PageFrame frame = FramePage(calendar.options);
  const QString info = Output("pdfinfo", {"-box", "-f", "1", "-l", "4", pdf});
  const QRegularExpression boxLine(
      R"(Page +(\d) (Media|Bleed|Trim)Box: +(\S+) +(\S+) +(\S+) +(\S+))");
  int boxes = 0;
  for (auto match = boxLine.globalMatch(info); match.hasNext(); ++boxes) {
    const QRegularExpressionMatch box = match.next();
    const QString kind = box.captured(2);
    const PdfBox expected = ToPdfBox(kind == "Media"   ? frame.media
                                     : kind == "Bleed" ? frame.bleed
                                                       : frame.trim,
                                     frame);
    const PdfBox read{box.captured(3).toDouble(), box.captured(4).toDouble(),
                      box.captured(5).toDouble(), box.captured(6).toDouble()};
    EXPECT_NEAR(read.left, expected.left, 0.006) << box.captured(0).toStdString();
    EXPECT_NEAR(read.bottom, expected.bottom, 0.006) << box.captured(0).toStdString();
    EXPECT_NEAR(read.right, expected.right, 0.006) << box.captured(0).toStdString();
    EXPECT_NEAR(read.top, expected.top, 0.006) << box.captured(0).toStdString();
  }
  EXPECT_EQ(boxes, 12);

  const QStringList fonts = Output("pdffonts", {pdf}).split('\n', Qt::SkipEmptyParts).mid(2);
  EXPECT_GE(fonts.size(), 2);  // Latin and Japanese
  for (const QString& font : fonts) {
    const QStringList columns = font.split(' ', Qt::SkipEmptyParts);
    // name type encoding emb sub uni object ID
    EXPECT_EQ(columns.value(columns.size() - 5), "yes") << font.toStdString();
  }

  // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
  const QStringList images =
      Output("pdfimages", {"-list", pdf}).split('\n', Qt::SkipEmptyParts).mid(2);
  ASSERT_EQ(images.size(), 3);
  const auto field = [&](int image, int column) {
    return images[image].split(' ', Qt::SkipEmptyParts)[column];
  };
  const WallPhotoReport& cover = *outcome.pages[0].photo;
  EXPECT_EQ(cover.embedded, (PixelSize{cover.crop.width, 600}));  // all its own pixels
  EXPECT_EQ(field(0, 3).toInt(), cover.embedded.width);
  const WallPhotoReport& fine = *outcome.pages[1].photo;
  EXPECT_FALSE(fine.asIs);
  EXPECT_EQ(field(1, 3).toInt(), fine.embedded.width);
  EXPECT_GE(field(1, 12).toInt(), 300);
  EXPECT_GE(field(1, 13).toInt(), 300);
  const WallPhotoReport& phone = *outcome.pages[2].photo;
  EXPECT_TRUE(phone.asIs);
  EXPECT_EQ(field(2, 3) + "x" + field(2, 4), "900x600");  // stored sideways, turned on the page
  EXPECT_EQ(field(2, 8), "jpeg");
  EXPECT_TRUE(phone.lowResolution);
  EXPECT_NEAR(field(2, 12).toDouble(), phone.dpi, 1.5);
  EXPECT_FALSE(fine.lowResolution);
  // The phone photo's own data, without its EXIF block or what the phone appended.
  ASSERT_EQ(QProcess::execute("pdfimages", {"-j", "-f", "3", "-l", "3", pdf, dir_.filePath("x")}),
            0);
  const QByteArray embedded = ReadBytes(dir_.filePath("x-000.jpg"));
  EXPECT_TRUE(embedded.endsWith("\xFF\xD9"));
  EXPECT_FALSE(embedded.contains("Exif"));
  EXPECT_EQ(LoadPictureData(embedded)->image.size(), QSize(900, 600));

  // May at one pixel a point: the title and every day number inked inside their boxes, names
  // only under the days that have them, and the phone photo upright as its decoder turns it.
  ASSERT_EQ(QProcess::execute(
                "pdftoppm", {"-r", "72", "-f", "3", "-l", "3", "-png", pdf, dir_.filePath("may")}),
            0);
  const QImage page(dir_.filePath("may-3.png"));
  ASSERT_FALSE(page.isNull());
  const MonthPageLayout may = LayoutMonthPage(calendar.options, 2026, 5);
  EXPECT_TRUE(Inked(page, may.title));
  for (const DayCell& day : may.days) {
    EXPECT_TRUE(Inked(page, day.number)) << day.day;
    EXPECT_EQ(Inked(page, day.names), day.day == 5 || day.day == 20) << day.day;
  }
  const QImage upright = LoadPictureFile(calendar.months[1].photo).value().image;
  for (const auto& [fx, fy] : {std::pair{0.25, 0.25}, {0.75, 0.25}, {0.25, 0.75}, {0.75, 0.75}}) {
    const QColor printed = page.pixelColor(static_cast<int>(may.photo.x + fx * may.photo.width),
                                           static_cast<int>(may.photo.y + fy * may.photo.height));
    const PixelRect& crop = phone.crop;
    const QColor photo = upright.pixelColor(static_cast<int>(crop.x + fx * crop.width),
                                            static_cast<int>(crop.y + fy * crop.height));
    const int hues = std::abs(printed.hue() - photo.hue());
    EXPECT_LT(std::min(hues, 360 - hues), 20) << fx << ", " << fy;
  }
}

TEST_F(WallPdfTest, AMonthWithoutItsPhotoIsStillMade) {
  WallCalendar calendar;
  calendar.months = {{2026, 1, {}, Write("broken.jpg", JpegBytes(600, 400).left(300)), {}}};
  const WallOutcome outcome = WriteWallCalendarPdf(calendar, FilePath(dir_.filePath("wall.pdf")));
  ASSERT_TRUE(outcome.status.ok());
  ASSERT_EQ(outcome.pages.size(), 1u);
  EXPECT_FALSE(outcome.pages[0].photo);
  ASSERT_TRUE(outcome.pages[0].photoFailure);
}

// Stopped after the last page, or a photo cut short after it was looked at: either way the old
// document stays and no temporary file is left beside it.
TEST_F(WallPdfTest, AnUnfinishedWriteLeavesTheTargetAsItWas) {
  for (const bool cancel : {true, false}) {
    SCOPED_TRACE(cancel ? "cancelled" : "photo cut short");
    const std::filesystem::path photo = Write("photo.jpg", JpegBytes(300, 200));
    WallCalendar calendar;
    calendar.months = {{2026, 1, {}, {}, {}}, {2026, 2, {}, photo, {}}};
    const QString pdf = dir_.filePath("wall.pdf");
    ASSERT_TRUE(WriteBytes(pdf, "an old document"));
    std::stop_source stop;
    const WallOutcome outcome = WriteWallCalendarPdf(
        calendar, FilePath(pdf),
        [&](int done, int total) {
          if (done == total && cancel) {
            stop.request_stop();
          } else if (done == total) {
            std::filesystem::resize_file(photo, 1000);
          }
        },
        stop.get_token());
    EXPECT_EQ(outcome.cancelled, cancel);
    EXPECT_EQ(outcome.status.ok(), cancel);
    if (!outcome.status.ok()) {
      EXPECT_EQ(outcome.status.failure(), Failure(Fault::Truncated, photo));
    }
    EXPECT_EQ(ReadBytes(pdf), "an old document");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
  }
}

}  // namespace
}  // namespace lunetta
