// lunetta-compose: the desktop program's composition, without a window, for scripts.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QPageLayout>
#include <QProcessEnvironment>
#include <QScreen>
#include <QStringList>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "app/compose_messages.h"
#include "app/compose_options.h"
#include "calendar/proportional_layout.h"
#include "picture/load_picture_file.h"
#include "platform/file_io.h"
#include "platform/stage_trace.h"
#include "render/font_substitutes.h"
#include "session/calendar_session.h"
#include "session/session_request.h"
#include "wallpaper/screens.h"

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

const char* SourceWord(HolidaySource source) {
  switch (source) {
    case HolidaySource::File:
      return "file";
    case HolidaySource::Rule:
      return "rule";
    case HolidaySource::RulePredicted:
      return "rule-predicted";
    case HolidaySource::None:
      break;
  }
  return "none";
}

// [{"day":3,"kind":"holiday","names":["憲法記念日"]}, ...]
QString MarkedDaysJson(const std::vector<SpecialDay>& days) {
  QJsonArray marked;
  for (const SpecialDay& day : days) {
    QJsonArray names;
    for (const std::string& name : day.names) {
      names.append(QString::fromStdString(name));
    }
    marked.append(QJsonObject{
        {QStringLiteral("day"), day.day},
        {QStringLiteral("kind"),
         day.kind == SpecialDayKind::Holiday ? QStringLiteral("holiday") : QStringLiteral("day")},
        {QStringLiteral("names"), names}});
  }
  return QString::fromUtf8(QJsonDocument(marked).toJson(QJsonDocument::Compact));
}

