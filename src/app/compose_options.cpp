#include "app/compose_options.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QStringView>
#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "calendar/month_model.h"
#include "calendar/proportional_layout.h"
#include "settings/settings_store.h"

namespace lunetta {

namespace {

// Decimal digits with an optional sign, nothing else, within [low, high].
std::optional<qint64> StrictInteger(const QString& text, qint64 low, qint64 high) {
  return lunetta::StrictInteger(text.toStdString(), low, high);
}

constexpr qint64 kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr qint64 kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr int kMaxBleedHundredths = 1000;

// Why the settings store refused `value` for the setting `key`, in the words of the command line.
QString SettingRefused(const OverrideRefusal& refusal, const QString& key, const QString& value) {
  switch (refusal.why) {
    case SettingRefusal::None:
      break;
    case SettingRefusal::UnknownKey:
      return QStringLiteral("unknown setting \"%1\"").arg(key);
    case SettingRefusal::NotAWholeNumber:
      return QStringLiteral("\"%1\" needs a whole number, not \"%2\"").arg(key, value);
    case SettingRefusal::NotAColor:
      return QStringLiteral(
                 "\"%1\" needs a colour #rrggbb or 0..16777215 (0x00BBGGRR in decimal), not "
                 "\"%2\"")
          .arg(key, value);
    case SettingRefusal::NotATransparency:
      return QStringLiteral("\"%1\" needs 0..255 (0 clear, 255 opaque), not \"%2\"")
          .arg(key, value);
    case SettingRefusal::OutsidePicture:
      return QStringLiteral("\"%1\" needs 0..%2 for this picture size, not \"%3\"")
          .arg(key)
          .arg(refusal.limit)
          .arg(value);
  }
  return {};
}

// What the option table fills in; the checks that involve more than one option come after it.
struct Collected {
  ComposeOptions options;
  std::optional<int> year;
  std::optional<int> month;
};

// Checks one value of `option` ("--name") and stores it. Returns the usage error, or an empty text.
using StoreValue = QString (*)(Collected&, const QString& option, const QString& value);

// One option. A row sets exactly one of `flag`, `file` and `store`.
struct OptionRow {
  const char* name;       // without "--"
  const char* alias;      // another name, or nullptr
  const char* valueName;  // nullptr for a switch
  const char* help;       // the --help text; nullptr: named together on the last line
  bool ComposeOptions::*flag = nullptr;                   // a switch that sets this
  std::filesystem::path ComposeOptions::*file = nullptr;  // a file name stored here
  StoreValue store = nullptr;                             // any other value
  std::string_view setting = {};                          // a profile switch this turns on
};

QString StoreInteger(std::optional<int>& field, const QString& option, const QString& value,
                     qint64 low, qint64 high, const char* what) {
  const std::optional<qint64> number = StrictInteger(value, low, high);
  if (!number) {
    return QStringLiteral("%1 needs %2, not \"%3\"").arg(option, QLatin1String(what), value);
  }
  field = static_cast<int>(*number);
  return {};
}

QString StoreOverride(Collected& collected, const QString& option, const QString& value) {
  const qsizetype equals = value.indexOf(u'=');
  if (equals <= 0) {
    return QStringLiteral("%1 needs \"KEY=VALUE\", not \"%2\"").arg(option, value);
  }
  const QString key = value.left(equals).trimmed();
  const QString setting = value.mid(equals + 1);
  CalendarSettings probe;
  const SettingRefusal why = ApplySetting(probe, key.toStdString(), setting.toStdString());
  if (why != SettingRefusal::None) {
    return option + QStringLiteral(": ") + SettingRefused({why}, key, setting);
  }
  collected.options.overrides.emplace_back(key.toStdString(), setting.toStdString());
  return {};
}

QString StoreMonthPhoto(Collected& collected, const QString& option, const QString& value) {
  const qsizetype equals = value.indexOf(u'=');
  const std::optional<qint64> month =
      equals > 0 ? StrictInteger(value.left(equals), 1, 12) : std::nullopt;
  if (!month || equals + 1 == value.size()) {
    return QStringLiteral("%1 needs M=FILE with a month 1..12, not \"%2\"").arg(option, value);
  }
  collected.options.monthPhotos.emplace_back(static_cast<int>(*month),
                                             PathFromArgument(value.mid(equals + 1)));
  return {};
}

// A calendar file of `kind`, added to the profile's.
QString StoreCalendar(Collected& collected, const QString& option, const QString& value,
                      SpecialDayKind kind) {
  if (value.isEmpty()) {
    return QStringLiteral("%1 needs a file name").arg(option);
  }
  collected.options.calendarFiles.push_back({PathFromArgument(value), kind});
  return {};
}

QString StorePaper(Collected& collected, const QString& option, const QString& value) {
  const std::pair<const char*, Paper> papers[] = {
      {"A4", Paper::A4}, {"A3", Paper::A3}, {"Letter", Paper::Letter}, {"Tabloid", Paper::Tabloid}};
  for (const auto& [name, paper] : papers) {
    if (value.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
      collected.options.paper = paper;
      return {};
    }
  }
  return QStringLiteral("%1 needs A4, A3, Letter or Tabloid, not \"%2\"").arg(option, value);
}

QString StoreLayout(Collected& collected, const QString& option, const QString& value) {
  for (const bool wall : {false, true}) {
    if (value.compare(wall ? u"wall" : u"picture", Qt::CaseInsensitive) == 0) {
      collected.options.wall = wall;
      return {};
    }
  }
  return QStringLiteral("%1 needs picture or wall, not \"%2\"").arg(option, value);
}

// Millimetres, "3mm" or "3", with at most two decimals, up to what a print shop ever asks for;
// kept in the profile in hundredths of a millimetre.
QString StoreBleed(Collected& collected, const QString& option, const QString& value) {
  static const QRegularExpression kLength(QStringLiteral("^(\\d{1,2})(?:\\.(\\d{1,2}))?(?:mm)?$"),
                                          QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch match = kLength.match(value);
  const int hundredths = match.hasMatch() ? match.captured(1).toInt() * 100 +
                                                match.captured(2).leftJustified(2, u'0').toInt()
                                          : -1;
  if (hundredths < 0 || hundredths > kMaxBleedHundredths) {
    return QStringLiteral("%1 needs a length 0..10mm, such as 3mm, not \"%2\"").arg(option, value);
  }
  collected.options.overrides.emplace_back(keys::kWallBleed, std::to_string(hundredths));
  return {};
}

QString StoreMonthlyRefresh(Collected& collected, const QString& option, const QString& value) {
  for (const bool on : {true, false}) {
    if (value.compare(on ? u"on" : u"off", Qt::CaseInsensitive) == 0) {
      collected.options.monthlyRefresh = on;
      collected.options.dailyRefresh = false;
      return {};
    }
  }
  return QStringLiteral("%1 needs on or off, not \"%2\"").arg(option, value);
}

QString StoreRenewal(Collected& collected, const QString& option, const QString& value) {
  const char* const periods[] = {"off", "monthly", "daily"};
  for (int period = 0; period < 3; ++period) {
    if (value.compare(QLatin1String(periods[period]), Qt::CaseInsensitive) == 0) {
      collected.options.monthlyRefresh = period > 0;
      collected.options.dailyRefresh = period == 2;
      return {};
    }
  }
  return QStringLiteral("%1 needs daily, monthly or off, not \"%2\"").arg(option, value);
}

// A switch that turns a profile setting on.
QString StoreSwitch(Collected& collected, std::string_view key) {
  collected.options.overrides.emplace_back(key, "1");
  return {};
}

// A word of `words` stored as the profile setting `key`, with the word's index as its value.
QString StoreWord(Collected& collected, const QString& option, const QString& value,
                  std::string_view key, std::initializer_list<const char*> words) {
  int index = 0;
  QStringList names;
  for (const char* word : words) {
    if (value.compare(QLatin1String(word), Qt::CaseInsensitive) == 0) {
      collected.options.overrides.emplace_back(key, std::to_string(index));
      return {};
    }
    names << QLatin1String(word);
    ++index;
  }
  return QStringLiteral("%1 needs %2, not \"%3\"")
      .arg(option, names.join(QStringLiteral(" or ")), value);
}

// "WxH" (each side kMinPictureSide..kMaxPictureSide) as a custom size, or "screen".
QString StoreSize(Collected& collected, const QString& option, const QString& value) {
  auto& overrides = collected.options.overrides;
  const auto kind = [&](SizeKind chosen) {
    overrides.emplace_back(keys::kSizeKind, std::to_string(static_cast<std::int32_t>(chosen)));
  };
  if (value.compare(u"screen", Qt::CaseInsensitive) == 0) {
    collected.options.screenSize = true;
    kind(SizeKind::Screen);
    return {};
  }
  const QStringList sides = value.split(u'x', Qt::KeepEmptyParts, Qt::CaseInsensitive);
  const auto side = [&](qsizetype i) {
    return sides.size() == 2 ? StrictInteger(sides[i], kMinPictureSide, kMaxPictureSide)
                             : std::nullopt;
  };
  const std::optional<qint64> width = side(0);
  const std::optional<qint64> height = side(1);
  // A sign is no part of a size.
  if (!width || !height || sides[0].front() == u'+' || sides[1].front() == u'+') {
    return QStringLiteral("%1 needs WIDTHxHEIGHT, each %2..%3, or screen, not \"%4\"")
        .arg(option)
        .arg(kMinPictureSide)
        .arg(kMaxPictureSide)
        .arg(value);
  }
  collected.options.screenSize = false;
  kind(SizeKind::Custom);
  overrides.emplace_back(keys::kCustomWidth, std::to_string(*width));
  overrides.emplace_back(keys::kCustomHeight, std::to_string(*height));
  return {};
}

// "30%", "30" or "32.5%": a percentage with at most one decimal, in thousandths within
// [low, high].
std::optional<int> Thousandths(QString text, int low, int high) {
  if (text.endsWith(u'%')) {
    text.chop(1);
  }
  const qsizetype point = text.indexOf(u'.');
  const QString whole = point < 0 ? text : text.left(point);
  const QString tenths = point < 0 ? QStringLiteral("0") : text.mid(point + 1);
  const auto digits = [](const QString& part) {
    return !part.isEmpty() &&
           std::all_of(part.begin(), part.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
  };
  if (!digits(whole) || !digits(tenths) || tenths.size() > 1 || whole.size() > 4) {
    return std::nullopt;
  }
  const int value = whole.toInt() * 10 + tenths.toInt();
  if (value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

// A share of the picture as `key`, which turns the proportional layout on.
QString StoreShare(Collected& collected, const QString& option, const QString& value,
                   std::string_view key, int low, int high) {
  const std::optional<int> share = Thousandths(value, low, high);
  if (!share) {
    return QStringLiteral("%1 needs a percentage %2..%3%, not \"%4\"")
        .arg(option)
        .arg(low / 10.0)
        .arg(high / 10.0)
        .arg(value);
  }
  collected.options.overrides.emplace_back(keys::kProportional, "1");
  collected.options.overrides.emplace_back(key, std::to_string(*share));
  return {};
}

QString StoreAnchor(Collected& collected, const QString& option, const QString& value) {
  const std::optional<Anchor> anchor = ParseAnchor(value.toStdString());
  if (!anchor) {
    return QStringLiteral(
               "%1 needs top-left, top, top-right, left, center, right, bottom-left, bottom or "
               "bottom-right, not \"%2\"")
        .arg(option, value);
  }
  collected.options.overrides.emplace_back(keys::kProportional, "1");
  collected.options.overrides.emplace_back(keys::kAnchor,
                                           std::to_string(static_cast<int>(*anchor)));
  return {};
}

constexpr OptionRow Switch(const char* name, const char* help, bool ComposeOptions::*flag,
                           const char* alias = nullptr) {
  return {name, alias, nullptr, help, flag, nullptr, nullptr};
}

constexpr OptionRow File(const char* name, const char* help,
                         std::filesystem::path ComposeOptions::*file) {
  return {name, nullptr, "FILE", help, nullptr, file, nullptr};
}

constexpr OptionRow Value(const char* name, const char* valueName, const char* help,
                          StoreValue store) {
  return {name, nullptr, valueName, help, nullptr, nullptr, store};
}

constexpr OptionRow SettingSwitch(const char* name, const char* help, std::string_view key) {
  return {name, nullptr, nullptr, help, nullptr, nullptr, nullptr, key};
}

// In the order --help lists them.
constexpr OptionRow kOptions[] = {
    File("photo", "photograph to use; omitted: no photograph (desktop colour)",
         &ComposeOptions::photo),
    Value("month-photo", "M=FILE",
          "month M's own photograph, for months 1..12; the others use --photo; repeatable",
          StoreMonthPhoto),
    File("photos",
         "a folder whose pictures, in name order, give January, February, ...;\n"
         "fewer than twelve repeat from the first",
         &ComposeOptions::photosFolder),
    Value("year", "YYYY",
          "year to draw, 1970..3000 (default: the current year); Japan's holidays come\n"
          "from the holiday file, else by the law's rules for 1970..2199",
          [](Collected& c, const QString& option, const QString& value) {
            return StoreInteger(c.year, option, value, kInt32Min, kInt32Max, "a year");
          }),
    Value("month", "M", "month to draw, 1..12 (default: the current month)",
          [](Collected& c, const QString& option, const QString& value) {
            return StoreInteger(c.month, option, value, 1, 12, "a month 1..12");
          }),
    Switch("all-months",
           "compose the twelve months of the year; --out must then contain %m (01..12)",
           &ComposeOptions::allMonths),
    File("settings", "read the settings from this profile file (default: Lunetta's own profile)",
         &ComposeOptions::settingsFile),
    Value("set", "\"KEY=VALUE\"",
          "override one setting, KEY as in the profile (\"Text Size\", \"StartX\",\n"
          "\"Font Name\", ..., and \"Font Weight\", \"Font Italic\"); repeatable",
          StoreOverride),
    File("holidays",
         "holiday file (default: holiday.dat in the current directory, else in\n"
         "$XDG_DATA_HOME/lunetta or lunetta/ in $XDG_DATA_DIRS)",
         &ComposeOptions::holidaysFile),
    Value("ics", "FILE",
          "an iCalendar file whose days are holidays, drawn red like Sundays (another\n"
          "country's public holidays); added to the profile's; repeatable",
          [](Collected& c, const QString& option, const QString& value) {
            return StoreCalendar(c, option, value, SpecialDayKind::Holiday);
          }),
    Value("ics-days", "FILE",
          "an iCalendar file of your own days (birthdays, family and school days),\n"
          "ringed in the day colour (\"Day Color\"); added to the profile's; repeatable",
          [](Collected& c, const QString& option, const QString& value) {
            return StoreCalendar(c, option, value, SpecialDayKind::Day);
          }),
    File("out", "where to write; the format follows the extension (default: DeskTopImg.jpg)",
         &ComposeOptions::out),
    File("pdf",
         "also write the months as one PDF document, a page each, the picture fitted in\n"
         "its own shape (alone when --out is not given)",
         &ComposeOptions::pdf),
    Value("paper", "A4|A3|Letter|Tabloid", "the paper of --pdf (default: A4)", StorePaper),
    Value("layout", "picture|wall",
          "what --pdf holds: the pictures a page each (default), or a wall calendar for\n"
          "print, the photo above or beside a large month grid; wall makes the twelve\n"
          "months unless --month is given",
          StoreLayout),
    Value("orientation", "portrait|landscape", "the wall calendar's pages (default: portrait)",
          [](Collected& c, const QString& option, const QString& value) {
            return StoreWord(c, option, value, keys::kWallOrientation, {"portrait", "landscape"});
          }),
    Value("photo-position", "top|left|right",
          "where the wall calendar's photo is on its page (default: top)",
          [](Collected& c, const QString& option, const QString& value) {
            return StoreWord(c, option, value, keys::kWallPhotoPosition, {"top", "left", "right"});
          }),
    Value("bleed", "LENGTH",
          "how far the wall calendar's photos reach past the trim, 0..10mm; a print\n"
          "shop usually asks for 3mm (default: 0)",
          StoreBleed),
    SettingSwitch("trim-marks", "the wall calendar's pages with trim marks", keys::kWallTrimMarks),
    SettingSwitch("cover", "the wall calendar opens with a cover: the year and a photo",
                  keys::kWallCover),
    SettingSwitch("planner", "the wall calendar ends with a page of the year's days",
                  keys::kWallPlanner),
    Switch("json", "print one JSON object per written picture", &ComposeOptions::json),
    Value("week-start", "sunday|monday", "the day each week row begins with (default: sunday)",
          [](Collected& c, const QString& option, const QString& value) {
            return StoreWord(c, option, value, keys::kWeekStart, {"sunday", "monday"});
          }),
    Value("labels", "en|ja", "the block's title and weekday names in English (default) or Japanese",
          [](Collected& c, const QString& option, const QString& value) {
            return StoreWord(c, option, value, keys::kJapaneseLabels, {"en", "ja"});
          }),
    Value("era", "off|only|both",
          "the title in Japanese era years: 令和8年 12月 (only), or 2026年（令和8年）12月\n"
          "where it fits the block (both); default: off",
          [](Collected& c, const QString& option, const QString& value) {
            return StoreWord(c, option, value, "Era Title", {"off", "only", "both"});
          }),
    Switch("week-numbers", "a first column of ISO 8601 week numbers", &ComposeOptions::weekNumbers),
    Switch("opaque-text", "the opacity fades the block's card, never its text",
           &ComposeOptions::opaqueText),
    Value("block-height", "PERCENT",
          "the block in proportion to the picture: this share of its height, 20%..45%;\n"
          "it keeps its share and place at every picture size",
          [](Collected& c, const QString& option, const QString& value) {
            return StoreShare(c, option, value, keys::kBlockHeight, kMinBlockHeightShare,
                              kMaxBlockHeightShare);
          }),
    Value("anchor", "PLACE",
          "where the block in proportion sits: top-left, top, top-right, left, center,\n"
          "right, bottom-left, bottom or bottom-right (default: bottom-right)",
          StoreAnchor),
    Value("margin", "PERCENT",
          "the block in proportion this share of the picture's shorter side from the\n"
          "edges, 0%..20% (default: 4%)",
          [](Collected& c, const QString& option, const QString& value) {
            return StoreShare(c, option, value, keys::kMargin, 0, kMaxMarginShare);
          }),
    SettingSwitch("auto-place",
                  "put the block where each month's photo is calmest, clear of the panel bands",
                  keys::kAutoPlace),
    Value("panel-bands", "PERCENT",
          "with --auto-place, the share of the picture's height kept clear at the top and\n"
          "at the bottom for desktop panels, 0%..25% (default: 5%)",
          [](Collected& c, const QString& option, const QString& value) {
            const std::optional<int> share = Thousandths(value, 0, kMaxPanelShare);
            if (!share) {
              return QStringLiteral("%1 needs a percentage 0..25%, not \"%2\"").arg(option, value);
            }
            c.options.overrides.emplace_back(keys::kPanelBands, std::to_string(*share));
            return QString();
          }),
    SettingSwitch("legible",
                  "choose the text and card colours and the card's opacity so that every text\n"
                  "reads at 4.5:1 or more over the photo",
                  keys::kLegible),
    Value("size", "WxH|screen",
          "the picture's size: WIDTHxHEIGHT (each 320..7680), or the screen's size in\n"
          "device pixels, which needs a display (default: the profile's size)",
          StoreSize),
    Value("fit", "stretch|fill|fit",
          "how the photo fills the picture: stretched over it, scaled to cover it with\n"
          "the overhang cut off, or scaled to fit inside it (default: the profile's,\n"
          "else stretch)",
          [](Collected& c, const QString& option, const QString& value) {
            return StoreWord(c, option, value, keys::kPhotoFit, {"stretch", "fill", "fit"});
          }),
    Switch("set-wallpaper",
           "make the month (default: this one) the desktop wallpaper: composed from the\n"
           "profile and the remembered photo (or --photo), saved in\n"
           "$XDG_DATA_HOME/lunetta (~/.local/share/lunetta) as wallpaper-YYYY-MM.jpg",
           &ComposeOptions::setWallpaper),
    SettingSwitch("today", "mark today's day in the calendar (when the month drawn is this one)",
                  "Today Mark"),
    SettingSwitch("dim-past", "draw the days of the month before today faded", "Dim Past Days"),
    SettingSwitch("every-screen",
                  "with several screens, the calendar on every screen's wallpaper,\n"
                  "not only on the primary screen's",
                  "Every Screen"),
    Value("renewal", "daily|monthly|off",
          "install or remove the renewal of the wallpaper every day just after midnight\n"
          "or on the first of every month (a systemd user timer and an autostart\n"
          "entry); with daily or monthly, --photo, --holidays, --ics, --ics-days and\n"
          "--settings are kept for the renewal",
          StoreRenewal),
    Value("monthly-refresh", "on|off", "the same as --renewal monthly|off", StoreMonthlyRefresh),
    Switch("help", nullptr, &ComposeOptions::help, "h"),
    Switch("version", nullptr, &ComposeOptions::version),
};

QString Store(const OptionRow& row, Collected& collected, const QString& value) {
  const QString option = QStringLiteral("--") + QLatin1String(row.name);
  if (row.flag != nullptr) {
    collected.options.*row.flag = true;
    return {};
  }
  if (row.file != nullptr) {
    // An empty name is a script's unset variable far more often than a wish for the default.
    if (value.isEmpty()) {
      return QStringLiteral("%1 needs a file name").arg(option);
    }
    collected.options.*row.file = PathFromArgument(value);
    return {};
  }
  if (!row.setting.empty()) {
    return StoreSwitch(collected, row.setting);
  }
  return row.store(collected, option, value);
}

std::optional<std::size_t> RowNamed(const QString& name) {
  for (std::size_t i = 0; i < std::size(kOptions); ++i) {
    const OptionRow& row = kOptions[i];
    if (name == QLatin1String(row.name) ||
        (row.alias != nullptr && name == QLatin1String(row.alias))) {
      return i;
    }
  }
  return std::nullopt;
}

// The parser's complaint as one line. An unknown option is named as the user spelt it.
QString ParseFailure(const QCommandLineParser& parser, const QStringList& arguments) {
  const QStringList unknown = parser.unknownOptionNames();
  if (unknown.isEmpty()) {
    QString text = parser.errorText();
    if (text.endsWith(u'.')) {
      text.chop(1);
    }
    if (!text.isEmpty()) {
      text[0] = text[0].toLower();
    }
    return text;
  }
  const QString& name = unknown.first();
  QString spelt = QStringLiteral("--") + name;
  for (const QString& argument : arguments) {
    if (argument == u"--") {
      break;
    }
    const QString written = argument.section(u'=', 0, 0);
    if (written == QStringLiteral("-") + name || written == QStringLiteral("--") + name) {
      spelt = written;
      break;
    }
  }
  return QStringLiteral("unknown option \"%1\"").arg(spelt);
}

QString CheckYearMonth(int year, int month) {
  try {
    BuildMonthGrid(year, month);
  } catch (const InvalidArgumentError& error) {
    return QStringLiteral("cannot draw %1-%2: %3")
        .arg(year)
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(QString::fromStdString(error.what()));
  }
  return {};
}

// The length of the well-formed UTF-8 sequence `bytes` starts with, or 0 when it starts with none
// (overlong forms, encoded surrogates and values past U+10FFFF are not well formed).
std::size_t Utf8SequenceLength(std::string_view bytes) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) {
    return 1;
  }
  std::size_t length = 0;
  unsigned char secondLow = 0x80;
  unsigned char secondHigh = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    secondLow = lead == 0xE0 ? 0xA0 : 0x80;
    secondHigh = lead == 0xED ? 0x9F : 0xBF;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    secondLow = lead == 0xF0 ? 0x90 : 0x80;
    secondHigh = lead == 0xF4 ? 0x8F : 0xBF;
  } else {
    return 0;
  }
  if (bytes.size() < length || byte(1) < secondLow || byte(1) > secondHigh) {
    return 0;
  }
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) {
      return 0;
    }
  }
  return length;
}

// The lone surrogates that stand for the bytes 0x80..0xFF that are not part of valid UTF-8.
constexpr char16_t kEscapeBase = 0xDC00;
constexpr char16_t kFirstEscape = 0xDC80;
constexpr char16_t kLastEscape = 0xDCFF;

QString DecodeArgument(std::string_view bytes) {
  QString text;
  while (!bytes.empty()) {
    if (const std::size_t length = Utf8SequenceLength(bytes); length > 0) {
      text += QString::fromUtf8(bytes.data(), static_cast<qsizetype>(length));
      bytes.remove_prefix(length);
    } else {
      text += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[0])));
      bytes.remove_prefix(1);
    }
  }
  return text;
}

