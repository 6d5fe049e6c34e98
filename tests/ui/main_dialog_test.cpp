#include "ui/main_dialog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWindow>
#include <filesystem>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "picture/picture_files.h"
#include "platform/dialog_units.h"
#include "settings/settings_store.h"
#include "support/picture_printers.h"
#include "support/stand_in_programs.h"

namespace lunetta {
namespace {

const QColor kDesktop(0x3A, 0x6E, 0xA5);  // the picture where no photograph lies

void WriteText(const QString& path, const QByteArray& text) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
}

// Sets an environment variable for the life of the object.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const QString& value) : name_(name), old_(qgetenv(name)) {
    qputenv(name, value.toUtf8());
  }
  ~ScopedVariable() { qputenv(name_, old_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  QByteArray old_;
};

class MainDialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InstallFontSubstitutions(); }
  void SetUp() override {
    ASSERT_TRUE(QDir::setCurrent(workDir_.path()));
    QFile::remove(profile_);
  }

  // Sends a drag entering at `point` and a drop there through the window, as the window system
  // does: Qt gives them to the widget under the point that takes drops. File managers offer the
  // names as text too.
  void DropAt(QPoint point, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    data.setText(urls.value(0).toLocalFile());
    QWindow* window = dialog_->windowHandle();
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    QDropEvent drop(QPointF(point), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
  }
  QString Notice() const { return dialog_->notice(); }

  MainDialog& Start() {
    dialog_ = std::make_unique<MainDialog>();
    dialog_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
    compositions_ = std::make_unique<QSignalSpy>(dialog_.get(), &MainDialog::pictureComposed);
    return *dialog_;
  }
  // The picture-size label followed by the position label.
  QString Labels() const {
    return FindControl<QLineEdit>(dialog_.get(), MainControl::SizeLabel)->text() +
           FindControl<QLineEdit>(dialog_.get(), MainControl::PositionLabel)->text();
  }
  // The composed picture as the window wrote it.
  QImage Composed() const { return QImage(QtPath(dialog_->session().composedPicturePath())); }
  QColor Corner() const { return Composed().pixelColor(5, 5); }

  QTemporaryDir workDir_;
  // No holiday file but the ones a test writes, and a home of the test's own.
  QTemporaryDir home_;
  ScopedVariable homeVariable_{"HOME", home_.path()};
  ScopedVariable dataHome_{"XDG_DATA_HOME", home_.filePath("data")};
  ScopedVariable dataDirs_{"XDG_DATA_DIRS", home_.filePath("system")};
  const QString profile_ = QString::fromStdString(ProfilePath().string());
  const LocalDate today_ = Today();
  std::unique_ptr<MainDialog> dialog_;
  std::unique_ptr<QSignalSpy> compositions_;
};

TEST_F(MainDialogTest, StartUpSelectsTodayMonthChangeKeepsHolidaysYearChangeReloadsThem) {
  MainDialog& dialog = Start();  // no profile, no holiday.dat yet
  auto* month = FindControl<QComboBox>(&dialog, MainControl::Month);
  auto* year = FindControl<QComboBox>(&dialog, MainControl::Year);
  EXPECT_EQ(month->itemText(0) + month->itemText(11), QStringLiteral("　１月１２月"));
  EXPECT_EQ(year->itemText(2), QStringLiteral("%1 年").arg(today_.year + 2));
  EXPECT_EQ(QPoint(month->currentIndex(), year->currentIndex()), QPoint(today_.month - 1, 0));
  EXPECT_EQ(Labels(), "(1024,768)(560,500)");
  EXPECT_EQ(Composed().size(), QSize(1024, 768));
  EXPECT_EQ(Corner(), kDesktop);

  std::vector<std::vector<int>> seen;  // the selected month's holidays at each composition
  QObject::connect(&dialog, &MainDialog::pictureComposed, &dialog,
                   [&] { seen.push_back(dialog.session().DrawnHolidays()); });
  const int next = today_.month == 12 ? 11 : today_.month + 1;
  WriteText("holiday.dat",
            QString::asprintf("%d,%02d20\n%d,%02d21\n", today_.year, next, today_.year + 1, next)
                .toLatin1());
  QTest::keyClick(month, next < today_.month ? Qt::Key_Up : Qt::Key_Down);
  // holiday.dat is read where the program started, wherever the current directory is now.
  QTemporaryDir elsewhere;
  ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
  QTest::keyClick(year, Qt::Key_Down);
  EXPECT_EQ(QPoint(dialog.selectedMonth(), dialog.selectedYear()), QPoint(next, today_.year + 1));
  EXPECT_EQ(seen, (std::vector<std::vector<int>>{{}, {21}}));
}

