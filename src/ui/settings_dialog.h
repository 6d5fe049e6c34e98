#pragma once

#include <QDialog>

#include "calendar/calendar_settings.h"

namespace lunetta {

/// Edits the look and place of the calendar block on a copy of the settings.
class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit SettingsDialog(QWidget* parent = nullptr);

  /// Copies in the ten fields the dialog edits (not year and month).
  void setSettings(const CalendarSettings& settings);
  /// Copies the ten fields back.
  void applyTo(CalendarSettings& settings) const;

 private:
  CalendarSettings settings_;
};

}  // namespace lunetta
