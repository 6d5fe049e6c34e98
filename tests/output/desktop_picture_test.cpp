#include "output/desktop_picture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include "session/calendar_session.h"

namespace lunetta {
namespace {

// A session holding a 1024 × 768 picture of May 2026.
CalendarSession& ComposedSession() {
  static CalendarSession session([] {
    SessionEnvironment environment;
    environment.clock = [] { return LocalDate{2026, 5, 1}; };
    return environment;
  }());
  static const bool composed = session.Compose().ok();
  EXPECT_TRUE(composed);
  return session;
}

class DesktopPictureTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

  // Saves through stand-in dialogs that confirm `target` (empty: cancel).
  SaveOutcome Save(const QString& target) {
    const auto ask = [&](const QString& folder, const QString& name, const QString& filter) {
      proposed_ = folder + ' ' + name + ' ' + filter;
      return target;
    };
    const SaveReport report = SaveDesktopPicture(
        ComposedSession(), "/start", {ask, [&](const QString& why) { message_ = why; }});
    EXPECT_EQ(report.target, target);
    return report.outcome;
  }

  QTemporaryDir folder_;
  QString proposed_;
  QString message_;
};

// A name and the format written there; none: nothing may be written and the user is told.
using SaveCase = std::pair<const char*, QByteArray>;

class SaveAs : public DesktopPictureTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveAs, WritesTheFormatOfTheExtensionOrReportsWhyNot) {
  const auto& [name, format] = GetParam();
  const QString target = folder_.filePath(name);
  const bool writes = !format.isEmpty();
  EXPECT_EQ(Save(target), writes ? SaveOutcome::Saved : SaveOutcome::Failed);
  EXPECT_EQ(proposed_, "/start DeskTopImg.jpg Jpeg(*.jpg)");
  EXPECT_EQ(message_.contains(QDir::toNativeSeparators(target)), !writes);
  QImageReader reader(target);
  reader.setDecideFormatFromContent(true);
  EXPECT_EQ(reader.format(), format);
  EXPECT_EQ(reader.size(), writes ? QSize(1024, 768) : QSize());
}

INSTANTIATE_TEST_SUITE_P(
    Names, SaveAs,
    ::testing::Values(SaveCase{"DeskTopImg.jpg", "jpeg"}, SaveCase{"WALL.JPG", "jpeg"},
                      SaveCase{"wall.bmp", "bmp"}, SaveCase{"wall.png", "png"},
                      SaveCase{"wallpaper", {}}, SaveCase{"wallpaper.xyz", {}},
                      // A file in the folder's place stops every user, root too.
                      SaveCase{"wall.bmp/DeskTopImg.jpg", {}}));

TEST_F(DesktopPictureTest, SavesTheSamePictureTwiceAndCancelWritesNothing) {
  const QString target = folder_.filePath("DeskTopImg.jpg");
  ASSERT_EQ(Save(target), SaveOutcome::Saved);
  const QImage first(target);
  ASSERT_EQ(Save(target), SaveOutcome::Saved);
  EXPECT_EQ(QImage(target), first);
  EXPECT_EQ(Save(QString()), SaveOutcome::Cancelled);
  EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files), QStringList{"DeskTopImg.jpg"});
}

}  // namespace
}  // namespace lunetta