TEST_F(MainDialogTest, LabelsShowTheProfilesSizeAndPosition) {
  for (const auto& [profile, size] :
       {std::pair("PictSize=0", "(800,600)"), std::pair("PictSize=1", "(1024,768)"),
        std::pair("PictSize=5", "(1280,1024)"),
        std::pair("PictSize=0\nSize Kind=2\nCustom Width=1920\nCustom Height=1080",
                  "(1920,1080)")}) {
    WriteText(profile_, QByteArray("[Configuration]\n") + profile);
    Start();
    EXPECT_EQ(Labels(), size + QStringLiteral("(560,500)"));
  }
}

TEST_F(MainDialogTest, DropUsesTheFirstFileOpenReplacesItCancelKeepsIt) {
  QList<QUrl> photos;
  for (const QColor color : {QColor(Qt::green), QColor(Qt::red), QColor(Qt::blue)}) {
    photos << QUrl::fromLocalFile(workDir_.filePath(color.name() + QStringLiteral(".bmp")));
    QImage photo(64, 48, QImage::Format_RGB32);
    photo.fill(color);
    ASSERT_TRUE(photo.save(photos.back().toLocalFile()));
  }
  QMimeData data;
  data.setUrls(photos);
  const QString text = workDir_.filePath(QStringLiteral("notes.txt"));
  WriteText(text, "not a picture");
  MainDialog& dialog = Start();
  // Qt delivers a drop to the widget that accepted the drag's entry.
  QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&dialog, &enter);
  QDropEvent drop(QPointF(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&dialog, &drop);
  EXPECT_EQ(std::pair(QtPath(dialog.session().photoPath()), Corner()),
            std::pair(photos[0].toLocalFile(), QColor(Qt::green)));

  // Open: a photo, then cancelled (the photo stays), then a file that does not decode.
  const std::optional<QString> answers[] = {photos[1].toLocalFile(), std::nullopt, text};
  const std::pair<QString, QColor> expected[] = {
      {photos[1].toLocalFile(), Qt::red}, {photos[1].toLocalFile(), Qt::red}, {text, kDesktop}};
  for (int i = 0; i < 3; ++i) {
    dialog.setOpenFileDialog([&](const QString&, const QString&) { return answers[i]; });
    QTest::mouseClick(FindControl(dialog_.get(), MainControl::Open), Qt::LeftButton);
    EXPECT_EQ(std::pair(QtPath(dialog.session().photoPath()), Corner()), expected[i]);
    EXPECT_EQ(compositions_->count(), i + 2);  // one composition each
  }
}

TEST_F(MainDialogTest, ExitAndEnterSaveInKeyOrderEscapeAndCloseBoxSaveNothing) {
  const auto enterIn = [](MainControl selector) {
    return [selector](MainDialog* d) {
      QTest::keyClick(FindControl<QComboBox>(d, selector)->lineEdit(), Qt::Key_Return);
    };
  };
  const struct {
    std::function<void(MainDialog*)> act;
    bool closes;
    bool saves;
  } ways[] = {
      {[](MainDialog* d) { QTest::mouseClick(FindControl(d, MainControl::Exit), Qt::LeftButton); },
       true, true},
      {[](MainDialog* d) { QTest::keyClick(d, Qt::Key_Return); }, true, true},
      {[](MainDialog* d) { QTest::keyClick(d, Qt::Key_Escape); }, true, false},
      {[](MainDialog* d) { d->close(); }, true, false},  // the close box
      // Enter in a selector's text field confirms the typed item only.
      {enterIn(MainControl::Month), false, false},
      {enterIn(MainControl::Year), false, false}};
  int way = 0;
  for (const auto& [act, closes, saves] : ways) {
    WriteText(profile_, saves ? "" : "[Configuration]\nStartX=3\nStartY=4\n");
    MainDialog& dialog = Start();
    QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    const QString moved = QStringLiteral("StartX=%1\n").arg(dialog.session().settings().startX);
    act(&dialog);
    EXPECT_EQ(dialog.isVisible(), !closes) << way;
    dialog_.reset();
    QFile file(profile_);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll()).remove(QLatin1Char('\r'));
    EXPECT_EQ(text.contains(moved), saves) << way;
    EXPECT_EQ(QString(text).remove(QRegularExpression("=.*|\\[.*\\]")).simplified(),
              saves ? "Font Name Text Size Text Color Back Ground Color Day Month Year "
                      "Transparency StartX StartY PictSize"
                    : "StartX StartY")
        << way;
    ++way;
  }
}

