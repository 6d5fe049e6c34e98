#include "wallpaper/compositor_wallpaper.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <set>

#include "picture/load_picture_file.h"
#include "wallpaper/external_tool.h"

namespace lunetta {

namespace {

const QString kSwaymsg = QStringLiteral("swaymsg");
const QString kHyprctl = QStringLiteral("hyprctl");

// The primary: the output at the layout's origin, where panels and new windows go first.
ScreenList WithPrimary(ScreenList screens) {
  for (WallpaperScreen& screen : screens) {
    if (screen.geometry.topLeft() == QPoint(0, 0)) {
      screen.primary = true;
      break;
    }
  }
  return UsableScreens(std::move(screens));
}

// Sizes in device pixels as the outputs' modes give them, so no fractional scale rounds them off
// by a pixel; positions in the layout's own.
ScreenList SwayOutputs(const QProcessEnvironment& environment, QDeadlineTimer deadline) {
  const Result<QByteArray> listed =
      RunTool(kSwaymsg, {QStringLiteral("-r"), QStringLiteral("-t"), QStringLiteral("get_outputs")},
              environment, deadline);
  ScreenList screens;
  if (!listed) {
    return screens;
  }
  for (const QJsonValue& value : QJsonDocument::fromJson(listed.value()).array()) {
    const QJsonObject output = value.toObject();
    if (!output.value(u"active").toBool()) {
      continue;
    }
    const QJsonObject rect = output.value(u"rect").toObject();
    const QJsonObject mode = output.value(u"current_mode").toObject();
    QSize pixels(mode.value(u"width").toInt(), mode.value(u"height").toInt());
    if (output.value(u"transform").toString().endsWith(u"90") ||
        output.value(u"transform").toString().endsWith(u"270")) {
      pixels.transpose();
    }
    screens.push_back({output.value(u"name").toString(),
                       QRect(QPoint(rect.value(u"x").toInt(), rect.value(u"y").toInt()), pixels),
                       1.0, false});
  }
  return WithPrimary(std::move(screens));
}

ScreenList HyprlandMonitors(const QProcessEnvironment& environment, QDeadlineTimer deadline) {
  const Result<QByteArray> listed =
      RunTool(kHyprctl, {QStringLiteral("monitors"), QStringLiteral("-j")}, environment, deadline);
  ScreenList screens;
  if (!listed) {
    return screens;
  }
  for (const QJsonValue& value : QJsonDocument::fromJson(listed.value()).array()) {
    const QJsonObject monitor = value.toObject();
    QSize pixels(monitor.value(u"width").toInt(), monitor.value(u"height").toInt());
    if (monitor.value(u"transform").toInt() % 2 == 1) {  // turned by 90 or 270 degrees
      pixels.transpose();
    }
    screens.push_back(
        {monitor.value(u"name").toString(),
         QRect(QPoint(monitor.value(u"x").toInt(), monitor.value(u"y").toInt()), pixels), 1.0,
         false});
  }
  return WithPrimary(std::move(screens));
}

// One word of a sway command whose value sway also expands as a shell word (a file): every
// character the shell or sway's own parser would read is escaped, and the word is quoted, so that
// blanks, quotes, "$" and "`" stay what they are.
QString SwayFileWord(const QString& path) {
  QString word(u'"');
  for (const QChar c : path) {
    const bool plain =
        c.isLetterOrNumber() || c.unicode() >= 0x80 || QStringView(u"/._-+,:@%=").contains(c);
    if (!plain) {
      word += u'\\';
    }
    word += c;
  }
  return word + u'"';
}

Status RunSway(const QString& output, const QString& file, const QString& mode,
               const QProcessEnvironment& environment, QDeadlineTimer deadline) {
  // -p: a command sway refuses is said on standard error, which the failure then carries.
  return RunTool(kSwaymsg,
                 {QStringLiteral("-p"), QStringLiteral("output"), output, QStringLiteral("bg"),
                  SwayFileWord(file), mode},
                 environment, deadline)
      .status();
}

// hyprpaper answers "ok"; anything else is its reason.
Status RunHyprpaper(const QStringList& request, const QProcessEnvironment& environment,
                    QDeadlineTimer deadline) {
  const Result<QByteArray> answer =
      RunTool(kHyprctl, QStringList{QStringLiteral("hyprpaper")} + request, environment, deadline);
  if (!answer) {
    return answer.failure();
  }
  const QString said = QString::fromUtf8(answer.value()).trimmed();
  if (said != u"ok") {
    return Failure(Fault::ToolFailed, FilePath(kHyprctl), {}, said.section(u'\n', 0, 0).left(300));
  }
  return {};
}

}  // namespace

ScreenList CompositorScreens(const Desktop& desktop, const QProcessEnvironment& environment,
                             QDeadlineTimer deadline) {
  switch (desktop.kind) {
    case DesktopKind::Sway:
      return SwayOutputs(environment, deadline);
    case DesktopKind::Hyprland:
      return HyprlandMonitors(environment, deadline);
    default:
      return {};
  }
}

Status SetSwayWallpaper(const WallpaperPictures& pictures, Placement placement,
                        const QProcessEnvironment& environment, QDeadlineTimer deadline) {
  if (pictures.screens.empty()) {
    return RunSway(QStringLiteral("*"), QtPath(pictures.picture),
                   placement == Placement::Zoom ? QStringLiteral("fill") : QStringLiteral("fit"),
                   environment, deadline);
  }
  for (const ScreenPicture& screen : pictures.screens) {
    if (Status set = RunSway(u'"' + screen.screen.name + u'"', QtPath(screen.file),
                             QStringLiteral("fill"), environment, deadline);
        !set) {
      return set;
    }
  }
  return {};
}

Status SetHyprlandWallpaper(const WallpaperPictures& pictures,
                            const QProcessEnvironment& environment, QDeadlineTimer deadline) {
  if (FindProgram(kHyprctl, environment).isEmpty()) {
    return Failure(Fault::ToolNotFound, FilePath(kHyprctl));
  }
  // Hyprland keeps no wallpaper itself: without hyprpaper there is nothing to tell.
  if (!RunTool(kHyprctl, {QStringLiteral("hyprpaper"), QStringLiteral("listloaded")}, environment,
               deadline)) {
    return Failure(Fault::DesktopNotSupported, pictures.picture, {}, QStringLiteral("Hyprland"));
  }
  std::vector<std::pair<QString, QString>> shown;  // monitor, file; "" is every monitor
  for (const ScreenPicture& screen : pictures.screens) {
    shown.emplace_back(screen.screen.name, QtPath(screen.file));
  }
  if (shown.empty()) {
    shown.emplace_back(QString(), QtPath(pictures.picture));
  }
  std::set<QString> preloaded;
  for (const auto& [monitor, file] : shown) {
    if (preloaded.insert(file).second) {
      if (Status loaded = RunHyprpaper({QStringLiteral("preload"), file}, environment, deadline);
          !loaded) {
        return loaded;
      }
    }
  }
  for (const auto& [monitor, file] : shown) {
    if (Status set = RunHyprpaper({QStringLiteral("wallpaper"), monitor + u',' + file}, environment,
                                  deadline);
        !set) {
      return set;
    }
  }
  // The pictures shown before stay in hyprpaper's memory until unloaded; failing that is no harm.
  (void)RunHyprpaper({QStringLiteral("unload"), QStringLiteral("unused")}, environment, deadline);
  return {};
}

}  // namespace lunetta
