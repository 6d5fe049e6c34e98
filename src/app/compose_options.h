#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

#include "calendar/calendar_settings.h"

namespace lunetta {

/// What one run of lunetta-compose is asked to do.
struct ComposeOptions {
  QString photo;            // empty: no photograph
  int year = 0;             // always set by the parser, from the clock when not given
  std::vector<int> months;  // the months to compose, in order
  bool allMonths = false;
  QString settingsFile;                                // empty: the desktop program's profile
  std::vector<std::pair<QString, QString>> overrides;  // checked "KEY=VALUE" pairs, in order
  QString holidaysFile;  // empty: holiday.dat in the current directory
  QString out = QStringLiteral("DeskTopImg.jpg");
  bool json = false;
  bool help = false;
  bool version = false;
};

struct ComposeOptionsResult {
  ComposeOptions options;
  QString error;  // a usage error, one line; empty when the arguments are good
};

/// Parses the arguments after the program name. `today` supplies the default year and month.
ComposeOptionsResult ParseComposeOptions(const QStringList& arguments, const LocalDate& today);

/// Applies one profile key and its value to `settings`. Keys are matched without regard to ASCII
/// letter case; integer values must be decimal numbers and nothing else. Returns the reason for a
/// bad key or value, or an empty text.
QString ApplySetting(CalendarSettings& settings, const QString& key, const QString& value);

/// `pattern` with every "%m" replaced by the two-digit month.
QString OutputPathForMonth(const QString& pattern, int month);

/// The text of --help.
QString ComposeUsage();

inline constexpr char kComposeVersion[] = "lunetta-compose 1.10";

}  // namespace lunetta