QString HexColor(ColorRef color) {
  return QStringLiteral("\"#%1%2%3\"")
      .arg(color & 0xFF, 2, 16, QLatin1Char('0'))
      .arg((color >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
      .arg((color >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

QString JsonBool(bool value) {
  return value ? QStringLiteral("true") : QStringLiteral("false");
}

// What the picture decided about the block, for the options that leave it to the picture; empty
// when none does, so the line stays as it always was.
QString ArrangementFields(const BlockArrangement& arranged, const CalendarSettings& settings) {
  QString fields;
  if (settings.proportional) {
    fields += QStringLiteral(",\"textSize\":%1,\"scale\":%2")
                  .arg(arranged.settings.textSize)
                  .arg(arranged.scale, 0, 'f', 4);
    if (settings.anchor >= 0 && settings.anchor < kAnchorCount) {
      fields += QStringLiteral(",\"anchor\":\"%1\"")
                    .arg(QLatin1String(AnchorName(static_cast<Anchor>(settings.anchor))));
    }
  }
  if (const std::optional<PlacementChoice>& place = arranged.placement) {
    fields += QStringLiteral(
                  ",\"autoPlace\":{\"x\":%1,\"y\":%2,\"admissible\":%3,\"preferredKept\":%4,"
                  "\"energy\":%5,\"calmestEnergy\":%6}")
                  .arg(arranged.block.left)
                  .arg(arranged.block.top)
                  .arg(JsonBool(place->admissible), JsonBool(place->preferredKept))
                  .arg(place->energy, 0, 'g', 6)
                  .arg(place->calmestEnergy, 0, 'g', 6);
  }
  if (const std::optional<Legibility>& legible = arranged.legibility) {
    QStringList contrast;
    for (const ClassContrast& measured : legible->contrast) {
      contrast << QStringLiteral("\"%1\":%2")
                      .arg(QLatin1String(TextClassName(measured.textClass)))
                      .arg(measured.ratio, 0, 'f', 2);
    }
    fields += QStringLiteral(
                  ",\"legible\":{\"reached\":%1,\"text\":%2,\"card\":%3,\"saturday\":%4,"
                  "\"sunday\":%5,\"opacity\":%6,\"contrast\":{%7}}")
                  .arg(JsonBool(legible->reached), HexColor(legible->colors.text),
                       HexColor(legible->colors.back), HexColor(legible->colors.saturday),
                       HexColor(legible->colors.sunday))
                  .arg(legible->opacity)
                  .arg(contrast.join(u','));
  }
  return fields;
}

QString JsonLine(const QString& out, const ComposedPicture& composed,
                 const CalendarSettings& settings, const std::vector<SpecialDay>& marked,
                 HolidaySource source) {
  QStringList days;
  for (int day : DaysOfKind(marked, SpecialDayKind::Holiday)) {
    days << QString::number(day);
  }
  return QStringLiteral(
             "{\"out\":%1,\"width\":%2,\"height\":%3,\"blockWidth\":%4,\"blockHeight\":%5,"
             "\"startX\":%6,\"startY\":%7,\"blockX\":%8,\"blockY\":%9,\"holidays\":[%10],"
             "\"fit\":\"%11\",\"holidaySource\":\"%12\",\"markedDays\":%13%14}")
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
      .arg(QLatin1String(FitWord(PhotoFitOf(settings))))
      .arg(QLatin1String(SourceWord(source)))
      .arg(MarkedDaysJson(marked))
      .arg(ArrangementFields(composed.arrangement, settings));
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

QPageLayout PaperLayout(Paper paper) {
  const QPageSize::PageSizeId ids[] = {QPageSize::A4, QPageSize::A3, QPageSize::Letter,
                                       QPageSize::Tabloid};
  // A margin most printers and print shops can keep.
  return QPageLayout(QPageSize(ids[static_cast<int>(paper)]), QPageLayout::Portrait,
                     QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
}

// What the options ask, as one request of the session.
SessionRequest RequestFor(const ComposeOptions& options,
                          const QProcessEnvironment& userEnvironment) {
  SessionRequest request;
  RequestSources& from = request.sources.emplace();
  from.settingsFile = options.settingsFile;
  from.adjustSettings = [&options](CalendarSettings& settings,
                                   std::optional<PictureSize> screen) -> Status {
    // Each value is checked by the parser; the block's position only here, against the picture
    // size the other values leave.
    if (const QString why = ApplyOverrides(settings, options.overrides, screen); !why.isEmpty()) {
      return Failure(Fault::ValueOutOfRange, {}, {}, why);
    }
    return {};
  };
  from.photo = options.photo;
  from.photosFolder = options.photosFolder;
  from.monthPhotos = options.monthPhotos;
  from.year = options.year;
  from.holidaysNamed = !options.holidaysFile.empty();
  from.calendarFiles = options.calendarFiles;

  request.months = options.months;
  // The wallpaper and the renewal have their own files.
  if (!options.setWallpaper && !options.monthlyRefresh) {
    if (options.pictures) {
      request.pictureName = options.out;
      for (const int month : options.months) {
        request.pictures[month] = OutputPathForMonth(options.out, month);
      }
    }
    (options.wall ? request.wallPdf : request.pdf) = options.pdf;
    request.paper = PaperLayout(options.paper);
  }
  request.setWallpaper = options.setWallpaper;
  // The desktop's programs get the environment the user gave, not the platform chosen here.
  request.wallpaper.environment = userEnvironment;
  request.renewal = options.monthlyRefresh;
  request.renewalDaily = options.dailyRefresh;
  return request;
}

QString JsonBox(const PdfBox& box) {
  return QStringLiteral("[%1,%2,%3,%4]")
      .arg(box.left, 0, 'f', 2)
      .arg(box.bottom, 0, 'f', 2)
      .arg(box.right, 0, 'f', 2)
      .arg(box.top, 0, 'f', 2);
}

QString JsonPhoto(const WallPhotoReport& photo) {
  return QStringLiteral(
             "{\"file\":%1,\"width\":%2,\"height\":%3,\"crop\":[%4,%5,%6,%7],\"dpi\":%8,"
             "\"lowResolution\":%9,\"embedded\":[%10,%11]}")
      .arg(JsonString(DisplayPath(photo.file)))
      .arg(photo.photo.width)
      .arg(photo.photo.height)
      .arg(photo.crop.x)
      .arg(photo.crop.y)
      .arg(photo.crop.width)
      .arg(photo.crop.height)
      .arg(photo.dpi, 0, 'f', 1)
      .arg(JsonBool(photo.lowResolution))
      .arg(photo.embedded.width)
      .arg(photo.embedded.height);
}

const char* PageKindWord(WallPageKind kind) {
  switch (kind) {
    case WallPageKind::Cover:
      return "cover";
    case WallPageKind::Planner:
      return "planner";
    case WallPageKind::Month:
      break;
  }
  return "month";
}

// One line for each page of the wall calendar: its boxes in points, and its photo.
void PrintWallPages(const std::vector<WallPageReport>& pages) {
  int number = 0;
  for (const WallPageReport& page : pages) {
    QString line = QStringLiteral("{\"page\":%1,\"kind\":\"%2\"")
                       .arg(++number)
                       .arg(QLatin1String(PageKindWord(page.page.kind)));
    if (page.page.kind == WallPageKind::Month) {
      line += QStringLiteral(",\"year\":%1,\"month\":%2").arg(page.year).arg(page.month);
    }
    line += QStringLiteral(",\"media\":%1,\"bleed\":%2,\"trim\":%3")
                .arg(JsonBox(page.media), JsonBox(page.bleed), JsonBox(page.trim));
    if (page.photo) {
      line += QStringLiteral(",\"photo\":") + JsonPhoto(*page.photo);
    }
    std::printf("%s}\n", line.toUtf8().constData());
  }
}

// A photo whose pixels will show in print is worth a warning, one line a page.
void WarnLowResolution(const std::vector<WallPageReport>& pages) {
  for (const WallPageReport& page : pages) {
    if (!page.photo || !page.photo->lowResolution) {
      continue;
    }
    const QString which =
        page.page.kind == WallPageKind::Month
            ? QStringLiteral("%1-%2").arg(page.year).arg(page.month, 2, 10, QLatin1Char('0'))
            : QStringLiteral("the cover");
    PrintError(QStringLiteral("warning: %1: photo \"%2\" gives %3 dpi at its printed size; below "
                              "%4 dpi its pixels show in print")
                   .arg(which, DisplayPath(page.photo->file))
                   .arg(static_cast<int>(std::floor(page.photo->dpi)))  // 149.6 is not 150
                   .arg(qRound(kLowResolutionDpi)));
  }
}

// The outcome in English: a line for each note, one for a failure; the exit status.
int Report(const ComposeOptions& options, const RequestOutcome& outcome,
           HolidaySource holidaySource) {
  for (const RequestNote& note : outcome.notes) {
    if (note.kind == RequestNote::Kind::RememberedPhoto) {
      PrintError(EnglishMessage(QStringLiteral("remembered photo"), note.failure) +
                 QStringLiteral("; the wallpaper has no photo"));
    } else if (note.kind == RequestNote::Kind::Calendar) {
      PrintError(EnglishMessage(QStringLiteral("calendar file"), note.failure));
    } else if (note.failure.fault == Fault::NotFound) {
      PrintError(QStringLiteral(
          "no holiday file holiday.dat found; the calendar shows no holidays (see --holidays)"));
    } else {
      PrintError(EnglishMessage(QStringLiteral("holiday file"), note.failure) +
                 (holidaySource == HolidaySource::None
                      ? QStringLiteral("; the calendar shows no holidays")
                      : QStringLiteral("; the calendar shows Japan's holidays by rule")));
    }
  }
  WarnLowResolution(outcome.wallPages);
  if (outcome.status) {
    if (options.json) {
      PrintWallPages(outcome.wallPages);
    }
    if (options.json && !options.pdf.empty() && !options.setWallpaper && !options.monthlyRefresh) {
      std::printf("{\"pdf\":%s,\"pages\":%d}\n",
                  JsonString(DisplayPath(options.pdf)).toUtf8().constData(), outcome.pages);
    }
    return 0;
  }
  const Failure& failure = outcome.status.failure();
  switch (outcome.step) {
    case RequestStep::Settings:
      PrintError(EnglishMessage(QStringLiteral("settings file"), failure));
      break;
    case RequestStep::PhotosFolder:
      PrintError(EnglishMessage(QStringLiteral("photos folder"), failure));
      break;
    case RequestStep::Holidays:
      PrintError(EnglishMessage(QStringLiteral("holiday file"), failure));
      break;
    case RequestStep::Calendar:
      PrintError(EnglishMessage(QStringLiteral("calendar file"), failure));
      break;
    case RequestStep::Compose:
      PrintError(EnglishReason(failure));
      return kExitUsage;
    case RequestStep::Adjust:
      PrintError(QStringLiteral("--set: ") + EnglishReason(failure) +
                 QStringLiteral(" (see --help)"));
      return kExitUsage;
    case RequestStep::Photo:
      PrintError(EnglishMessage(QStringLiteral("photo"), failure));
      break;
    case RequestStep::RenewalPhoto:
      PrintError(EnglishMessage(QStringLiteral("renewal photo"), failure) +
                 QStringLiteral("; the wallpaper is left as it was"));
      break;
    case RequestStep::Write:
      PrintError(EnglishMessage(QStringLiteral("cannot write"), failure));
      break;
    case RequestStep::Wallpaper: {
      const QString desktop =
          outcome.desktop.name.isEmpty() ? QStringLiteral("this desktop") : outcome.desktop.name;
      QString subject = QStringLiteral("program");
      if (failure.fault == Fault::DesktopNotSupported) {
        subject = QStringLiteral("the picture is saved as");
      } else if (outcome.wallpaper.empty()) {
        subject = QStringLiteral("cannot write");
      }
      PrintError(EnglishMessage(
          QStringLiteral("cannot set the wallpaper on %1: %2").arg(desktop, subject), failure));
      break;
    }
    case RequestStep::Renewal:
      PrintError(EnglishMessage(
          options.monthlyRefresh.value_or(true)
              ? (options.dailyRefresh ? QStringLiteral("cannot install the daily renewal")
                                      : QStringLiteral("cannot install the monthly renewal"))
              : QStringLiteral("cannot remove the renewal"),
          failure));
      break;
  }
  return kExitFailure;
}

int Run(const ComposeOptions& options, SessionEnvironment environment,
        const SessionRequest& request) {
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
  SessionRequest told = request;
  told.written = [&session, json = options.json](
                     const std::filesystem::path& file, const ComposedPicture& composed,
                     const CalendarSettings& settings, const std::vector<SpecialDay>& days) {
    const std::optional<Legibility>& legible = composed.arrangement.legibility;
    if (legible && !legible->reached) {
      PrintError(QStringLiteral("%1: not every text of the calendar reaches a contrast of 4.5:1")
                     .arg(DisplayPath(file)));
    }
    if (json) {
      std::printf("%s\n",
                  JsonLine(DisplayPath(file), composed, settings, days, session.holidaySource())
                      .toUtf8()
                      .constData());
      std::fflush(stdout);
    }
  };
  const RequestOutcome outcome = CarryOut(session, told);
  return Report(options, outcome, session.holidaySource());
}

int ComposeMain(int argc, char** argv) {
  TraceStage("main");
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
  // The wallpaper is made for each screen a display shows; without one, the offscreen platform,
  // and the screens the renewal kept or the compositor reports.
  if (parsed.options.screenSize || forWallpaper) {
    // The screen's size needs the display; the offscreen platform stands last, so that a display
    // that cannot be reached gives this program's message rather than Qt's abort.
    QByteArray platforms;
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
      platforms += "wayland;";
    }
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
      platforms += "xcb;";
    }
    if (platforms.isEmpty() && parsed.options.screenSize) {
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
  // The photo decodes while the application starts; the environment is settled before, as the
  // decode's thread reads it.
  SessionRequest request = RequestFor(parsed.options, userEnvironment);
  SessionEnvironment environment;
  environment.loadPhoto =
      DecodePhotoEarly(request, environment.profilePath, std::move(environment.loadPhoto));
  // Decoder warnings would repeat, less clearly, what the error message says.
  QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.*=false"));
  previousHandler = qInstallMessageHandler(QuietStartupHandler);
  QGuiApplication app(argc, argv);
  TraceStage("app");
  qInstallMessageHandler(previousHandler);
  // An interrupted run leaves no hidden temporary files beside its outputs.
  InstallTemporaryFileCleanup();
  InstallFontSubstitutes();
  request.composeProgram = FilePath(QCoreApplication::applicationFilePath());
  // Each screen's picture, where a display tells them; the renewal keeps them for its runs.
  request.wallpaper.screens = LiveScreens();
  const int status = Run(parsed.options, std::move(environment), request);
  TraceStage("done");
  return status;
}

}  // namespace
}  // namespace lunetta

int main(int argc, char** argv) {
  return lunetta::ComposeMain(argc, argv);
}
