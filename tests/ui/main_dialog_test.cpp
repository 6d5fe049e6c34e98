#include "ui/main_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <vector>

#include "calendar/calendar_settings.h"
#include "platform/dialog_units.h"
#include "settings/settings_store.h"

namespace lunetta {
namespace {

const QStringList kMonthItems = {
    QStringLiteral("　１月"), QStringLiteral("　２月"), QStringLiteral("　３月"),
    QStringLiteral("　４月"), QStringLiteral("　５月"), QStringLiteral("　６月"),
    QStringLiteral("　７月"), QStringLiteral("　８月"), QStringLiteral("　９月"),
    QStringLiteral("１０月"), QStringLiteral("１１月"), QStringLiteral("１２月")};

QString ProfileFile() {
  return QString::fromStdString(ProfilePath().string());
}

QString ComposedFile() {
  return QDir(QDir::tempPath()).filePath(QStringLiteral("Calendar.bmp"));
}

void WriteText(const QString& path, const QByteArray& text) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  file.write(text);
}

QByteArray ReadText(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A holiday line: the year, then one entry per month/day pair.
QByteArray HolidayLine(int year, int month, int day) {
  return QStringLiteral("%1,%2%3\n")
      .arg(year)
      .arg(month, 2, 10, QLatin1Char('0'))
      .arg(day, 2, 10, QLatin1Char('0'))
      .toLatin1();
}

// Moves a selector to a neighbouring item the way the keyboard does, which reports it as chosen.
void SelectNeighbour(QComboBox* selector) {
  const bool last = selector->currentIndex() == selector->count() - 1;
  QTest::keyClick(selector, last ? Qt::Key_Up : Qt::Key_Down);
}

class MainDialogTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { InstallFontSubstitutions(); }

  void SetUp() override {
    ASSERT_TRUE(workDir_.isValid());
    previousDir_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(workDir_.path()));
    QFile::remove(ProfileFile());
    QFile::remove(ComposedFile());
    today_ = Today();
  }

  void TearDown() override { QDir::setCurrent(previousDir_); }

  QString WritePhoto(const QString& name, QColor color) {
    QImage photo(64, 48, QImage::Format_RGB32);
    photo.fill(color);
    const QString path = workDir_.filePath(name);
    EXPECT_TRUE(photo.save(path, "BMP"));
    return path;
  }

  static QImage ComposedPicture() { return QImage(ComposedFile()); }

  QTemporaryDir workDir_;
  QString previousDir_;
  LocalDate today_;
};

TEST_F(MainDialogTest, StartUpFillsSelectorsAndComposesWithoutPhoto) {
  MainDialog dialog;
  auto* month = FindControl<QComboBox>(&dialog, MainDialog::kMonthId);
  auto* year = FindControl<QComboBox>(&dialog, MainDialog::kYearId);
  ASSERT_NE(month, nullptr);
  ASSERT_NE(year, nullptr);

  QStringList monthItems;
  for (int i = 0; i < month->count(); ++i) {
    monthItems << month->itemText(i);
  }
  EXPECT_EQ(monthItems, kMonthItems);
  EXPECT_EQ(month->currentIndex(), today_.month - 1);
  ASSERT_EQ(year->count(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(year->itemText(i), QStringLiteral("%1 年").arg(today_.year + i));
  }
  EXPECT_EQ(year->currentIndex(), 0);
  EXPECT_EQ(dialog.selectedYear(), today_.year);
  EXPECT_EQ(dialog.selectedMonth(), today_.month);

  EXPECT_EQ(dialog.composedPicturePath(), ComposedFile());
  const QImage picture = ComposedPicture();
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.size(), QSize(1024, 768));
  // No photograph yet: the picture lies on the desktop colour, away from the block at (560, 500).
  EXPECT_EQ(picture.pixelColor(5, 5), QColor(0x3A, 0x6E, 0xA5));
  EXPECT_GT(dialog.blockWidth(), 0);
  EXPECT_GT(dialog.blockHeight(), 0);

  ASSERT_FALSE(dialog.previewPicture().isNull());
  const PreviewBounds bounds = dialog.previewBounds();
  EXPECT_EQ(dialog.previewPicture().size(),
            QSize(bounds.right - bounds.left, bounds.bottom - bounds.top));
  EXPECT_DOUBLE_EQ(dialog.previewScaleX(), (bounds.right - bounds.left) / 1024.0);
  EXPECT_DOUBLE_EQ(dialog.previewScaleY(), (bounds.bottom - bounds.top) / 768.0);
  EXPECT_FALSE(dialog.dragging());
  EXPECT_TRUE(dialog.photoPath().isEmpty());
  EXPECT_EQ(dialog.startupDirectory(), std::filesystem::current_path());
}

