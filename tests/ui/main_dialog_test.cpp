#include "ui/main_dialog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>
#include <QWindow>
#include <atomic>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "picture/picture_files.h"
#include "render/font_substitutes.h"
#include "settings/settings_store.h"
#include "support/picture_printers.h"
#include "support/stand_in_programs.h"
#include "ui/dialog_units.h"

namespace lunetta {
namespace {

using Id = MainControl;

const QColor kDesktop(0x3A, 0x6E, 0xA5);  // the picture where no photograph lies

QColor MonthColour(int month) {
  return QColor::fromHsv(month * 30 - 30, 255, 200).toRgb();
}

// Sets environment variables until the end of its scope.
class ScopedEnvironment {
 public:
  void Set(const char* name, const QByteArray& value) {
    saved_.try_emplace(
        name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
    qputenv(name, value);
  }
  ~ScopedEnvironment() {
    for (const auto& [name, value] : saved_) {
      value ? qputenv(name.c_str(), *value) : qunsetenv(name.c_str());
    }
  }

 private:
  std::map<std::string, std::optional<QByteArray>> saved_;  // what each had first
};

class MainDialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InstallFontSubstitutes(); }
  MainDialogTest() {
    // No holiday file but the ones a test writes, and a home of the test's own.
    environment_.Set("HOME", home_.path().toUtf8());
    environment_.Set("XDG_DATA_HOME", home_.filePath("data").toUtf8());
    environment_.Set("XDG_DATA_DIRS", home_.filePath("system").toUtf8());
    profile_ = QString::fromStdString(ProfilePath().string());
  }
  void SetUp() override {
    ASSERT_TRUE(QDir::setCurrent(workDir_.path()));
    QFile::remove(profile_);
  }

