// lunetta-compose: the desktop program's composition, without a window, for scripts.
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QPageLayout>
#include <QProcessEnvironment>
#include <QScreen>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <set>

#include "app/compose_messages.h"
#include "app/compose_options.h"
#include "picture/load_picture_file.h"
#include "picture/picture.h"
#include "platform/file_io.h"
#include "platform/font_substitutes.h"
#include "session/calendar_session.h"
#include "session/year_export.h"
#include "settings/settings_store.h"
#include "wallpaper/monthly_refresh.h"
#include "wallpaper/wallpaper.h"

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

const char* FitWord(PhotoFit fit) {
  switch (fit) {
    case PhotoFit::Fill:
      return "fill";
    case PhotoFit::Fit:
      return "fit";
    case PhotoFit::Stretch:
      break;
  }
  return "stretch";
}

QString JsonLine(const QString& out, const ComposedPicture& composed,
                 const CalendarSettings& settings, const std::vector<int>& holidays) {
  QStringList days;
  for (int day : holidays) {
    days << QString::number(day);
  }
  return QStringLiteral(
             "{\"out\":%1,\"width\":%2,\"height\":%3,\"blockWidth\":%4,\"blockHeight\":%5,"
             "\"startX\":%6,\"startY\":%7,\"blockX\":%8,\"blockY\":%9,\"holidays\":[%10],"
             "\"fit\":\"%11\"}")
      .arg(JsonString(out))
      .arg(composed.picture.width())
      .arg(composed.picture.height())
      .arg(composed.blockWidth)
      .arg(composed.blockHeight)
      .arg(settings.startX)
      .arg(settings.startY)
      .arg(composed.blockX)
      .arg(composed.blockY)
      .arg(days.join(u','))
      .arg(QLatin1String(FitWord(PhotoFitOf(settings))));
}

QtMessageHandler previousHandler = nullptr;

// Qt notes a missing XDG_RUNTIME_DIR while it picks the platform; a script run from cron has none,
// and the note would stand before the one line this program promises on standard error.
void QuietStartupHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtWarningMsg && text.startsWith(u"QStandardPaths: XDG_RUNTIME_DIR not set")) {
    return;
  }
  // A display that cannot be reached for --size screen: this program says so itself.
  if (type == QtWarningMsg && context.category != nullptr &&
      QLatin1String(context.category).startsWith(QLatin1String("qt.qpa."))) {
    return;
  }
  if (previousHandler != nullptr) {
    previousHandler(type, context, text);
  }
}

// An absolute path to a file that can be read now, for the renewal to use every month.
std::optional<std::filesystem::path> FileForRenewal(const std::filesystem::path& file,
                                                    const QString& what) {
  std::error_code error;
  if (!OpenRegularFile(file, error)) {
    PrintError(EnglishMessage(what, ReadingFailure(file, error)));
    return std::nullopt;
  }
  return std::filesystem::absolute(file, error);
}