struct LabelCase {
  const char* name;
  const char* profile;  // nullptr: no profile file
  const char* sizeLabel;
  const char* positionLabel;
};

class MainDialogLabelTest : public MainDialogTest, public testing::WithParamInterface<LabelCase> {};

TEST_P(MainDialogLabelTest, StartUpWritesSizeAndPositionLabels) {
  const LabelCase& c = GetParam();
  if (c.profile != nullptr) {
    WriteText(ProfileFile(), c.profile);
  }
  MainDialog dialog;
  EXPECT_EQ(FindControl<QLineEdit>(&dialog, MainDialog::kSizeLabelId)->text(),
            QString::fromUtf8(c.sizeLabel));
  EXPECT_EQ(FindControl<QLineEdit>(&dialog, MainDialog::kPositionLabelId)->text(),
            QString::fromUtf8(c.positionLabel));
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, MainDialogLabelTest,
    testing::Values(LabelCase{"no_profile", nullptr, "(1024,768)", "(560,500)"},
                    LabelCase{"size_0", "[Configuration]\nPictSize=0\n", "(800,600)", "(560,500)"},
                    LabelCase{"size_1", "[Configuration]\nPictSize=1\n", "(1024,768)", "(560,500)"},
                    LabelCase{"size_5", "[Configuration]\nPictSize=5\n", "(1280,1024)",
                              "(560,500)"},
                    LabelCase{"negative_position", "[Configuration]\nStartX=-40\nStartY=7\n",
                              "(1024,768)", "(-40,7)"},
                    LabelCase{"other_section_only", "[Other]\nPictSize=0\nStartX=3\n", "(1024,768)",
                              "(560,500)"}),
    [](const testing::TestParamInfo<LabelCase>& info) { return std::string(info.param.name); });

TEST_F(MainDialogTest, MonthChangeKeepsHolidaysYearChangeReloadsThemFirst) {
  const int month = today_.month;
  WriteText(QStringLiteral("holiday.dat"),
            HolidayLine(today_.year, month, 10) + HolidayLine(today_.year + 1, month, 11));
  MainDialog dialog;
  ASSERT_EQ(dialog.holidays().daysInMonth(month), std::vector<int>{10});

  // The table as each composition sees it.
  std::vector<std::vector<int>> seen;
  QObject::connect(&dialog, &MainDialog::pictureComposed, &dialog,
                   [&] { seen.push_back(dialog.holidays().daysInMonth(month)); });

  WriteText(QStringLiteral("holiday.dat"),
            HolidayLine(today_.year, month, 20) + HolidayLine(today_.year + 1, month, 21));
  auto* monthSelector = FindControl<QComboBox>(&dialog, MainDialog::kMonthId);
  SelectNeighbour(monthSelector);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], std::vector<int>{10}) << "a month change must not reload the holidays";
  EXPECT_EQ(dialog.selectedMonth(), monthSelector->currentIndex() + 1);

  // holiday.dat is read where the program started, wherever the current directory is now.
  const QString startDir = QDir::currentPath();
  QTemporaryDir elsewhere;
  ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
  SelectNeighbour(FindControl<QComboBox>(&dialog, MainDialog::kYearId));
  QDir::setCurrent(startDir);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1], std::vector<int>{21}) << "a year change reloads before composing";
  EXPECT_EQ(dialog.selectedYear(), today_.year + 1);
}