// A rule across options: given `option` (with the value `value`, where one is named), what else
// must or must not be given.
enum class Relation {
  Needs,                     // `other` too
  Excludes,                  // not `other`
  ExcludesWithoutWallpaper,  // not `other`, unless --set-wallpaper is given
  NamesEachMonth,  // a name for the pictures (`other`) with %m in it, where they are written
  NeedsWall,       // --layout wall
};

struct OptionRule {
  const char* option;
  const char* value;  // nullptr: any
  Relation relation;
  const char* other;
  const char* message;  // the usage error; %1 is the option's value, %2 the other option's name
};

// Alone, --monthly-refresh composes nothing: an option about one picture would go unused. The
// photos and settings given with "on" are the renewal's.
constexpr char kRenewalAlone[] =
    "--monthly-refresh %1 cannot be used with --%2 unless --set-wallpaper is given";
constexpr char kRenewalPeriodAlone[] =
    "--renewal %1 cannot be used with --%2 unless --set-wallpaper is given";
constexpr char kWallOnly[] = "--%3 is an option of the wall calendar; give --layout wall too";

// In the order they are checked: the first rule broken is the one blamed.
constexpr OptionRule kOptionRules[] = {
    {"paper", nullptr, Relation::Needs, "pdf",
     "--paper is the paper of --pdf; give --pdf FILE too"},
    {"layout", "wall", Relation::Excludes, "set-wallpaper",
     "--layout wall is for print; it cannot be used with --set-wallpaper"},
    {"layout", "wall", Relation::Needs, "pdf", "--layout wall writes a PDF; give --pdf FILE too"},
    {"layout", "wall", Relation::Excludes, "out",
     "--layout wall writes the PDF alone; it cannot be used with --out"},
    {"orientation", nullptr, Relation::NeedsWall, "layout", kWallOnly},
    {"photo-position", nullptr, Relation::NeedsWall, "layout", kWallOnly},
    {"bleed", nullptr, Relation::NeedsWall, "layout", kWallOnly},
    {"trim-marks", nullptr, Relation::NeedsWall, "layout", kWallOnly},
    {"cover", nullptr, Relation::NeedsWall, "layout", kWallOnly},
    {"planner", nullptr, Relation::NeedsWall, "layout", kWallOnly},
    {"all-months", nullptr, Relation::Excludes, "month",
     "--month and --all-months cannot be used together"},
    {"all-months", nullptr, Relation::NamesEachMonth, "out",
     "--all-months needs %m in the --out name"},
    {"set-wallpaper", nullptr, Relation::Excludes, "pdf",
     "--set-wallpaper cannot be used with --pdf"},
    {"set-wallpaper", nullptr, Relation::Excludes, "all-months",
     "--set-wallpaper sets one month; it cannot be used with --all-months"},
    {"set-wallpaper", nullptr, Relation::Excludes, "out",
     "--set-wallpaper writes into Lunetta's wallpaper folder; it cannot be used with --out"},
    {"monthly-refresh", nullptr, Relation::ExcludesWithoutWallpaper, "year", kRenewalAlone},
    {"monthly-refresh", nullptr, Relation::ExcludesWithoutWallpaper, "month", kRenewalAlone},
    {"monthly-refresh", nullptr, Relation::ExcludesWithoutWallpaper, "all-months", kRenewalAlone},
    {"monthly-refresh", nullptr, Relation::ExcludesWithoutWallpaper, "out", kRenewalAlone},
    {"monthly-refresh", nullptr, Relation::ExcludesWithoutWallpaper, "json", kRenewalAlone},
    {"monthly-refresh", nullptr, Relation::ExcludesWithoutWallpaper, "pdf", kRenewalAlone},
    {"monthly-refresh", nullptr, Relation::ExcludesWithoutWallpaper, "paper", kRenewalAlone},
    {"monthly-refresh", nullptr, Relation::ExcludesWithoutWallpaper, "layout", kRenewalAlone},
    {"monthly-refresh", "off", Relation::ExcludesWithoutWallpaper, "photo", kRenewalAlone},
    {"monthly-refresh", "off", Relation::ExcludesWithoutWallpaper, "holidays", kRenewalAlone},
    {"monthly-refresh", "off", Relation::ExcludesWithoutWallpaper, "set", kRenewalAlone},
    {"monthly-refresh", "off", Relation::ExcludesWithoutWallpaper, "month-photo", kRenewalAlone},
    {"monthly-refresh", "off", Relation::ExcludesWithoutWallpaper, "photos", kRenewalAlone},
    {"monthly-refresh", "off", Relation::ExcludesWithoutWallpaper, "ics", kRenewalAlone},
    {"monthly-refresh", "off", Relation::ExcludesWithoutWallpaper, "ics-days", kRenewalAlone},
    {"renewal", nullptr, Relation::ExcludesWithoutWallpaper, "year", kRenewalPeriodAlone},
    {"renewal", nullptr, Relation::ExcludesWithoutWallpaper, "month", kRenewalPeriodAlone},
    {"renewal", nullptr, Relation::ExcludesWithoutWallpaper, "all-months", kRenewalPeriodAlone},
    {"renewal", nullptr, Relation::ExcludesWithoutWallpaper, "out", kRenewalPeriodAlone},
    {"renewal", nullptr, Relation::ExcludesWithoutWallpaper, "json", kRenewalPeriodAlone},
    {"renewal", nullptr, Relation::ExcludesWithoutWallpaper, "pdf", kRenewalPeriodAlone},
    {"renewal", nullptr, Relation::ExcludesWithoutWallpaper, "paper", kRenewalPeriodAlone},
    {"renewal", nullptr, Relation::ExcludesWithoutWallpaper, "layout", kRenewalPeriodAlone},
    {"renewal", "off", Relation::ExcludesWithoutWallpaper, "photo", kRenewalPeriodAlone},
    {"renewal", "off", Relation::ExcludesWithoutWallpaper, "holidays", kRenewalPeriodAlone},
    {"renewal", "off", Relation::ExcludesWithoutWallpaper, "set", kRenewalPeriodAlone},
    {"renewal", "off", Relation::ExcludesWithoutWallpaper, "month-photo", kRenewalPeriodAlone},
    {"renewal", "off", Relation::ExcludesWithoutWallpaper, "photos", kRenewalPeriodAlone},
    {"renewal", "off", Relation::ExcludesWithoutWallpaper, "ics", kRenewalPeriodAlone},
    {"renewal", "off", Relation::ExcludesWithoutWallpaper, "ics-days", kRenewalPeriodAlone},
};

