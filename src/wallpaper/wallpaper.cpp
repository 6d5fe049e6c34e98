#include "wallpaper/wallpaper.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <system_error>

#include "picture/load_picture_file.h"
#include "session/calendar_session.h"
#include "wallpaper/desktop_wallpaper.h"

namespace lunetta {

namespace {

Q_LOGGING_CATEGORY(lcWallpaper, "lunetta.wallpaper")

// Removes the wallpaper files of months other than `year`-`month` and the one before it: the
// desktop may still show the previous one while it fades to the new.
void RemoveOldWallpapers(const std::filesystem::path& folder, int year, int month) {
  const std::filesystem::path keep[] = {
      WallpaperFileName(year, month),
      month == 1 ? WallpaperFileName(year - 1, 12) : WallpaperFileName(year, month - 1)};
  static const QRegularExpression kWallpaperName(
      QStringLiteral("^wallpaper-\\d{4,}-\\d{2}\\.jpg$"));
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::filesystem::path name = entry.path().filename();
    if (name == keep[0] || name == keep[1] || !kWallpaperName.match(QtPath(name)).hasMatch()) {
      continue;
    }
    std::error_code kind;
    if (std::filesystem::is_directory(entry.symlink_status(kind))) {
      continue;
    }
    std::error_code removed;
    if (!std::filesystem::remove(entry.path(), removed)) {
      qCWarning(lcWallpaper) << "cannot remove" << QtPath(entry.path())
                             << removed.message().c_str();
    }
  }
  if (error) {
    qCWarning(lcWallpaper) << "cannot list" << QtPath(folder) << error.message().c_str();
  }
}

}  // namespace

std::filesystem::path WallpaperFolder(const QProcessEnvironment& environment) {
  // Relative values are ignored, as the XDG base-directory rules ask.
  const QString data = environment.value(QStringLiteral("XDG_DATA_HOME"));
  if (!data.isEmpty() && QDir::isAbsolutePath(data)) {
    return FilePath(data) / "lunetta";
  }
  QString home = environment.value(QStringLiteral("HOME"));
  if (home.isEmpty()) {
    home = QDir::homePath();
  }
  return FilePath(home) / ".local" / "share" / "lunetta";
}

std::filesystem::path WallpaperFileName(int year, int month) {
  return FilePath(QString::asprintf("wallpaper-%04d-%02d.jpg", year, month));
}

WallpaperOutcome SetWallpaper(const CalendarSession& session, const WallpaperContext& context) {
  const QProcessEnvironment& environment = context.environment;
  WallpaperOutcome outcome;
  outcome.desktop = DetectDesktop(environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")),
                                  environment.value(QStringLiteral("DESKTOP_SESSION")));
  // Absolute: desktops keep the name, and a file: URI has no relative form.
  std::error_code error;
  const std::filesystem::path folder =
      std::filesystem::absolute(WallpaperFolder(environment), error);
  if (!error) {
    std::filesystem::create_directories(folder, error);
  }
  if (error) {
    outcome.status = WritingFailure(folder, error);
    return outcome;
  }
  const std::filesystem::path picture = folder / WallpaperFileName(session.year(), session.month());
  if (Status saved = session.Save(picture, kWallpaperJpegQuality); !saved) {
    Failure failure = saved.failure();
    failure.file = picture;
    outcome.status = failure;
    return outcome;
  }
  outcome.picture = picture;
  const Placement placement = ChoosePlacement(session.picture().size(), context.screenSize);
  outcome.status = ApplyWallpaper(outcome.desktop, picture, placement, environment,
                                  QDeadlineTimer(context.timeLimit));
  if (outcome.status) {
    RemoveOldWallpapers(folder, session.year(), session.month());
  }
  return outcome;
}

}  // namespace lunetta