TEST_F(MainDialogTest, SettingsApplyOnlyWhenConfirmedAndRecompose) {
  MainDialog& dialog = Start();
  const CalendarSettings before = dialog.session().settings();
  for (const bool confirmed : {false, true}) {
    dialog.setSettingsDialogRunner([confirmed](CalendarSettings& edited) {
      edited.pictSize = 0;
      edited.startX = 7;
      return confirmed;
    });
    QTest::mouseClick(FindControl(&dialog, MainControl::Settings), Qt::LeftButton);
  }
  CalendarSettings expected = before;
  expected.pictSize = 0;
  expected.startX = 7;
  EXPECT_EQ(dialog.session().settings(), expected);
  EXPECT_EQ(compositions_->count(), 1);  // the cancelled run composed nothing
  EXPECT_EQ(Composed().size(), QSize(800, 600));
  EXPECT_EQ(Labels(), "(800,600)(7,500)");
}

// A classic size fills the preview; 16:9 keeps its shape between bands of the window's colour,
// where a press takes nothing. Either way the block reaches the picture's far corner exactly.
TEST_F(MainDialogTest, DragShowsFrameAndLabelReleaseStoresThePositionAndRecomposes) {
  const struct {
    const char* profile;
    QSize picture;
  } cases[] = {{"PictSize=0", {800, 600}},
               {"Size Kind=2\nCustom Width=1920\nCustom Height=1080", {1920, 1080}}};
  for (const auto& [profile, picture] : cases) {
    WriteText(profile_, QByteArray("[Configuration]\n") + profile);
    MainDialog& dialog = Start();
    const PreviewBounds b = dialog.previewBounds();
    const QRect area = FindControl(&dialog, MainControl::Preview)->geometry();
    const QSize shown(b.right - b.left, b.bottom - b.top);
    if (picture.width() == 800) {
      EXPECT_EQ(QRect(b.left, b.top, shown.width(), shown.height()), area);
    } else {
      EXPECT_NEAR(shown.width() * picture.height(), shown.height() * picture.width(),
                  picture.width());  // the shape, within a pixel
      EXPECT_EQ(QRect(b.left, b.top, shown.width(), shown.height()).center(), area.center());
    }
    EXPECT_EQ(dialog.previewScaleX(), double(shown.width()) / picture.width());
    // Moving paints from memory, never from the file, and only shows where the block would go.
    ASSERT_TRUE(QFile::remove(QtPath(dialog.session().composedPicturePath())));
    const QPoint lowerRight(b.right + 50, b.bottom + 50);
    QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(b.left + 80, b.top + 80));
    QTest::mouseMove(&dialog, lowerRight);
    EXPECT_EQ(dialog.dragFrame().bottomRight(), QPoint(b.right - 1, b.bottom - 1));
    const QString shownLabels = Labels();
    const QImage window = dialog.grab().toImage();
    EXPECT_EQ(window.pixelColor(b.left + 3, b.bottom - 3), kDesktop);

    // Released past the lower right: the block ends against the picture's edges.
    QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, lowerRight);
    EXPECT_EQ(std::pair(dialog.dragFrame(), Labels()), std::pair(QRect(), shownLabels));
    EXPECT_EQ(dialog.session().settings().startX + dialog.session().blockWidth(), picture.width());
    EXPECT_EQ(dialog.session().settings().startY + dialog.session().blockHeight(),
              picture.height());
    EXPECT_EQ(compositions_->count(), 1);
    // A click on the picture off the block: the block's corner comes to the pointer.
    QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(b.left, b.top));
    EXPECT_EQ(dialog.session().settings().startX, 0);
    EXPECT_EQ(dialog.session().settings().startY, 0);
    EXPECT_EQ(compositions_->count(), 2);
    if (b.top > area.top()) {
      // The band above the picture is the window's, and a press there takes nothing.
      EXPECT_EQ(window.pixelColor(area.center().x(), area.top() + 2),
                dialog.palette().color(QPalette::Window));
      QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(b.left + 100, b.top - 3));
      EXPECT_EQ(compositions_->count(), 2);
    }
  }
}

