// lunetta-compose: the desktop program's composition, without a window, for scripts.
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QStringList>
#include <cstdio>
#include <vector>

#include "app/compose_options.h"
#include "calendar/calendar_renderer.h"
#include "calendar/composition.h"
#include "calendar/holiday_table.h"
#include "calendar/month_model.h"
#include "picture/load_picture_file.h"
#include "picture/picture.h"
#include "settings/settings_store.h"

namespace lunetta {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

void PrintError(const QString& message) {
  std::fprintf(stderr, "lunetta-compose: %s\n", message.toLocal8Bit().constData());
}

QString Quoted(const QString& path) {
  return QStringLiteral("\"%1\"").arg(path);
}

// Qt names files by QString, which cannot carry every byte sequence; exact for UTF-8 names.
QString QtFileName(const std::filesystem::path& path) {
  return QFile::decodeName(path.c_str());
}

QString JsonString(const QString& text) {
  // A one-element array serialises the string with JSON's escapes; its brackets are cut off.
  const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString JsonLine(const QString& out, const ComposedPicture& composed,
                 const CalendarSettings& settings, const std::vector<int>& holidays) {
  QStringList days;
  for (int day : holidays) {
    days << QString::number(day);
  }
  return QStringLiteral(
             "{\"out\":%1,\"width\":%2,\"height\":%3,\"blockWidth\":%4,\"blockHeight\":%5,"
             "\"startX\":%6,\"startY\":%7,\"holidays\":[%8]}")
      .arg(JsonString(out))
      .arg(composed.picture.width())
      .arg(composed.picture.height())
      .arg(composed.blockWidth)
      .arg(composed.blockHeight)
      .arg(settings.startX)
      .arg(settings.startY)
      .arg(days.join(u','));
}

// Why a file the user named cannot be read, or an empty text when it can.
QString UnreadableReason(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) {
    return QStringLiteral("no such file");
  }
  if (!info.isFile()) {
    return QStringLiteral("not a regular file");
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return file.errorString();
  }
  return {};
}

// The holiday file as the desktop program reads it: "holiday.dat" in its folder; a file of another
// name has its text read directly, cut where the desktop program's buffer ends.
bool LoadHolidays(const QString& path, int year, HolidayTable& table, QString* error) {
  if (path.isEmpty()) {
    table.load(std::filesystem::current_path(), year);
    return true;
  }
  if (QString why = UnreadableReason(path); !why.isEmpty()) {
    *error = QStringLiteral("holiday file %1: %2").arg(Quoted(path), why);
    return false;
  }
  const QFileInfo info(path);
  if (info.fileName() == u"holiday.dat") {
    table.load(std::filesystem::path(QFile::encodeName(info.absolutePath()).toStdString()), year);
    return true;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = QStringLiteral("holiday file %1: %2").arg(Quoted(path), file.errorString());
    return false;
  }
  const QByteArray text = file.read(static_cast<qint64>(HolidayTable::kMaxFileBytes));
  table.loadText(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), year);
  return true;
}

std::vector<int> DrawnHolidays(const HolidayTable& table, int month) {
  std::vector<int> days = table.daysInMonth(month);
  if (days.size() > static_cast<std::size_t>(CalendarRenderer::kMaxHolidays)) {
    days.resize(CalendarRenderer::kMaxHolidays);
  }
  return days;
}

QtMessageHandler previousHandler = nullptr;

// Qt notes a missing XDG_RUNTIME_DIR while it picks the platform; a script run from cron has none,
// and the note would stand before the one line this program promises on standard error.
void QuietStartupHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtWarningMsg && text.startsWith(u"QStandardPaths: XDG_RUNTIME_DIR not set")) {
    return;
  }
  if (previousHandler != nullptr) {
    previousHandler(type, context, text);
  }
}

int Run(const ComposeOptions& options) {
  CalendarSettings settings;
  std::filesystem::path profile = ProfilePath();
  if (!options.settingsFile.empty()) {
    const QString settingsFile = QtFileName(options.settingsFile);
    if (QString why = UnreadableReason(settingsFile); !why.isEmpty()) {
      PrintError(QStringLiteral("settings file %1: %2").arg(Quoted(settingsFile), why));
      return kExitFailure;
    }
    profile = options.settingsFile;
  }
  LoadSettings(profile, settings);
  for (const auto& [key, value] : options.overrides) {
    ApplySetting(settings, key, value);  // checked by the parser
  }
  settings.year = options.year;

  // Checked before anything is composed, so a batch fails before its first file.
  if (const QString out = QtFileName(options.out); EncoderForPath(out).isEmpty()) {
    PrintError(QStringLiteral("cannot write %1: %2").arg(Quoted(out), NoEncoderReason(out)));
    return kExitFailure;
  }

  HolidayTable holidays;
  QString error;
  if (!LoadHolidays(options.holidaysFile.empty() ? QString() : QtFileName(options.holidaysFile),
                    options.year, holidays, &error)) {
    PrintError(error);
    return kExitFailure;
  }

  DecodedPicture photo;
  if (!options.photo.empty()) {
    photo = LoadPhotograph(QtFileName(options.photo), settings.pictSize);
    if (!photo) {
      PrintError(
          QStringLiteral("photo %1: %2").arg(Quoted(QtFileName(options.photo)), photo.error));
      return kExitFailure;
    }
  }

  for (int month : options.months) {
    settings.month = month;
    const std::vector<int> days = DrawnHolidays(holidays, month);
    ComposedPicture composed;
    try {
      composed = ComposeCalendar(photo.image, settings, days);
    } catch (const InvalidArgumentError& failure) {
      PrintError(QString::fromStdString(failure.what()));
      return kExitUsage;
    }
    const QString out = QtFileName(OutputPathForMonth(options.out, month));
    QString why;
    if (!Picture(composed.picture).Save(out, &why)) {
      PrintError(QStringLiteral("cannot write %1: %2").arg(Quoted(out), why));
      return kExitFailure;
    }
    if (options.json) {
      std::printf("%s\n", JsonLine(out, composed, settings, days).toUtf8().constData());
      std::fflush(stdout);
    }
  }
  return 0;
}

int ComposeMain(int argc, char** argv) {
  const ComposeOptionsResult parsed = ParseComposeOptions(DecodeArguments(argc, argv), Today());
  if (!parsed.error.isEmpty()) {
    PrintError(parsed.error + QStringLiteral(" (see --help)"));
    return kExitUsage;
  }
  if (parsed.options.help) {
    std::fputs(ComposeUsage().toLocal8Bit().constData(), stdout);
    return 0;
  }
  if (parsed.options.version) {
    std::puts(kComposeVersion);
    return 0;
  }

  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  // Decoder warnings would repeat, less clearly, what the error message says.
  QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.*=false"));
  previousHandler = qInstallMessageHandler(QuietStartupHandler);
  QGuiApplication app(argc, argv);
  qInstallMessageHandler(previousHandler);
  return Run(parsed.options);
}

}  // namespace
}  // namespace lunetta

int main(int argc, char** argv) {
  return lunetta::ComposeMain(argc, argv);
}
