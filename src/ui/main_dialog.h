#pragma once

#include <QDialog>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <functional>
#include <optional>
#include <set>

#include "calendar/calendar_settings.h"
#include "output/desktop_picture.h"
#include "output/print_picture.h"
#include "output/year_output.h"
#include "picture/picture_painter.h"
#include "platform/file_io.h"
#include "session/calendar_session.h"
#include "session/wall_plan.h"
#include "ui/preview_geometry.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QFrame;
class QPushButton;
class QAction;
class QCheckBox;
class QTimer;

namespace lunetta {

/// The main window's controls by their template identifiers.
enum class MainControl : int {
  Exit = 1,
  Open = 1008,
  Print = 1011,
  Settings = 1012,
  Preview = 1015,
  DesktopPicture = 1016,
  Month = 1017,
  Year = 1018,
  SizeLabel = 1019,
  PositionLabel = 1020,
  Notice = 1030,  // a line under the preview that tells what happened
  SetWallpaper = 1031,
  MonthlyRefresh = 1032,
  MonthPhoto = 1033,       // gives the selected month a photo of its own
  ClearMonthPhoto = 1034,  // the selected month shows the main photograph again
  SaveYear = 1035,
  PrintYear = 1036,
  Origin = 1037,        // "(0,0)" above the picture's top-left corner
  DailyRefresh = 1038,  // with MonthlyRefresh, one of off, monthly, daily
  TodayMark = 1039,
  DimPastDays = 1040,
  EveryScreen = 1041,   // the calendar on every screen's wallpaper, not only the primary's
  WallCalendar = 1042,  // opens the wall calendar dialog
};

/// The main window: a view of the CalendarSession. It shows the composed picture in the preview
/// and the controls of the three steps (choose the photograph, set up the calendar, finish); every
/// control turns into a session call followed by a repaint. The block can be dragged on the
/// preview.
class MainDialog : public QDialog {
  Q_OBJECT

 public:
  /// Asks for a photograph, starting in `startFolder` and listing the files `filter` names (Qt's
  /// name filters, separated by ";;"); nothing when the user cancels.
  using OpenFileDialog =
      std::function<std::optional<QString>(const QString& startFolder, const QString& filter)>;
  /// Lets the user edit the ten look-and-place fields of a copy; true when confirmed.
  using SettingsDialogRunner = std::function<bool(CalendarSettings&)>;
  /// Tells the user that something failed.
  using ErrorReporter = std::function<void(const QString& message)>;

  /// The session of the desktop program: holiday.dat in the working directory it starts in.
  static SessionEnvironment DesktopEnvironment();

  /// Builds the window and runs its initialisation: loads the settings, fills the selectors, and
  /// composes the first picture. Without a composed-picture path in `environment`, "Calendar.bmp"
  /// goes to a private folder of the window's own (mode 0700, removed with the window).
  explicit MainDialog(QWidget* parent = nullptr);
  MainDialog(SessionEnvironment environment, QWidget* parent);
  ~MainDialog() override;

  void setOpenFileDialog(OpenFileDialog dialog) { openFileDialog_ = std::move(dialog); }
  void setSettingsDialogRunner(SettingsDialogRunner runner) {
    runSettingsDialog_ = std::move(runner);
  }
  /// Asks for a year the year selector lacks, starting at the one shown; nothing when cancelled.
  using YearQuestion = std::function<std::optional<int>(int shown)>;
  void setYearQuestion(YearQuestion question) { askYear_ = std::move(question); }
  void setAboutDialogRunner(std::function<void()> runner) { runAboutDialog_ = std::move(runner); }
  void setErrorReporter(ErrorReporter reporter) { reportError_ = std::move(reporter); }
  void setPrintDialogs(PrintDialogs dialogs) { printDialogs_ = std::move(dialogs); }
  void setDesktopPictureDialogs(DesktopPictureDialogs dialogs) {
    desktopPictureDialogs_ = std::move(dialogs);
  }
  /// Runs the year's exports; by default behind a progress dialog over the window.
  void setYearRunner(YearRunner runner) { runYear_ = std::move(runner); }

  const CalendarSession& session() const { return session_; }
  /// The year of the year selector's item.
  int selectedYear() const;
  /// The month selector's index plus one.
  int selectedMonth() const;

  double previewScaleX() const { return previewPainter_.scaleX(); }
  double previewScaleY() const { return previewPainter_.scaleY(); }
  bool dragging() const { return grab_.has_value(); }
  /// The dotted frame on the window's client area; null when none is drawn.
  QRect dragFrame() const { return dragFrame_; }
  /// Where the picture shows in the preview, client pixels: the bounds of the drag. The picture
  /// keeps its shape in the middle of the preview.
  QRect previewBounds() const;
  /// The preview as last painted; null when there is no picture.
  const QPixmap& previewPicture() const { return previewPicture_; }

  /// Composes with what the session holds and repaints the preview. A photograph that is not
  /// decoded yet is decoded off the window's thread by default, and shows when it arrives.
  void RefreshCalendarPicture(PhotoWait wait = PhotoWait::Defer);