bool Broken(const OptionRule& rule, const QCommandLineParser& parser,
            const ComposeOptions& options) {
  const QString other = QLatin1String(rule.other);
  switch (rule.relation) {
    case Relation::Needs:
      return !parser.isSet(other);
    case Relation::Excludes:
      return parser.isSet(other);
    case Relation::ExcludesWithoutWallpaper:
      return parser.isSet(other) && !options.setWallpaper;
    case Relation::NamesEachMonth:
      return options.pictures && options.out.native().find("%m") == std::string::npos;
    case Relation::NeedsWall:
      return !options.wall;
  }
  return false;
}

// The usage error of the first rule the options break, or an empty text.
QString BrokenRule(const QCommandLineParser& parser, const ComposeOptions& options) {
  for (const OptionRule& rule : kOptionRules) {
    const QString option = QLatin1String(rule.option);
    if (!parser.isSet(option)) {
      continue;
    }
    const QString value = parser.value(option).toLower();
    if ((rule.value == nullptr || value == QLatin1String(rule.value)) &&
        Broken(rule, parser, options)) {
      return QString::fromUtf8(rule.message)
          .replace(QStringLiteral("%1"), value)
          .replace(QStringLiteral("%2"), QLatin1String(rule.other))
          .replace(QStringLiteral("%3"), option);
    }
  }
  return {};
}