// Installs or removes the monthly renewal, as the window's check box does, and records the choice
// in the profile.
int ChangeMonthlyRefresh(const ComposeOptions& options, CalendarSession& session,
                         const std::filesystem::path& profile,
                         const QProcessEnvironment& environment) {
  const bool on = *options.monthlyRefresh;
  Status changed;
  if (on) {
    RenewalCommand command;
    command.composeProgram = FilePath(QCoreApplication::applicationFilePath());
    std::filesystem::path holidays = options.holidaysFile;
    if (holidays.empty()) {
      // The current folder's holiday.dat, where there is one; the renewal runs in another folder.
      std::error_code error;
      holidays = std::filesystem::current_path(error) / "holiday.dat";
      if (!std::filesystem::is_regular_file(holidays, error)) {
        holidays.clear();
      }
    }
    const std::pair<std::filesystem::path, std::filesystem::path*> files[] = {
        {holidays, &command.holidayFile},
        {options.photo, &command.photo},
        {options.settingsFile, &command.settingsFile}};
    const QString names[] = {QStringLiteral("holiday file"), QStringLiteral("photo"),
                             QStringLiteral("settings file")};
    for (std::size_t i = 0; i < std::size(files); ++i) {
      if (files[i].first.empty()) {
        continue;
      }
      const std::optional<std::filesystem::path> kept = FileForRenewal(files[i].first, names[i]);
      if (!kept) {
        return kExitFailure;
      }
      *files[i].second = *kept;
    }
    changed = InstallMonthlyRefresh(command, environment);
  } else {
    changed = RemoveMonthlyRefresh(environment);
  }
  if (!changed) {
    PrintError(EnglishMessage(on ? QStringLiteral("cannot install the monthly renewal")
                                 : QStringLiteral("cannot remove the monthly renewal"),
                              changed.failure()));
    return kExitFailure;
  }
  if (const Status saved = session.SaveMonthlyRefresh(profile, on); !saved) {
    PrintError(EnglishMessage(QStringLiteral("settings file"), saved.failure()));
    return kExitFailure;
  }
  return 0;
}

// Writes the composed month into the wallpaper folder and makes it the desktop's wallpaper.
int SetDesktopWallpaper(const ComposeOptions& options, const CalendarSession& session,
                        const QProcessEnvironment& environment) {
  WallpaperContext context;
  context.environment = environment;
  const WallpaperOutcome outcome = SetWallpaper(session, context);
  if (!outcome.status) {
    const QString desktop =
        outcome.desktop.name.isEmpty() ? QStringLiteral("this desktop") : outcome.desktop.name;
    const Failure& failure = outcome.status.failure();
    QString subject = QStringLiteral("program");
    if (failure.fault == Fault::DesktopNotSupported) {
      subject = QStringLiteral("the picture is saved as");
    } else if (outcome.picture.empty()) {
      subject = QStringLiteral("cannot write");
    }
    PrintError(EnglishMessage(
        QStringLiteral("cannot set the wallpaper on %1: %2").arg(desktop, subject), failure));
    return kExitFailure;
  }
  if (options.json) {
    std::printf("%s\n", JsonLine(DisplayPath(outcome.picture), session.composed(),
                                 session.settings(), session.DrawnHolidays())
                            .toUtf8()
                            .constData());
  }
  return 0;
}

// Gives the session its photographs: the main one, each month's from the folder, then the months
// named one by one. A wallpaper run that names none uses the ones the window last had.
int ChoosePhotos(const ComposeOptions& options, bool remembered, CalendarSession& session) {
  if (remembered) {
    session.ChoosePhoto(session.rememberedPhoto());
    for (int month = 1; month <= 12; ++month) {
      session.ChooseMonthPhoto(month, session.rememberedMonthPhotos()[month - 1]);
    }
    return 0;
  }
  session.ChoosePhoto(options.photo);
  if (!options.photosFolder.empty()) {
    const Result<MonthPhotos> photos = PhotosForMonths(options.photosFolder, PhotoFilePatterns());
    if (!photos) {
      PrintError(EnglishMessage(QStringLiteral("photos folder"), photos.failure()));
      return kExitFailure;
    }
    for (int month = 1; month <= 12; ++month) {
      session.ChooseMonthPhoto(month, photos.value()[month - 1]);
    }
  }
  for (const auto& [month, photo] : options.monthPhotos) {
    session.ChooseMonthPhoto(month, photo);
  }
  return 0;
}

