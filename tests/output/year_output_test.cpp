#include "output/year_output.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <thread>
#include <tuple>

#include "picture/load_picture_file.h"
#include "session/calendar_session.h"
#include "support/picture_printers.h"

namespace lunetta {
namespace {

// The year's pages, in the copies the dialog asked for, go to the file it names: three copies of
// twelve landscape A4 pages.
TEST(YearOutputTest, PrintingToAPdfFileWritesEveryCopyBehindTheProgressDialog) {
  if (QStandardPaths::findExecutable("pdfinfo").isEmpty()) {
    GTEST_SKIP() << "poppler-utils are not installed";
  }
  QTemporaryDir folder;
  const QString pdf = folder.filePath("year.pdf");
  const CalendarSession session;
  int copies = 3;
  QString target = pdf;
  PrintDialogs dialogs{[&](QPrinter& printer, PagePlacement&) {
                         printer.setOutputFormat(QPrinter::PdfFormat);
                         printer.setOutputFileName(target);
                         printer.setPageSize(QPageSize(QPageSize::A4));
                         printer.setCopyCount(copies);
                         return true;
                       },
                       [](const QString& message) { ADD_FAILURE() << message.toStdString(); }};
  const YearOutputReport report = PrintYear(session, dialogs, ProgressDialogRunner(nullptr));
  EXPECT_EQ(report.result, YearOutputOutcome::Done);
  EXPECT_EQ(report.target, pdf);
  QProcess info;
  info.start("pdfinfo", {"-f", "36", "-l", "36", pdf});
  ASSERT_TRUE(info.waitForFinished(60000));
  const QString text = QString::fromUtf8(info.readAllStandardOutput()).simplified();
  EXPECT_TRUE(text.contains("Pages: 36 ")) << text.toStdString();
  EXPECT_TRUE(text.contains("Page 36 size: 842 x 595 pts (A4)")) << text.toStdString();

  // The copies repeat the set's pages in the file rather than its pictures.
  copies = 1;
  target = folder.filePath("set.pdf");
  ASSERT_EQ(PrintYear(session, dialogs, ProgressDialogRunner(nullptr)).result,
            YearOutputOutcome::Done);
  EXPECT_LT(QFileInfo(pdf).size(), QFileInfo(target).size() * 3 / 2);
}

TEST(YearOutputTest, CopiesRepeatTheMonthsSetBySetOrEachMonthTogether) {
  YearPlan plan;
  plan.months.resize(2);
  plan.months[1].settings.month = 1;
  const std::tuple<int, bool, std::vector<int>> cases[] = {
      {1, true, {0, 1}}, {2, true, {0, 1, 0, 1}}, {2, false, {0, 0, 1, 1}}, {0, false, {0, 1}}};
  for (const auto& [copies, collate, expected] : cases) {
    std::vector<int> months;
    for (const MonthPlan& month : WithCopies(plan, copies, collate).months) {
      months.push_back(month.settings.month);
    }
    EXPECT_EQ(months, expected) << copies << (collate ? " collated" : "");
  }
}

// The dialog's cancel button reaches the job, and the window's events go on meanwhile.
TEST(YearOutputTest, TheProgressDialogsCancelStopsTheJob) {
  QTimer timer;
  timer.callOnTimeout([] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* dialog = qobject_cast<QProgressDialog*>(widget); dialog && dialog->isVisible()) {
        dialog->findChild<QPushButton*>()->click();
      }
    }
  });
  timer.start(50);
  int reported = 0;
  const YearOutcome outcome = RunWithProgress(
      nullptr, QStringLiteral("…"), [&](const YearProgress& progress, std::stop_token stop) {
        progress(1, 12);
        ++reported;
        while (!stop.stop_requested()) {
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return YearOutcome{.status = {}, .cancelled = true};
      });
  EXPECT_TRUE(outcome.cancelled);
  EXPECT_EQ(reported, 1);
}

}  // namespace
}  // namespace lunetta