// The parser knows every option of the table; the parse is checked for unknown options and stray
// arguments. Returns the usage error, or an empty text.
QString ParseArguments(QCommandLineParser& parser, const QStringList& arguments) {
  // "-month 5" as "--month 5": an unknown "-word" is then blamed as written, not letter by letter.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  for (const OptionRow& row : kOptions) {
    QStringList names{QLatin1String(row.name)};
    if (row.alias != nullptr) {
      names << QLatin1String(row.alias);
    }
    parser.addOption(row.valueName != nullptr
                         ? QCommandLineOption(names, QString(), QLatin1String(row.valueName))
                         : QCommandLineOption(names));
  }
  // The parser takes the first element for the program's name.
  if (!parser.parse(QStringList{QString()} + arguments)) {
    return ParseFailure(parser, arguments);
  }
  if (const QStringList stray = parser.positionalArguments(); !stray.isEmpty()) {
    return QStringLiteral("unexpected argument \"%1\"").arg(stray.first());
  }
  return {};
}

// Stores every value in command-line order, so that the first bad value is the one blamed, and
// the last one given is the one kept. Returns the usage error, or an empty text.
QString CollectValues(const QCommandLineParser& parser, Collected& collected) {
  std::array<qsizetype, std::size(kOptions)> valuesSeen{};
  for (const QString& name : parser.optionNames()) {
    const std::size_t index = RowNamed(name).value();
    const OptionRow& row = kOptions[index];
    const QString value =
        row.valueName != nullptr ? parser.values(name).at(valuesSeen[index]++) : QString();
    if (QString why = Store(row, collected, value); !why.isEmpty()) {
      return why;
    }
  }
  return {};
}

