#pragma once

#include <QColor>
#include <QGroupBox>
#include <QString>
#include <functional>
#include <optional>

#include "calendar/calendar_settings.h"

class QComboBox;
class QListWidget;
class QPushButton;

namespace lunetta {

class DialogUnits;

/// The settings dialog's group of calendar files (.ics: holidays, or the user's own days), the
/// colour of the user's days, and the title's era. It edits the settings it is given.
class CalendarFilesBox : public QGroupBox {
  Q_OBJECT

 public:
  /// Asks for a calendar file; nothing when cancelled.
  using FileQuestion = std::function<std::optional<QString>(QWidget* parent)>;
  /// Asks for the colour of the user's days, starting at the current one; nothing when cancelled.
  using ColorQuestion = std::function<std::optional<QColor>(QWidget* parent, const QColor& shown)>;

  CalendarFilesBox(CalendarSettings& settings, QWidget* parent);

  /// Lays the group out at `place`, in dialog units of `du`.
  void Place(const DialogUnits& du, int left, int top, int width, int height);
  /// Shows what the settings hold.
  void Load();

  void setFileQuestion(FileQuestion question) { askFile_ = std::move(question); }
  void setColorQuestion(ColorQuestion question) { askColor_ = std::move(question); }

 private:
  void Add(SpecialDayKind kind);
  void RemoveSelected();
  void ChooseDayColor();

  CalendarSettings& settings_;
  QListWidget* list_ = nullptr;
  QPushButton* addHolidays_ = nullptr;
  QPushButton* addDays_ = nullptr;
  QPushButton* remove_ = nullptr;
  QPushButton* dayColor_ = nullptr;
  QComboBox* era_ = nullptr;
  FileQuestion askFile_;
  ColorQuestion askColor_;
};

}  // namespace lunetta
