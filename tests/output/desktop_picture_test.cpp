#include "output/desktop_picture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImageReader>
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
TEST(DesktopPictureTest, AsksBeforeReplacingAFileAndSaysWhyNothingWasWritten) {
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
    if (c.outcome == SaveOutcome::Failed) {
      ASSERT_EQ(script.told.size(), 1);
      // The system's reason in the window's words.
      EXPECT_TRUE(
          script.told[0].endsWith(u"書き込めません（途中にフォルダーではないものがあります）"))
          << script.told[0].toStdString();
    } else {
      EXPECT_EQ(script.told, QStringList());
    }
    if (c.bytes.isEmpty()) {
      QImageReader reader(target);
      reader.setDecideFormatFromContent(true);
      EXPECT_EQ(reader.format(), "jpeg");
      EXPECT_EQ(reader.size(), QSize(1024, 768));
    } else {
      EXPECT_EQ(testing::ReadBytes(target), c.bytes);
    }
  }
}

// Neither the picture nor a year's pictures go over a photo the calendar shows, whatever the
// user would answer: the message names it, and the dialog comes back.
TEST(DesktopPictureTest, APhotoInUseIsNeverWrittenOver) {
  QTemporaryDir folder;
  const QString sea = folder.filePath("sea.jpg"), may = folder.filePath("2026-05.jpg");
  ASSERT_TRUE(Picture(QImage(64, 48, QImage::Format_RGB888)).Save(FilePath(sea)).ok());
  ASSERT_TRUE(QFile::copy(sea, may));
  const QByteArray photo = testing::ReadBytes(sea);
  SessionEnvironment environment;
  environment.clock = [] { return LocalDate{2026, 5, 1}; };
  CalendarSession session(environment);
  session.ChoosePhoto(FilePath(sea));
  session.ChooseMonthPhoto(5, FilePath(folder.filePath("./2026-05.jpg")));
  ASSERT_TRUE(Succeeded(session.Compose()));

  ScriptedDialogs single;
  single.replace = true;
  single.answers << sea;
  EXPECT_EQ(SaveDesktopPicture(session, folder.path(), single.dialogs()).outcome,
            SaveOutcome::Cancelled);
  ScriptedDialogs year;
  year.replace = true;
  year.answers << folder.filePath("2026-01.jpg");
  EXPECT_EQ(SaveYearPictures(session, folder.path(), year.dialogs(), {}).result,
            YearOutputOutcome::NotAsked);
  for (const auto& [script, named] : {std::pair(&single, sea), std::pair(&year, may)}) {
    ASSERT_EQ(script->told.size(), 1);
    EXPECT_TRUE(script->told[0].contains(QDir::toNativeSeparators(named)))
        << script->told[0].toStdString();
    EXPECT_EQ(script->questions, QStringList());
    EXPECT_EQ(script->asked.size(), 2);
  }
  EXPECT_EQ(testing::ReadBytes(sea), photo);
  EXPECT_EQ(testing::ReadBytes(may), photo);
}

}  // namespace
}  // namespace lunetta
