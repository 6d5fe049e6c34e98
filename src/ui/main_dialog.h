#pragma once

#include <QDialog>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <filesystem>
#include <functional>
#include <optional>

#include "calendar/calendar_settings.h"
#include "calendar/holiday_table.h"
#include "picture/picture_painter.h"
#include "ui/preview_geometry.h"

class QComboBox;
class QLineEdit;
class QFrame;
class QPushButton;
class QAction;

namespace lunetta {

class ToolTipRelay;

/// The main window: the preview of the composed picture and the controls of the three steps (choose
/// the photograph, set up the calendar, finish). Every change of the picture composes
/// "Calendar.bmp" and shows it in the preview; the block can be dragged on the preview.
class MainDialog : public QDialog {
  Q_OBJECT

 public:
  // Control identifiers of the main window's template.
  static constexpr int kExitId = 1;
  static constexpr int kCancelId = 2;
  static constexpr int kOpenId = 1008;
  static constexpr int kPrintId = 1011;
  static constexpr int kSettingsId = 1012;
  static constexpr int kPreviewId = 1015;
  static constexpr int kDesktopPictureId = 1016;
  static constexpr int kMonthId = 1017;
  static constexpr int kYearId = 1018;
  static constexpr int kSizeLabelId = 1019;
  static constexpr int kPositionLabelId = 1020;
  static constexpr int kUpdateId = 1021;
  static constexpr int kPrintPreviewId = 1024;
  static constexpr int kPhotoPathId = 1200;

  /// Asks for a photograph; nothing when the user cancels.
  using OpenFileDialog = std::function<std::optional<QString>()>;
  /// Lets the user edit the ten look-and-place fields of a copy; true when confirmed.
  using SettingsDialogRunner = std::function<bool(CalendarSettings&)>;
  /// Tells the user that something failed.
  using ErrorReporter = std::function<void(const QString& message)>;

  /// Builds the window and runs its initialisation: captures the working directory, loads the
  /// settings, fills the selectors, loads the holidays and composes the first picture.
  explicit MainDialog(QWidget* parent = nullptr);
  ~MainDialog() override;

  void setOpenFileDialog(OpenFileDialog dialog) { openFileDialog_ = std::move(dialog); }
  void setSettingsDialogRunner(SettingsDialogRunner runner) {
    runSettingsDialog_ = std::move(runner);
  }
  void setAboutDialogRunner(std::function<void()> runner) { runAboutDialog_ = std::move(runner); }
  void setErrorReporter(ErrorReporter reporter) { reportError_ = std::move(reporter); }

  /// The current year by the local clock plus the year selector's index.
  int selectedYear() const;
  /// The month selector's index plus one; 0 when nothing is selected.
  int selectedMonth() const;

  /// The photograph every composition uses; empty for none.
  QString photoPath() const;

  const CalendarSettings& settings() const { return settings_; }
  const HolidayTable& holidays() const { return holidays_; }
  const std::filesystem::path& startupDirectory() const { return startupDirectory_; }
  const QString& composedPicturePath() const { return composedPicturePath_; }
  int blockWidth() const { return blockWidth_; }
  int blockHeight() const { return blockHeight_; }
  double previewScaleX() const { return previewPainter_.scaleX(); }
  double previewScaleY() const { return previewPainter_.scaleY(); }
  bool dragging() const { return dragging_; }
  /// The dotted frame on the window's client area; null when none is drawn.
  QRect dragFrame() const { return dragFrame_; }
  /// The preview's place in client pixels, the bounds of the drag.
  PreviewBounds previewBounds() const;
  /// The preview as last decoded and stretched; null when nothing decoded.
  const QPixmap& previewPicture() const { return previewPicture_; }

  /// Composes the picture for `photoPath` (empty for none) with the settings, the selected month
  /// and year and their holidays, and writes it to composedPicturePath(). With no month selected
  /// nothing is composed and the previous picture stays.
  void ComposeCalendarPicture(const QString& photoPath);
  /// Decodes the picture at `path` once and stretches it over the preview; the scale factors
  /// follow. When nothing decodes, the preview is empty and the factors keep their values.
  void PaintPreview(const QString& path);
  /// Composes with the current photograph and repaints the preview.
  void RefreshCalendarPicture();

 signals:
  /// A composition wrote the composed picture.
  void pictureComposed();

 public slots:
  void OnOpenFile();
  void OnMonthSelected();
  void OnYearSelected();
  void OnUpdate();
  void OnSettings();
  void OnPrint();
  void OnSaveDesktopPicture();
  void OnPrintPreview();
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
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildControls();
  void OnInitDialog();
  bool RunSettingsDialog();
  void WriteSizeLabel();
  void WritePositionLabel(int x, int y);
  DragPlacement PlaceBlock(QPoint point) const;
  void MoveDragFrame(const QRect& frame);

  CalendarSettings settings_;
  HolidayTable holidays_;
  std::filesystem::path startupDirectory_;
  QString composedPicturePath_;
  int blockWidth_ = 0;
  int blockHeight_ = 0;
  PicturePainter previewPainter_;  // keeps the preview's scale factors
  bool dragging_ = false;
  QRect dragFrame_;
  QPixmap previewPicture_;

  QPushButton* openButton_ = nullptr;
  QComboBox* yearSelector_ = nullptr;
  QComboBox* monthSelector_ = nullptr;
  QFrame* preview_ = nullptr;
  QLineEdit* photoPathEdit_ = nullptr;
  QLineEdit* sizeLabel_ = nullptr;
  QLineEdit* positionLabel_ = nullptr;
  QAction* aboutAction_ = nullptr;
  ToolTipRelay* toolTips_ = nullptr;

  OpenFileDialog openFileDialog_;
  SettingsDialogRunner runSettingsDialog_;
  std::function<void()> runAboutDialog_;
  ErrorReporter reportError_;
};

}  // namespace lunetta