// The block's switches are profile settings like any other, and so is the wall calendar's paper.
void AddBlockSwitches(ComposeOptions& options, const QCommandLineParser& parser) {
  for (const auto& [on, key] : {std::pair(options.weekNumbers, keys::kWeekNumbers),
                                std::pair(options.opaqueText, keys::kOpaqueText)}) {
    if (on) {
      options.overrides.emplace_back(key, "1");
    }
  }
  if (options.wall && parser.isSet(QStringLiteral("paper"))) {
    options.overrides.emplace_back(keys::kWallPaper,
                                   std::to_string(static_cast<int>(options.paper)));
  }
}

// The year and the months to draw, each of which the month model must be able to place.
QString ChooseMonths(Collected& collected, const LocalDate& today) {
  ComposeOptions& options = collected.options;
  options.year = collected.year.value_or(today.year);
  // A wall calendar is the year's unless one month is asked for.
  if (options.allMonths || (options.wall && !collected.month)) {
    for (int m = 1; m <= 12; ++m) {
      options.months.push_back(m);
    }
  } else {
    options.months.push_back(collected.month.value_or(today.month));
  }
  for (int m : options.months) {
    if (QString why = CheckYearMonth(options.year, m); !why.isEmpty()) {
      return why;
    }
  }
  return {};
}

}  // namespace

