#include "output/desktop_picture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>

#include "output/output_test_support.h"

namespace lunetta {
namespace {

using testing::ModalDriver;
using testing::WriteComposedPicture;

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList EntriesBesides(const QDir& folder, const QString& composed) {
  QStringList entries = folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
  entries.removeAll(QFileInfo(composed).fileName());
  return entries;
}

class DesktopPictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    composed_ = WriteComposedPicture(folder_.path(), 1024, 768);
  }

  QString In(const QString& name) const { return folder_.filePath(name); }

  QTemporaryDir folder_;
  QString composed_;
};

struct FormatCase {
  const char* name;
  QByteArray format;  // as QImageReader names it
  QByteArray magic;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
  *os << c.name;
}

class WrittenFormat : public DesktopPictureTest,
                      public ::testing::WithParamInterface<FormatCase> {};

TEST_P(WrittenFormat, FollowsTheExtensionAtThePictureSize) {
  const QString target = In(QString::fromUtf8(GetParam().name));
  QString error;
  ASSERT_TRUE(WriteDesktopPicture(composed_, target, &error)) << error.toStdString();

  EXPECT_TRUE(ReadAll(target).startsWith(GetParam().magic));
  QImageReader reader(target);
  reader.setDecideFormatFromContent(true);
  EXPECT_EQ(reader.format(), GetParam().format);
  EXPECT_EQ(reader.size(), QSize(1024, 768));
}

INSTANTIATE_TEST_SUITE_P(
    Extensions, WrittenFormat,
    ::testing::Values(FormatCase{"DeskTopImg.jpg", "jpeg", QByteArray("\xFF\xD8\xFF", 3)},
                      FormatCase{"WALL.JPG", "jpeg", QByteArray("\xFF\xD8\xFF", 3)},
                      FormatCase{"wall.bmp", "bmp", "BM"},
                      FormatCase{"wall.png", "png", "\x89PNG"}));

struct RefusedCase {
  const char* name;
  const char* reasonContains;
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
  *os << c.name;
}

