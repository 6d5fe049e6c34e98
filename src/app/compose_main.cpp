// lunetta-compose: the desktop program's composition, without a window, for scripts.
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QStringList>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "app/compose_messages.h"
#include "app/compose_options.h"
#include "picture/load_picture_file.h"
#include "picture/picture.h"
#include "platform/file_io.h"
#include "platform/font_substitutes.h"
#include "session/calendar_session.h"
#include "settings/settings_store.h"

namespace lunetta {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

void PrintError(const QString& message) {
  std::fprintf(stderr, "lunetta-compose: %s\n", message.toLocal8Bit().constData());
}

QString JsonString(const QString& text) {
  // A one-element array serialises the string with JSON's escapes; its brackets are cut off.
  const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString JsonLine(const QString& out, const CalendarSession& session) {
  QStringList days;
  for (int day : session.DrawnHolidays()) {
    days << QString::number(day);
  }
  return QStringLiteral(
             "{\"out\":%1,\"width\":%2,\"height\":%3,\"blockWidth\":%4,\"blockHeight\":%5,"
             "\"startX\":%6,\"startY\":%7,\"holidays\":[%8]}")
      .arg(JsonString(out))
      .arg(session.picture().width())
      .arg(session.picture().height())
      .arg(session.blockWidth())
      .arg(session.blockHeight())
      .arg(session.settings().startX)
      .arg(session.settings().startY)
      .arg(days.join(u','));
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
  SessionEnvironment environment;
  // A file named on the command line is the only one read; otherwise the desktop program's search.
  environment.holidayFiles = options.holidaysFile.empty()
                                 ? HolidaySearchPath(std::filesystem::current_path())
                                 : std::vector{options.holidaysFile};
  CalendarSession session(std::move(environment));

  std::filesystem::path profile = ProfilePath();
  if (!options.settingsFile.empty()) {
    // A settings file the user names must be there; Lunetta's own profile may not be yet.
    profile = options.settingsFile;
    std::error_code error;
    if (!OpenRegularFile(profile, error)) {
      PrintError(EnglishMessage(QStringLiteral("settings file"), ReadingFailure(profile, error)));
      return kExitFailure;
    }
  }
  if (const Status loaded = session.LoadSettings(profile); !loaded) {
    PrintError(EnglishMessage(QStringLiteral("settings file"), loaded.failure()));
    return kExitFailure;
  }
  CalendarSettings settings = session.settings();
  for (const auto& [key, value] : options.overrides) {
    ApplySetting(settings, key, value);  // checked by the parser
  }
  session.ApplySettings(settings);

  // Checked before anything is composed, so a batch fails before its first file.
  if (const Result<QByteArray> encoder = EncoderForPath(options.out); !encoder) {
    PrintError(EnglishMessage(QStringLiteral("cannot write"), encoder.failure()));
    return kExitFailure;
  }
  if (!options.photo.empty()) {
    session.ChoosePhoto(options.photo);
    session.PrefetchPhoto();
  }
  session.ChooseYear(options.year);
  if (!options.holidaysFile.empty() && session.holidayFailure()) {
    PrintError(EnglishMessage(QStringLiteral("holiday file"), *session.holidayFailure()));
    return kExitFailure;
  }

  for (int month : options.months) {
    session.ChooseMonth(month);
    if (const Status composed = session.Compose(); !composed) {
      PrintError(EnglishReason(composed.failure()));
      return kExitUsage;
    }
    if (const std::optional<Failure>& photo = session.photoFailure()) {
      PrintError(EnglishMessage(QStringLiteral("photo"), *photo));
      return kExitFailure;
    }
    const std::filesystem::path out = OutputPathForMonth(options.out, month);
    if (const Status saved = session.Save(out); !saved) {
      Failure failure = saved.failure();
      failure.file = out;
      PrintError(EnglishMessage(QStringLiteral("cannot write"), failure));
      return kExitFailure;
    }
    if (options.json) {
      std::printf("%s\n", JsonLine(DisplayPath(out), session).toUtf8().constData());
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
  InstallFontSubstitutes();
  return Run(parsed.options);
}

}  // namespace
}  // namespace lunetta

int main(int argc, char** argv) {
  return lunetta::ComposeMain(argc, argv);
}
