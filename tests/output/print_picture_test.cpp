#include "output/print_picture.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMap>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageRanges>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "output/output_test_support.h"

namespace lunetta {
namespace {

using namespace lunetta::testing;

constexpr int kRenderDpi = 50;

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool HavePoppler() {
  return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() &&
         !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

// "Key: value" lines of pdfinfo.
QMap<QString, QString> PdfInfo(const QString& pdf) {
  QProcess process;
  process.start(QStringLiteral("pdfinfo"), {pdf});
  EXPECT_TRUE(process.waitForFinished(30000));
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  QMap<QString, QString> info;
  for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split('\n')) {
    const qsizetype colon = line.indexOf(':');
    if (colon > 0) {
      info.insert(line.left(colon), line.mid(colon + 1).trimmed());
    }
  }
  return info;
}

QImage RenderFirstPage(const QString& pdf, const QString& folder) {
  const QString prefix = folder + QStringLiteral("/page");
  QProcess process;
  process.start(QStringLiteral("pdftoppm"),
                {QStringLiteral("-r"), QString::number(kRenderDpi), QStringLiteral("-png"),
                 QStringLiteral("-singlefile"), pdf, prefix});
  EXPECT_TRUE(process.waitForFinished(60000));
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  return QImage(prefix + QStringLiteral(".png"));
}

// The printable area of `printer`'s page in pixels of the rendered page.
QRectF PrintableArea(const QPrinter& printer) {
  const QRectF points = printer.pageLayout().paintRect(QPageLayout::Point);
  const double scale = kRenderDpi / 72.0;
  return {points.left() * scale, points.top() * scale, points.width() * scale,
          points.height() * scale};
}

::testing::AssertionResult ColourAt(const QImage& page, QPointF at, QColor expected) {
  const QColor actual = page.pixelColor(at.toPoint());
  if (NearColour(actual, expected)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "at (" << at.x() << ", " << at.y() << ") " << actual.name().toStdString()
         << ", expected " << expected.name().toStdString();
}

class PrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    composed_ = WriteComposedPicture(folder_.path(), 1024, 768);
    pdf_ = folder_.filePath(QStringLiteral("calendar.pdf"));
  }

  // A portrait A4 PDF with margins, so the printable area is smaller than the page.
  void ToPdf(QPrinter& printer) const {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf_);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(15, 20, 15, 20), QPageLayout::Millimeter);
  }

  void ExpectPictureCovers(const QImage& page, const QRectF& area) const {
    ASSERT_FALSE(page.isNull());
    const double in = 4;
    EXPECT_TRUE(ColourAt(page, area.topLeft() + QPointF(in, in), kTopLeft));
    EXPECT_TRUE(ColourAt(page, area.topRight() + QPointF(-in, in), kTopRight));
    EXPECT_TRUE(ColourAt(page, area.bottomLeft() + QPointF(in, -in), kBottomLeft));
    EXPECT_TRUE(ColourAt(page, area.bottomRight() + QPointF(-in, -in), kBottomRight));
    EXPECT_TRUE(ColourAt(page, area.center(), kCentre));
    // Nothing spills into the margins.
    EXPECT_TRUE(ColourAt(page, area.topLeft() - QPointF(in, in), Qt::white));
    EXPECT_TRUE(ColourAt(page, area.bottomRight() + QPointF(in, in), Qt::white));
  }

  QTemporaryDir folder_;
  QString composed_;
  QString pdf_;
};

TEST_F(PrintTest, OnePageTitledLunetta) {
  QPrinter printer(QPrinter::HighResolution);
  ToPdf(printer);
  QString error;
  ASSERT_TRUE(PrintComposedPicture(printer, composed_, &error)) << error.toStdString();

  // The title in the document's information dictionary, as Qt writes it (UTF-16 with a BOM).
  const QByteArray pdf = ReadAll(pdf_);
  const QByteArray title =
      QByteArray("/Title (\xFE\xFF", 10) + QByteArray("\0L\0U\0N\0E\0T\0T\0A", 14) + ')';
  EXPECT_TRUE(pdf.contains(title));

  if (!HavePoppler()) {
    GTEST_SKIP() << "pdfinfo is not installed";
  }
  const auto info = PdfInfo(pdf_);
  EXPECT_EQ(info.value(QStringLiteral("Pages")), QStringLiteral("1"));
  EXPECT_EQ(info.value(QStringLiteral("Title")), QStringLiteral("LUNETTA"));
}