  // Starts a window on `profile`'s configuration lines, or on no profile, in the desktop
  // program's surroundings or in `environment`.
  MainDialog& Start(const QByteArray& profile = {},
                    SessionEnvironment environment = MainDialog::DesktopEnvironment()) {
    if (!profile.isEmpty()) {
      EXPECT_TRUE(testing::WriteBytes(profile_, "[Configuration]\n" + profile));
    }
    dialog_.reset();  // its composed picture's folder goes first
    dialog_ = std::make_unique<MainDialog>(std::move(environment), nullptr);
    // Every dialog answers from the fixture and counts its runs; no modal window ever opens.
    const auto report = [this](const QString& message) { reports_ << message; };
    dialog_->setErrorReporter(report);
    dialog_->setOpenFileDialog([this](const QString& folder, const QString& filter) {
      ++asked_[Id::Open];
      startFolders_ << folder;
      filter_ = filter;
      return answer_;
    });
    dialog_->setSettingsDialogRunner([this](CalendarSettings&) { return Cancel(Id::Settings); });
    dialog_->setPrintDialogs(
        {[this](QPrinter&, PagePlacement&) { return Cancel(Id::Print); }, report});
    dialog_->setDesktopPictureDialogs(
        {[this](const QString& folder, const QString&, const QString&) {
           ++asked_[Id::DesktopPicture];
           startFolders_ << folder;
           return saveTarget_;
         },
         report, [](const QString&) { return true; }});
    dialog_->setYearRunner([](const QString&, const YearJob& job) { return job({}, {}); });
    dialog_->setYearQuestion([this](int) { return yearAnswer_; });
    dialog_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
    compositions_ = std::make_unique<QSignalSpy>(dialog_.get(), &MainDialog::pictureComposed);
    return *dialog_;
  }
  bool Cancel(Id button) {
    ++asked_[button];
    return false;
  }
  QString Photo(const QString& name, QColor colour) const {
    EXPECT_TRUE(testing::Filled({64, 48}, colour).save(workDir_.filePath(name)));
    return workDir_.filePath(name);
  }
  void Click(Id id) const { QTest::mouseClick(FindControl(dialog_.get(), id), Qt::LeftButton); }
  // A drag entering at `point` and a drop there, sent through the window as the window system
  // does: Qt gives them to the widget under the point that takes drops.
  void DropAt(QPoint point, const QStringList& files) const {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& file : files) {
      urls << QUrl::fromLocalFile(file);
    }
    data.setUrls(urls);
    data.setText(files.value(0));  // file managers offer the names as text too
    QWindow* window = dialog_->windowHandle();
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    QDropEvent drop(QPointF(point), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
  }
  QPoint Centre(Id id) const { return FindControl(dialog_.get(), id)->geometry().center(); }
  QString Notice() const { return dialog_->notice(); }
  // The picture-size label followed by the position label.
  QString Labels() const {
    return FindControl<QLineEdit>(dialog_.get(), Id::SizeLabel)->text() +
           FindControl<QLineEdit>(dialog_.get(), Id::PositionLabel)->text();
  }
  const CalendarSettings& Settings() const { return dialog_->session().settings(); }
  QString PhotoPath() const { return QtPath(dialog_->session().photoPath()); }
  // The composed picture as the window wrote it.
  QImage Composed() const { return QImage(QtPath(dialog_->session().composedPicturePath())); }
  QColor Corner() const { return Composed().pixelColor(5, 5); }
  // Lets the photograph the last change left to the worker arrive.
  void WaitForPhoto() const {
    EXPECT_TRUE(QTest::qWaitFor([this] { return !dialog_->session().photoPending(); }));
  }
  // Desktop programs that answer: GNOME's settings in a keyfile, a stand-in systemctl.
  void UseGnome() {
    systemctl_.Add("systemctl");
    environment_.Set("PATH", (systemctl_.folder() + ":/usr/bin:/bin").toUtf8());
    environment_.Set("GSETTINGS_BACKEND", "keyfile");
    // The fixture keeps holiday files out of XDG_DATA_DIRS, and with them GNOME's schemas.
    environment_.Set("GSETTINGS_SCHEMA_DIR", "/usr/share/glib-2.0/schemas");
    environment_.Set("XDG_CURRENT_DESKTOP", "GNOME");
    environment_.Set("DISPLAY", "");
    EXPECT_TRUE(testing::WriteBytes("holiday.dat", QByteArray::number(today_.year) + ",0101\n"));
  }
  // Runs the command of the renewal's service, as its timer would: the exit status and what it
  // said.
  std::pair<int, QString> RunRenewal() const {
    const QString service = QString::fromUtf8(
        testing::ReadBytes(QFileInfo(profile_).path() + "/systemd/user/lunetta-wallpaper.service"));
    const QStringList command =
        QProcess::splitCommand(service.section("ExecStart=", 1).section('\n', 0, 0));
    QProcess renewal;
    renewal.start(command.value(0), command.mid(1));
    EXPECT_TRUE(renewal.waitForFinished(30000));
    return {renewal.exitCode(), QString::fromUtf8(renewal.readAllStandardError())};
  }
  QString Wallpaper() const {
    return home_.filePath(
        QString::asprintf("data/lunetta/wallpaper-%d-%02d.jpg", today_.year, today_.month));
  }

