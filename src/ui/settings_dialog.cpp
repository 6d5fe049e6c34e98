#include "ui/settings_dialog.h"

namespace lunetta {

SettingsDialog::SettingsDialog(QWidget* parent) : QDialog(parent) {}

void SettingsDialog::setSettings(const CalendarSettings& settings) { settings_ = settings; }

void SettingsDialog::applyTo(CalendarSettings& settings) const {
  const int year = settings.year;
  const int month = settings.month;
  settings = settings_;
  settings.year = year;
  settings.month = month;
}

}  // namespace lunetta