QString ApplyOverrides(CalendarSettings& settings, const SettingOverrides& overrides,
                       std::optional<PictureSize> screen) {
  const OverrideRefusal refusal = ApplySettingOverrides(settings, overrides, screen);
  if (refusal.why == SettingRefusal::None) {
    return {};
  }
  const auto& [key, value] = overrides[refusal.index];
  return SettingRefused(refusal, QString::fromStdString(key), QString::fromStdString(value));
}

ComposeOptionsResult ParseComposeOptions(const QStringList& arguments, const LocalDate& today) {
  QCommandLineParser parser;
  QString error = ParseArguments(parser, arguments);
  Collected collected;
  if (error.isEmpty()) {
    error = CollectValues(parser, collected);
  }
  ComposeOptions& options = collected.options;
  if (error.isEmpty() && !options.help && !options.version) {
    options.pictures = options.pdf.empty() || parser.isSet(QStringLiteral("out"));
    error = BrokenRule(parser, options);
  }
  if (error.isEmpty() && !options.help && !options.version) {
    AddBlockSwitches(options, parser);
    error = ChooseMonths(collected, today);
  }
  if (!error.isEmpty()) {
    return {{}, error};
  }
  return {std::move(options), {}};
}

QStringList DecodeArguments(int argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) {
    arguments << DecodeArgument(argv[i]);
  }
  return arguments;
}