  QTemporaryDir workDir_;
  QTemporaryDir home_;
  ScopedEnvironment environment_;
  QString profile_;
  const LocalDate today_ = Today();
  QStringList reports_;            // what the error reporters were given
  std::optional<QString> answer_;  // the open dialog's answer: nothing is a cancel
  QString saveTarget_;             // the save dialog's answer: empty is a cancel
  std::map<Id, int> asked_;        // how often each button's dialog ran
  QStringList startFolders_;       // where the open and save dialogs started
  QString filter_;                 // the open dialog's last filter
  std::optional<int> yearAnswer_;  // the year asked for with the "other year" item
  std::unique_ptr<MainDialog> dialog_;
  std::unique_ptr<QSignalSpy> compositions_;
  test_support::StandInPrograms systemctl_;
};

// The selectors start on today. A change of year reads the holiday file of the folder the window
// started in, wherever the current folder has gone since.
TEST_F(MainDialogTest, AChangeOfYearReadsTheHolidaysOfTheStartUpFolder) {
  const int next = today_.month == 12 ? 11 : today_.month + 1;
  ASSERT_TRUE(testing::WriteBytes(
      "holiday.dat", QString::asprintf("%d,%02d21\n", today_.year + 1, next).toLatin1()));
  MainDialog& dialog = Start();
  EXPECT_EQ(FindControl<QComboBox>(&dialog, Id::Year)->itemText(2),
            QStringLiteral("%1 年").arg(today_.year + 2));
  EXPECT_EQ(QPoint(dialog.selectedMonth(), dialog.selectedYear()),
            QPoint(today_.month, today_.year));
  QTest::keyClick(FindControl(&dialog, Id::Month), next < today_.month ? Qt::Key_Up : Qt::Key_Down);
  QTemporaryDir elsewhere;
  ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
  QTest::keyClick(FindControl(&dialog, Id::Year), Qt::Key_Down);
  EXPECT_EQ(QPoint(dialog.selectedMonth(), dialog.selectedYear()), QPoint(next, today_.year + 1));
  EXPECT_EQ(dialog.session().DrawnHolidays(), std::vector{21});
  EXPECT_EQ(compositions_->count(), 2);
}

// The window follows each notch with the month's block, over the photo it showed last; only the
// month the wheel stops at is decoded, on the worker, and shows once it arrives.
TEST_F(MainDialogTest, WheelingThroughTheMonthsDecodesOnlyTheMonthItStopsAt) {
  QByteArray profile;
  for (int month = 1; month <= 3; ++month) {
    profile += QString::asprintf("Month Photo %02d=", month).toUtf8() +
               Photo(QStringLiteral("%1.png").arg(month), MonthColour(month)).toUtf8() + '\n';
  }
  static std::atomic<int> decodes;  // outlives the window's worker
  decodes = 0;
  SessionEnvironment environment = MainDialog::DesktopEnvironment();
  environment.clock = [this] { return LocalDate{today_.year, 1, 15}; };
  environment.loadPhoto = [](const std::filesystem::path& path, QSize size, PhotoFit fit) {
    ++decodes;
    return LoadPictureFile(path, size, fit);
  };
  MainDialog& dialog = Start(profile, std::move(environment));
  QWidget* selector = FindControl(&dialog, Id::Month);
  // Two notches down, past February to March.
  const QPoint centre = selector->rect().center();
  QWheelEvent notch(centre, selector->mapToGlobal(centre), {}, {0, -120}, Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(selector, &notch);
  QApplication::sendEvent(selector, &notch);
  EXPECT_EQ(dialog.selectedMonth(), 3);
  EXPECT_EQ(Corner(), MonthColour(1));
  WaitForPhoto();
  EXPECT_EQ(Corner(), MonthColour(3));
  EXPECT_EQ(decodes, 2);  // January's at the start, then March's
}

// Exit, or Enter, which presses it, saves the profile; Escape and the close box do not. Enter in a
// selector's text field confirms the typed item only: text that names no item gives way to the
// selected one.
TEST_F(MainDialogTest, OnlyTheExitButtonSavesTheProfile) {
  const auto enterIn = [](Id selector) {
    return [selector](MainDialog* d) {
      auto* box = FindControl<QComboBox>(d, selector);
      box->setFocus();
      box->lineEdit()->selectAll();
      QTest::keyClicks(box, "13");
      QTest::keyClick(box, Qt::Key_Return);
      EXPECT_EQ(box->currentText(), box->itemText(box->currentIndex()));
    };
  };
  const struct {
    std::function<void(MainDialog*)> act;
    bool closes;
    bool saves;
  } ways[] = {{[](MainDialog* d) { QTest::mouseClick(FindControl(d, Id::Exit), Qt::LeftButton); },
               true, true},
              {[](MainDialog* d) { QTest::keyClick(d, Qt::Key_Return); }, true, true},
              {[](MainDialog* d) { QTest::keyClick(d, Qt::Key_Escape); }, true, false},
              {[](MainDialog* d) { d->close(); }, true, false},
              {enterIn(Id::Month), false, false},
              {enterIn(Id::Year), false, false}};
  for (const auto& way : ways) {
    SCOPED_TRACE(&way - ways);
    MainDialog& dialog = Start("StartX=3\n");
    const QByteArray before = testing::ReadBytes(profile_);
    way.act(&dialog);
    EXPECT_EQ(dialog.isVisible(), !way.closes);
    EXPECT_EQ(testing::ReadBytes(profile_) != before, way.saves);
  }
}

// The settings dialog's choices apply only when confirmed; today's boxes at once.
TEST_F(MainDialogTest, SettingsRecomposeThePictureOnceApplied) {
  MainDialog& dialog = Start();
  CalendarSettings expected = Settings();
  expected.pictSize = 0;
  expected.startX = 7;
  for (const bool confirmed : {false, true}) {
    dialog.setSettingsDialogRunner([&, confirmed](CalendarSettings& edited) {
      edited = expected;
      return confirmed;
    });
    Click(Id::Settings);
  }
  EXPECT_EQ(Settings(), expected);
  EXPECT_EQ(compositions_->count(), 1);  // the cancelled run composed nothing
  EXPECT_EQ(Labels(), QStringLiteral("(800,600)(7,%1)").arg(600 - dialog.session().blockHeight()));
  // Today's boxes are settings like the dialog's: the picture is composed again with them.
  Click(Id::TodayMark);
  Click(Id::DimPastDays);
  EXPECT_EQ(std::pair(Settings().todayMark, Settings().dimPastDays), std::pair(true, true));
  EXPECT_EQ(compositions_->count(), 3);
}

// A classic size and 16:9 each keep their shape, between bands of the window's colour. The block
// follows the pointer from where it was grabbed (where it lands is the geometry's to test); a press
// beside the picture (next to the year selector, in a band) takes nothing.
TEST_F(MainDialogTest, TheBlockFollowsADragOnThePictureOnly) {
  const struct {
    const char* profile;
    QSize picture;
  } cases[] = {
      {"PictSize=0\nStartX=100\nStartY=100", {800, 600}},
      {"Size Kind=2\nCustom Width=1920\nCustom Height=1080\nStartX=100\nStartY=100", {1920, 1080}}};
  for (const auto& [profile, picture] : cases) {
    MainDialog& dialog = Start(profile);
    EXPECT_EQ(Labels(),
              QStringLiteral("(%1,%2)(100,100)").arg(picture.width()).arg(picture.height()));
    const QRect b = dialog.previewBounds();
    const QRect area = FindControl(&dialog, Id::Preview)->geometry();
    const QPoint corner(b.left() + int(100 * dialog.previewScaleX()),
                        b.top() + int(100 * dialog.previewScaleY()));
    const QPoint grabbed = corner + QPoint(12, 9);

    // Moving paints from memory, never from the file, and only shows where the block would go.
    ASSERT_TRUE(QFile::remove(QtPath(dialog.session().composedPicturePath())));
    QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, grabbed);
    QTest::mouseMove(&dialog, grabbed + QPoint(40, 30));
    EXPECT_EQ(dialog.dragFrame().topLeft(), corner + QPoint(40, 30));
    const QPoint lowerRight(b.x() + b.width() + 50, b.y() + b.height() + 50);
    QTest::mouseMove(&dialog, lowerRight);
    const QString shownLabels = Labels();
    const QImage window = dialog.grab().toImage();
    EXPECT_EQ(window.pixelColor(b.left() + 3, b.y() + b.height() - 3), kDesktop);
    if (b.top() > area.top()) {
      EXPECT_EQ(window.pixelColor(area.center().x(), area.top() + 2),
                dialog.palette().color(QPalette::Window));
    }
    QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, lowerRight);
    EXPECT_EQ(std::pair(dialog.dragFrame(), Labels()), std::pair(QRect(), shownLabels));
    EXPECT_FALSE(Composed().isNull()) << "the release composes the picture again";

    // A click on the picture off the block: the block's corner comes to the pointer.
    QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier, b.topLeft());
    EXPECT_EQ(QPoint(Settings().startX, Settings().startY), QPoint(0, 0));
    const int composed = compositions_->count();
    const QWidget* year = FindControl(&dialog, Id::Year);
    for (const QPoint beside :
         {year->geometry().topLeft() - QPoint(4, 0), QPoint(b.x() + b.width() + 2, 200),
          QPoint(200, b.y() + b.height() + 2), QPoint(b.left() + 100, b.top() - 3)}) {
      QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, beside);
      EXPECT_FALSE(dialog.dragging());
      QTest::mouseMove(&dialog, QPoint(200, 200));
      QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
      EXPECT_EQ(dialog.dragFrame(), QRect());
    }
    EXPECT_EQ(QPoint(Settings().startX, Settings().startY), QPoint(0, 0));
    EXPECT_EQ(compositions_->count(), composed);
  }
}

