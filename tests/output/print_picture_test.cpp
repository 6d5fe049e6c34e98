#include "output/print_picture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include "picture/load_picture_file.h"
#include "picture/page_placement.h"
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
    picture_ = QImage(GetParam(), QImage::Format_RGB888);
    QPainter painter(&picture_);
    for (int i = 0; i < 4; ++i) {
      painter.fillRect(i % 2 * width / 2, i / 2 * height / 2, width / 2, height / 2, kQuadrants[i]);
    }
    painter.fillRect(width * 2 / 5, height * 2 / 5, width / 5, height / 5, Qt::magenta);
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

  // The colours of the PDF's page at points of `rect` given as fractions of it (outside it below
  // 0 or above 1), rendered by pdftoppm at 50 dpi; the top bit of each channel tells these colours
  // apart, whatever the averaging did.
  void ExpectColours(const QRectF& rect,
                     std::initializer_list<std::pair<QPointF, Qt::GlobalColor>> points) {
    Poppler("pdftoppm", {"-r", "50", "-png", "-singlefile", pdf_, pdf_});
    const QImage page(pdf_ + ".png");
    for (const auto& [p, colour] : points) {
      const QPointF at(rect.left() + p.x() * rect.width(), rect.top() + p.y() * rect.height());
      const QColor c = page.pixelColor((at * 50 / 72).toPoint());
      EXPECT_EQ(c.rgb() & 0x808080, QColor(colour).rgb() & 0x808080)
          << p.x() << ", " << p.y() << ": " << c.name().toStdString();
    }
  }

  // Corners and middle where they belong: neither cropped nor squeezed, and nothing beyond.
  void ExpectPicture(const QRectF& placed) {
    ExpectColours(placed, {{{0.01, 0.01}, Qt::red},
                           {{0.99, 0.01}, Qt::green},
                           {{0.01, 0.99}, Qt::blue},
                           {{0.99, 0.99}, Qt::yellow},
                           {{0.5, 0.5}, Qt::magenta},
                           {{-0.01, -0.01}, Qt::white},
                           {{1.01, 1.01}, Qt::white}});
  }

  QRectF PrintableArea() const { return printer_.pageLayout().paintRect(QPageLayout::Point); }
};

// A PDF file holds the copies the dialog asked for, a page each: Qt writes the document once.
TEST_P(PrintTest, APageACopyTitledLunettaFittedOrStretchedOverThePrintableArea) {
  for (const PagePlacement placement : {PagePlacement::Stretch, PagePlacement::Fit}) {
    printer_.setCopyCount(placement == PagePlacement::Fit ? 3 : 1);
    ASSERT_TRUE(Succeeded(PrintComposedPicture(printer_, picture_, placement)));
    const QString info = Poppler("pdfinfo", {pdf_});
    EXPECT_TRUE(info.contains("Title: LUNETTA ")) << info.toStdString();
    EXPECT_TRUE(info.contains(placement == PagePlacement::Fit ? "Pages: 3 " : "Pages: 1 "))
        << info.toStdString();
    // Fitted, the picture keeps its shape: as wide as the area on this portrait page, centred.
    ExpectPicture(PlacePicture(picture_.size(), PrintableArea(), placement));
  }
}

TEST_P(PrintTest, FailuresAreReported) {
  EXPECT_EQ(FaultOf(PrintComposedPicture(printer_, QImage())), Fault::NothingToWrite);
  printer_.setOutputFileName(folder_.filePath("none/calendar.pdf"));
  const Status blocked = PrintComposedPicture(printer_, picture_);
  ASSERT_FALSE(blocked.ok());
  EXPECT_EQ(blocked.failure().file, FilePath(folder_.filePath("none/calendar.pdf")));
}

// The real print dialog, answered from a timer that rejects any later dialog so that none can hang:
// it opens on the page orientation that suits the picture, unstretched; printed to a PDF file with
// "用紙全体に引き伸ばす" ticked, the picture covers that page's printable area.
TEST_P(PrintTest, PrintDialogPrintsToAPdfFile) {
  for (const QSize size : {GetParam(), GetParam().transposed()}) {
    const bool landscape = size.width() > size.height();
    int dialogs = 0;
    QTimer timer;
    timer.callOnTimeout([&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      auto* printers = dialog ? dialog->findChild<QComboBox*>("printers") : nullptr;
      if (printers != nullptr && ++dialogs == 1) {
        printers->setCurrentIndex(printers->count() - 1);  // "Print to File (PDF)"
        dialog->findChild<QLineEdit*>("filename")->setText(pdf_);
        auto* stretch = dialog->findChild<QCheckBox*>("stretchOverPage");
        ASSERT_NE(stretch, nullptr);
        EXPECT_EQ(stretch->text(), QStringLiteral("用紙全体に引き伸ばす"));
        EXPECT_FALSE(stretch->isChecked());
        stretch->setChecked(true);
        dialog->accept();
      } else if (dialog != nullptr) {
        dialog->reject();
      }
    });
    timer.start(20);
    EXPECT_EQ(PrintPicture(picture_.scaled(size), StandardPrintDialogs()), PrintOutcome::Printed);
    QPrinter page(QPrinter::HighResolution);
    page.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    ExpectPicture(page.pageLayout().paintRect(QPageLayout::Point));
  }
}

INSTANTIATE_TEST_SUITE_P(Pictures, PrintTest,
                         ::testing::Values(QSize(1024, 768), QSize(1280, 1024), QSize(1920, 1080)));

}  // namespace
}  // namespace lunetta
