#pragma once

#include <QColor>
#include <QDialog>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "calendar/block_geometry.h"
#include "calendar/calendar_settings.h"
#include "ui/font_chooser.h"

class QAbstractButton;
class QButtonGroup;
class QLineEdit;
class QPainter;
class QPushButton;
class QRadioButton;
class QSlider;

namespace lunetta {

class CalendarFilesBox;
class ControlSet;

/// The settings dialog's controls, by their template identifiers.
enum class SettingsControl {
  Ok = 1,
  EditX = 1001,
  EditY = 1002,
  FontButton = 1004,
  TransparencyLabel = 1005,
  BackColorButton = 1008,
  Slider = 1009,
  SampleFrame = 1011,
  Radio800 = 1014,
  Radio1024 = 1015,
  Radio1280 = 1016,
  RadioScreen = 1017,
  RadioCustom = 1018,
  EditWidth = 1019,
  EditHeight = 1020,
  FitStretch = 1021,
  FitFill = 1022,
  FitWhole = 1023,
  WeekSunday = 1024,
  WeekMonday = 1025,
  JapaneseLabels = 1026,
  WeekNumbers = 1027,
  OpaqueText = 1028,
  Proportional = 1029,
  EditBlockHeight = 1030,
  EditMargin = 1031,
  AnchorTopLeft = 1032,  // the nine anchors follow in Anchor's order, to AnchorBottomRight
  AnchorBottomRight = 1040,
  AutoPlace = 1041,
  Legible = 1042,
  SaturdayColorButton = 1043,
  SundayColorButton = 1044,
};

/// The largest startX and startY the dialog accepts for the picture the settings ask for (see
/// BlockPositionLimits).
QSize CalendarPositionLimits(const CalendarSettings& settings, std::optional<PictureSize> screen);

/// The screen size radio's text: "画面サイズ (1920 × 1080)", or "画面サイズ" without a screen.
QString ScreenSizeLabel(std::optional<PictureSize> screen);

/// The box "Sample" is drawn in, inside a frame of frameWidth × frameHeight: 6 × maxCharWidth +
/// 12 × aveCharWidth wide, height + 4 high, centred (offsets truncated toward zero); an offset that
/// comes out negative becomes 2, while 0 stays 0.
Rect SampleTextBox(const TextMetrics& metrics, int frameWidth, int frameHeight);

/// Paints the sample frame: backColor all over, "Sample" in the settings' font and text colour.
void PaintSample(QPainter& painter, int frameWidth, int frameHeight,
                 const CalendarSettings& settings);

/// The pixel height the font chooser opens at for `textSize` points: the negative (character
/// height) −textSize × dpiY / 72, rounded to nearest with halves away from zero. An absurd
/// textSize from the profile saturates at ±INT_MAX instead of overflowing.
int FontDialogHeight(int textSize, int dpiY);

/// The whole point size a font dialog shows for a pixel height: |height| × 72 / dpiY, rounded.
/// For the heights FontDialogHeight gives, this returns the textSize it started from (dpiY ≥ 72).
int FontDialogPointSize(int height, int dpiY);

/// The text size stored for a chosen point size: the size in tenths of a point, divided by 10 and
/// truncated toward zero (10.5 → 10).
int WholePoints(double pointSize);

/// What an X or Y edit's change makes of its text: atoi of at most the first 9 characters
/// (optional blanks, an optional sign, digits up to the first other character; none → 0).
std::int32_t LeadingNumber(const QString& text);

/// An X or Y edit's text read back as an unsigned 32-bit decimal: optional blanks (space, tab),
/// one or more digits 0-9, optional blanks. Empty, signed, other characters or more than
/// 4294967295 → nullopt.
std::optional<std::uint32_t> ReadUnsigned(const QString& text);

/// Sets the colour dialog's 16 custom colours to white the first time it is called in a process;
/// later calls keep what the user has made of them. They are never saved by Lunetta.
void InitCustomColors();

/// The modal questions the settings dialog asks, so that they can be answered without a person.
class SettingsPrompter {
 public:
  virtual ~SettingsPrompter() = default;
  /// A message box with the error icon and an OK button.
  virtual void ShowError(QWidget* parent, const QString& text, const QString& caption) = 0;
  /// The font chooser opened at `initial`; nullopt when cancelled.
  virtual std::optional<FontSelection> ChooseFont(QWidget* parent,
                                                  const FontSelection& initial) = 0;
  /// The colour dialog on its own default colour, with the process's custom colours; nullopt when
  /// cancelled.
  virtual std::optional<QColor> ChooseBackColor(QWidget* parent) = 0;
  /// The colour dialog on `initial`, for the weekend's colours; by default as ChooseBackColor.
  virtual std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) {
    (void)initial;
    return ChooseBackColor(parent);
  }
};

