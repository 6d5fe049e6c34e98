#include "app/compose_options.h"

#include <limits>
#include <optional>
#include <utility>

#include "calendar/month_model.h"
#include "settings/settings_store.h"

namespace lunetta {

namespace {

// Decimal digits with an optional sign, nothing else, within the range of a 32-bit integer.
std::optional<qint64> StrictInteger(const QString& text, qint64 low, qint64 high) {
  qsizetype i = 0;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
    ++i;
  }
  if (i == text.size()) {
    return std::nullopt;
  }
  for (qsizetype j = i; j < text.size(); ++j) {
    if (text[j] < u'0' || text[j] > u'9') {
      return std::nullopt;
    }
  }
  bool ok = false;
  const qint64 value = text.toLongLong(&ok, 10);
  if (!ok || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

constexpr qint64 kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr qint64 kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr qint64 kMaxColorRef = 0xFFFFFF;

// Options that take a value, as "--name VALUE" or "--name=VALUE".
enum class ValueOption { Photo, Year, Month, Settings, Set, Holidays, Out };

std::optional<ValueOption> ValueOptionNamed(const QString& name) {
  static constexpr std::pair<const char*, ValueOption> kNames[] = {
      {"--photo", ValueOption::Photo}, {"--year", ValueOption::Year},
      {"--month", ValueOption::Month}, {"--settings", ValueOption::Settings},
      {"--set", ValueOption::Set},     {"--holidays", ValueOption::Holidays},
      {"--out", ValueOption::Out},
  };
  for (const auto& [text, option] : kNames) {
    if (name == QLatin1String(text)) {
      return option;
    }
  }
  return std::nullopt;
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

}  // namespace

QString ApplySetting(CalendarSettings& settings, const QString& key, const QString& value) {
  const auto matches = [&](std::string_view name) {
    return key.compare(QLatin1String(name.data(), static_cast<qsizetype>(name.size())),
                       Qt::CaseInsensitive) == 0;
  };
  if (matches(keys::kFontName)) {
    settings.fontName = value.toStdString();
    return {};
  }
  const bool isColor = matches(keys::kTextColor) || matches(keys::kBackColor);
  const std::optional<qint64> number =
      isColor ? StrictInteger(value, 0, kMaxColorRef) : StrictInteger(value, kInt32Min, kInt32Max);
  struct IntegerKey {
    std::string_view name;
    std::int32_t CalendarSettings::*field;
  };
  static constexpr IntegerKey kIntegerKeys[] = {
      {keys::kTextSize, &CalendarSettings::textSize},
      {keys::kTransparency, &CalendarSettings::transparency},
      {keys::kStartX, &CalendarSettings::startX},
      {keys::kStartY, &CalendarSettings::startY},
      {keys::kPictSize, &CalendarSettings::pictSize},
      {"Font Weight", &CalendarSettings::fontWeight},
      {"Font Italic", &CalendarSettings::fontItalic},
  };
  if (isColor) {
    if (!number) {
      return QStringLiteral("\"%1\" needs a colour 0..16777215 (0x00BBGGRR in decimal), not \"%2\"")
          .arg(key, value);
    }
    (matches(keys::kTextColor) ? settings.textColor : settings.backColor) =
        static_cast<ColorRef>(*number);
    return {};
  }
  for (const IntegerKey& entry : kIntegerKeys) {
    if (matches(entry.name)) {
      if (!number) {
        return QStringLiteral("\"%1\" needs a whole number, not \"%2\"").arg(key, value);
      }
      settings.*entry.field = static_cast<std::int32_t>(*number);
      return {};
    }
  }
  return QStringLiteral("unknown setting \"%1\"").arg(key);
}

ComposeOptionsResult ParseComposeOptions(const QStringList& arguments, const LocalDate& today) {
  ComposeOptionsResult result;
  ComposeOptions& options = result.options;
  const auto fail = [&](QString message) {
    result.error = std::move(message);
    return result;
  };

  std::optional<int> year;
  std::optional<int> month;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == u"--help" || argument == u"-h") {
      options.help = true;
      continue;
    }
    if (argument == u"--version") {
      options.version = true;
      continue;
    }
    if (argument == u"--json") {
      options.json = true;
      continue;
    }
    if (argument == u"--all-months") {
      options.allMonths = true;
      continue;
    }

    QString name = argument;
    std::optional<QString> value;
    if (const qsizetype equals = argument.indexOf(u'='); argument.startsWith(u"--") && equals > 2) {
      name = argument.left(equals);
      value = argument.mid(equals + 1);
    }
    const std::optional<ValueOption> option = ValueOptionNamed(name);
    if (!option) {
      return fail(argument.startsWith(u'-')
                      ? QStringLiteral("unknown option \"%1\"").arg(argument)
                      : QStringLiteral("unexpected argument \"%1\"").arg(argument));
    }
    if (!value) {
      if (i + 1 >= arguments.size()) {
        return fail(QStringLiteral("%1 needs a value").arg(name));
      }
      value = arguments[++i];
    }

    switch (*option) {
      case ValueOption::Photo:
        options.photo = *value;
        break;
      case ValueOption::Year: {
        const std::optional<qint64> number = StrictInteger(*value, kInt32Min, kInt32Max);
        if (!number) {
          return fail(QStringLiteral("--year needs a year, not \"%1\"").arg(*value));
        }
        year = static_cast<int>(*number);
        break;
      }
      case ValueOption::Month: {
        const std::optional<qint64> number = StrictInteger(*value, 1, 12);
        if (!number) {
          return fail(QStringLiteral("--month needs a month 1..12, not \"%1\"").arg(*value));
        }
        month = static_cast<int>(*number);
        break;
      }
      case ValueOption::Settings:
        options.settingsFile = *value;
        break;
      case ValueOption::Set: {
        const qsizetype equals = value->indexOf(u'=');
        if (equals <= 0) {
          return fail(QStringLiteral("--set needs \"KEY=VALUE\", not \"%1\"").arg(*value));
        }
        const QString key = value->left(equals).trimmed();
        const QString setting = value->mid(equals + 1);
        CalendarSettings probe;
        if (QString why = ApplySetting(probe, key, setting); !why.isEmpty()) {
          return fail(QStringLiteral("--set: ") + why);
        }
        options.overrides.emplace_back(key, setting);
        break;
      }
      case ValueOption::Holidays:
        options.holidaysFile = *value;
        break;
      case ValueOption::Out:
        options.out = *value;
        break;
    }
  }
  if (options.help || options.version) {
    return result;
  }