// The block stays under the pointer where it was grabbed; a press beside the preview (next to the
// year selector, on the window's background) takes nothing.
TEST_F(MainDialogTest, DragStartsOnlyOnThePreviewAndKeepsTheGrabOffset) {
  WriteText(profile_, "[Configuration]\nPictSize=0\nStartX=100\nStartY=100\n");
  MainDialog& dialog = Start();
  const PreviewBounds b = dialog.previewBounds();
  const QPoint corner(b.left + int(100 * dialog.previewScaleX()),
                      b.top + int(100 * dialog.previewScaleY()));
  const QPoint grabbed = corner + QPoint(12, 9);

  // Pressed and released on the block without a move: it stays exactly where it was.
  QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier, grabbed);
  EXPECT_EQ(Labels(), "(800,600)(100,100)");

  QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, grabbed);
  QTest::mouseMove(&dialog, grabbed + QPoint(40, 30));
  EXPECT_EQ(dialog.dragFrame().topLeft(), corner + QPoint(40, 30));
  QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, grabbed + QPoint(40, 30));
  EXPECT_NEAR(dialog.session().settings().startX, 100 + 40 / dialog.previewScaleX(), 2);
  EXPECT_NEAR(dialog.session().settings().startY, 100 + 30 / dialog.previewScaleY(), 2);
  const CalendarSettings placed = dialog.session().settings();
  const int composed = compositions_->count();

  const QWidget* year = FindControl(&dialog, MainControl::Year);
  for (const QPoint beside : {year->geometry().topLeft() - QPoint(4, 0), QPoint(b.right + 2, 200),
                              QPoint(200, b.bottom + 2)}) {
    QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, beside);
    EXPECT_FALSE(dialog.dragging());
    QTest::mouseMove(&dialog, QPoint(200, 200));
    QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    EXPECT_EQ(dialog.dragFrame(), QRect());
  }
  EXPECT_EQ(dialog.session().settings(), placed);
  EXPECT_EQ(compositions_->count(), composed);
}

// Enter (either key) presses the button that has the focus; only elsewhere does it press the exit
// button.
TEST_F(MainDialogTest, EnterOnAFocusedButtonPressesThatButton) {
  std::map<MainControl, int> asked;
  for (const MainControl id : {MainControl::Open, MainControl::Settings, MainControl::Print,
                               MainControl::DesktopPicture, MainControl::Exit}) {
    MainDialog& dialog = Start();
    dialog.setOpenFileDialog([&](const QString&, const QString&) {
      ++asked[MainControl::Open];
      return std::optional<QString>();
    });
    dialog.setSettingsDialogRunner([&](CalendarSettings&) {
      ++asked[MainControl::Settings];
      return false;
    });
    dialog.setPrintDialogs({[&](QPrinter&, PagePlacement&) {
                              ++asked[MainControl::Print];
                              return false;
                            },
                            [](const QString&) {}});
    dialog.setDesktopPictureDialogs({[&](const QString&, const QString&, const QString&) {
                                       ++asked[MainControl::DesktopPicture];
                                       return QString();
                                     },
                                     [](const QString&) {}});
    asked.clear();
    FindControl(&dialog, id)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    if (id != MainControl::Exit) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    }
    EXPECT_EQ(dialog.isVisible(), id != MainControl::Exit) << int(id);
    EXPECT_EQ(asked, (id == MainControl::Exit ? std::map<MainControl, int>{}
                                              : std::map<MainControl, int>{{id, 2}}))
        << int(id);
  }
}

// After the open dialog the focus is back on the open button, so the arrow keys do not change the
// year.
TEST_F(MainDialogTest, TheOpenButtonHasTheFocusAfterTheOpenDialog) {
  MainDialog& dialog = Start();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  dialog.setOpenFileDialog([](const QString&, const QString&) { return std::optional<QString>(); });
  QWidget* open = FindControl(&dialog, MainControl::Open);
  QTest::mouseClick(open, Qt::LeftButton);
  EXPECT_EQ(QApplication::focusWidget(), open);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_EQ(dialog.selectedYear(), today_.year);
}

// A photo dropped anywhere on the window is used: on the preview, a selector, the labels under
// the preview, a button. The selectors' text stays theirs.
TEST_F(MainDialogTest, APhotoDroppedAnywhereOnTheWindowIsUsed) {
  MainDialog& dialog = Start();
  const auto centre = [&](MainControl id) { return FindControl(&dialog, id)->geometry().center(); };
  const QString yearText = FindControl<QComboBox>(&dialog, MainControl::Year)->currentText();
  const QPoint places[] = {QPoint(200, 200),
                           centre(MainControl::Year),
                           centre(MainControl::Month),
                           centre(MainControl::SizeLabel),
                           centre(MainControl::Notice),
                           centre(MainControl::PositionLabel),
                           centre(MainControl::Settings)};
  int n = 0;
  for (const QPoint place : places) {
    const QString photo = workDir_.filePath(QStringLiteral("photo%1.bmp").arg(n++));
    QImage image(32, 24, QImage::Format_RGB32);
    image.fill(Qt::green);
    ASSERT_TRUE(image.save(photo));
    DropAt(place, {QUrl::fromLocalFile(photo)});
    EXPECT_EQ(QtPath(dialog.session().photoPath()), photo) << place.x() << "," << place.y();
  }
  EXPECT_EQ(FindControl<QComboBox>(&dialog, MainControl::Year)->currentText(), yearText);
  EXPECT_EQ(Corner(), QColor(Qt::green));
}