  /// Shows a short message in the notice line under the preview, replacing the last one; an empty
  /// text clears it.
  void ShowNotice(const QString& text);
  QString notice() const;

 signals:
  /// A composition made a new picture.
  void pictureComposed();

 public slots:
  void OnOpenFile();
  /// Asks for a photo for the selected month alone.
  void OnChooseMonthPhoto();
  void OnClearMonthPhoto();
  void OnMonthSelected();
  void OnYearSelected();
  void OnSettings();
  void OnPrint();
  void OnSaveDesktopPicture();
  /// Saves the selected year's twelve pictures into a folder.
  void OnSaveYear();
  /// Prints the selected year, a month per page.
  void OnPrintYear();
  /// Opens the wall calendar dialog for the selected year.
  void OnWallCalendar();
  /// Makes the composed picture the desktop's wallpaper.
  void OnSetWallpaper();
  /// Installs or removes the monthly renewal as the check box now says.
  void OnMonthlyRefresh();
  /// Installs or removes the daily renewal as the check box now says.
  void OnDailyRefresh();
  /// Takes today's mark, the faded past days and the calendar on every screen from their boxes.
  void OnDayOptions();
  void OnAbout();
  /// Exit: saves the settings, then closes with Accepted.
  void OnOK();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void OnInitDialog();
  void OpenRememberedPhoto();
  void OnPhotoArrived();
  /// Waits for a photograph still decoding, so that what goes out is the whole picture.
  void FinishPicture();
  void PaintPreview();
  void WriteSizeLabel();
  void WritePositionLabel(QPoint at);
  QSize BlockSize() const;
  DragPlacement PlaceBlock(QPoint point) const;
  void MoveDragFrame(const QRect& frame);
  void NoteWhatHappened();
  void ShowMonthPhotoState();
  /// Tells in the notice line that a chosen photo was refused and the former one stays; false when
  /// `chosen` succeeded.
  bool TellRefusedPhoto(const Status& chosen);
  std::optional<QString> AskForPhoto(QPushButton* button);
  void AcceptDropsOnTheWindowOnly();
  /// Selects the item a selector's typed text names, or puts the selected item's text back.
  void ConfirmTypedItem(QComboBox* selector);
  /// Turns the renewal on (monthly or daily) or off; the boxes show what is installed after.
  void ChangeRenewal(bool on, bool daily);
  void ShowRenewalState();

  SessionEnvironment InWorkFolder(SessionEnvironment environment);

  PrivateFolder workFolder_;  // before the session, which writes into it
  std::error_code workFolderError_;
  CalendarSession session_;
  PicturePainter previewPainter_;  // keeps the preview's scale factors
  std::optional<DragGrab> grab_;   // from a left press on the preview to its release
  QRect dragFrame_;
  QPixmap previewPicture_;
  QPoint previewOrigin_;  // where the picture shows in the preview, client pixels
  bool compositionFailureShown_ = false;

  // The notice line: each year without holidays is told once, an unusable photograph each time it
  // is chosen.
  std::set<int> holidayYearsNoted_;
  std::set<QString> calendarNotesTold_;
  bool photoChosen_ = false;
  std::optional<Failure> photoFailureTold_;
  bool noticeIsPhoto_ = false;
  QString lastSaveFolder_;
  WallCrops wallCrops_;  // where the user moved the wall calendar's photos, while the window runs

  QPushButton* openButton_ = nullptr;
  QPushButton* monthPhotoButton_ = nullptr;
  QPushButton* clearMonthPhotoButton_ = nullptr;
  QComboBox* yearSelector_ = nullptr;
  QComboBox* monthSelector_ = nullptr;
  QFrame* preview_ = nullptr;
  QLineEdit* sizeLabel_ = nullptr;
  QLineEdit* positionLabel_ = nullptr;
  QLabel* noticeLabel_ = nullptr;
  QLabel* originLabel_ = nullptr;
  QPoint originAbovePicture_;  // from the "(0,0)" label to the preview's top-left corner
  QCheckBox* monthlyRefreshBox_ = nullptr;
  QCheckBox* dailyRefreshBox_ = nullptr;
  QCheckBox* todayMarkBox_ = nullptr;
  QCheckBox* dimPastDaysBox_ = nullptr;
  QCheckBox* everyScreenBox_ = nullptr;
  QTimer* photoDecodeTimer_ = nullptr;  // asks for a deferred photograph once the user pauses
  QAction* aboutAction_ = nullptr;

  OpenFileDialog openFileDialog_;
  SettingsDialogRunner runSettingsDialog_;
  YearQuestion askYear_;
  std::function<void()> runAboutDialog_;
  ErrorReporter reportError_;
  PrintDialogs printDialogs_ = StandardPrintDialogs();
  DesktopPictureDialogs desktopPictureDialogs_ = StandardDesktopPictureDialogs();
  YearRunner runYear_ = ProgressDialogRunner(this);
};

}  // namespace lunetta