/// The prompter that shows QMessageBox, FontChooser and QColorDialog.
std::unique_ptr<SettingsPrompter> MakeQtSettingsPrompter();

/// Edits the look and place of the calendar block on a copy of the settings.
class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit SettingsDialog(QWidget* parent = nullptr);
  ~SettingsDialog() override;

  /// Copies in the fields the dialog edits (not year and month) and shows them.
  void setSettings(const CalendarSettings& settings);
  /// Copies them back.
  void applyTo(CalendarSettings& settings) const;
  /// The primary screen's size in device pixels, for the screen size radio; without one (the
  /// default) that radio is disabled.
  void setScreenSize(std::optional<PictureSize> screen);

  /// Replaces the message boxes and the font and colour dialogs (tests).
  void setPrompter(std::unique_ptr<SettingsPrompter> prompter);

  /// The group of calendar files, the day colour and the era (tests answer its questions).
  CalendarFilesBox* calendarFilesBox() const { return calendarFiles_; }

  /// The settings as the dialog holds them now.
  const CalendarSettings& settings() const { return settings_; }

  /// Repaints the sample frame.
  void DrawSample();

 private:
  void OnFontButton();
  void OnBackColorButton();
  void OnWeekendColorButton(ColorRef CalendarSettings::*color);
  void EnableLayout();
  bool ReadLayout();
  void OnOKButton();
  void OnChangeX();
  void OnChangeY();
  void EnableCustomSize();

  ControlSet BuildFromTemplate();
  void ConnectChoices(const ControlSet& controls);
  void AddChoice(QAbstractButton* button, QButtonGroup* group,
                 std::function<bool(const CalendarSettings&)> chosen,
                 std::function<void(CalendarSettings&, bool)> choose);
  void ConnectCommands(const ControlSet& controls);
  void LoadControls();
  bool OnOK();
  void RefuseEdit(QLineEdit* edit, const QString& text, const QString& caption);

  CalendarSettings settings_;
  std::unique_ptr<SettingsPrompter> prompter_;
  QPushButton* okButton_ = nullptr;
  QLineEdit* editX_ = nullptr;
  QLineEdit* editY_ = nullptr;
  QWidget* sampleFrame_ = nullptr;
  QSlider* slider_ = nullptr;
  QLineEdit* editWidth_ = nullptr;
  QLineEdit* editHeight_ = nullptr;
  QRadioButton* screenRadio_ = nullptr;
  CalendarFilesBox* calendarFiles_ = nullptr;
  QLineEdit* editBlockHeight_ = nullptr;
  QLineEdit* editMargin_ = nullptr;
  std::vector<QWidget*> layoutControls_;  // in use in proportional layout only
  std::optional<PictureSize> screen_;
  // Each radio and check box with what it chooses: it is checked when the settings hold its
  // choice, and clicking it makes the choice.
  struct Choice {
    QAbstractButton* button;
    std::function<bool(const CalendarSettings&)> chosen;
    std::function<void(CalendarSettings&, bool)> choose;
  };
  std::vector<Choice> choices_;
};

}  // namespace lunetta
