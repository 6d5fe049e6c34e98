#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "calendar/calendar_settings.h"
#include "settings/settings_store.h"
#include "wall/wall_layout.h"

namespace lunetta {

/// What one run of lunetta-compose is asked to do. File names are the bytes the user gave.
struct ComposeOptions {
  std::filesystem::path photo{};                                     // empty: no photograph
  std::vector<std::pair<int, std::filesystem::path>> monthPhotos{};  // --month-photo, in order
  std::filesystem::path photosFolder{};  // the months' photos, in name order; empty: none
  int year = 0;                          // always set by the parser, from the clock when not given
  std::vector<int> months{};             // the months to compose, in order
  bool allMonths = false;
  std::filesystem::path settingsFile{};          // empty: the desktop program's profile
  SettingOverrides overrides{};                  // checked "KEY=VALUE" pairs, in order
  std::filesystem::path holidaysFile{};          // empty: holiday.dat in the current directory
  std::vector<CalendarFile> calendarFiles{};     // --ics and --ics-days, in order
  std::filesystem::path out = "DeskTopImg.jpg";  // may hold "%m": see OutputPathForMonth
  bool pictures = true;                          // false: --pdf without --out writes the PDF alone
  std::filesystem::path pdf{};                   // one document of every month; empty: none
  Paper paper = Paper::A4;
  bool wall = false;  // --layout wall: the PDF is a wall calendar for print
  bool json = false;
  bool weekNumbers = false;              // also in `overrides`, as "Week Numbers=1"
  bool opaqueText = false;               // also in `overrides`, as "Opaque Text=1"
  bool screenSize = false;               // --size screen: the picture takes the screen's size
  bool setWallpaper = false;             // write into the wallpaper folder and set the wallpaper
  std::optional<bool> monthlyRefresh{};  // install (true) or remove the monthly renewal
  bool dailyRefresh = false;             // with monthlyRefresh on: renew it every day
  bool help = false;
  bool version = false;

  bool operator==(const ComposeOptions&) const = default;
};

struct ComposeOptionsResult {
  ComposeOptions options;
  QString error;  // a usage error, one line, naming the option; empty when the arguments are good
};

/// Parses the arguments after the program name, as DecodeArguments gives them. `today` supplies
/// the default year and month. "--name VALUE" and "--name=VALUE" are the same; an option given
/// twice takes its last value, except --set, which adds each one. Every value is checked.
ComposeOptionsResult ParseComposeOptions(const QStringList& arguments, const LocalDate& today);

/// The settings store's ApplySettingOverrides; the reason for a refusal, naming the setting and
/// what it needs, or an empty text.
QString ApplyOverrides(CalendarSettings& settings, const SettingOverrides& overrides,
                       std::optional<PictureSize> screen);

/// argv[1..argc-1] without loss: valid UTF-8 is decoded as such, and every byte that is not part
/// of valid UTF-8 becomes the lone surrogate U+DC80..U+DCFF, so that PathFromArgument gives the
/// same bytes back.
QStringList DecodeArguments(int argc, char** argv);

/// The file name `argument` stands for, byte for byte as DecodeArguments received it. Surrogates
/// DecodeArguments never produces are written as U+FFFD.
std::filesystem::path PathFromArgument(const QString& argument);

/// `path` for a message; bytes that are not UTF-8 show as U+FFFD.
QString DisplayPath(const std::filesystem::path& path);

/// `pattern` with every "%m" replaced by the two-digit month; the other bytes are kept as they are.
std::filesystem::path OutputPathForMonth(const std::filesystem::path& pattern, int month);

/// The text of --help.
QString ComposeUsage();

inline constexpr char kComposeVersion[] = "lunetta-compose 1.10";

}  // namespace lunetta
