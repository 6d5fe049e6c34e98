#include "wallpaper/wallpaper.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <system_error>

#include "picture/load_picture_file.h"
#include "wallpaper/desktop_wallpaper.h"

namespace lunetta {

namespace {

Q_LOGGING_CATEGORY(lcWallpaper, "lunetta.wallpaper")

}  // namespace

EnvironmentLookup LookupIn(const QProcessEnvironment& environment) {
  return [environment](const char* name) -> std::optional<std::string> {
    const QString key = QString::fromLatin1(name);
    if (!environment.contains(key)) {
      return std::nullopt;
    }
    return QFile::encodeName(environment.value(key)).toStdString();
  };
}

Desktop DesktopOf(const QProcessEnvironment& environment) {
  return DetectDesktop(environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")),
                       environment.value(QStringLiteral("DESKTOP_SESSION")));
}

std::filesystem::path WallpaperFolder(const QProcessEnvironment& environment) {
  const std::filesystem::path data = DataHome(LookupIn(environment));
  return data.empty() ? data : data / "lunetta";
}

std::filesystem::path WallpaperFileName(int year, int month) {
  return FilePath(QString::asprintf("wallpaper-%04d-%02d.jpg", year, month));
}

Status SetDesktopWallpaper(const Desktop& desktop, const std::filesystem::path& picture,
                           QSize pictureSize, const WallpaperContext& context) {
  return ApplyWallpaper(desktop, picture, ChoosePlacement(pictureSize, context.screenSize),
                        context.environment, QDeadlineTimer(context.timeLimit));
}

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

}  // namespace lunetta