class RefusedName : public DesktopPictureTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedName, WritesNothingAndSaysWhy) {
  ASSERT_TRUE(QDir(folder_.path()).mkpath(QStringLiteral("photos.2024")));
  const QString target = In(QString::fromUtf8(GetParam().name));
  QString error;
  EXPECT_FALSE(WriteDesktopPicture(composed_, target, &error));
  EXPECT_TRUE(error.contains(QString::fromUtf8(GetParam().reasonContains))) << error.toStdString();
  EXPECT_FALSE(QFileInfo::exists(target));
  EXPECT_EQ(EntriesBesides(QDir(In(QStringLiteral("photos.2024"))), composed_), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Names, RefusedName,
                         ::testing::Values(RefusedCase{"wallpaper", "拡張子がありません"},
                                           RefusedCase{"wallpaper.", "拡張子がありません"},
                                           RefusedCase{"photos.2024/wallpaper",
                                                       "拡張子がありません"},
                                           RefusedCase{"wallpaper.xyz", ".xyz"}));

TEST_F(DesktopPictureTest, ReplacesAnExistingFile) {
  const QString target = In(QStringLiteral("DeskTopImg.jpg"));
  {
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older wallpaper");
  }
  ASSERT_TRUE(WriteDesktopPicture(composed_, target));
  EXPECT_EQ(QImageReader(target).size(), QSize(1024, 768));
}

TEST_F(DesktopPictureTest, FailedWriteLeavesAnExistingFileAlone) {
  const QString target = In(QStringLiteral("DeskTopImg.jpg"));
  {
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older wallpaper");
  }
  QString error;
  EXPECT_FALSE(WriteDesktopPicture(In(QStringLiteral("missing.bmp")), target, &error));
  EXPECT_TRUE(error.contains(QStringLiteral("missing.bmp"))) << error.toStdString();
  EXPECT_EQ(ReadAll(target), QByteArray("an older wallpaper"));
}

TEST_F(DesktopPictureTest, FolderThatCannotBeWrittenIsReported) {
  // A regular file used as a folder stops every user, root included.
  const QString notAFolder = In(QStringLiteral("notes.txt"));
  {
    QFile file(notAFolder);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  QString error;
  EXPECT_FALSE(
      WriteDesktopPicture(composed_, notAFolder + QStringLiteral("/DeskTopImg.jpg"), &error));
  EXPECT_FALSE(error.isEmpty());
}

TEST_F(DesktopPictureTest, ReadOnlyFolderIsReported) {
  const QString locked = In(QStringLiteral("locked"));
  ASSERT_TRUE(QDir().mkpath(locked));
  ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
  const QString probe = locked + QStringLiteral("/probe");
  if (QFile(probe).open(QIODevice::WriteOnly)) {
    QFile::remove(probe);
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    GTEST_SKIP() << "permissions do not stop this user from writing";
  }
  QString error;
  EXPECT_FALSE(WriteDesktopPicture(composed_, locked + QStringLiteral("/DeskTopImg.jpg"), &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_TRUE(QDir(locked).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
  QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(DesktopPictureTest, SavingTwiceWritesTheSamePicture) {
  const QString target = In(QStringLiteral("DeskTopImg.jpg"));
  ASSERT_TRUE(WriteDesktopPicture(composed_, target));
  const QImage first(target);
  ASSERT_TRUE(WriteDesktopPicture(composed_, target));
  const QImage second(target);
  ASSERT_FALSE(first.isNull());
  EXPECT_EQ(first, second);
}

TEST_F(DesktopPictureTest, ProposesTheDesktopNameWithTheJpegFilter) {
  const QString target = In(QStringLiteral("DeskTopImg.jpg"));
  QString proposed;
  QString filter;
  QStringList messages;
  const DesktopPictureDialogs dialogs{[&](const QString& proposedName, const QString& filterText) {
                                        proposed = proposedName;
                                        filter = filterText;
                                        return target;
                                      },
                                      [&](const QString& message) { messages << message; }};
  EXPECT_EQ(SaveDesktopPicture(composed_, dialogs), SaveOutcome::Saved);
  EXPECT_EQ(proposed, QStringLiteral("DeskTopImg.jpg"));
  EXPECT_EQ(filter, QStringLiteral("Jpeg(*.jpg)"));
  EXPECT_EQ(QImageReader(target).format(), QByteArray("jpeg"));
  EXPECT_TRUE(messages.isEmpty());
}

// The real dialogs, answered from inside their event loops.

TEST_F(DesktopPictureTest, StandardDialogProposesTheNameAndAddsNoSuffix) {
  const QString typed = In(QStringLiteral("wallpaper"));
  ModalDriver driver;
  driver.Then<QFileDialog>([&](QFileDialog* dialog) {
    EXPECT_EQ(dialog->parentWidget(), nullptr);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(dialog->defaultSuffix(), QString());
    EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("Jpeg(*.jpg)")});
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), QStringLiteral("DeskTopImg.jpg"));
    name->setText(typed);
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides it
  });
  QString answer = QStringLiteral("not asked");
  const auto standard = StandardDesktopPictureDialogs();
  const DesktopPictureDialogs dialogs{[&](const QString& proposedName, const QString& filter) {
                                        answer = standard.askTarget(proposedName, filter);
                                        return QString();
                                      },
                                      standard.reportFailure};
  SaveDesktopPicture(composed_, dialogs);
  EXPECT_TRUE(driver.allStepsTaken());
  EXPECT_EQ(driver.unexpected(), QStringList());
  EXPECT_EQ(answer, typed);
}

TEST_F(DesktopPictureTest, StandardDialogReplacesWithoutAQuestion) {
  const QString target = In(QStringLiteral("DeskTopImg.jpg"));
  {
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older wallpaper");
  }
  ModalDriver driver;
  driver.Then<QFileDialog>([&](QFileDialog* dialog) {
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(target);
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides it
  });
  EXPECT_EQ(SaveDesktopPicture(composed_, StandardDesktopPictureDialogs()), SaveOutcome::Saved);
  EXPECT_EQ(driver.unexpected(), QStringList());
  EXPECT_EQ(QImageReader(target).format(), QByteArray("jpeg"));
}

TEST_F(DesktopPictureTest, StandardFailureMessageIsCritical) {
  const QString target = In(QStringLiteral("wallpaper.xyz"));
  ModalDriver driver;
  driver.Then<QFileDialog>([&](QFileDialog* dialog) {
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(target);
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides it
  });
  driver.Then<QMessageBox>([&](QMessageBox* box) {
    EXPECT_EQ(box->parentWidget(), nullptr);
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_TRUE(box->text().startsWith(QStringLiteral("画像を保存できませんでした。")));
    EXPECT_TRUE(box->text().contains(QDir::toNativeSeparators(target)));
    box->accept();
  });
  EXPECT_EQ(SaveDesktopPicture(composed_, StandardDesktopPictureDialogs()), SaveOutcome::Failed);
  EXPECT_TRUE(driver.allStepsTaken());
  EXPECT_EQ(driver.unexpected(), QStringList());
  EXPECT_EQ(EntriesBesides(QDir(folder_.path()), composed_), QStringList());
}

TEST_F(DesktopPictureTest, StandardDialogCancelWritesNothing) {
  ModalDriver driver;
  driver.Then<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
  EXPECT_EQ(SaveDesktopPicture(composed_, StandardDesktopPictureDialogs()), SaveOutcome::Cancelled);
  EXPECT_TRUE(driver.allStepsTaken());
  EXPECT_EQ(EntriesBesides(QDir(folder_.path()), composed_), QStringList());
}

}  // namespace
}  // namespace lunetta