// The month's own photo: chosen, replaced by a drop, kept apart from the other months, saved with
// the year's pictures, remembered by the profile, and cleared.
TEST_F(MainDialogTest, AMonthsOwnPhotoIsChosenReplacedByADropSavedRememberedAndCleared) {
  std::map<QString, QString> photos;
  for (const QColor colour : {QColor(Qt::green), QColor(Qt::red), QColor(Qt::blue)}) {
    photos[colour.name()] = workDir_.filePath(colour.name().mid(1) + QStringLiteral(".png"));
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(photos[colour.name()]));
  }
  const auto answer = [](const QString& file) {
    return [file](const QString&, const QString&) { return std::optional<QString>(file); };
  };
  MainDialog& dialog = Start();
  const int month = dialog.selectedMonth();
  auto* clear = FindControl<QPushButton>(&dialog, MainControl::ClearMonthPhoto);
  dialog.setOpenFileDialog(answer(photos["#00ff00"]));
  QTest::mouseClick(FindControl(&dialog, MainControl::Open), Qt::LeftButton);
  EXPECT_FALSE(clear->isEnabled());
  dialog.setOpenFileDialog(answer(photos["#ff0000"]));
  QTest::mouseClick(FindControl(&dialog, MainControl::MonthPhoto), Qt::LeftButton);
  EXPECT_EQ(Corner(), QColor(Qt::red));
  EXPECT_TRUE(clear->isEnabled());
  DropAt(QPoint(200, 200), {QUrl::fromLocalFile(photos["#0000ff"])});
  EXPECT_EQ(QtPath(dialog.session().monthPhotoPath(month)), photos["#0000ff"]);
  EXPECT_EQ(QtPath(dialog.session().photoPath()), photos["#00ff00"]);
  EXPECT_EQ(Corner(), QColor(Qt::blue));

  auto* monthSelector = FindControl<QComboBox>(&dialog, MainControl::Month);
  const int other = month == 12 ? 11 : month + 1;
  QTest::keyClick(monthSelector, other < month ? Qt::Key_Up : Qt::Key_Down);
  EXPECT_EQ(Corner(), QColor(Qt::green));
  EXPECT_FALSE(clear->isEnabled());

  QTemporaryDir folder;
  dialog.setDesktopPictureDialogs(
      {[&](const QString&, const QString& proposed, const QString&) {
         EXPECT_EQ(proposed, QStringLiteral("%1-01.jpg").arg(today_.year));
         return folder.filePath("calendar.png");
       },
       [](const QString& message) { ADD_FAILURE() << message.toStdString(); }});
  dialog.setYearRunner([](const QString&, const YearJob& job) { return job({}, {}); });
  QTest::mouseClick(FindControl(&dialog, MainControl::SaveYear), Qt::LeftButton);
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 12);
  const auto saved = [&](int m) {
    return QImage(folder.filePath(QString::asprintf("%d-%02d.png", today_.year, m)))
        .pixelColor(5, 5);
  };
  EXPECT_EQ(saved(month), QColor(Qt::blue));
  EXPECT_EQ(saved(other), QColor(Qt::green));
  EXPECT_TRUE(dialog.notice().contains(QDir::toNativeSeparators(folder.path())))
      << dialog.notice().toStdString();

  QTest::mouseClick(FindControl(&dialog, MainControl::Exit), Qt::LeftButton);
  MainDialog& again = Start();
  EXPECT_EQ(Corner(), QColor(Qt::blue));
  QTest::mouseClick(FindControl(&again, MainControl::ClearMonthPhoto), Qt::LeftButton);
  EXPECT_EQ(Corner(), QColor(Qt::green));
  EXPECT_FALSE(FindControl(&again, MainControl::ClearMonthPhoto)->isEnabled());
}