// Enter (either key) presses the button that has the focus, which opens its own dialog; elsewhere
// it presses Exit (the profile's test sends it there).
TEST_F(MainDialogTest, EnterOnAFocusedButtonPressesThatButton) {
  // The button with the focus, and the one whose dialog it opens.
  const std::pair<Id, Id> buttons[] = {{Id::Open, Id::Open},
                                       {Id::MonthPhoto, Id::Open},
                                       {Id::Settings, Id::Settings},
                                       {Id::Print, Id::Print},
                                       {Id::PrintYear, Id::Print},
                                       {Id::DesktopPicture, Id::DesktopPicture},
                                       {Id::SaveYear, Id::DesktopPicture}};
  for (const auto& [button, asking] : buttons) {
    MainDialog& dialog = Start();
    asked_.clear();
    FindControl(&dialog, button)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(dialog.isVisible()) << int(button);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    EXPECT_EQ(asked_, (std::map<Id, int>{{asking, 2}})) << int(button);
  }
}

// The first of several files dropped anywhere on the window is the photo, the selectors' text
// untouched.
TEST_F(MainDialogTest, AFileDroppedAnywhereIsThePhoto) {
  const QString green = Photo("green.bmp", Qt::green), red = Photo("red.bmp", Qt::red);
  MainDialog& dialog = Start();
  const QString yearText = FindControl<QComboBox>(&dialog, Id::Year)->currentText();
  int n = 0;
  for (const QPoint place : {QPoint(200, 200), Centre(Id::Year), Centre(Id::Month),
                             Centre(Id::SizeLabel), Centre(Id::Notice), Centre(Id::Settings)}) {
    const QString first = n++ % 2 == 0 ? green : red;
    DropAt(place, {first, first == green ? red : green});
    EXPECT_EQ(PhotoPath(), first) << place.x() << "," << place.y();
  }
  EXPECT_EQ(FindControl<QComboBox>(&dialog, Id::Year)->currentText(), yearText);
  EXPECT_EQ(Corner(), QColor(Qt::red));
}

