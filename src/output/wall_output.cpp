#include "output/wall_output.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>

#include "output/failure_messages.h"
#include "picture/load_picture_file.h"
#include "wall/wall_painter.h"

namespace lunetta {

namespace {

YearOutcome AsYearOutcome(const WallOutcome& outcome) {
  YearOutcome year;
  year.status = outcome.status;
  year.cancelled = outcome.cancelled;
  year.delivered = static_cast<int>(outcome.pages.size());
  return year;
}

YearOutputOutcome ResultOf(const WallOutcome& outcome) {
  if (!outcome.status) {
    return YearOutputOutcome::Failed;
  }
  return outcome.cancelled ? YearOutputOutcome::Cancelled : YearOutputOutcome::Done;
}

// The calendar's pages in `copies` copies, set after set when collated, else each page's together.
std::vector<int> PageOrder(std::size_t pages, int copies, bool collate) {
  std::vector<int> order;
  for (int i = 0; i < copies * static_cast<int>(pages); ++i) {
    order.push_back(collate ? i % static_cast<int>(pages) : i / copies);
  }
  return order;
}

// Writes the PDF behind the progress dialog and reports a failure. Copies repeat the pages in the
// file: one photo is decoded at a time whatever their number.
WallOutputReport WritePdf(const WallCalendar& calendar, const QString& target, int copies,
                          bool collate, const std::function<void(const QString&)>& reportFailure,
                          const YearRunner& run) {
  WallOutputReport report;
  report.target = target;
  run(QCoreApplication::translate("lunetta::WallOutput", "壁掛けカレンダーを作っています…"),
      [&](const YearProgress& progress, std::stop_token stop) {
        if (copies <= 1) {
          report.outcome =
              WriteWallCalendarPdf(calendar, FilePath(target), progress, stop, YearWorkers());
          return AsYearOutcome(report.outcome);
        }
        const QTemporaryDir staging;  // the user's alone
        const std::filesystem::path once = FilePath(staging.filePath(QStringLiteral("set.pdf")));
        report.outcome = WriteWallCalendarPdf(calendar, once, progress, stop, YearWorkers());
        if (report.outcome.status && !report.outcome.cancelled) {
          report.outcome.status = RepeatPdfFile(
              once, PageOrder(report.outcome.pages.size(), copies, collate), FilePath(target));
        }
        return AsYearOutcome(report.outcome);
      });
  report.result = ResultOf(report.outcome);
  if (report.result == YearOutputOutcome::Failed) {
    reportFailure(QCoreApplication::translate("lunetta::WallOutput",
                                              "壁掛けカレンダーを作れませんでした。\n\n%1")
                      .arg(FailureMessage(report.outcome.status.failure())));
  }
  return report;
}

// The page's whole photo decoded to cover `area` at the printer's resolution, never past
// kPrintDpi, so that the painter cuts it as the crop says; null where the page has none or it
// cannot be used, which the report tells.
QImage PrinterPhoto(const PagePhoto& place, double dotsPerPoint, WallPageReport& report) {
  if (place.file.empty()) {
    return {};
  }
  const double scale = std::min(dotsPerPoint, kPrintDpi / kPointsPerInch);
  const QSize size(std::max(1, static_cast<int>(std::ceil(place.area.width * scale))),
                   std::max(1, static_cast<int>(std::ceil(place.area.height * scale))));
  Result<DecodedPicture> decoded = LoadPictureFile(place.file, size, PhotoFit::Stretch);
  if (!decoded) {
    report.photoFailure = decoded.failure();
    return {};
  }
  WallPhotoReport photo;
  photo.file = place.file;
  photo.photo = {decoded->size.width(), decoded->size.height()};
  photo.crop = CropPhoto(photo.photo.width, photo.photo.height, place.area.size(), place.crop);
  photo.dpi = EffectiveDpi(photo.crop, place.area.size());
  photo.lowResolution = photo.dpi < kLowResolutionDpi;
  report.photo = photo;
  return std::move(decoded->image);
}

// Pages on a printer, one photo decoded at a time; a cancel or a failure aborts the job.
WallOutcome PaintOnPrinter(QPrinter& printer, const WallCalendar& calendar,
                           const YearProgress& progress, std::stop_token stop) {
  WallOutcome outcome;
  const PageFrame frame = FramePage(calendar.options);
  const std::vector<WallPage> pages = WallPages(calendar);
  QPainter painter;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    if (stop.stop_requested()) {
      outcome.cancelled = true;
      break;
    }
    WallPageReport& report = outcome.pages.emplace_back();
    report.page = pages[i];
    if (pages[i].kind == WallPageKind::Month) {
      report.year = calendar.months[static_cast<std::size_t>(pages[i].month)].year;
      report.month = calendar.months[static_cast<std::size_t>(pages[i].month)].month;
    }
    const double dotsPerPoint = printer.width() / frame.media.width;
    const QImage photo = PrinterPhoto(PhotoOfPage(calendar, pages[i]), dotsPerPoint, report);
    if (i == 0 ? !painter.begin(&printer) : !printer.newPage()) {
      outcome.status = Failure(Fault::PrinterNotStarted);
      break;
    }
    painter.save();
    painter.scale(dotsPerPoint, dotsPerPoint);
    PaintWallPage(painter, calendar, pages[i], photo.isNull() ? nullptr : &photo);
    painter.restore();
    if (progress) {
      progress(static_cast<int>(i + 1), static_cast<int>(pages.size()));
    }
  }
  if (!outcome.status || outcome.cancelled) {
    printer.abort();
  }
  if (painter.isActive() && !painter.end() && outcome.status && !outcome.cancelled) {
    outcome.status = Failure(Fault::PrinterNotStarted);
  }
  return outcome;
}

}  // namespace

