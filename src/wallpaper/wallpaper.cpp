#include "wallpaper/wallpaper.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <system_error>
#include <tuple>
#include <vector>

#include "picture/load_picture_file.h"
#include "wallpaper/desktop_wallpaper.h"

namespace lunetta {

namespace {

Q_LOGGING_CATEGORY(lcWallpaper, "lunetta.wallpaper")

// A wallpaper file's date (year, month, day; day 0 for a month's picture), or nothing for a file
// that is none of ours.
std::optional<std::tuple<int, int, int>> WallpaperDate(const QString& name) {
  static const QRegularExpression kWallpaperName(QStringLiteral(
      "^wallpaper-(\\d{4,})-(\\d{2})(?:-(\\d{2}))?(?:-(?:s\\d{1,2}|spanned))?\\.jpg$"));
  const QRegularExpressionMatch match = kWallpaperName.match(name);
  if (!match.hasMatch()) {
    return std::nullopt;
  }
  return std::tuple{match.captured(1).toInt(), match.captured(2).toInt(),
                    match.captured(3).toInt()};
}

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
  Desktop desktop = DetectDesktop(environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")),
                                  environment.value(QStringLiteral("DESKTOP_SESSION")));
  // A compositor started by hand names no desktop, but says where it listens.
  if (desktop.kind == DesktopKind::Other && desktop.name.isEmpty()) {
    if (!environment.value(QStringLiteral("SWAYSOCK")).isEmpty()) {
      desktop = {DesktopKind::Sway, QStringLiteral("sway")};
    } else if (!environment.value(QStringLiteral("HYPRLAND_INSTANCE_SIGNATURE")).isEmpty()) {
      desktop = {DesktopKind::Hyprland, QStringLiteral("Hyprland")};
    }
  }
  return desktop;
}

std::filesystem::path WallpaperFolder(const QProcessEnvironment& environment) {
  const std::filesystem::path data = DataHome(LookupIn(environment));
  return data.empty() ? data : data / "lunetta";
}

std::filesystem::path WallpaperFileName(int year, int month) {
  return WallpaperFileName(year, month, 0, {});
}

std::filesystem::path WallpaperFileName(int year, int month, int day, const std::string& part) {
  QString name = QString::asprintf("wallpaper-%04d-%02d", year, month);
  if (day > 0) {
    name += QString::asprintf("-%02d", day);
  }
  if (!part.empty()) {
    name += u'-' + QString::fromStdString(part);
  }
  return FilePath(name + QStringLiteral(".jpg"));
}

Status SetDesktopWallpaper(const Desktop& desktop, const std::filesystem::path& picture,
                           QSize pictureSize, const WallpaperContext& context) {
  return ApplyWallpaper(desktop, picture, ChoosePlacement(pictureSize, context.screenSize),
                        context.environment, QDeadlineTimer(context.timeLimit));
}

void RemoveOldWallpapers(const std::filesystem::path& folder, int year, int month) {
  RemoveOldWallpapers(folder, folder / WallpaperFileName(year, month));
}

void RemoveOldWallpapers(const std::filesystem::path& folder,
                         const std::filesystem::path& current) {
  const auto kept = WallpaperDate(QtPath(current.filename()));
  if (!kept) {
    return;
  }
  std::vector<std::pair<std::filesystem::path, std::tuple<int, int, int>>> files;
  std::optional<std::tuple<int, int, int>> previous;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const auto date = WallpaperDate(QtPath(entry.path().filename()));
    std::error_code kind;
    if (!date || std::filesystem::is_directory(entry.symlink_status(kind))) {
      continue;
    }
    files.emplace_back(entry.path(), *date);
    if (*date < *kept && (!previous || *date > *previous)) {
      previous = date;
    }
  }
  if (error) {
    qCWarning(lcWallpaper) << "cannot list" << QtPath(folder) << error.message().c_str();
  }
  for (const auto& [file, date] : files) {
    if (date == *kept || date == previous) {
      continue;
    }
    std::error_code removed;
    if (!std::filesystem::remove(file, removed)) {
      qCWarning(lcWallpaper) << "cannot remove" << QtPath(file) << removed.message().c_str();
    }
  }
}

}  // namespace lunetta