// The main photo and the month's own: chosen, replaced by a drop, kept apart from the other months,
// saved with the year's pictures, remembered by the profile, cleared, and said when gone away.
TEST_F(MainDialogTest, AMonthsOwnPhotoIsKeptApartUntilCleared) {
  const QString green = Photo(QStringLiteral("海 の 写真.png"), Qt::green),
                red = Photo("red.png", Qt::red), blue = Photo("blue.png", Qt::blue);
  MainDialog& dialog = Start();
  const int month = dialog.selectedMonth();
  auto* clear = FindControl<QPushButton>(&dialog, Id::ClearMonthPhoto);
  answer_ = green;
  Click(Id::Open);
  EXPECT_FALSE(clear->isEnabled());
  answer_ = red;
  Click(Id::MonthPhoto);
  EXPECT_EQ(std::pair(QtPath(dialog.session().monthPhotoPath(month)), Corner()),
            std::pair(red, QColor(Qt::red)));
  EXPECT_TRUE(clear->isEnabled());
  DropAt(QPoint(200, 200), {blue});
  EXPECT_EQ(std::pair(QtPath(dialog.session().monthPhotoPath(month)), Corner()),
            std::pair(blue, QColor(Qt::blue)));
  EXPECT_EQ(PhotoPath(), green);

  const int other = month == 12 ? 11 : month + 1;
  QTest::keyClick(FindControl(&dialog, Id::Month), other < month ? Qt::Key_Up : Qt::Key_Down);
  EXPECT_FALSE(clear->isEnabled());

  // Saved at once, before the main photo has come back from the worker: with it all the same.
  QTemporaryDir folder;
  saveTarget_ = folder.filePath("desktop.png");
  Click(Id::DesktopPicture);
  EXPECT_EQ(QImage(saveTarget_).pixelColor(5, 5), QColor(Qt::green));
  EXPECT_EQ(Corner(), QColor(Qt::green));
  saveTarget_ = folder.filePath("c.png");
  Click(Id::SaveYear);
  EXPECT_TRUE(Notice().contains(QDir::toNativeSeparators(folder.path()))) << Notice().toStdString();

  Click(Id::Exit);
  Start();
  EXPECT_EQ(Corner(), QColor(Qt::blue));
  EXPECT_FALSE(Notice().contains(QStringLiteral("写真"))) << Notice().toStdString();
  Click(Id::ClearMonthPhoto);
  WaitForPhoto();
  EXPECT_EQ(std::pair(PhotoPath(), Corner()), std::pair(green, QColor(Qt::green)));
  EXPECT_FALSE(FindControl(dialog_.get(), Id::ClearMonthPhoto)->isEnabled());
  Click(Id::Exit);

  QFile::remove(green);
  Start();
  EXPECT_EQ(Corner(), kDesktop);
  EXPECT_TRUE(Notice().startsWith(QStringLiteral("前回の写真を開けないため")) &&
              Notice().endsWith(green))
      << Notice().toStdString();
}

