#include "output/desktop_picture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "output/year_output.h"
#include "picture/picture.h"
#include "picture/picture_files.h"
#include "session/calendar_session.h"
#include "support/picture_printers.h"

namespace lunetta {
namespace {

// The save dialog's answers in turn (an empty one, or none left, is a cancel), what it was asked,
// and what the user was asked and told.
struct ScriptedDialogs {
  QStringList answers;
  QStringList asked, questions, told;
  bool replace = false;

  DesktopPictureDialogs dialogs() {
    return {[this](const QString& start, const QString& name, const QString& filter) {
              asked << start + ' ' + name + ' ' + filter;
              return answers.isEmpty() ? QString() : answers.takeFirst();
            },
            [this](const QString& message) { told << message; },
            [this](const QString& question) {
              questions << question;
              return replace;
            }};
  }
};

// The format follows the name's extension (the picture tests try every kind of name); here, what
// the user is asked and told. An existing file is replaced only when the user agrees; otherwise
// the dialog comes back on that name.
TEST(DesktopPictureTest, AsksBeforeReplacingAFile) {
  QTemporaryDir folder;
  CalendarSession session;
  ASSERT_TRUE(Succeeded(session.Compose()));
  const QString target = folder.filePath("DeskTopImg.jpg");
  const struct {
    QString name;  // empty: cancelled
    bool replace;  // the answer to the question about an existing file
    SaveOutcome outcome;
    int questions;
    QByteArray bytes;  // what the file holds afterwards; empty: a JPEG of the picture
  } cases[] = {{"DeskTopImg.jpg", false, SaveOutcome::Saved, 0, {}},
               {"DeskTopImg.jpg", false, SaveOutcome::Cancelled, 1, "mine"},
               {"DeskTopImg.jpg", true, SaveOutcome::Saved, 1, {}},
               {"DeskTopImg.jpg/DeskTopImg.jpg", false, SaveOutcome::Failed, 0, "mine"},
               {{}, false, SaveOutcome::Cancelled, 0, "mine"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    QFile::remove(target);
    if (&c != cases) {
      ASSERT_TRUE(testing::WriteBytes(target, "mine"));
    }
    ScriptedDialogs script;
    script.replace = c.replace;
    if (!c.name.isEmpty()) {
      script.answers << folder.filePath(c.name);
    }
    const SaveReport report = SaveDesktopPicture(session, "/start", script.dialogs());
    EXPECT_EQ(report.outcome, c.outcome);
    EXPECT_EQ(script.questions.size(), c.questions);
    QStringList asked{"/start DeskTopImg.jpg Jpeg(*.jpg)"};
    if (c.questions > 0 && !c.replace) {
      asked << folder.path() + " DeskTopImg.jpg Jpeg(*.jpg)";  // back on the name refused
    }
    EXPECT_EQ(script.asked, asked);
    // A failure is told once, with the system's reason in the window's words.
    EXPECT_EQ(script.told.size(), c.outcome == SaveOutcome::Failed ? 1 : 0);
    EXPECT_TRUE(
        script.told.isEmpty() ||
        script.told[0].endsWith(u"書き込めません（途中にフォルダーではないものがあります）"))
        << script.told.value(0).toStdString();
    if (c.bytes.isEmpty()) {
      EXPECT_EQ(QImage(target).size(), QSize(1024, 768));
    } else {
      EXPECT_EQ(testing::ReadBytes(target), c.bytes);
    }
  }
}

// Exactly YYYY-01 ... YYYY-12 with the confirmed name's extension; the user is asked once before
// those that exist are replaced.
TEST(DesktopPictureTest, TheYearGoesToItsTwelveNamesAfterOneQuestion) {
  QTemporaryDir folder;
  SessionEnvironment environment;
  environment.clock = [] { return LocalDate{2026, 5, 1}; };
  const CalendarSession session(environment);
  QStringList names;
  for (int month = 1; month <= 12; ++month) {
    names << QString::asprintf("2026-%02d.png", month);
  }
  for (const char* mine : {"2026-03.png", "2026-07.png"}) {
    ASSERT_TRUE(testing::WriteBytes(folder.filePath(mine), "mine"));
  }
  ScriptedDialogs script;
  script.answers << folder.filePath("any.png");
  script.replace = true;
  const YearRunner run = [](const QString&, const YearJob& job) { return job({}, {}); };
  EXPECT_EQ(SaveYearPictures(session, folder.path(), script.dialogs(), run).result,
            YearOutputOutcome::Done);
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), names);
  ASSERT_EQ(script.questions.size(), 1);
  EXPECT_TRUE(script.questions[0].contains("2026-03.png、2026-07.png"))
      << script.questions[0].toStdString();
  EXPECT_EQ(QImage(folder.filePath("2026-07.png")).size(), QSize(1024, 768));
}

// The picture never goes over a photo the calendar shows (the main one or a month's, under any
// spelling), whatever the user would answer: the message names it, and the dialog comes back.
TEST(DesktopPictureTest, APhotoInUseIsNeverWrittenOver) {
  QTemporaryDir folder;
  const QString sea = folder.filePath("sea.jpg"), may = folder.filePath("may.jpg");
  ASSERT_TRUE(Picture(QImage(64, 48, QImage::Format_RGB888)).Save(FilePath(sea)).ok());
  ASSERT_TRUE(QFile::copy(sea, may));
  const QByteArray photo = testing::ReadBytes(sea);
  CalendarSession session;
  session.ChoosePhoto(FilePath(sea));
  session.ChooseMonthPhoto(session.month(), FilePath(folder.filePath("./may.jpg")));
  ASSERT_TRUE(Succeeded(session.Compose()));
  ScriptedDialogs script;
  script.answers << sea << may;
  script.replace = true;
  EXPECT_EQ(SaveDesktopPicture(session, folder.path(), script.dialogs()).outcome,
            SaveOutcome::Cancelled);
  EXPECT_EQ(script.asked.size(), 3);
  EXPECT_EQ(script.questions, QStringList());
  ASSERT_EQ(script.told.size(), 2);
  EXPECT_TRUE(script.told[0].contains(QDir::toNativeSeparators(sea)))
      << script.told[0].toStdString();
  EXPECT_TRUE(script.told[1].contains(QDir::toNativeSeparators(may)))
      << script.told[1].toStdString();
  EXPECT_EQ(testing::ReadBytes(sea), photo);
  EXPECT_EQ(testing::ReadBytes(may), photo);
}

}  // namespace
}  // namespace lunetta