std::filesystem::path PathFromArgument(const QString& argument) {
  std::string bytes;
  for (qsizetype i = 0; i < argument.size(); ++i) {
    const QChar c = argument[i];
    // A pair first: the low half of a real character may lie in the escapes' range.
    if (c.isHighSurrogate() && i + 1 < argument.size() && argument[i + 1].isLowSurrogate()) {
      bytes += QStringView(argument).mid(i, 2).toUtf8().toStdString();
      ++i;
    } else if (c.unicode() >= kFirstEscape && c.unicode() <= kLastEscape) {
      bytes += static_cast<char>(c.unicode() - kEscapeBase);
    } else if (c.isSurrogate()) {
      bytes += "\xEF\xBF\xBD";
    } else {
      bytes += QStringView(&c, 1).toUtf8().toStdString();
    }
  }
  return bytes;
}

QString DisplayPath(const std::filesystem::path& path) {
  const std::string& bytes = path.native();
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::filesystem::path OutputPathForMonth(const std::filesystem::path& pattern, int month) {
  const std::string digits{static_cast<char>('0' + month / 10),
                           static_cast<char>('0' + month % 10)};
  std::string bytes = pattern.native();
  for (std::size_t at = bytes.find("%m"); at != std::string::npos;
       at = bytes.find("%m", at + digits.size())) {
    bytes.replace(at, 2, digits);
  }
  return bytes;
}

QString ComposeUsage() {
  constexpr qsizetype kLabelWidth = 20;
  const QString indent(2 + kLabelWidth, u' ');
  QString usage = QStringLiteral(
      "Usage: lunetta-compose [options]\n"
      "Composes Lunetta's calendar picture without a window.\n"
      "\n");
  QStringList unexplained;
  for (const OptionRow& row : kOptions) {
    QString label = QStringLiteral("--") + QLatin1String(row.name);
    if (row.help == nullptr) {
      unexplained << label;
      continue;
    }
    if (row.valueName != nullptr) {
      label += QStringLiteral(" ") + QLatin1String(row.valueName);
    }
    // A label too long for its column has its text begin on the next line.
    label = label.size() < kLabelWidth ? (label + u' ').leftJustified(kLabelWidth)
                                       : label + u'\n' + indent;
    usage += QStringLiteral("  ") + label +
             QString::fromUtf8(row.help).replace(u'\n', QStringLiteral("\n") + indent) + u'\n';
  }
  usage += QStringLiteral("  ") + unexplained.join(QStringLiteral(", ")) +
           QStringLiteral(
               "\n"
               "\n"
               "Exit status: 0 success, 1 the work failed, 2 usage error.\n");
  return usage;
}

}  // namespace lunetta
