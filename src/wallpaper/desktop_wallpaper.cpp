#include "wallpaper/desktop_wallpaper.h"

#include <QByteArray>
#include <QStringList>
#include <algorithm>
#include <cstdlib>

#include "picture/load_picture_file.h"
#include "wallpaper/compositor_wallpaper.h"
#include "wallpaper/external_tool.h"
#include "wallpaper/portal_wallpaper.h"

// GSettings through the gsettings program rather than GIO: GIO aborts the whole program when a
// schema is missing (a Cinnamon schema on a GNOME machine), while the program fails with a reason
// that can be shown; every desktop's setter then runs the same way (a list of arguments, a time
// limit), and Lunetta needs no GLib development files.

namespace lunetta {

namespace {

// Everything a desktop's setter needs for one call.
struct Request {
  const Desktop& desktop;
  const WallpaperPictures& pictures;
  Placement placement;
  const QProcessEnvironment& environment;
  QDeadlineTimer deadline;
  const std::filesystem::path& picture = pictures.picture;

  Result<QByteArray> Run(const QString& program, const QStringList& arguments) const {
    return RunTool(program, arguments, environment, deadline);
  }
  QString Path() const { return QtPath(picture); }
  bool Zoom() const { return placement == Placement::Zoom; }
  bool Spanned() const { return placement == Placement::Spanned; }
  /// The picture of the screen named `name`; nothing for a screen without one of its own.
  std::optional<QString> OwnPicture(const QString& name) const {
    for (const ScreenPicture& screen : pictures.screens) {
      if (screen.screen.name == name) {
        return QtPath(screen.file);
      }
    }
    return std::nullopt;
  }
};

// A file: URI with every byte of the path but the unreserved ones and "/" percent-encoded, as
// GIO's own URIs are.
QString FileUri(const std::filesystem::path& path) {
  const QByteArray bytes(path.native().data(), static_cast<qsizetype>(path.native().size()));
  return QStringLiteral("file://") + QString::fromLatin1(bytes.toPercentEncoding("/"));
}

// A GVariant text string: the gsettings program parses its value argument as one.
QString GVariantString(QString text) {
  text.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
  return u'\'' + text + u'\'';
}

struct GSettingsBackground {
  const char* schema;
  const char* pictureKey;
  bool takesUri;        // a file: URI, else a plain path
  const char* darkKey;  // the dark style's picture, where the schema has one
  const char* placementKey;
};

constexpr GSettingsBackground kGnome{"org.gnome.desktop.background", "picture-uri", true,
                                     "picture-uri-dark", "picture-options"};
constexpr GSettingsBackground kCinnamon{"org.cinnamon.desktop.background", "picture-uri", true,
                                        nullptr, "picture-options"};
constexpr GSettingsBackground kMate{"org.mate.background", "picture-filename", false, nullptr,
                                    "picture-options"};

Status SetThroughGSettings(const Request& request, const GSettingsBackground& background) {
  const QString gsettings = QStringLiteral("gsettings");
  const QString schema = QLatin1String(background.schema);
  // Fails with the schema's name when the desktop is not installed; says whether it has a dark key.
  const Result<QByteArray> keys = request.Run(gsettings, {QStringLiteral("list-keys"), schema});
  if (!keys) {
    return keys.failure();
  }
  const QString value = background.takesUri ? FileUri(request.picture) : request.Path();
  QStringList settingKeys{QLatin1String(background.pictureKey)};
  if (background.darkKey != nullptr && keys->split('\n').contains(background.darkKey)) {
    settingKeys << QLatin1String(background.darkKey);
  }
  // The placement first, so the picture never shows cropped while the desktop catches up.
  const QString placement = request.Spanned() ? QStringLiteral("spanned")
                            : request.Zoom()  ? QStringLiteral("zoom")
                                              : QStringLiteral("scaled");
  if (const auto set = request.Run(
          gsettings, {QStringLiteral("set"), schema, QLatin1String(background.placementKey),
                      GVariantString(placement)});
      !set) {
    return set.failure();
  }
  for (const QString& key : settingKeys) {
    if (const auto set =
            request.Run(gsettings, {QStringLiteral("set"), schema, key, GVariantString(value)});
        !set) {
      return set.failure();
    }
  }
  return {};
}

Status SetGnome(const Request& request) {
  return SetThroughGSettings(request, kGnome);
}

Status SetCinnamon(const Request& request) {
  return SetThroughGSettings(request, kCinnamon);
}

Status SetMate(const Request& request) {
  return SetThroughGSettings(request, kMate);
}

// Xfce keeps one picture per monitor and workspace, under
// /backdrop/screen<N>/monitor<name>/workspace<N>/last-image, with image-style beside it
// (4 scaled, 5 zoomed).
Status SetXfce(const Request& request) {
  const QString xfconf = QStringLiteral("xfconf-query");
  const QStringList channel{QStringLiteral("-c"), QStringLiteral("xfce4-desktop")};
  const Result<QByteArray> listed = request.Run(xfconf, channel + QStringList{"-l"});
  if (!listed) {
    return listed.failure();
  }
  const QString suffix = QStringLiteral("/last-image");
  QStringList images;
  for (const QByteArray& line : listed->split('\n')) {
    const QString property = QString::fromUtf8(line).trimmed();
    if (property.startsWith(u"/backdrop/") && property.endsWith(suffix)) {
      images << property;
    }
  }
  if (images.isEmpty()) {
    return Failure(Fault::NoWallpaperSetting, FilePath(xfconf));
  }
  // A monitor with a picture of its own gets it, exactly its size, zoomed; another the one picture,
  // scaled where it may have another shape.
  const QString zoomed = QStringLiteral("5");
  const QString scaled = QStringLiteral("4");
  const QString style = request.Zoom() && request.pictures.screens.empty() ? zoomed : scaled;
  for (const QString& image : images) {
    const QString folder = image.chopped(suffix.size());
    const QString styleProperty = folder + QStringLiteral("/image-style");
    const QString monitor = folder.section(u'/', -2, -2);  // ".../monitorHDMI-1/workspace0"
    const std::optional<QString> own =
        monitor.startsWith(u"monitor") ? request.OwnPicture(monitor.mid(7)) : std::nullopt;
    const QString path = own.value_or(request.Path());
    const QString monitorStyle = own ? zoomed : style;
    // -n creates the property where the monitor has none yet, and sets it where it has.
    for (const QStringList& set :
         {QStringList{"-p", styleProperty, "-n", "-t", "int", "-s", monitorStyle},
          QStringList{"-p", image, "-n", "-t", "string", "-s", path}}) {
      if (const auto done = request.Run(xfconf, channel + set); !done) {
        return done.failure();
      }
    }
  }
  return {};
}

// A file: URI as a JavaScript string: percent-encoded, it holds no quote or backslash.
QString ScriptUri(const std::filesystem::path& file) {
  return u'"' + FileUri(file) + u'"';
}

// Plasma's shell script: each desktop (one per screen) takes the picture of the screen at its
// place, cropped (it has the screen's size); the others the primary's, fitted (FillMode 2 is
// Qt's PreserveAspectCrop, 1 PreserveAspectFit).
QString PlasmaScript(const Request& request) {
  QString pictures;
  for (const ScreenPicture& screen : request.pictures.screens) {
    pictures += QStringLiteral("[%1,%2,%3],")
                    .arg(screen.screen.geometry.x())
                    .arg(screen.screen.geometry.y())
                    .arg(ScriptUri(screen.file));
  }
  return QStringLiteral(
             "var pictures = [%1]; var fallback = %2; var all = desktops();\n"
             "for (var i = 0; i < all.length; i++) {\n"
             "  var d = all[i]; var g = screenGeometry(d.screen); var uri = fallback; var fit = "
             "1;\n"
             "  for (var j = 0; j < pictures.length; j++)\n"
             "    if (pictures[j][0] == g.x && pictures[j][1] == g.y) {\n"
             "      uri = pictures[j][2]; fit = 2;\n"
             "    }\n"
             "  d.wallpaperPlugin = \"org.kde.image\";\n"
             "  d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];\n"
             "  d.writeConfig(\"Image\", uri);\n"
             "  d.writeConfig(\"FillMode\", fit);\n"
             "}\n")
      .arg(pictures, ScriptUri(request.picture));
}

// Plasma 6 names its D-Bus tool qdbus6 or qdbus-qt6; Plasma 5 has qdbus.
QString PlasmaDbusTool(const QProcessEnvironment& environment) {
  for (const char* name : {"qdbus6", "qdbus-qt6", "qdbus"}) {
    if (!FindProgram(QLatin1String(name), environment).isEmpty()) {
      return QLatin1String(name);
    }
  }
  return {};
}

// --fill-mode came with Plasma 6; an older tool would refuse the whole call because of it.
Status SetPlasma(const Request& request) {
  if (const QString qdbus = PlasmaDbusTool(request.environment);
      !request.pictures.screens.empty() && !qdbus.isEmpty()) {
    return request
        .Run(qdbus, {QStringLiteral("org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
                     QStringLiteral("org.kde.PlasmaShell.evaluateScript"), PlasmaScript(request)})
        .status();
  }
  const QString tool = QStringLiteral("plasma-apply-wallpaperimage");
  QStringList arguments;
  if (const auto help = request.Run(tool, {QStringLiteral("--help")});
      help && help->contains("--fill-mode")) {
    arguments << QStringLiteral("--fill-mode")
              << (request.Zoom() ? QStringLiteral("preserveAspectCrop")
                                 : QStringLiteral("preserveAspectFit"));
  }
  arguments << request.Path();
  return request.Run(tool, arguments).status();
}

Status SetLxqt(const Request& request) {
  return request
      .Run(QStringLiteral("pcmanfm-qt"),
           {QStringLiteral("--set-wallpaper"), request.Path(), QStringLiteral("--wallpaper-mode"),
            request.Zoom() ? QStringLiteral("zoom") : QStringLiteral("fit")})
      .status();
}

bool IsX11(const QProcessEnvironment& environment) {
  return !environment.value(QStringLiteral("DISPLAY")).isEmpty() &&
         environment.value(QStringLiteral("XDG_SESSION_TYPE"))
                 .compare(u"wayland", Qt::CaseInsensitive) != 0;
}

// The X11 program that paints the root window: feh, else xwallpaper; empty without either.
QString X11Setter(const QProcessEnvironment& environment) {
  if (IsX11(environment)) {
    for (const char* name : {"feh", "xwallpaper"}) {
      if (!FindProgram(QLatin1String(name), environment).isEmpty()) {
        return QLatin1String(name);
      }
    }
  }
  return {};
}

// Without a desktop that keeps a wallpaper, an X11 session's root window can still be painted;
// elsewhere the portal may answer.
Status SetOther(const Request& request) {
  const QString setter = X11Setter(request.environment);
  if (setter == u"feh") {
    // --no-xinerama: the spanned picture over the whole root window, which is the screens' box.
    QStringList arguments{request.Zoom() || request.Spanned() ? QStringLiteral("--bg-fill")
                                                              : QStringLiteral("--bg-max")};
    if (request.Spanned()) {
      arguments.prepend(QStringLiteral("--no-xinerama"));
    }
    return request.Run(setter, arguments << request.Path()).status();
  }
  if (setter == u"xwallpaper") {
    QStringList arguments;
    for (const ScreenPicture& screen : request.pictures.screens) {
      arguments << QStringLiteral("--output") << screen.screen.name << QStringLiteral("--stretch")
                << QtPath(screen.file);
    }
    if (arguments.isEmpty()) {
      arguments << (request.Zoom() ? QStringLiteral("--zoom") : QStringLiteral("--maximize"))
                << request.Path();
    }
    return request.Run(setter, arguments).status();
  }
  const Status portal = SetThroughPortal(request.picture, request.environment, request.deadline);
  if (!portal && portal.failure().fault == Fault::DesktopNotSupported) {
    return Failure(Fault::DesktopNotSupported, request.picture, {}, request.desktop.name);
  }
  return portal;
}

}  // namespace

Placement ChoosePlacement(QSize picture, std::optional<QSize> screen) {
  if (!screen || screen->isEmpty() || picture.isEmpty()) {
    return Placement::Scaled;
  }
  // Cross products: the shapes agree when w1/h1 and w2/h2 differ by at most 1 %.
  const qint64 a = qint64(picture.width()) * screen->height();
  const qint64 b = qint64(screen->width()) * picture.height();
  return std::abs(a - b) * 100 <= std::min(a, b) ? Placement::Zoom : Placement::Scaled;
}

ScreenArrangement ArrangementFor(const Desktop& desktop, std::size_t screens,
                                 const QProcessEnvironment& environment, bool sandboxed) {
  if (screens < 2 || sandboxed) {
    return ScreenArrangement::One;
  }
  switch (desktop.kind) {
    case DesktopKind::Gnome:
    case DesktopKind::Cinnamon:
    case DesktopKind::Mate:
      return ScreenArrangement::Spanned;
    case DesktopKind::Xfce:
    case DesktopKind::Plasma:
    case DesktopKind::Sway:
    case DesktopKind::Hyprland:
      return ScreenArrangement::PerScreen;
    case DesktopKind::Lxqt:
      return ScreenArrangement::One;
    case DesktopKind::Other:
      break;
  }
  const QString setter = X11Setter(environment);
  return setter == u"feh"          ? ScreenArrangement::Spanned
         : setter == u"xwallpaper" ? ScreenArrangement::PerScreen
                                   : ScreenArrangement::One;
}

Status ApplyWallpaper(const Desktop& desktop, const std::filesystem::path& picture,
                      Placement placement, const QProcessEnvironment& environment,
                      QDeadlineTimer deadline) {
  return ApplyWallpapers(desktop, WallpaperPictures{picture, {}}, placement, environment, deadline);
}

Status ApplyWallpapers(const Desktop& desktop, const WallpaperPictures& pictures,
                       Placement placement, const QProcessEnvironment& environment,
                       QDeadlineTimer deadline, bool sandboxed) {
  // In a sandbox the desktop's own programs are out of reach; the portal is the way out.
  if (sandboxed) {
    return SetThroughPortal(pictures.picture, environment, deadline);
  }
  const Request request{desktop, pictures, placement, environment, deadline};
  switch (desktop.kind) {
    case DesktopKind::Gnome:
      return SetGnome(request);
    case DesktopKind::Cinnamon:
      return SetCinnamon(request);
    case DesktopKind::Mate:
      return SetMate(request);
    case DesktopKind::Xfce:
      return SetXfce(request);
    case DesktopKind::Plasma:
      return SetPlasma(request);
    case DesktopKind::Lxqt:
      return SetLxqt(request);
    case DesktopKind::Sway:
      return SetSwayWallpaper(pictures, placement, environment, deadline);
    case DesktopKind::Hyprland:
      return SetHyprlandWallpaper(pictures, environment, deadline);
    case DesktopKind::Other:
      return SetOther(request);
  }
  return SetOther(request);
}

}  // namespace lunetta