// The open dialog starts in the last photo's folder, else in Pictures, else at home; the save
// dialog in the last save folder, else Pictures. Never the working directory. After the open
// dialog the focus is back on its button, where the arrow keys do not change the year.
TEST_F(MainDialogTest, FileDialogsStartWhereTheUserExpects) {
  MainDialog& dialog = Start();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  Click(Id::Open);  // no Pictures folder yet: home
  ASSERT_TRUE(QDir(home_.path()).mkpath("Pictures/trip"));
  Click(Id::Open);
  const QString sea = home_.filePath("Pictures/trip/sea.bmp");
  ASSERT_TRUE(QFile::rename(Photo("sea.bmp", Qt::green), sea));
  answer_ = sea;
  Click(Id::Open);
  answer_.reset();  // cancelled: the photo stays
  Click(Id::Open);
  EXPECT_EQ(PhotoPath(), sea);
  EXPECT_EQ(startFolders_,
            (QStringList{home_.path(), home_.filePath("Pictures"), home_.filePath("Pictures"),
                         home_.filePath("Pictures/trip")}));
  EXPECT_TRUE(filter_.startsWith("画像ファイル (*.jpg *.jpeg *.png *.bmp") &&
              filter_.endsWith(";;すべてのファイル (*)"))
      << filter_.toStdString();
  EXPECT_EQ(QApplication::focusWidget(), FindControl(&dialog, Id::Open));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_EQ(dialog.selectedYear(), today_.year);

  startFolders_.clear();
  ASSERT_TRUE(QDir(home_.path()).mkpath("walls"));
  saveTarget_ = home_.filePath("walls/DeskTopImg.jpg");
  Click(Id::DesktopPicture);
  Click(Id::DesktopPicture);
  EXPECT_EQ(startFolders_, (QStringList{home_.filePath("Pictures"), home_.filePath("walls")}));
  EXPECT_EQ(Notice(),
            QStringLiteral("保存しました：%1").arg(QDir::toNativeSeparators(saveTarget_)));
}