TEST_F(MainDialogTest, OpenConfirmedUsesThePhotoCancelledKeepsItAndRecomposesOnce) {
  const QString red = WritePhoto(QStringLiteral("red.bmp"), Qt::red);
  MainDialog dialog;
  auto* open = FindControl<QPushButton>(&dialog, MainDialog::kOpenId);
  std::optional<QString> answer = red;
  bool enabledWhileOpen = true;
  dialog.setOpenFileDialog([&] {
    enabledWhileOpen = open->isEnabled();
    return answer;
  });
  QSignalSpy composed(&dialog, &MainDialog::pictureComposed);

  QTest::mouseClick(open, Qt::LeftButton);
  EXPECT_FALSE(enabledWhileOpen);
  EXPECT_TRUE(open->isEnabled());
  EXPECT_EQ(dialog.photoPath(), red);
  EXPECT_EQ(composed.count(), 1);
  EXPECT_EQ(ComposedPicture().pixelColor(5, 5), QColor(Qt::red));

  answer.reset();
  composed.clear();
  QTest::mouseClick(open, Qt::LeftButton);
  EXPECT_EQ(dialog.photoPath(), red);
  EXPECT_EQ(composed.count(), 1);
  EXPECT_EQ(ComposedPicture().pixelColor(5, 5), QColor(Qt::red));
}

TEST_F(MainDialogTest, APhotoThatDoesNotDecodeGivesThePictureWithoutPhoto) {
  const QString text = workDir_.filePath(QStringLiteral("notes.txt"));
  WriteText(text, "not a picture");
  MainDialog dialog;
  dialog.setOpenFileDialog([&] { return std::optional<QString>(text); });
  QTest::mouseClick(FindControl(&dialog, MainDialog::kOpenId), Qt::LeftButton);
  EXPECT_EQ(dialog.photoPath(), text);
  EXPECT_EQ(ComposedPicture().pixelColor(5, 5), QColor(0x3A, 0x6E, 0xA5));
}

TEST_F(MainDialogTest, DropOfThreeFilesUsesTheFirst) {
  const QString green = WritePhoto(QStringLiteral("green.bmp"), Qt::green);
  const QString blue = WritePhoto(QStringLiteral("blue.bmp"), Qt::blue);
  const QString red = WritePhoto(QStringLiteral("red.bmp"), Qt::red);
  MainDialog dialog;
  QSignalSpy composed(&dialog, &MainDialog::pictureComposed);

  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(green), QUrl::fromLocalFile(blue), QUrl::fromLocalFile(red)});
  // Qt delivers a drop to the widget that accepted the drag's entry.
  QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&dialog, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&dialog, &drop);

  EXPECT_EQ(dialog.photoPath(), green);
  EXPECT_EQ(composed.count(), 1);
  EXPECT_EQ(ComposedPicture().pixelColor(5, 5), QColor(Qt::green));

  // The photograph stays for the next change.
  SelectNeighbour(FindControl<QComboBox>(&dialog, MainDialog::kMonthId));
  EXPECT_EQ(ComposedPicture().pixelColor(5, 5), QColor(Qt::green));
}

TEST_F(MainDialogTest, HiddenButtonsUpdateRecomposesPrintPreviewDoesNothing) {
  MainDialog dialog;
  for (const int id : {MainDialog::kCancelId, MainDialog::kUpdateId, MainDialog::kPrintPreviewId,
                       MainDialog::kPhotoPathId}) {
    ASSERT_NE(FindControl(&dialog, id), nullptr) << id;
    EXPECT_TRUE(FindControl(&dialog, id)->isHidden()) << id;
  }
  QSignalSpy composed(&dialog, &MainDialog::pictureComposed);
  FindControl<QPushButton>(&dialog, MainDialog::kPrintPreviewId)->click();
  EXPECT_EQ(composed.count(), 0);
  FindControl<QPushButton>(&dialog, MainDialog::kUpdateId)->click();
  EXPECT_EQ(composed.count(), 1);
}