// The open dialog starts in the last photo's folder, else in Pictures, else at home; the save
// dialog in the last save folder, else Pictures. Never the working directory.
TEST_F(MainDialogTest, FileDialogsStartInTheFoldersAUserExpectsWithTheReadersFormats) {
  MainDialog& dialog = Start();
  QStringList openedIn, savedIn;
  QString filter;
  std::optional<QString> photo;
  dialog.setOpenFileDialog([&](const QString& folder, const QString& f) {
    openedIn << folder;
    filter = f;
    return photo;
  });
  QString target;
  dialog.setDesktopPictureDialogs({[&](const QString& folder, const QString&, const QString&) {
                                     savedIn << folder;
                                     return target;
                                   },
                                   [](const QString&) {}});
  QWidget* open = FindControl(&dialog, MainControl::Open);
  QWidget* save = FindControl(&dialog, MainControl::DesktopPicture);

  QTest::mouseClick(open, Qt::LeftButton);  // no Pictures folder yet: home
  ASSERT_TRUE(QDir(home_.path()).mkpath("Pictures/trip"));
  QTest::mouseClick(open, Qt::LeftButton);
  photo = home_.filePath("Pictures/trip/sea.bmp");
  QTest::mouseClick(open, Qt::LeftButton);
  QTest::mouseClick(open, Qt::LeftButton);
  EXPECT_EQ(openedIn, (QStringList{home_.path(), home_.filePath("Pictures"),
                                   home_.filePath("Pictures"), home_.filePath("Pictures/trip")}));
  EXPECT_TRUE(filter.startsWith("画像ファイル (*.jpg *.jpeg *.png *.bmp")) << filter.toStdString();
  EXPECT_TRUE(filter.endsWith(";;すべてのファイル (*)")) << filter.toStdString();

  ASSERT_TRUE(QDir(home_.path()).mkpath("walls"));
  target = home_.filePath("walls/DeskTopImg.jpg");
  QTest::mouseClick(save, Qt::LeftButton);
  QTest::mouseClick(save, Qt::LeftButton);
  EXPECT_EQ(savedIn, (QStringList{home_.filePath("Pictures"), home_.filePath("walls")}));
  EXPECT_EQ(Notice(), QStringLiteral("保存しました：%1").arg(QDir::toNativeSeparators(target)));
}

// What went wrong is said in the notice line: an unusable photo each time it is chosen, a year
// without holidays once.
TEST_F(MainDialogTest, TheNoticeLineSaysWhatWentWrong) {
  MainDialog& dialog = Start();  // no holiday file anywhere
  EXPECT_TRUE(Notice().contains("holiday.dat")) << Notice().toStdString();
  EXPECT_TRUE(Notice().contains(QString::number(today_.year))) << Notice().toStdString();

  WriteText("holiday.dat", QString::asprintf("%d,0101\n", today_.year + 1).toLatin1());
  auto* year = FindControl<QComboBox>(&dialog, MainControl::Year);
  dialog.ShowNotice(QString());
  QTest::keyClick(year, Qt::Key_Down);  // listed: nothing to say
  EXPECT_EQ(Notice(), QString());
  QTest::keyClick(year, Qt::Key_Down);
  const QString noLine = Notice();
  EXPECT_TRUE(noLine.contains(QStringLiteral("%1 年").arg(today_.year + 2)))
      << noLine.toStdString();
  EXPECT_TRUE(noLine.contains(QDir::toNativeSeparators(workDir_.filePath("holiday.dat"))))
      << noLine.toStdString();
  dialog.ShowNotice(QString());
  for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down}) {
    QTest::keyClick(year, key);
  }
  EXPECT_EQ(Notice(), QString());  // each year was told once

  const QString text = workDir_.filePath("notes.jpg");
  WriteText(text, "not a picture");
  const QString good = workDir_.filePath("sea.bmp");
  QImage image(32, 24, QImage::Format_RGB32);
  image.fill(Qt::green);
  ASSERT_TRUE(image.save(good));
  std::optional<QString> chosen = text;
  dialog.setOpenFileDialog([&](const QString&, const QString&) { return chosen; });
  QWidget* open = FindControl(&dialog, MainControl::Open);
  QTest::mouseClick(open, Qt::LeftButton);
  const QString unusable = Notice();
  EXPECT_TRUE(unusable.contains("notes.jpg")) << unusable.toStdString();
  EXPECT_TRUE(unusable.contains(QStringLiteral("画像ではありません"))) << unusable.toStdString();
  EXPECT_EQ(Corner(), kDesktop);  // the picture without the photo still shows
  dialog.ShowNotice("other");
  QTest::keyClick(FindControl(&dialog, MainControl::Month), Qt::Key_Up);
  EXPECT_EQ(Notice(), "other");  // not told again at every composition
  QTest::mouseClick(open, Qt::LeftButton);
  EXPECT_EQ(Notice(), unusable);  // chosen again: told again
  chosen = good;
  QTest::mouseClick(open, Qt::LeftButton);
  EXPECT_EQ(Notice(), QString());
}

// Another user's planted "Calendar.bmp" link in the shared folder, and a second window: each
// window writes into a folder of its own that nobody else can enter, and takes it away at the end.
TEST_F(MainDialogTest, TheComposedPictureIsPrivateToEachWindow) {
  const QString victim = workDir_.filePath("important.txt");
  WriteText(victim, "keep me");
  const QString planted = QDir(QDir::tempPath()).filePath("Calendar.bmp");
  QFile::remove(planted);
  ASSERT_TRUE(QFile::link(victim, planted));

  MainDialog& first = Start();
  auto second = std::make_unique<MainDialog>();
  const std::filesystem::path path = first.session().composedPicturePath();
  EXPECT_NE(path, second->session().composedPicturePath());
  struct stat picture {};
  struct stat folder {};
  ASSERT_EQ(::stat(path.c_str(), &picture), 0);
  ASSERT_EQ(::stat(path.parent_path().c_str(), &folder), 0);
  EXPECT_EQ(picture.st_mode & 0777, 0600u);
  EXPECT_EQ(folder.st_mode & 0777, 0700u);
  EXPECT_EQ(testing::ReadBytes(victim), "keep me");
  dialog_.reset();
  EXPECT_FALSE(std::filesystem::exists(path.parent_path()));
  QFile::remove(planted);
}