// What went wrong is said in the notice line: an unusable photo each time it is chosen, a year
// whose holidays are predicted once.
TEST_F(MainDialogTest, TheNoticeLineSaysWhatWentWrong) {
  MainDialog& dialog = Start();  // no holiday file anywhere: the rules need no word about it
  EXPECT_FALSE(Notice().contains(QStringLiteral("holiday.dat"))) << Notice().toStdString();

  ASSERT_TRUE(testing::WriteBytes("holiday.dat",
                                  QString::asprintf("%d,0101\n", today_.year + 1).toLatin1()));
  auto* year = FindControl<QComboBox>(&dialog, Id::Year);
  dialog.ShowNotice(QString());
  QTest::keyClick(year, Qt::Key_Down);  // listed: nothing to say
  EXPECT_EQ(Notice(), QString());
  QTest::keyClick(year, Qt::Key_Down);
  EXPECT_TRUE(Notice().contains(QStringLiteral("%1 年").arg(today_.year + 2)))
      << Notice().toStdString();
  dialog.ShowNotice(QString());
  for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down}) {
    QTest::keyClick(year, key);
  }
  EXPECT_EQ(Notice(), QString());  // each year was told once

  // Another year: asked for, or typed; junk and years past the rules' go back to the year shown.
  yearAnswer_ = 2150;
  year->setCurrentIndex(year->count() - 1);
  emit year->activated(year->count() - 1);
  EXPECT_EQ(dialog.selectedYear(), 2150);
  EXPECT_TRUE(Notice().contains(QStringLiteral("2150 年"))) << Notice().toStdString();
  const auto type = [&](const QString& text) {
    year->lineEdit()->setText(text);
    QTest::keyClick(year, Qt::Key_Return);
  };
  type(QStringLiteral("2080"));
  EXPECT_EQ(QPoint(dialog.selectedYear(), year->currentIndex()), QPoint(2080, 3));
  EXPECT_TRUE(Notice().contains(QStringLiteral("2080 年"))) << Notice().toStdString();
  dialog.ShowNotice(QString());
  for (const QString& text : {QStringLiteral("２１５０年"), QStringLiteral("2200")}) {
    type(text);
    EXPECT_EQ(year->currentText(), QStringLiteral("2150 年"));
  }
  yearAnswer_.reset();  // cancelled
  year->setCurrentIndex(year->count() - 1);
  emit year->activated(year->count() - 1);
  EXPECT_EQ(dialog.selectedYear(), 2150);
  EXPECT_EQ(Notice(), QString());  // told once

  // A calendar file's line that cannot be read is named once, with the file.
  ASSERT_TRUE(
      testing::WriteBytes("bad.ics",
                          "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:2026021X\r\n"
                          "END:VEVENT\r\nEND:VCALENDAR\r\n"));
  dialog.setSettingsDialogRunner([&](CalendarSettings& edited) {
    edited.calendarFiles = {{FilePath(workDir_.filePath("bad.ics")), SpecialDayKind::Day}};
    return true;
  });
  for (const QString& told : {QStringLiteral("bad.ics：3 行目"), QString()}) {
    dialog.ShowNotice(QString());
    Click(Id::Settings);
    EXPECT_EQ(Notice().section(QStringLiteral("カレンダーファイル "), 1).left(told.size()), told)
        << Notice().toStdString();
  }

  // A long name: the line is cut at its end, the tool tip has it all.
  const QString text = workDir_.filePath(QString(120, 'n') + ".jpg");
  ASSERT_TRUE(testing::WriteBytes(text, "not a picture"));
  answer_ = text;
  Click(Id::Open);
  const QString unusable = Notice();
  EXPECT_TRUE(unusable.contains(QFileInfo(text).fileName())) << unusable.toStdString();
  const QString shown = FindControl<QLabel>(&dialog, Id::Notice)->text();
  EXPECT_TRUE(shown.endsWith(QChar(0x2026)) && unusable.startsWith(shown.chopped(1)))
      << shown.toStdString();
  dialog.ShowNotice("other");
  QTest::keyClick(FindControl(&dialog, Id::Month), Qt::Key_Up);
  EXPECT_EQ(Notice(), "other");  // not told again at every composition
  Click(Id::Open);
  EXPECT_EQ(Notice(), unusable);  // chosen again: told again
  answer_ = Photo("sea.bmp", Qt::green);
  Click(Id::Open);
  EXPECT_EQ(Notice(), QString());
}

// Each window writes into a private folder of its own (the file layer makes it so nobody else can
// enter it), and takes it away at the end. With TMPDIR naming a folder that is not there, nothing
// is written in the working directory; the user is told once, and the preview still shows the
// picture.
TEST_F(MainDialogTest, TheComposedPictureGoesOnlyIntoAFolderOfTheWindowsOwn) {
  MainDialog& first = Start();
  {
    const MainDialog second;
    const std::filesystem::path path = first.session().composedPicturePath();
    EXPECT_NE(path.parent_path(), second.session().composedPicturePath().parent_path());
    EXPECT_TRUE(std::filesystem::exists(path));
    dialog_.reset();
    EXPECT_FALSE(std::filesystem::exists(path.parent_path()));
    ScopedEnvironment gone;
    gone.Set("TMPDIR", workDir_.filePath("gone").toUtf8());
    Start();
  }
  dialog_->RefreshCalendarPicture();
  QCoreApplication::processEvents();
  ASSERT_EQ(reports_.size(), 1);
  EXPECT_TRUE(reports_[0].contains("gone")) << reports_[0].toStdString();
  EXPECT_FALSE(dialog_->previewPicture().isNull());
  EXPECT_EQ(QDir(workDir_.path()).entryList(QDir::Files), QStringList{});
}

// A profile that is a FIFO: the window starts instead of waiting on it, and Exit leaves it in place
// and says why. (The store's own tests cover read-only, linked and oversized profiles.)
TEST_F(MainDialogTest, ExitNeverReplacesAProfileItMayNotWrite) {
  ASSERT_EQ(::mkfifo(profile_.toLocal8Bit().constData(), 0600), 0);
  Start();
  Click(Id::Exit);
  ASSERT_EQ(reports_.size(), 1);
  EXPECT_TRUE(reports_[0].contains(profile_)) << reports_[0].toStdString();
  EXPECT_FALSE(QFileInfo(profile_).isFile());
}

