#include "output/year_output.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <algorithm>
#include <exception>

#include "output/failure_messages.h"
#include "picture/load_picture_file.h"
#include "picture/page_placement.h"
#include "picture/picture.h"
#include "platform/file_io.h"
#include "session/calendar_session.h"
#include "wall/pdf_rewrite.h"

namespace lunetta {

namespace {

YearOutputOutcome ResultOf(const YearOutcome& outcome) {
  if (!outcome.status) {
    return YearOutputOutcome::Failed;
  }
  return outcome.cancelled ? YearOutputOutcome::Cancelled : YearOutputOutcome::Done;
}

// Pages on a printer, in month order; a cancel aborts the job instead of sending what is done.
YearOutcome PrintOnPrinter(QPrinter& printer, const YearPlan& plan, const YearProgress& progress,
                           std::stop_token stop) {
  PageSequence pages(printer, QSize(plan.size.width, plan.size.height), plan.placement);
  YearWork work;
  work.deliver = [&pages](const ComposedMonth& month) { return pages.Add(month.composed.picture); };
  work.progress = progress;
  YearOutcome outcome = ComposeYear(plan, work, stop);
  if (!outcome.status || outcome.cancelled) {
    printer.abort();
  }
  if (const Status ended = pages.Finish(); !ended && outcome.status && !outcome.cancelled) {
    outcome.status = ended;
  }
  return outcome;
}

// Several copies in a PDF file: the set is written once and its pages repeated in the file, so
// that no month's photo is kept from one copy to the next.
YearOutcome WriteCopiesPdf(const YearPlan& set, int copies, bool collate,
                           const std::filesystem::path& file, const QPageLayout& layout,
                           const YearProgress& progress, std::stop_token stop) {
  YearOutcome outcome;
  const QTemporaryDir staging;  // the user's alone
  if (!staging.isValid()) {
    outcome.status =
        WritingFailure(FilePath(staging.path()), std::make_error_code(std::errc::io_error));
    return outcome;
  }
  const std::filesystem::path once = FilePath(staging.filePath(QStringLiteral("set.pdf")));
  YearWork work;
  work.progress = progress;
  outcome = WriteYearPdf(set, once, layout, work, stop);
  if (!outcome.status || outcome.cancelled) {
    return outcome;
  }
  std::vector<int> order;
  for (const MonthPlan& month : WithCopies(set, copies, collate).months) {
    const auto found = std::find_if(set.months.begin(), set.months.end(), [&](const MonthPlan& m) {
      return m.settings.month == month.settings.month;
    });
    order.push_back(static_cast<int>(found - set.months.begin()));
  }
  outcome.status = RepeatPdfFile(once, order, file);
  return outcome;
}

}  // namespace

YearRunner ProgressDialogRunner(QWidget* window) {
  return [window](const QString& label, const YearJob& job) {
    return RunWithProgress(window, label, job);
  };
}

QString YearPictureName(int year) {
  return QStringLiteral("%1-01.jpg").arg(year);
}

YearOutputReport SaveYearPictures(const CalendarSession& session, const QString& startFolder,
                                  const DesktopPictureDialogs& dialogs, const YearRunner& run) {
  const int year = session.year();
  QString folder = startFolder;
  QString proposed = YearPictureName(year);
  QString extension;
  const auto name = [&](int month) {
    return QDir(folder).filePath(
        QStringLiteral("%1-%2%3").arg(year).arg(month, 2, 10, QLatin1Char('0')).arg(extension));
  };
  for (;;) {
    const QString chosen =
        dialogs.askTarget(folder, proposed, QString::fromUtf8(kDesktopPictureFilter));
    if (chosen.isEmpty()) {
      return {};
    }
    const QFileInfo named(chosen);
    folder = named.absolutePath();
    proposed = named.fileName();
    extension = FindExtension(chosen).toString();
    QStringList names;
    for (int month = 1; month <= 12; ++month) {
      names << name(month);
    }
    if (MayWrite(session, names, dialogs)) {
      break;
    }
  }
  const YearPlan plan = session.PlanYear();
  const auto target = [&](int month) { return FilePath(name(month)); };
  YearOutputReport report;
  report.target = folder;
  report.outcome =
      run(QCoreApplication::translate("lunetta::YearOutput", "%1 年のカレンダーを保存しています…")
              .arg(year),
          [&](const YearProgress& progress, std::stop_token stop) {
            return lunetta::SaveYearPictures(plan, target, progress, stop);
          });
  report.result = ResultOf(report.outcome);
  if (report.result == YearOutputOutcome::Failed) {
    dialogs.reportFailure(QCoreApplication::translate("lunetta::YearOutput",
                                                      "1年分の画像を保存できませんでした。\n\n%1")
                              .arg(FailureMessage(report.outcome.status.failure())));
  }
  return report;
}

Status RepeatPdfFile(const std::filesystem::path& once, const std::vector<int>& order,
                     const std::filesystem::path& target) {
  QFile written(QtPath(once));
  if (!written.open(QIODevice::ReadOnly)) {
    return Failure(Fault::CannotOpen, once, {}, written.errorString());
  }
  const QByteArray pages = written.readAll();
  AtomicFileWriter file;
  AtomicWriteOptions options;
  options.flush = Flush::WhenReplacing;
  std::error_code error = file.open(target, options);
  try {
    if (!error) {
      RepeatPdfPages(std::string_view(pages.constData(), static_cast<std::size_t>(pages.size())),
                     order, [&](std::string_view part) {
                       if (!error) {
                         error = file.write(part);
                       }
                     });
    }
  } catch (const std::exception& failure) {
    return Failure(Fault::CannotWrite, target, {}, QString::fromUtf8(failure.what()));
  }
  if (!error) {
    error = file.commit();
  }
  if (error) {
    return WritingFailure(target, error);
  }
  return {};
}

YearPlan WithCopies(YearPlan plan, int copies, bool collate) {
  if (copies <= 1) {
    return plan;
  }
  std::vector<MonthPlan> months;
  months.reserve(plan.months.size() * static_cast<std::size_t>(copies));
  if (collate) {
    for (int copy = 0; copy < copies; ++copy) {
      months.insert(months.end(), plan.months.begin(), plan.months.end());
    }
  } else {
    for (const MonthPlan& month : plan.months) {
      months.insert(months.end(), static_cast<std::size_t>(copies), month);
    }
  }
  plan.months = std::move(months);
  return plan;
}

YearOutputReport PrintYear(const CalendarSession& session, const PrintDialogs& dialogs,
                           const YearRunner& run) {
  // Device pixels at the printer's own resolution; the pictures are scaled while pages render.
  QPrinter printer(QPrinter::HighResolution);
  YearPlan plan = session.PlanYear();
  printer.setPageOrientation(OrientationFor(QSizeF(plan.size.width, plan.size.height)));
  if (!dialogs.choosePrinter(printer, plan.placement)) {
    return {};
  }
  ResetJobOptions(printer);
  // Where the print system makes no copies (a PDF file), the document holds them.
  const int copies = CopiesToPaint(printer);
  YearOutputReport report;
  const QString file = printer.outputFileName();
  const bool toFile = printer.outputFormat() == QPrinter::PdfFormat && !file.isEmpty();
  report.target = toFile ? file : QString();
  report.outcome =
      run(QCoreApplication::translate("lunetta::YearOutput", "%1 年のカレンダーを印刷しています…")
              .arg(session.year()),
          [&](const YearProgress& progress, std::stop_token stop) {
            if (!toFile) {
              return PrintOnPrinter(printer, WithCopies(plan, copies, printer.collateCopies()),
                                    progress, stop);
            }
            if (copies > 1) {
              return WriteCopiesPdf(plan, copies, printer.collateCopies(), FilePath(file),
                                    printer.pageLayout(), progress, stop);
            }
            YearWork work;
            work.progress = progress;
            return WriteYearPdf(plan, FilePath(file), printer.pageLayout(), work, stop);
          });
  report.result = ResultOf(report.outcome);
  if (report.result == YearOutputOutcome::Failed) {
    dialogs.reportFailure(
        QCoreApplication::translate("lunetta::YearOutput", "印刷できませんでした。\n\n%1")
            .arg(FailureMessage(report.outcome.status.failure())));
  }
  return report;
}

}  // namespace lunetta