TEST_F(PrintTest, PictureCoversThePrintableAreaEdgeToEdge) {
  if (!HavePoppler()) {
    GTEST_SKIP() << "pdftoppm is not installed";
  }
  QPrinter printer(QPrinter::HighResolution);
  ToPdf(printer);
  ASSERT_TRUE(PrintComposedPicture(printer, composed_));
  ExpectPictureCovers(RenderFirstPage(pdf_, folder_.path()), PrintableArea(printer));
}

TEST_F(PrintTest, WidePictureIsStretchedOntoAPortraitPage) {
  if (!HavePoppler()) {
    GTEST_SKIP() << "pdftoppm is not installed";
  }
  composed_ = WriteComposedPicture(folder_.path(), 1280, 1024);
  QPrinter printer(QPrinter::HighResolution);
  ToPdf(printer);
  ASSERT_TRUE(PrintComposedPicture(printer, composed_));

  const QImage page = RenderFirstPage(pdf_, folder_.path());
  const QRectF area = PrintableArea(printer);
  ASSERT_GT(area.height(), area.width());
  ExpectPictureCovers(page, area);
  // The picture's horizontal middle lies at the middle of the tall area: distorted, not fitted.
  const double left = area.left() + 4;
  EXPECT_TRUE(ColourAt(page, {left, area.top() + area.height() * 0.45}, kTopLeft));
  EXPECT_TRUE(ColourAt(page, {left, area.top() + area.height() * 0.55}, kBottomLeft));
}

TEST_F(PrintTest, CopiesAndPageRangeOfTheDialogAreNotApplied) {
  QPrinter printer(QPrinter::HighResolution);
  ToPdf(printer);
  printer.setCopyCount(3);
  printer.setCollateCopies(true);
  printer.setPageRanges(QPageRanges::fromString(QStringLiteral("2-3")));
  ASSERT_TRUE(PrintComposedPicture(printer, composed_));

  EXPECT_EQ(printer.copyCount(), 1);
  EXPECT_EQ(printer.printRange(), QPrinter::AllPages);
  EXPECT_TRUE(printer.pageRanges().isEmpty());
  EXPECT_EQ(printer.outputFileName(), pdf_);
  if (!HavePoppler()) {
    GTEST_SKIP() << "pdfinfo is not installed";
  }
  EXPECT_EQ(PdfInfo(pdf_).value(QStringLiteral("Pages")), QStringLiteral("1"));
}

TEST(ResetJobOptions, DropsTheCupsPageSelectionAndKeepsTheRest) {
  QPrinter printer(QPrinter::HighResolution);
  QPrintEngine* engine = printer.printEngine();
  const auto cupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);
  const QStringList chosen{QStringLiteral("page-set"),    QStringLiteral("even"),
                           QStringLiteral("media"),       QStringLiteral("A4"),
                           QStringLiteral("page-ranges"), QStringLiteral("2-3")};
  engine->setProperty(cupsOptions, chosen);
  if (engine->property(cupsOptions).toStringList() != chosen) {
    GTEST_SKIP() << "no CUPS printer here, so no engine that takes CUPS job options";
  }
  ResetJobOptions(printer);
  EXPECT_EQ(engine->property(cupsOptions).toStringList(),
            (QStringList{QStringLiteral("media"), QStringLiteral("A4")}));
  EXPECT_EQ(printer.docName(), QStringLiteral("LUNETTA"));
}

TEST_F(PrintTest, ReplacesAnExistingPdf) {
  {
    QFile old(pdf_);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older print");
  }
  QPrinter printer(QPrinter::HighResolution);
  ToPdf(printer);
  ASSERT_TRUE(PrintComposedPicture(printer, composed_));
  EXPECT_TRUE(ReadAll(pdf_).startsWith("%PDF-"));
}