// Escape saves nothing, yet the renewal sets what the window showed when the box was ticked, and
// after each later wallpaper set, or nothing. The wallpaper button says what it did.
TEST_F(MainDialogTest, TheWallpaperSetIsTheOneTheRenewalSets) {
  UseGnome();
  Start();
  answer_ = Photo("green.png", Qt::green);
  Click(Id::Open);
  Click(Id::MonthlyRefresh);
  QTest::keyClick(dialog_.get(), Qt::Key_Escape);
  EXPECT_EQ(RunRenewal(), std::pair(0, QString()));
  EXPECT_EQ(QImage(Wallpaper()).pixelColor(5, 5).green(), 255);

  Start();
  answer_ = Photo("red.png", Qt::red);
  Click(Id::Open);
  Click(Id::SetWallpaper);
  EXPECT_TRUE(Notice().endsWith(Wallpaper())) << Notice().toStdString();
  QTest::keyClick(dialog_.get(), Qt::Key_Escape);
  ASSERT_TRUE(QFile::remove(Wallpaper()));
  EXPECT_EQ(RunRenewal(), std::pair(0, QString()));
  EXPECT_EQ(QImage(Wallpaper()).pixelColor(5, 5).red(), 254);
  // Its photo gone, on a later day: the renewal says it leaves the wallpaper.
  ASSERT_TRUE(QFile::remove(*answer_));
  QFile::remove(QFileInfo(profile_).path() + "/lunetta/renewal.stamp");
  const auto [status, said] = RunRenewal();
  EXPECT_EQ(status, 1);
  EXPECT_TRUE(said.endsWith(": no such file; the wallpaper is left as it was\n"))
      << said.toStdString();

  Start();
  environment_.Set("XDG_CURRENT_DESKTOP", "sway");
  Click(Id::SetWallpaper);
  ASSERT_EQ(reports_.size(), 1);
  EXPECT_TRUE(reports_[0].startsWith(QStringLiteral("sway の壁紙を設定できませんでした。")))
      << reports_[0].toStdString();
}

// Off, monthly and daily are one choice, remembered without Exit: ticking one box unticks the
// other. A renewal that cannot be installed unticks its box and says why.
TEST_F(MainDialogTest, TheRenewalBoxesShowTheRenewalInForce) {
  UseGnome();
  const auto ticked = [&] {
    return std::pair(FindControl<QCheckBox>(dialog_.get(), Id::MonthlyRefresh)->isChecked(),
                     FindControl<QCheckBox>(dialog_.get(), Id::DailyRefresh)->isChecked());
  };
  // Rows: the box clicked, both boxes after the click and again after Escape and a new start.
  const std::pair<Id, std::pair<bool, bool>> clicks[] = {{Id::MonthlyRefresh, {true, false}},
                                                         {Id::DailyRefresh, {false, true}},
                                                         {Id::MonthlyRefresh, {true, false}},
                                                         {Id::MonthlyRefresh, {false, false}}};
  Start();
  const QWidget* box = FindControl(dialog_.get(), Id::MonthlyRefresh);
  EXPECT_LE(box->sizeHint().width(), box->width()) << "the box's text is cut";
  for (const auto& [clicked, expected] : clicks) {
    SCOPED_TRACE(&clicked - &clicks[0].first);
    Click(clicked);
    EXPECT_EQ(ticked(), expected);
    QTest::keyClick(dialog_.get(), Qt::Key_Escape);
    Start();
    EXPECT_EQ(ticked(), expected);
  }
  // A folder that cannot be made: the box goes back and says why.
  const QString systemd = QFileInfo(profile_).path() + "/systemd";
  ASSERT_TRUE(QDir(systemd).removeRecursively());
  ASSERT_TRUE(testing::WriteBytes(systemd, "a file where a folder must go"));
  Click(Id::MonthlyRefresh);
  EXPECT_EQ(ticked(), std::pair(false, false));
  EXPECT_EQ(reports_.size(), 1);
  QFile::remove(systemd);  // the configuration folder outlives the test
}

}  // namespace
}  // namespace lunetta
