#include "output/print_picture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include "picture/load_picture_file.h"
#include "support/picture_printers.h"

namespace lunetta {
namespace {

const Qt::GlobalColor kQuadrants[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};

QString Poppler(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
  EXPECT_EQ(process.exitCode(), 0) << program.toStdString();
  return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}

class PrintTest : public ::testing::TestWithParam<QSize> {
 protected:
  // A colour per quadrant and a centre box, so the print shows where corners and middle landed.
  void SetUp() override {
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) {
      GTEST_SKIP() << "poppler-utils are not installed";
    }
    const int width = GetParam().width(), height = GetParam().height();
    QImage image(GetParam(), QImage::Format_RGB888);
    QPainter painter(&image);
    for (int i = 0; i < 4; ++i) {
      painter.fillRect(i % 2 * width / 2, i / 2 * height / 2, width / 2, height / 2, kQuadrants[i]);
    }
    painter.fillRect(width * 2 / 5, height * 2 / 5, width / 5, height / 5, Qt::magenta);
    painter.end();
    picture_ = image;
    ASSERT_TRUE(folder_.isValid());
    // Portrait A4 with margins, so the printable area is smaller than the page.
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setOutputFileName(pdf_);
    printer_.setPageSize(QPageSize(QPageSize::A4));
    printer_.setPageMargins(QMarginsF(15, 20, 15, 20), QPageLayout::Millimeter);
  }

  QTemporaryDir folder_;
  QImage picture_;
  const QString pdf_ = folder_.filePath("calendar.pdf");
  QPrinter printer_{QPrinter::HighResolution};
};

TEST_P(PrintTest, OnePageTitledLunettaStretchedOverThePrintableArea) {
  printer_.setCopyCount(3);
  ASSERT_TRUE(Succeeded(PrintComposedPicture(printer_, picture_)));
  EXPECT_EQ(printer_.copyCount(), 1);
  const QString info = Poppler("pdfinfo", {pdf_});
  EXPECT_TRUE(info.contains("Title: LUNETTA ")) << info.toStdString();
  EXPECT_TRUE(info.contains("Pages: 1 ")) << info.toStdString();

  Poppler("pdftoppm", {"-r", "50", "-png", "-singlefile", pdf_, pdf_});
  const QImage page(pdf_ + ".png");
  const QRectF area = printer_.pageLayout().paintRect(QPageLayout::Point);
  // Corners and middle where they belong: neither cropped nor fitted, and nothing in the margins.
  const std::pair<QPointF, Qt::GlobalColor> points[] = {
      {{0.01, 0.01}, Qt::red},    {{0.99, 0.01}, Qt::green},   {{0.01, 0.99}, Qt::blue},
      {{0.99, 0.99}, Qt::yellow}, {{0.5, 0.5}, Qt::magenta},   {{0.35, 0.45}, Qt::red},
      {{0.65, 0.55}, Qt::yellow}, {{-0.01, -0.01}, Qt::white}, {{1.01, 1.01}, Qt::white}};
  // The top bit of each channel tells these colours apart, whatever the averaging did.
  for (const auto& [p, colour] : points) {
    const QPointF at(area.left() + p.x() * area.width(), area.top() + p.y() * area.height());
    const QColor c = page.pixelColor((at * 50 / 72).toPoint());
    EXPECT_EQ(c.rgb() & 0x808080, QColor(colour).rgb() & 0x808080)
        << p.x() << ", " << p.y() << ": " << c.name().toStdString();
  }
}

TEST_P(PrintTest, FailuresAreReportedAndLeaveAnExistingFileAlone) {
  const QByteArray old = "an old document";
  QFile existing(pdf_);
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly) && existing.write(old) == old.size());
  existing.close();
  const Status empty = PrintComposedPicture(printer_, QImage());
  ASSERT_FALSE(empty.ok());
  EXPECT_EQ(empty.failure().fault, Fault::NothingToWrite);
  printer_.setOutputFileName(pdf_ + "/calendar.pdf");  // a file in the folder's place
  const Status blocked = PrintComposedPicture(printer_, picture_);
  ASSERT_FALSE(blocked.ok());
  EXPECT_EQ(blocked.failure().file, FilePath(pdf_ + "/calendar.pdf"));
  EXPECT_EQ(QFileInfo(pdf_).size(), old.size());
}

// The real print dialog, answered from a timer that rejects any later dialog so that none can hang.
TEST_P(PrintTest, PrintDialogPrintsToAPdfFile) {
  int dialogs = 0;
  QTimer timer;
  timer.callOnTimeout([&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    auto* printers = dialog ? dialog->findChild<QComboBox*>("printers") : nullptr;
    if (printers != nullptr && ++dialogs == 1) {
      printers->setCurrentIndex(printers->count() - 1);  // "Print to File (PDF)"
      dialog->findChild<QLineEdit*>("filename")->setText(pdf_);
      dialog->accept();
    } else if (dialog != nullptr) {
      dialog->reject();
    }
  });
  timer.start(20);
  EXPECT_EQ(PrintPicture(picture_, StandardPrintDialogs()), PrintOutcome::Printed);
  EXPECT_TRUE(Poppler("pdfinfo", {pdf_}).contains("Pages: 1 "));
}

INSTANTIATE_TEST_SUITE_P(Pictures, PrintTest,
                         ::testing::Values(QSize(1024, 768), QSize(1280, 1024)));

}  // namespace
}  // namespace lunetta