// One month through the session, as the window composes it.
int ComposeOneMonth(const ComposeOptions& options, bool remembered, CalendarSession& session,
                    const QProcessEnvironment& userEnvironment) {
  const int month = options.months.front();
  if (const Status composed = session.Compose(); !composed) {
    PrintError(EnglishReason(composed.failure()));
    return kExitUsage;
  }
  if (const std::optional<Failure>& failure = session.photoFailure()) {
    if (!remembered) {
      PrintError(EnglishMessage(QStringLiteral("photo"), *failure));
      return kExitFailure;
    }
    // A photograph that has gone away still leaves this month's calendar to show.
    PrintError(EnglishMessage(QStringLiteral("remembered photo"), *failure) +
               QStringLiteral("; the wallpaper has no photo"));
  }
  if (options.setWallpaper) {
    return SetDesktopWallpaper(options, session, userEnvironment);
  }
  const std::filesystem::path out = OutputPathForMonth(options.out, month);
  if (const Status saved = session.Save(out); !saved) {
    Failure failure = saved.failure();
    failure.file = out;
    PrintError(EnglishMessage(QStringLiteral("cannot write"), failure));
    return kExitFailure;
  }
  if (options.json) {
    std::printf("%s\n", JsonLine(DisplayPath(out), session.composed(), session.settings(),
                                 session.DrawnHolidays())
                            .toUtf8()
                            .constData());
  }
  return 0;
}