// With TMPDIR naming a folder that is not there, nothing is written in the working directory; the
// user is told once, and the preview still shows the picture.
TEST_F(MainDialogTest, AComposedPictureThatCannotBeWrittenIsReportedOnceAndStillShown) {
  const QByteArray tmpdir = qgetenv("TMPDIR");
  qputenv("TMPDIR", workDir_.filePath("gone").toUtf8());
  QStringList reports;
  dialog_ = std::make_unique<MainDialog>();
  qputenv("TMPDIR", tmpdir);
  dialog_->setErrorReporter([&](const QString& message) { reports << message; });
  dialog_->RefreshCalendarPicture();
  QCoreApplication::processEvents();
  EXPECT_EQ(reports.size(), 1);
  EXPECT_TRUE(reports.value(0).contains("gone")) << reports.value(0).toStdString();
  EXPECT_FALSE(dialog_->previewPicture().isNull());
  EXPECT_EQ(QDir(workDir_.path()).entryList(QDir::Files), QStringList{});
}

// A profile read only in part (beyond the 1 MiB bound), a read-only one and a FIFO: Exit leaves
// each as it was and says why, instead of truncating it or waiting on it.
TEST_F(MainDialogTest, ExitNeverReplacesAProfileItCouldNotReadWholeOrMayNotWrite) {
  const QByteArray large =
      "[Configuration]\nStartX=7\n" + QByteArray(2 << 20, ';') + "\n[Later]\nKey=1\n";
  const std::function<void()> plants[] = {
      [&] { WriteText(profile_, large); },
      [&] {
        WriteText(profile_, "[Configuration]\nStartX=7\n");
        QFile::setPermissions(profile_, QFileDevice::ReadOwner);
      },
      [&] { ASSERT_EQ(::mkfifo(profile_.toLocal8Bit().constData(), 0600), 0); }};
  for (const auto& plant : plants) {
    QFile::remove(profile_);
    plant();
    const bool fifo = !QFileInfo(profile_).isFile();
    const QByteArray before = fifo ? QByteArray() : testing::ReadBytes(profile_);
    QStringList reports;
    MainDialog& dialog = Start();
    dialog.setErrorReporter([&](const QString& message) { reports << message; });
    QTest::mouseClick(FindControl(&dialog, MainControl::Exit), Qt::LeftButton);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains(profile_)) << reports[0].toStdString();
    struct stat status {};
    ASSERT_EQ(::lstat(profile_.toLocal8Bit().constData(), &status), 0);
    EXPECT_EQ(S_ISFIFO(status.st_mode), fifo);
    if (!fifo) {
      EXPECT_EQ(testing::ReadBytes(profile_), before);
    }
    dialog_.reset();
    QFile::setPermissions(profile_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  }
  QFile::remove(profile_);
}

// Sets environment variables for one test; the next test finds them as they were.
class ScopedEnvironment {
 public:
  void Set(const char* name, const QByteArray& value) {
    saved_.emplace_back(name, qEnvironmentVariableIsSet(name), qgetenv(name));
    qputenv(name, value);
  }
  ~ScopedEnvironment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      const auto& [name, wasSet, value] = *it;
      wasSet ? qputenv(name, value) : qunsetenv(name);
    }
  }

 private:
  std::vector<std::tuple<const char*, bool, QByteArray>> saved_;
};