  if (options.out.isEmpty()) {
    return fail(QStringLiteral("--out needs a file name"));
  }
  if (options.allMonths) {
    if (month) {
      return fail(QStringLiteral("--month and --all-months cannot be used together"));
    }
    if (!options.out.contains(u"%m")) {
      return fail(QStringLiteral("--all-months needs %m in the --out name"));
    }
  }
  options.year = year.value_or(today.year);
  if (options.allMonths) {
    for (int m = 1; m <= 12; ++m) {
      options.months.push_back(m);
    }
  } else {
    options.months.push_back(month.value_or(today.month));
  }
  for (int m : options.months) {
    if (QString why = CheckYearMonth(options.year, m); !why.isEmpty()) {
      return fail(why);
    }
  }
  return result;
}

QString OutputPathForMonth(const QString& pattern, int month) {
  QString path = pattern;
  return path.replace(QStringLiteral("%m"),
                      QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0')));
}

QString ComposeUsage() {
  return QStringLiteral(
      "Usage: lunetta-compose [options]\n"
      "Composes Lunetta's calendar picture without a window.\n"
      "\n"
      "  --photo FILE        photograph to use; omitted: no photograph (desktop colour)\n"
      "  --year YYYY         year to draw (default: the current year)\n"
      "  --month M           month to draw, 1..12 (default: the current month)\n"
      "  --all-months        compose the twelve months of the year; --out must then contain %m "
      "(01..12)\n"
      "  --settings FILE     read the settings from this profile file (default: Lunetta's own "
      "profile)\n"
      "  --set \"KEY=VALUE\"   override one setting, KEY as in the profile (\"Text Size\", "
      "\"StartX\",\n"
      "                      \"Font Name\", ..., and \"Font Weight\", \"Font Italic\"); "
      "repeatable\n"
      "  --holidays FILE     holiday file (default: holiday.dat in the current directory)\n"
      "  --out FILE          where to write; the format follows the extension (default: "
      "DeskTopImg.jpg)\n"
      "  --json              print one JSON object per written picture\n"
      "  --help, --version\n"
      "\n"
      "Exit status: 0 success, 1 the work failed, 2 usage error.\n");
}

}  // namespace lunetta