QStringList ProfileKeys() {
  QStringList keys;
  for (const QString& line : QString::fromUtf8(ReadText(ProfileFile())).split(QLatin1Char('\n'))) {
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals > 0) {
      keys << line.left(equals);
    }
  }
  return keys;
}

TEST_F(MainDialogTest, ExitSavesTheSettingsInKeyOrder) {
  MainDialog dialog;
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  // Move the block, so the saved position is the dragged one.
  const PreviewBounds bounds = dialog.previewBounds();
  QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier,
                    QPoint(bounds.left + 40, bounds.top + 30));
  const CalendarSettings moved = dialog.settings();

  QTest::mouseClick(FindControl(&dialog, MainDialog::kExitId), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(ProfileKeys(),
            (QStringList{"Font Name", "Text Size", "Text Color", "Back Ground Color", "Day",
                         "Month", "Year", "Transparency", "StartX", "StartY", "PictSize"}));
  CalendarSettings saved;
  LoadSettings(ProfilePath(), saved);
  EXPECT_EQ(saved.startX, moved.startX);
  EXPECT_EQ(saved.startY, moved.startY);
}

TEST_F(MainDialogTest, EnterSavesAsTheExitButtonDoes) {
  MainDialog dialog;
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTest::keyClick(&dialog, Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(QFile::exists(ProfileFile()));
}

TEST_F(MainDialogTest, EscapeAndCloseBoxSaveNothing) {
  const QByteArray before = "[Configuration]\nStartX=3\nStartY=4\n";
  WriteText(ProfileFile(), before);
  {
    MainDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
  }
  EXPECT_EQ(ReadText(ProfileFile()), before);
  {
    MainDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    EXPECT_TRUE(dialog.close());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
  }
  EXPECT_EQ(ReadText(ProfileFile()), before);
}

TEST_F(MainDialogTest, ExitTellsTheUserWhenTheSettingsCannotBeSaved) {
  const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
  const QString blocker = workDir_.filePath(QStringLiteral("file"));
  WriteText(blocker, "a file where a folder should be");
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker + QStringLiteral("/config")));
  QStringList reported;
  {
    MainDialog dialog;
    dialog.setErrorReporter([&](const QString& message) { reported << message; });
    FindControl<QPushButton>(&dialog, MainDialog::kExitId)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  }
  qputenv("XDG_CONFIG_HOME", previous);
  ASSERT_EQ(reported.size(), 1);
  EXPECT_TRUE(reported[0].contains(QStringLiteral("lunetta.INI")));
}

TEST_F(MainDialogTest, ReleaseStoresThePositionAndRecomposes) {
  WriteText(ProfileFile(), "[Configuration]\nPictSize=0\n");
  MainDialog dialog;
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QSignalSpy composed(&dialog, &MainDialog::pictureComposed);
  const PreviewBounds bounds = dialog.previewBounds();
  const auto place = [&](QPoint p) {
    return PlaceDraggedBlock(p.x(), p.y(), bounds, dialog.blockWidth(), dialog.blockHeight(),
                             dialog.previewScaleX(), dialog.previewScaleY());
  };

  // Far past the lower right: the block ends against the picture's right and bottom edges.
  const QPoint lowerRight(bounds.right + 50, bounds.bottom + 50);
  const DragPlacement expected = place(lowerRight);
  QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(bounds.left + 5, 40));
  QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, lowerRight);
  EXPECT_FALSE(dialog.dragging());
  EXPECT_EQ(dialog.settings().startX, expected.pictureX);
  EXPECT_EQ(dialog.settings().startY, expected.pictureY);
  EXPECT_NEAR(dialog.settings().startX + dialog.blockWidth(), 800, 2);
  EXPECT_NEAR(dialog.settings().startY + dialog.blockHeight(), 600, 2);
  EXPECT_EQ(FindControl<QLineEdit>(&dialog, MainDialog::kPositionLabelId)->text(),
            QStringLiteral("(%1,%2)").arg(expected.pictureX).arg(expected.pictureY));
  EXPECT_EQ(composed.count(), 1);

  // A click at or beyond the top-left bounds puts the block at the picture's origin.
  QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(bounds.left, bounds.top));
  EXPECT_EQ(dialog.settings().startX, 0);
  EXPECT_EQ(dialog.settings().startY, 0);
  QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
  EXPECT_EQ(dialog.settings().startX, 0);
  EXPECT_EQ(dialog.settings().startY, 0);
  EXPECT_EQ(composed.count(), 3);
}

