#include "output/year_output.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <thread>

#include "picture/load_picture_file.h"
#include "session/calendar_session.h"
#include "support/picture_printers.h"

namespace lunetta {
namespace {

// The year's pages go to the file the print dialog names; the session's tests read them back.
TEST(YearOutputTest, PrintingToAPdfFileWritesItBehindTheProgressDialog) {
  QTemporaryDir folder;
  const QString pdf = folder.filePath("year.pdf");
  const CalendarSession session;
  PrintDialogs dialogs{[&](QPrinter& printer, PagePlacement&) {
                         printer.setOutputFormat(QPrinter::PdfFormat);
                         printer.setOutputFileName(pdf);
                         printer.setCopyCount(3);
                         return true;
                       },
                       [](const QString& message) { ADD_FAILURE() << message.toStdString(); }};
  const YearOutputReport report = PrintYear(session, dialogs, ProgressDialogRunner(nullptr));
  EXPECT_EQ(report.result, YearOutputOutcome::Done);
  EXPECT_EQ(report.target, pdf);
  QFile written(pdf);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(written.read(5), "%PDF-");
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
