#include "session/session_wallpaper.h"

#include <QCryptographicHash>
#include <algorithm>
#include <system_error>

#include "picture/load_picture_file.h"
#include "picture/picture.h"
#include "platform/file_io.h"
#include "session/calendar_session.h"
#include "session/screen_pictures.h"
#include "wallpaper/compositor_wallpaper.h"

namespace lunetta {

namespace {

constexpr std::size_t kMaxStampBytes = 64 * 1024;
constexpr auto kOwnerOnly =
    std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;

Failure NoFolder(const std::filesystem::path& path) {
  return WritingFailure(path, std::make_error_code(std::errc::no_such_file_or_directory));
}

// The day the picture marks, when it marks one: only this month's picture changes with the days.
int MarkedDay(const CalendarSession& session) {
  const CalendarSettings& settings = session.settings();
  const LocalDate today = session.Today();
  const bool marks = settings.todayMark || settings.dimPastDays;
  return marks && today.year == settings.year && today.month == settings.month ? today.day : 0;
}

// The largest screen's size: a photograph decoded for it does for every other.
QSize LargestScreen(const ScreenList& screens) {
  QSize largest;
  for (const WallpaperScreen& screen : screens) {
    largest = largest.expandedTo(screen.PixelSize());
  }
  return largest;
}

Status SavePicture(const QImage& picture, const std::filesystem::path& file) {
  if (Status saved = Picture(picture).Save(file, kWallpaperJpegQuality, kOwnerOnly); !saved) {
    Failure failure = saved.failure();
    failure.file = file;
    return failure;
  }
  return {};
}

// Every screen's picture, or the spanned one, from the session's settings and shown photo.
Result<std::vector<QImage>> ComposeForScreens(const CalendarSession& session,
                                              const WallpaperPlan& plan) {
  ScreenComposition composition;
  composition.settings = session.SettingsForMonth(session.month());
  composition.settingsSize = session.pictureSize();
  const std::vector<SpecialDay> days = session.MarkedDays(session.month());
  composition.holidays = DaysOfKind(days, SpecialDayKind::Holiday);
  composition.marks = DayMarksFor(composition.settings, session.Today());
  composition.marks.ownDays = DaysOfKind(days, SpecialDayKind::Day);
  const PhotoFit fit = PhotoFitOf(composition.settings);
  // A photo the session could not use is left out here too, as in its own picture.
  if (!session.shownPhotoPath().empty() && !session.photoFailure()) {
    if (Result<DecodedPicture> photo =
            session.photoLoader()(session.shownPhotoPath(), LargestScreen(plan.screens), fit)) {
      composition.photo = std::move(photo).value().image;
    }
  }
  if (plan.arrangement == ScreenArrangement::Spanned) {
    Result<QImage> spanned = ComposeSpannedPicture(composition, plan.screens);
    if (!spanned) {
      return spanned.failure();
    }
    return std::vector{std::move(spanned).value()};
  }
  return ComposeScreenPictures(composition, plan.screens);
}

}  // namespace

Result<WallpaperPlan> PlanSessionWallpaper(const CalendarSession& session,
                                           const WallpaperContext& context) {
  WallpaperPlan plan;
  plan.desktop = DesktopOf(context.environment);
  // Absolute: desktops keep the name, and a file: URI has no relative form.
  plan.folder = WallpaperFolder(context.environment);
  if (plan.folder.empty()) {
    return NoFolder("~/.local/share/lunetta");
  }
  std::error_code error;
  plan.folder = std::filesystem::absolute(plan.folder, error);
  if (error) {
    return WritingFailure(plan.folder, error);
  }
  plan.screens = UsableScreens(context.screens);
  if (plan.screens.empty()) {
    plan.screens =
        CompositorScreens(plan.desktop, context.environment, QDeadlineTimer(context.timeLimit));
  }
  if (plan.screens.empty()) {
    plan.screens = UsableScreens(context.keptScreens);
  }
  plan.arrangement =
      ArrangementFor(plan.desktop, plan.screens.size(), context.environment, context.sandboxed);
  if (plan.arrangement == ScreenArrangement::Spanned && !SpanFits(SpanScreens(plan.screens))) {
    plan.arrangement = ScreenArrangement::One;
  }
  const int year = session.year();
  const int month = session.month();
  const int day = MarkedDay(session);
  plan.date = day > 0 ? QString::asprintf("%04d-%02d-%02d", year, month, day).toStdString()
                      : QString::asprintf("%04d-%02d", year, month).toStdString();
  switch (plan.arrangement) {
    case ScreenArrangement::One:
      plan.files.push_back(plan.folder / WallpaperFileName(year, month, day, {}));
      break;
    case ScreenArrangement::Spanned:
      plan.files.push_back(plan.folder / WallpaperFileName(year, month, day, "spanned"));
      break;
    case ScreenArrangement::PerScreen:
      for (std::size_t i = 1; i <= plan.screens.size(); ++i) {
        plan.files.push_back(plan.folder /
                             WallpaperFileName(year, month, day, "s" + std::to_string(i)));
      }
      break;
  }
  return plan;
}

WallpaperOutcome SetSessionWallpaper(const CalendarSession& session,
                                     const WallpaperContext& context, const WallpaperPlan& plan) {
  WallpaperOutcome outcome;
  outcome.desktop = plan.desktop;
  std::error_code error;
  std::filesystem::create_directories(plan.folder, error);
  if (error) {
    outcome.status = WritingFailure(plan.folder, error);
    return outcome;
  }
  WallpaperPictures pictures{plan.files.front(), {}};
  Placement placement = Placement::Zoom;  // a screen's own picture has the screen's size
  if (plan.arrangement == ScreenArrangement::One) {
    if (Status saved = SavePicture(session.picture(), plan.files.front()); !saved) {
      outcome.status = saved;
      return outcome;
    }
    std::optional<QSize> screen = context.screenSize;
    if (!screen && !plan.screens.empty()) {
      screen = PrimaryScreen(plan.screens).PixelSize();
    }
    placement = ChoosePlacement(session.picture().size(), screen);
  } else {
    const Result<std::vector<QImage>> composed = ComposeForScreens(session, plan);
    if (!composed) {
      outcome.status = composed.failure();
      return outcome;
    }
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
      if (Status saved = SavePicture(composed.value()[i], plan.files[i]); !saved) {
        outcome.status = saved;
        return outcome;
      }
    }
    if (plan.arrangement == ScreenArrangement::Spanned) {
      placement = Placement::Spanned;
    } else {
      for (std::size_t i = 0; i < plan.screens.size(); ++i) {
        pictures.screens.push_back({plan.screens[i], plan.files[i]});
        if (plan.screens[i].primary) {
          pictures.picture = plan.files[i];
        }
      }
    }
  }
  outcome.picture = pictures.picture;
  outcome.status = ApplyWallpapers(plan.desktop, pictures, placement, context.environment,
                                   QDeadlineTimer(context.timeLimit), context.sandboxed);
  if (outcome.status) {
    RemoveOldWallpapers(plan.folder, plan.files.front());
  }
  return outcome;
}

