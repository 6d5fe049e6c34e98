#include "output/desktop_picture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>

#include "session/calendar_session.h"
#include "support/picture_printers.h"

namespace lunetta {
namespace {

// The format follows the name's extension (the picture tests try every kind of name); here, what
// the user is asked and told.
TEST(DesktopPictureTest, ProposesTheNameSavesOrSaysWhyNotAndCancelWritesNothing) {
  QTemporaryDir folder;
  CalendarSession session;
  ASSERT_TRUE(Succeeded(session.Compose()));
  const struct {
    QString name;  // empty: cancelled
    SaveOutcome outcome;
    QByteArray format;
  } cases[] = {{"DeskTopImg.jpg", SaveOutcome::Saved, "jpeg"},
               {"DeskTopImg.jpg/DeskTopImg.jpg", SaveOutcome::Failed, {}},
               {{}, SaveOutcome::Cancelled, {}}};
  for (const auto& c : cases) {
    const QString target = c.name.isEmpty() ? QString() : folder.filePath(c.name);
    QString asked, told;
    const DesktopPictureDialogs dialogs{
        [&](const QString& start, const QString& name, const QString& filter) {
          asked = start + ' ' + name + ' ' + filter;
          return target;
        },
        [&](const QString& message) { told = message; }};
    const SaveReport report = SaveDesktopPicture(session, "/start", dialogs);
    EXPECT_EQ(report.outcome, c.outcome) << c.name.toStdString();
    EXPECT_EQ(report.target, target);
    EXPECT_EQ(asked, "/start DeskTopImg.jpg Jpeg(*.jpg)");
    if (c.outcome == SaveOutcome::Failed) {
      EXPECT_TRUE(told.contains(QDir::toNativeSeparators(target))) << told.toStdString();
    } else {
      EXPECT_EQ(told, QString());
    }
    if (!c.format.isEmpty()) {
      QImageReader reader(target);
      reader.setDecideFormatFromContent(true);
      EXPECT_EQ(reader.format(), c.format);
      EXPECT_EQ(reader.size(), QSize(1024, 768));
    }
  }
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"DeskTopImg.jpg"});
}

}  // namespace
}  // namespace lunetta