TEST_F(MainDialogTest, LabelFollowsTheFrameDuringADrag) {
  MainDialog dialog;
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QSignalSpy composed(&dialog, &MainDialog::pictureComposed);
  const CalendarSettings before = dialog.settings();
  const PreviewBounds bounds = dialog.previewBounds();
  auto* label = FindControl<QLineEdit>(&dialog, MainDialog::kPositionLabelId);

  QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
  EXPECT_TRUE(dialog.dragging());
  EXPECT_TRUE(dialog.dragFrame().isNull());
  for (const QPoint p : {QPoint(150, 120), QPoint(bounds.left - 10, bounds.top + 60)}) {
    QMouseEvent move(QEvent::MouseMove, p, dialog.mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&dialog, &move);
    const DragPlacement expected =
        PlaceDraggedBlock(p.x(), p.y(), bounds, dialog.blockWidth(), dialog.blockHeight(),
                          dialog.previewScaleX(), dialog.previewScaleY());
    EXPECT_EQ(label->text(),
              QStringLiteral("(%1,%2)").arg(expected.pictureX).arg(expected.pictureY));
    EXPECT_EQ(dialog.dragFrame(),
              QRect(expected.x, expected.y, expected.frameWidth, expected.frameHeight));
  }
  // Moving only shows where the block would go.
  EXPECT_EQ(dialog.settings().startX, before.startX);
  EXPECT_EQ(composed.count(), 0);

  const QString shown = label->text();
  QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier,
                      QPoint(bounds.left - 10, bounds.top + 60));
  EXPECT_EQ(label->text(), shown);
  EXPECT_TRUE(dialog.dragFrame().isNull());
  EXPECT_EQ(dialog.settings().startX, 0);
}

TEST_F(MainDialogTest, MovingTheFrameRepaintsWithoutReadingTheComposedPicture) {
  MainDialog dialog;
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  const PreviewBounds bounds = dialog.previewBounds();
  // The preview is painted from what the last composition left, not from the file.
  ASSERT_TRUE(QFile::remove(ComposedFile()));
  QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
  for (int x = 100; x < 300; x += 20) {
    const QPointF p(x, 120);
    QMouseEvent move(QEvent::MouseMove, p, dialog.mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&dialog, &move);
  }
  const QImage shown = dialog.grab().toImage();
  EXPECT_EQ(shown.pixelColor(bounds.left + 3, bounds.bottom - 3), QColor(0x3A, 0x6E, 0xA5));
  const QRect frame = dialog.dragFrame();
  ASSERT_FALSE(frame.isNull());
  // The dotted frame is drawn over the picture.
  int dark = 0;
  for (int x = frame.left(); x < frame.right(); ++x) {
    dark += qGray(shown.pixel(x, frame.top())) < 60 ? 1 : 0;
  }
  EXPECT_GT(dark, frame.width() / 4);
}

TEST_F(MainDialogTest, AClickOnAControlDoesNotMoveTheBlock) {
  MainDialog dialog;
  dialog.setSettingsDialogRunner([](CalendarSettings&) { return false; });
  const CalendarSettings before = dialog.settings();
  QTest::mouseClick(FindControl(&dialog, MainDialog::kSettingsId), Qt::LeftButton);
  EXPECT_FALSE(dialog.dragging());
  EXPECT_EQ(dialog.settings(), before);
}