WallpaperOutcome SetSessionWallpaper(const CalendarSession& session,
                                     const WallpaperContext& context) {
  const Result<WallpaperPlan> plan = PlanSessionWallpaper(session, context);
  if (!plan) {
    return {DesktopOf(context.environment), {}, plan.failure()};
  }
  return SetSessionWallpaper(session, context, plan.value());
}

std::filesystem::path RenewalStampPath(const QProcessEnvironment& environment) {
  const std::filesystem::path config = ConfigHome(LookupIn(environment));
  return config.empty() ? config : config / "lunetta" / "renewal.stamp";
}

std::string RenewalStampText(const WallpaperPlan& plan, const std::string& snapshot) {
  const QByteArray digest =
      QCryptographicHash::hash(QByteArray::fromStdString(snapshot), QCryptographicHash::Sha256);
  std::string text = "date=" + plan.date + "\nsnapshot=" + digest.toHex().toStdString() +
                     "\ndesktop=" + plan.desktop.name.toStdString() + '\n';
  for (const WallpaperScreen& screen : plan.screens) {
    text += "screen=" + ScreenLine(screen).toStdString() + '\n';
  }
  for (const std::filesystem::path& file : plan.files) {
    text += "file=" + file.native() + '\n';
  }
  return text;
}

bool RenewalIsCurrent(const std::filesystem::path& stamp, const std::string& text,
                      const WallpaperPlan& plan) {
  std::error_code error;
  const FileBytes read = ReadRegularFile(stamp, kMaxStampBytes, error);
  if (error || !read.complete || read.bytes != text) {
    return false;
  }
  return std::all_of(plan.files.begin(), plan.files.end(), [](const std::filesystem::path& file) {
    std::error_code missing;
    return std::filesystem::is_regular_file(file, missing);
  });
}

}  // namespace lunetta