TEST_F(PrintTest, FileThatCannotBeWrittenIsReported) {
  const QString notAFolder = folder_.filePath(QStringLiteral("notes.txt"));
  {
    QFile file(notAFolder);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  QPrinter printer(QPrinter::HighResolution);
  ToPdf(printer);
  printer.setOutputFileName(notAFolder + QStringLiteral("/calendar.pdf"));
  QString error;
  EXPECT_FALSE(PrintComposedPicture(printer, composed_, &error));
  EXPECT_TRUE(error.contains(QStringLiteral("calendar.pdf"))) << error.toStdString();
}

TEST_F(PrintTest, UndecodablePictureIsReportedAndLeavesTheFileAlone) {
  {
    QFile old(pdf_);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older print");
  }
  QPrinter printer(QPrinter::HighResolution);
  ToPdf(printer);
  QString error;
  EXPECT_FALSE(
      PrintComposedPicture(printer, folder_.filePath(QStringLiteral("missing.bmp")), &error));
  EXPECT_TRUE(error.contains(QStringLiteral("missing.bmp"))) << error.toStdString();
  EXPECT_EQ(ReadAll(pdf_), QByteArray("an older print"));
}

// The real print dialog, answered from inside its event loop.
TEST_F(PrintTest, StandardDialogPrintsToAPdfFile) {
  ModalDriver driver;
  driver.Then<QPrintDialog>([&](QPrintDialog* dialog) {
    EXPECT_EQ(dialog->parentWidget(), nullptr);
    auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
    auto* fileName = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
    ASSERT_NE(printers, nullptr);
    ASSERT_NE(fileName, nullptr);
    printers->setCurrentIndex(printers->count() - 1);  // "Print to File (PDF)"
    fileName->setText(pdf_);
    dialog->accept();
  });
  EXPECT_EQ(PrintPicture(composed_, StandardPrintDialogs()), PrintOutcome::Printed);
  EXPECT_TRUE(driver.allStepsTaken());
  EXPECT_EQ(driver.unexpected(), QStringList());
  EXPECT_TRUE(ReadAll(pdf_).startsWith("%PDF-"));
  if (HavePoppler()) {
    const auto info = PdfInfo(pdf_);
    EXPECT_EQ(info.value(QStringLiteral("Pages")), QStringLiteral("1"));
    EXPECT_EQ(info.value(QStringLiteral("Title")), QStringLiteral("LUNETTA"));
  }
}

TEST_F(PrintTest, StandardDialogCancelPrintsNothing) {
  ModalDriver driver;
  driver.Then<QPrintDialog>([](QPrintDialog* dialog) { dialog->reject(); });
  EXPECT_EQ(PrintPicture(composed_, StandardPrintDialogs()), PrintOutcome::Cancelled);
  EXPECT_TRUE(driver.allStepsTaken());
  EXPECT_EQ(driver.unexpected(), QStringList());
  EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files),
            QStringList{QStringLiteral("Calendar.bmp")});
}

TEST_F(PrintTest, StandardFailureMessageIsCritical) {
  ModalDriver driver;
  driver.Then<QPrintDialog>([&](QPrintDialog* dialog) {
    auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
    ASSERT_NE(printers, nullptr);
    printers->setCurrentIndex(printers->count() - 1);
    dialog->findChild<QLineEdit*>(QStringLiteral("filename"))->setText(pdf_);
    dialog->accept();
  });
  driver.Then<QMessageBox>([](QMessageBox* box) {
    EXPECT_EQ(box->parentWidget(), nullptr);
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_TRUE(box->text().startsWith(QStringLiteral("印刷できませんでした。")));
    EXPECT_TRUE(box->text().contains(QStringLiteral("missing.bmp")));
    box->accept();
  });
  EXPECT_EQ(PrintPicture(folder_.filePath(QStringLiteral("missing.bmp")), StandardPrintDialogs()),
            PrintOutcome::Failed);
  EXPECT_TRUE(driver.allStepsTaken());
  EXPECT_EQ(driver.unexpected(), QStringList());
}

}  // namespace
}  // namespace lunetta
