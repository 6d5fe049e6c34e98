#include "output/year_output.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <thread>

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
  PrintDialogs dialogs{[&](QPrinter& printer, PagePlacement&) {
                         printer.setOutputFormat(QPrinter::PdfFormat);
                         printer.setOutputFileName(pdf);
                         printer.setPageSize(QPageSize(QPageSize::A4));
                         printer.setCopyCount(3);
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
}

TEST(YearOutputTest, CopiesRepeatTheMonthsSetBySetOrEachMonthTogether) {
  YearPlan plan;
  for (int month = 1; month <= 3; ++month) {
    plan.months.emplace_back().settings.month = month;
  }
  const struct {
    int copies;
    bool collate;
    std::vector<int> months;
  } cases[] = {{1, true, {1, 2, 3}},
               {2, true, {1, 2, 3, 1, 2, 3}},
               {2, false, {1, 1, 2, 2, 3, 3}},
               {0, false, {1, 2, 3}}};
  for (const auto& c : cases) {
    std::vector<int> months;
    for (const MonthPlan& month : WithCopies(plan, c.copies, c.collate).months) {
      months.push_back(month.settings.month);
    }
    EXPECT_EQ(months, c.months) << c.copies << (c.collate ? " collated" : "");
  }
}

// Exactly YYYY-01 ... YYYY-12 with the confirmed name's extension; existing ones are replaced only
// when the user agrees, asked once for all of them.
TEST(YearOutputTest, SavesTheYearsTwelveNamesAndAsksOnceBeforeReplacingAny) {
  QTemporaryDir folder;
  SessionEnvironment environment;
  environment.clock = [] { return LocalDate{2026, 5, 1}; };
  const CalendarSession session(environment);
  QStringList expected, questions;
  for (int month = 1; month <= 12; ++month) {
    expected << QString::asprintf("2026-%02d.png", month);
  }
  bool replace = false;
  int asked = 0;
  const DesktopPictureDialogs dialogs{
      [&](const QString&, const QString& name, const QString&) {
        EXPECT_EQ(name, asked == 0 ? "2026-01.jpg" : "any.png");
        return asked++ % 2 == 0 ? folder.filePath("any.png") : QString();  // then a cancel
      },
      [](const QString& message) { ADD_FAILURE() << message.toStdString(); },
      [&](const QString& question) {
        questions << question;
        return replace;
      }};
  const YearRunner run = [](const QString&, const YearJob& job) { return job({}, {}); };
  EXPECT_EQ(SaveYearPictures(session, folder.path(), dialogs, run).result, YearOutputOutcome::Done);
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), expected);
  EXPECT_EQ(questions, QStringList());

  asked = 0;
  ASSERT_TRUE(QFile::remove(folder.filePath("2026-12.png")));
  EXPECT_EQ(SaveYearPictures(session, folder.path(), dialogs, run).result,
            YearOutputOutcome::NotAsked);
  EXPECT_EQ(asked, 2);  // refused, then asked for another name and cancelled
  ASSERT_EQ(questions.size(), 1);
  EXPECT_TRUE(questions[0].contains(" 11 ")) << questions[0].toStdString();
  replace = true;
  asked = 0;
  EXPECT_EQ(SaveYearPictures(session, folder.path(), dialogs, run).result, YearOutputOutcome::Done);
  EXPECT_EQ(questions.size(), 2);
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), expected);
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