TEST_F(MainDialogTest, WallpaperButtonSetsTheDesktopsWallpaperOrSaysWhyNot) {
  ScopedEnvironment environment;
  environment.Set("XDG_DATA_HOME", workDir_.filePath("data").toUtf8());
  environment.Set("GSETTINGS_BACKEND", "keyfile");
  // The fixture keeps holiday files out of XDG_DATA_DIRS, and with them GNOME's schemas.
  environment.Set("GSETTINGS_SCHEMA_DIR", "/usr/share/glib-2.0/schemas");
  environment.Set("XDG_CURRENT_DESKTOP", "GNOME");
  environment.Set("DISPLAY", "");
  MainDialog& dialog = Start();
  QStringList reports;
  dialog.setErrorReporter([&](const QString& message) { reports << message; });
  const QString picture =
      workDir_.filePath(QStringLiteral("data/lunetta/wallpaper-%1-%2.jpg")
                            .arg(dialog.selectedYear())
                            .arg(dialog.selectedMonth(), 2, 10, QLatin1Char('0')));

  QTest::mouseClick(FindControl(&dialog, MainControl::SetWallpaper), Qt::LeftButton);
  EXPECT_EQ(test_support::GnomeWallpaperFile(QProcessEnvironment::systemEnvironment()), picture);
  EXPECT_EQ(dialog.notice(), QStringLiteral("GNOME の壁紙に設定しました：") + picture);
  EXPECT_EQ(reports, QStringList());

  environment.Set("XDG_CURRENT_DESKTOP", "sway");
  QTest::mouseClick(FindControl(&dialog, MainControl::SetWallpaper), Qt::LeftButton);
  ASSERT_EQ(reports.size(), 1);
  EXPECT_TRUE(reports[0].startsWith(QStringLiteral("sway の壁紙を設定できませんでした。\n\n") +
                                    picture + QStringLiteral("\nこのデスクトップ（sway）の壁紙は")))
      << reports[0].toStdString();
}

TEST_F(MainDialogTest, RenewalBoxInstallsAndRemovesTheRenewalAndTheProfileKeepsIt) {
  test_support::StandInPrograms systemctl;
  systemctl.Add("systemctl");
  ScopedEnvironment environment;
  environment.Set("PATH", (systemctl.folder() + ":/usr/bin:/bin").toUtf8());
  const QString config = QFileInfo(profile_).path();
  const QString service = config + "/systemd/user/lunetta-wallpaper.service";
  const QString entry = config + "/autostart/lunetta-wallpaper.desktop";
  QStringList reports;
  const auto start = [&]() -> QCheckBox* {
    Start().setErrorReporter([&](const QString& message) { reports << message; });
    return FindControl<QCheckBox>(dialog_.get(), MainControl::MonthlyRefresh);
  };

  QCheckBox* box = start();
  EXPECT_FALSE(box->isChecked());
  EXPECT_LE(box->sizeHint().width(), box->width()) << "the box's text is cut";
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_TRUE(QString::fromUtf8(testing::ReadBytes(service))
                  .contains("ExecStart=\"" LUNETTA_BINARY_DIR "/bin/lunetta-compose\" "
                            "\"--set-wallpaper\""));
  EXPECT_TRUE(QFile::exists(entry));
  EXPECT_EQ(dialog_->notice(), QStringLiteral("毎月1日に壁紙を自動で更新します。"));
  QTest::keyClick(dialog_.get(), Qt::Key_Escape);  // the box needs no Exit to be remembered

  box = start();
  EXPECT_TRUE(box->isChecked());
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_FALSE(QFile::exists(service));
  EXPECT_FALSE(QFile::exists(entry));
  EXPECT_TRUE(testing::ReadBytes(profile_).contains("Monthly Refresh=0"));

  // A folder that cannot be made: the box goes back and says why.
  ASSERT_TRUE(QDir(config + "/systemd").removeRecursively());
  WriteText(config + "/systemd", "a file where a folder must go");
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_FALSE(box->isChecked());
  ASSERT_EQ(reports.size(), 1);
  EXPECT_TRUE(reports[0].startsWith(QStringLiteral("毎月の自動更新を設定できませんでした。")));
  QFile::remove(config + "/systemd");
}

TEST_F(MainDialogTest, ReopensWithTheRememberedPhotoAndSaysWhenItHasGoneAway) {
  const QString photo = workDir_.filePath(QStringLiteral("海 の 写真.png"));
  QImage green(64, 48, QImage::Format_RGB32);
  green.fill(Qt::green);
  ASSERT_TRUE(green.save(photo));
  MainDialog& first = Start();
  first.setOpenFileDialog(
      [&](const QString&, const QString&) { return std::optional<QString>(photo); });
  QTest::mouseClick(FindControl(&first, MainControl::Open), Qt::LeftButton);
  QTest::mouseClick(FindControl(&first, MainControl::Exit), Qt::LeftButton);

  MainDialog& second = Start();
  EXPECT_EQ(QtPath(second.session().photoPath()), photo);
  EXPECT_EQ(Corner(), QColor(Qt::green));
  EXPECT_FALSE(second.notice().contains(QStringLiteral("写真"))) << second.notice().toStdString();

  QFile::remove(photo);
  MainDialog& third = Start();
  EXPECT_EQ(Corner(), kDesktop);
  EXPECT_EQ(third.notice(),
            QStringLiteral("前回の写真を開けないため、写真なしで表示しています（ファイルが見つかり"
                           "ません）：") +
                photo);
}

}  // namespace
}  // namespace lunetta
