#include "ui/wall_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "picture/load_picture_file.h"
#include "picture/picture_files.h"
#include "session/calendar_session.h"

namespace lunetta {
namespace {

// Printing to a file from the dialog writes the calendar for print, cover and planner included, in
// the copies asked for, and its notice names the months whose photo is too small for the paper.
TEST(WallDialogTest, PrintingToAFileWritesTheWholeCalendar) {
  if (QStandardPaths::findExecutable("pdfinfo").isEmpty()) {
    GTEST_SKIP() << "poppler-utils are not installed";
  }
  QTemporaryDir folder;
  const QString photo = folder.filePath("small.png");
  ASSERT_TRUE(testing::Filled({400, 300}, Qt::darkCyan).save(photo));
  const QString pdf = folder.filePath("wall.pdf");
  CalendarSession session;
  session.ChoosePhoto(FilePath(photo));
  CalendarSettings settings = session.settings();
  settings.wallPlanner = true;
  session.ApplySettings(settings);
  WallCrops crops;
  PrintDialogs dialogs{[&](QPrinter& printer, PagePlacement&) {
                         printer.setOutputFormat(QPrinter::PdfFormat);
                         printer.setOutputFileName(pdf);
                         printer.setCopyCount(2);
                         return true;
                       },
                       [](const QString& message) { ADD_FAILURE() << message.toStdString(); }};
  const YearRunner run = [](const QString&, const YearJob& job) { return job({}, {}); };
  WallDialog dialog(session, crops, dialogs, {}, run, folder.path());
  for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
    if (box->text().contains(u"表紙")) {
      box->click();
    }
  }
  EXPECT_TRUE(session.settings().wallCover) << "the options are the session's settings";
  dialog.findChild<QPushButton*>("print")->click();

  QProcess info;
  info.start("pdfinfo", {pdf});
  ASSERT_TRUE(info.waitForFinished(60000));
  const QString text = QString::fromUtf8(info.readAllStandardOutput()).simplified();
  EXPECT_TRUE(text.contains("Pages: 28 ")) << text.toStdString();  // two copies
  EXPECT_TRUE(dialog.notice().contains(u"表紙、1月、2月")) << dialog.notice().toStdString();
}

}  // namespace
}  // namespace lunetta