QString WallCalendarName(int year) {
  return QStringLiteral("wall-calendar-%1.pdf").arg(year);
}

WallOutputReport SaveWallCalendar(const CalendarSession& session, const WallCalendar& calendar,
                                  const QString& startFolder, const DesktopPictureDialogs& dialogs,
                                  const YearRunner& run) {
  const int year = calendar.months.empty() ? 0 : calendar.months.front().year;
  QString folder = startFolder;
  QString proposed = WallCalendarName(year);
  QString target;
  for (;;) {
    target = dialogs.askTarget(folder, proposed, QStringLiteral("PDF (*.pdf)"));
    if (target.isEmpty()) {
      return {};
    }
    const QFileInfo named(target);
    folder = named.absolutePath();
    proposed = named.fileName();
    if (MayWrite(session, {target}, dialogs)) {
      break;
    }
  }
  return WritePdf(calendar, target, 1, true, dialogs.reportFailure, run);
}

WallOutputReport PrintWallCalendar(const CalendarSession& session, const WallCalendar& calendar,
                                   const PrintDialogs& dialogs, const YearRunner& run) {
  QPrinter printer(QPrinter::HighResolution);
  const PageFrame frame = FramePage(calendar.options);
  printer.setFullPage(true);
  printer.setPageSize(QPageSize(QSizeF(frame.media.width, frame.media.height), QPageSize::Point,
                                QString(), QPageSize::ExactMatch));
  printer.setPageMargins(QMarginsF(), QPageLayout::Point);
  PagePlacement placement = PagePlacement::Fit;  // the wall pages are laid out by their own frame
  if (!dialogs.choosePrinter(printer, placement)) {
    return {};
  }
  ResetJobOptions(printer);
  const QString file = printer.outputFileName();
  if (printer.outputFormat() == QPrinter::PdfFormat && !file.isEmpty()) {
    // A PDF file: the one made for print, with its boxes. It must not replace a photo in use.
    if (RefusePhotoInUse(session, {file}, dialogs.reportFailure)) {
      return {};
    }
    return WritePdf(calendar, file, CopiesToPaint(printer), printer.collateCopies(),
                    dialogs.reportFailure, run);
  }
  WallOutputReport report;
  run(QCoreApplication::translate("lunetta::WallOutput", "壁掛けカレンダーを印刷しています…"),
      [&](const YearProgress& progress, std::stop_token stop) {
        report.outcome = PaintOnPrinter(printer, calendar, progress, stop);
        return AsYearOutcome(report.outcome);
      });
  report.result = ResultOf(report.outcome);
  if (report.result == YearOutputOutcome::Failed) {
    dialogs.reportFailure(
        QCoreApplication::translate("lunetta::WallOutput", "印刷できませんでした。\n\n%1")
            .arg(FailureMessage(report.outcome.status.failure())));
  }
  return report;
}

std::vector<int> LowResolutionPages(const std::vector<WallPageReport>& pages) {
  std::vector<int> months;
  for (const WallPageReport& page : pages) {
    const int month = page.page.kind == WallPageKind::Month ? page.month : 0;
    if (page.photo && page.photo->lowResolution &&
        std::find(months.begin(), months.end(), month) == months.end()) {
      months.push_back(month);
    }
  }
  return months;
}

}  // namespace lunetta
