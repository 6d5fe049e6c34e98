#include "output/print_picture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QPageRanges>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrinter>
#include <QStringList>
#include <QTemporaryFile>
#include <QVBoxLayout>
#include <algorithm>

#include "output/failure_messages.h"
#include "picture/load_picture_file.h"
#include "picture/picture_painter.h"
#include "platform/file_io.h"

namespace lunetta {

namespace {

// The print dialog hands a CUPS page set ("odd", "even") and server-side page ranges to the job as
// job options under this engine property, not through the printer's page range; either could drop
// the one page we print.
constexpr auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

bool RunPrintDialog(QPrinter& printer, PagePlacement& placement) {
  // No owner, as the other common dialogs of the main window.
  QPrintDialog dialog(&printer, nullptr);
  auto* options = new QWidget;
  options->setWindowTitle(QCoreApplication::translate("lunetta::PrintPicture", "カレンダー"));
  auto* stretch = new QCheckBox(
      QCoreApplication::translate("lunetta::PrintPicture", "用紙全体に引き伸ばす"), options);
  stretch->setObjectName(QStringLiteral("stretchOverPage"));
  stretch->setToolTip(QCoreApplication::translate(
      "lunetta::PrintPicture", "写真の縦横比を変えて、印刷できる範囲全体に引き伸ばします"));
  stretch->setChecked(placement == PagePlacement::Stretch);
  auto* layout = new QVBoxLayout(options);
  layout->addWidget(stretch);
  layout->addStretch();
  dialog.setOptionTabs({options});
  if (dialog.exec() != QDialog::Accepted) {
    return false;
  }
  placement = stretch->isChecked() ? PagePlacement::Stretch : PagePlacement::Fit;
  return true;
}

void ShowPrintFailure(const QString& message) {
  QMessageBox box(QMessageBox::Critical,
                  QCoreApplication::translate("lunetta::PrintPicture", "印刷エラー"), message,
                  QMessageBox::Ok);
  box.exec();
}

bool PaintPages(QPrinter& printer, const QImage& picture, PagePlacement placement) {
  QPainter painter;
  if (!painter.begin(&printer)) {
    return false;
  }
  const int copies = CopiesToPaint(printer);
  for (int copy = 0; copy < copies; ++copy) {
    if (copy > 0 && !printer.newPage()) {
      painter.end();
      return false;
    }
    PicturePainter().PrintFullPage(painter, picture, placement);
  }
  return painter.end();
}

// Copies the finished document over the file the user named, atomically: a link there is
// replaced, never followed, and a FIFO or device is refused.
Status CopyAtomically(const QString& from, const std::filesystem::path& to) {
  QFile source(from);
  if (!source.open(QIODevice::ReadOnly)) {
    return Failure(Fault::CannotOpen, FilePath(from), {}, source.errorString());
  }
  AtomicFileWriter target;
  AtomicWriteOptions options;
  options.flush = Flush::WhenReplacing;
  if (const std::error_code error = target.open(to, options)) {
    return WritingFailure(to, error);
  }
  QByteArray chunk;
  while (!(chunk = source.read(256 << 10)).isEmpty()) {
    if (const std::error_code error = target.write(
            std::string_view(chunk.constData(), static_cast<std::size_t>(chunk.size())))) {
      return WritingFailure(to, error);
    }
  }
  if (const std::error_code error = target.commit()) {
    return WritingFailure(to, error);
  }
  return {};
}

}  // namespace

PrintDialogs StandardPrintDialogs() {
  return {RunPrintDialog, ShowPrintFailure};
}

int CopiesToPaint(QPrinter& printer) {
  return printer.supportsMultipleCopies() ? 1 : std::max(printer.copyCount(), 1);
}

void ResetJobOptions(QPrinter& printer) {
  printer.setDocName(QString::fromUtf8(kPrintDocumentName));
  printer.setPrintRange(QPrinter::AllPages);
  printer.setPageRanges(QPageRanges());

  QPrintEngine* engine = printer.printEngine();
  const QVariant options = engine->property(kCupsOptions);
  if (!options.isValid()) {
    return;
  }
  const QStringList pairs = options.toStringList();  // name, value, name, value, …
  QStringList kept;
  for (qsizetype i = 0; i + 1 < pairs.size(); i += 2) {
    if (pairs[i] != QLatin1String("page-set") && pairs[i] != QLatin1String("page-ranges")) {
      kept << pairs[i] << pairs[i + 1];
    }
  }
  if (kept.size() != pairs.size()) {
    engine->setProperty(kCupsOptions, kept);
  }
}

Status PrintComposedPicture(QPrinter& printer, const QImage& picture, PagePlacement placement) {
  if (picture.isNull()) {
    return Failure(Fault::NothingToWrite);
  }
  ResetJobOptions(printer);

  // The PDF engine truncates its file before it writes; print into a staging file and replace the
  // target only when the whole document is there.
  const QString target = printer.outputFileName();
  const bool toFile = printer.outputFormat() == QPrinter::PdfFormat && !target.isEmpty();
  QTemporaryFile staging(QDir::tempPath() + QStringLiteral("/lunetta-print-XXXXXX.pdf"));
  if (toFile) {
    if (!staging.open()) {
      return Failure(Fault::CannotWrite, FilePath(staging.fileTemplate()), {},
                     staging.errorString());
    }
    staging.close();
    printer.setOutputFileName(staging.fileName());
  }
  const bool printed = PaintPages(printer, picture, placement);
  if (toFile) {
    printer.setOutputFileName(target);
  }
  if (!printed) {
    return Failure(Fault::PrinterNotStarted);
  }
  if (toFile) {
    if (Status copied = CopyAtomically(staging.fileName(), FilePath(target)); !copied) {
      return copied;
    }
  }
  return {};
}

PrintOutcome PrintPicture(const QImage& picture, const PrintDialogs& dialogs) {
  // Device pixels at the printer's own resolution; the picture is scaled while the page renders.
  QPrinter printer(QPrinter::HighResolution);
  // A wide picture opens on a landscape page; the user may still turn it.
  printer.setPageOrientation(OrientationFor(picture.size()));
  PagePlacement placement = PagePlacement::Fit;
  if (!dialogs.choosePrinter(printer, placement)) {
    return PrintOutcome::Cancelled;
  }
  if (const Status printed = PrintComposedPicture(printer, picture, placement); !printed) {
    dialogs.reportFailure(
        QCoreApplication::translate("lunetta::PrintPicture", "印刷できませんでした。\n\n%1")
            .arg(FailureMessage(printed.failure())));
    return PrintOutcome::Failed;
  }
  return PrintOutcome::Printed;
}

}  // namespace lunetta
