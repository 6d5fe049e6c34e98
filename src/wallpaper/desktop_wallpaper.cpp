#include "wallpaper/desktop_wallpaper.h"

#include <QByteArray>
#include <QStringList>
#include <algorithm>
#include <cstdlib>

#include "picture/load_picture_file.h"
#include "wallpaper/external_tool.h"

// GSettings through the gsettings program rather than GIO: GIO aborts the whole program when a
// schema is missing (a Cinnamon schema on a GNOME machine), while the program fails with a reason
// that can be shown; every desktop's setter then runs the same way (a list of arguments, a time
// limit), and Lunetta needs no GLib development files.

namespace lunetta {

namespace {

// Everything a desktop's setter needs for one call.
struct Request {
  const Desktop& desktop;
  const std::filesystem::path& picture;
  Placement placement;
  const QProcessEnvironment& environment;
  QDeadlineTimer deadline;

  Result<QByteArray> Run(const QString& program, const QStringList& arguments) const {
    return RunTool(program, arguments, environment, deadline);
  }
  QString Path() const { return QtPath(picture); }
  bool Zoom() const { return placement == Placement::Zoom; }
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
  const QString placement = request.Zoom() ? QStringLiteral("zoom") : QStringLiteral("scaled");
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
  const QString style = request.Zoom() ? QStringLiteral("5") : QStringLiteral("4");
  for (const QString& image : images) {
    const QString styleProperty = image.chopped(suffix.size()) + QStringLiteral("/image-style");
    // -n creates the property where the monitor has none yet, and sets it where it has.
    for (const QStringList& set :
         {QStringList{"-p", styleProperty, "-n", "-t", "int", "-s", style},
          QStringList{"-p", image, "-n", "-t", "string", "-s", request.Path()}}) {
      if (const auto done = request.Run(xfconf, channel + set); !done) {
        return done.failure();
      }
    }
  }
  return {};
}

// --fill-mode came with Plasma 6; an older tool would refuse the whole call because of it.
Status SetPlasma(const Request& request) {
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

// Without a desktop that keeps a wallpaper, an X11 session's root window can still be painted.
Status SetOther(const Request& request) {
  const QProcessEnvironment& environment = request.environment;
  const bool x11 = !environment.value(QStringLiteral("DISPLAY")).isEmpty() &&
                   environment.value(QStringLiteral("XDG_SESSION_TYPE"))
                           .compare(u"wayland", Qt::CaseInsensitive) != 0;
  if (x11 && !FindProgram(QStringLiteral("feh"), environment).isEmpty()) {
    return request
        .Run(QStringLiteral("feh"),
             {request.Zoom() ? QStringLiteral("--bg-fill") : QStringLiteral("--bg-max"),
              request.Path()})
        .status();
  }
  if (x11 && !FindProgram(QStringLiteral("xwallpaper"), environment).isEmpty()) {
    return request
        .Run(QStringLiteral("xwallpaper"),
             {request.Zoom() ? QStringLiteral("--zoom") : QStringLiteral("--maximize"),
              request.Path()})
        .status();
  }
  return Failure(Fault::DesktopNotSupported, request.picture, {}, request.desktop.name);
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

Status ApplyWallpaper(const Desktop& desktop, const std::filesystem::path& picture,
                      Placement placement, const QProcessEnvironment& environment,
                      QDeadlineTimer deadline) {
  const Request request{desktop, picture, placement, environment, deadline};
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
    case DesktopKind::Other:
      return SetOther(request);
  }
  return SetOther(request);
}

}  // namespace lunetta