QPageLayout PaperLayout(Paper paper) {
  const QPageSize::PageSizeId ids[] = {QPageSize::A4, QPageSize::A3, QPageSize::Letter};
  // A margin most printers and print shops can keep.
  return QPageLayout(QPageSize(ids[static_cast<int>(paper)]), QPageLayout::Portrait,
                     QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
}

// Several months, or a PDF: composed two at a time where the machine allows, each photo decoded
// once.
int ComposeMonths(const ComposeOptions& options, const CalendarSession& session) {
  YearPlan plan = session.PlanYear();
  std::erase_if(plan.months, [&](const MonthPlan& month) {
    return std::find(options.months.begin(), options.months.end(), month.settings.month) ==
           options.months.end();
  });
  std::set<std::filesystem::path> photos;
  for (const MonthPlan& month : plan.months) {
    if (!month.photo.empty()) {
      photos.insert(month.photo);
    }
  }
  YearWork work;
  work.finish = [&options](const ComposedMonth& month) -> Status {
    if (month.photoFailure) {
      return *month.photoFailure;
    }
    if (!options.pictures) {
      return {};
    }
    const std::filesystem::path out = OutputPathForMonth(options.out, month.month);
    if (const Status saved = Picture(month.composed.picture).Save(out); !saved) {
      Failure failure = saved.failure();
      failure.file = out;
      return failure;
    }
    return {};
  };
  if (options.json && options.pictures) {
    work.deliver = [&](const ComposedMonth& month) -> Status {
      const MonthPlan& planned =
          *std::find_if(plan.months.begin(), plan.months.end(),
                        [&](const MonthPlan& m) { return m.settings.month == month.month; });
      const QString out = DisplayPath(OutputPathForMonth(options.out, month.month));
      std::printf(
          "%s\n",
          JsonLine(out, month.composed, planned.settings, planned.holidays).toUtf8().constData());
      std::fflush(stdout);
      return {};
    };
  }
  const YearOutcome outcome =
      options.pdf.empty() ? ComposeYear(plan, work)
                          : WriteYearPdf(plan, options.pdf, PaperLayout(options.paper), work);
  if (!outcome.status) {
    const Failure& failure = outcome.status.failure();
    if (failure.fault == Fault::DateOutOfRange) {
      PrintError(EnglishReason(failure));
      return kExitUsage;
    }
    PrintError(EnglishMessage(
        photos.contains(failure.file) ? QStringLiteral("photo") : QStringLiteral("cannot write"),
        failure));
    return kExitFailure;
  }
  if (options.json && !options.pdf.empty()) {
    std::printf("{\"pdf\":%s,\"pages\":%d}\n",
                JsonString(DisplayPath(options.pdf)).toUtf8().constData(), outcome.delivered);
  }
  return 0;
}

int Run(const ComposeOptions& options, const QProcessEnvironment& userEnvironment) {
  SessionEnvironment environment;
  if (options.screenSize) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr || QGuiApplication::platformName() == u"offscreen" ||
        QGuiApplication::platformName() == u"minimal") {
      PrintError(
          QStringLiteral("--size screen cannot reach a display to read the screen's size; "
                         "give --size WIDTHxHEIGHT instead (see --help)"));
      return kExitUsage;
    }
    // Device pixels: a 4K screen at 200 % is 3840 x 2160.
    const QSize pixels = screen->size() * screen->devicePixelRatio();
    environment.screenSize = PictureSize{pixels.width(), pixels.height()};
  }
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
  if (const QString why = ApplyOverrides(settings, options.overrides, session.screenSize());
      !why.isEmpty()) {
    PrintError(QStringLiteral("--set: ") + why + QStringLiteral(" (see --help)"));
    return kExitUsage;
  }
  session.ApplySettings(settings);

  if (options.monthlyRefresh) {
    if (const int code = ChangeMonthlyRefresh(options, session, profile, userEnvironment);
        code != 0 || !options.setWallpaper) {
      return code;
    }
  }
  // The wallpaper uses the photographs the window last had, unless others are named.
  const bool remembered = options.setWallpaper && options.photo.empty() &&
                          options.photosFolder.empty() && options.monthPhotos.empty();
  if (const int code = ChoosePhotos(options, remembered, session); code != 0) {
    return code;
  }
  const bool oneMonth = options.months.size() == 1 && options.pdf.empty();
  if (oneMonth) {
    // It decodes on a worker thread while this one checks the output, reads the holidays and
    // draws the block.
    session.ChooseMonth(options.months.front());
    session.PrefetchPhoto();
  }
  // Checked before anything is composed, so a batch fails before its first file.
  if (const Result<QByteArray> encoder = EncoderForPath(options.out);
      !encoder && options.pictures && !options.setWallpaper) {
    PrintError(EnglishMessage(QStringLiteral("cannot write"), encoder.failure()));
    return kExitFailure;
  }
  session.ChooseYear(options.year);
  if (!options.holidaysFile.empty() && session.holidayFailure()) {
    PrintError(EnglishMessage(QStringLiteral("holiday file"), *session.holidayFailure()));
    return kExitFailure;
  }
  return oneMonth ? ComposeOneMonth(options, remembered, session, userEnvironment)
                  : ComposeMonths(options, session);
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

  // The desktop's programs get the environment the user gave, not the platform chosen here.
  const QProcessEnvironment userEnvironment = QProcessEnvironment::systemEnvironment();
  // A wallpaper run starts from timers and at login, where the session's platform may name a
  // display that cannot be reached; composing needs none.
  const bool forWallpaper = parsed.options.setWallpaper || parsed.options.monthlyRefresh;
  const bool platformChosen = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !forWallpaper;
  if (parsed.options.screenSize) {
    // The screen's size needs the display; the offscreen platform stands last, so that a display
    // that cannot be reached gives this program's message rather than Qt's abort.
    QByteArray platforms;
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
      platforms += "wayland;";
    }
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
      platforms += "xcb;";
    }
    if (platforms.isEmpty()) {
      PrintError(
          QStringLiteral("--size screen needs a display (DISPLAY or WAYLAND_DISPLAY is not "
                         "set); give --size WIDTHxHEIGHT instead (see --help)"));
      return kExitUsage;
    }
    if (!platformChosen) {
      qputenv("QT_QPA_PLATFORM", platforms + "offscreen");
    }
  } else if (!platformChosen) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  // Decoder warnings would repeat, less clearly, what the error message says.
  QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.*=false"));
  previousHandler = qInstallMessageHandler(QuietStartupHandler);
  QGuiApplication app(argc, argv);
  qInstallMessageHandler(previousHandler);
  InstallFontSubstitutes();
  return Run(parsed.options, userEnvironment);
}

}  // namespace
}  // namespace lunetta

int main(int argc, char** argv) {
  return lunetta::ComposeMain(argc, argv);
}