TEST_F(MainDialogTest, SettingsConfirmedRecomposesAndRewritesBothLabels) {
  MainDialog dialog;
  QSignalSpy composed(&dialog, &MainDialog::pictureComposed);
  auto* sizeLabel = FindControl<QLineEdit>(&dialog, MainDialog::kSizeLabelId);
  auto* positionLabel = FindControl<QLineEdit>(&dialog, MainDialog::kPositionLabelId);

  dialog.setSettingsDialogRunner([](CalendarSettings& settings) {
    settings.pictSize = 2;
    settings.startX = 12;
    settings.year = 1999;  // not the dialog's to change
    return false;
  });
  QTest::mouseClick(FindControl(&dialog, MainDialog::kSettingsId), Qt::LeftButton);
  EXPECT_EQ(composed.count(), 0);
  EXPECT_EQ(sizeLabel->text(), QStringLiteral("(1024,768)"));
  EXPECT_EQ(dialog.settings().startX, 560);

  dialog.setSettingsDialogRunner([](CalendarSettings& settings) {
    settings.pictSize = 2;
    settings.startX = 12;
    settings.startY = 34;
    settings.year = 1999;
    return true;
  });
  QTest::mouseClick(FindControl(&dialog, MainDialog::kSettingsId), Qt::LeftButton);
  EXPECT_EQ(composed.count(), 1);
  EXPECT_EQ(sizeLabel->text(), QStringLiteral("(1280,1024)"));
  EXPECT_EQ(positionLabel->text(), QStringLiteral("(12,34)"));
  EXPECT_EQ(dialog.settings().year, today_.year);
  EXPECT_EQ(ComposedPicture().size(), QSize(1280, 1024));
  const PreviewBounds bounds = dialog.previewBounds();
  EXPECT_DOUBLE_EQ(dialog.previewScaleX(), (bounds.right - bounds.left) / 1280.0);
}

TEST_F(MainDialogTest, NoMonthSelectedKeepsThePreviousPicture) {
  MainDialog dialog;
  const QByteArray before = ReadText(ComposedFile());
  QSignalSpy composed(&dialog, &MainDialog::pictureComposed);
  FindControl<QComboBox>(&dialog, MainDialog::kMonthId)->setCurrentIndex(-1);
  EXPECT_EQ(dialog.selectedMonth(), 0);
  FindControl<QPushButton>(&dialog, MainDialog::kUpdateId)->click();
  EXPECT_EQ(composed.count(), 0);
  EXPECT_EQ(ReadText(ComposedFile()), before);
}

TEST_F(MainDialogTest, EnterInASelectorDoesNotEndTheProgram) {
  MainDialog dialog;
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  auto* year = FindControl<QComboBox>(&dialog, MainDialog::kYearId);
  year->setFocus();
  year->lineEdit()->setText(QStringLiteral("%1 年").arg(today_.year + 2));
  QTest::keyClick(year->lineEdit(), Qt::Key_Return);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(QFile::exists(ProfileFile()));
  EXPECT_EQ(dialog.selectedYear(), today_.year + 2);
}

TEST_F(MainDialogTest, VersionDialogFromF1AndTheContextMenuEntry) {
  MainDialog dialog;
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  int runs = 0;
  dialog.setAboutDialogRunner([&] { ++runs; });
  QTest::keyClick(&dialog, Qt::Key_F1);
  EXPECT_EQ(runs, 1);
  const QList<QAction*> actions = dialog.actions();
  ASSERT_EQ(actions.size(), 1);
  EXPECT_EQ(actions[0]->text(), QStringLiteral("Tavigo のﾊﾞｰｼﾞｮﾝ情報(&A)..."));
  actions[0]->trigger();
  EXPECT_EQ(runs, 2);
}

}  // namespace
}  // namespace lunetta
