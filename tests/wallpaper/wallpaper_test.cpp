#include "wallpaper/wallpaper.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include "picture/load_picture_file.h"
#include "picture/picture_files.h"
#include "support/picture_printers.h"
#include "support/stand_in_programs.h"
#include "wallpaper/desktop_wallpaper.h"

namespace lunetta {

inline void PrintTo(const Desktop& desktop, std::ostream* out) {
  *out << static_cast<int>(desktop.kind) << " \"" << desktop.name.toStdString() << '"';
}

namespace {

using test_support::StandInPrograms;

TEST(DesktopTest, DetectedFromTheFirstKnownNameThenFromTheSession) {
  const struct {
    const char* current;
    const char* session;
    Desktop expected;
  } cases[] = {
      {"Budgie:GNOME", "", {DesktopKind::Gnome, "Budgie"}},
      {"mate", "", {DesktopKind::Mate, "MATE"}},
      {"Pantheon:X-Custom:Unity", "", {DesktopKind::Gnome, "Unity"}},
      {"", "/usr/share/xsessions/xfce", {DesktopKind::Xfce, "Xfce"}},
      {"", "plasmawayland", {DesktopKind::Plasma, "KDE Plasma"}},
      {"sway", "sway", {DesktopKind::Sway, "sway"}},
      {"", "hyprland", {DesktopKind::Hyprland, "Hyprland"}},
      {"Weston", "", {DesktopKind::Other, "Weston"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DetectDesktop(c.current, c.session), c.expected) << c.current << " / " << c.session;
  }
}

TEST(DesktopTest, ZoomOnlyWhenThePictureHasTheScreensShape) {
  const struct {
    QSize picture;
    std::optional<QSize> screen;
    Placement expected;
  } cases[] = {
      {{1024, 768}, QSize(1366, 1024), Placement::Zoom},    // 0.05 % off
      {{1280, 1024}, QSize(1024, 768), Placement::Scaled},  // 5:4 on 4:3: 6.7 % off
      {{1024, 768}, std::nullopt, Placement::Scaled},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChoosePlacement(c.picture, c.screen), c.expected)
        << ::testing::PrintToString(c.picture) << " on " << ::testing::PrintToString(c.screen);
  }
}

class WallpaperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    environment_ = QProcessEnvironment::systemEnvironment();
    // No session bus either: the portal is tested on a bus of its own.
    for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "DISPLAY", "WAYLAND_DISPLAY",
                             "XDG_SESSION_TYPE", "GSETTINGS_SCHEMA_DIR", "DBUS_SESSION_BUS_ADDRESS",
                             "XDG_RUNTIME_DIR", "SWAYSOCK", "HYPRLAND_INSTANCE_SIGNATURE"}) {
      environment_.remove(QString::fromLatin1(name));
    }
    environment_.insert("GSETTINGS_BACKEND", "keyfile");
    environment_.insert("XDG_CONFIG_HOME", home_.filePath("config"));
    environment_.insert("PATH", tools_.folder() + ":/usr/bin:/bin");
  }

  Status Set(const QString& desktop, std::optional<QSize> screen = {}) {
    WallpaperContext context;
    context.environment = environment_;
    context.screenSize = screen;
    context.timeLimit = timeLimit_;
    context.environment.insert("XDG_CURRENT_DESKTOP", desktop);
    return SetDesktopWallpaper(DesktopOf(context.environment), FilePath(Picture()),
                               QSize(1024, 768), context);
  }

  // A folder whose name needs quoting and encoding wherever it goes.
  QString Folder() const { return home_.filePath("it's 写真 #1 100%"); }
  QString Picture() const { return Folder() + "/wallpaper-2026-08.jpg"; }

  QString GSetting(const char* schema, const char* key) const {
    return test_support::GSetting(schema, key, environment_);
  }
  // Stand-ins for these programs only (a name, and what it then does), alone on PATH.
  std::unique_ptr<StandInPrograms> OnPath(const QList<std::pair<QString, QString>>& programs) {
    auto tools = std::make_unique<StandInPrograms>();
    for (const auto& [name, then] : programs) {
      tools->Add(name, then);
    }
    environment_.insert("PATH", tools->folder());
    return tools;
  }
  // xfconf-query's answer to -l: these properties, one a line.
  static QString XfconfList(const QStringList& properties) {
    return "if [ \"$3\" = -l ]; then printf '" + properties.join("\\n") + "\\n'; fi";
  }
  // The two calls that set a monitor's picture and its style.
  static QList<QStringList> XfceSet(const QString& folder, const QString& file, const char* style) {
    const QStringList xfconf{"xfconf-query", "-c", "xfce4-desktop"};
    return {xfconf + QStringList{"-p", folder + "image-style", "-n", "-t", "int", "-s", style},
            xfconf + QStringList{"-p", folder + "last-image", "-n", "-t", "string", "-s", file}};
  }
  const QStringList xfconfList_{"xfconf-query", "-c", "xfce4-desktop", "-l"};

  QTemporaryDir home_;
  StandInPrograms tools_;
  QProcessEnvironment environment_;
  std::chrono::milliseconds timeLimit_{15000};
};

TEST_F(WallpaperTest, GnomeGetsAnEncodedFileUriInBothStyles) {
  ASSERT_TRUE(home_.path().contains(QRegularExpression("^[A-Za-z0-9/._~-]+$")));
  ASSERT_TRUE(Succeeded(Set("ubuntu:GNOME")));
  const QString uri = "'file://" + home_.path() +
                      "/it%27s%20%E5%86%99%E7%9C%9F%20%231%20100%25/wallpaper-2026-08.jpg'";
  EXPECT_EQ(GSetting("org.gnome.desktop.background", "picture-uri"), uri);
  EXPECT_EQ(GSetting("org.gnome.desktop.background", "picture-uri-dark"), uri);
  EXPECT_EQ(GSetting("org.gnome.desktop.background", "picture-options"), "'scaled'");
  ASSERT_TRUE(Succeeded(Set("GNOME", QSize(2048, 1536))));
  EXPECT_EQ(GSetting("org.gnome.desktop.background", "picture-options"), "'zoom'");
  ASSERT_TRUE(Succeeded(ApplyWallpapers({DesktopKind::Gnome, "GNOME"}, {FilePath(Picture()), {}},
                                        Placement::Spanned, environment_, QDeadlineTimer(15000))));
  EXPECT_EQ(GSetting("org.gnome.desktop.background", "picture-options"), "'spanned'");
}

// The schemas as far as Lunetta uses them, compiled for this test: Cinnamon's, MATE's, and an
// older GNOME's without the dark style's key.
TEST_F(WallpaperTest, EachGSettingsDesktopGetsItsOwnSchema) {
  const QString schemas = home_.filePath("schemas");
  QDir().mkpath(schemas);
  const QString schema = QStringLiteral(
      "<schema id='%1' path='/%2/'><key name='%3' type='s'><default>''</default></key>"
      "<key name='picture-options' type='s'><default>'zoom'</default></key></schema>");
  ASSERT_TRUE(testing::WriteBytes(
      schemas + "/lunetta-test.gschema.xml",
      ("<schemalist>" +
       schema.arg("org.cinnamon.desktop.background", "cinnamon/background", "picture-uri") +
       schema.arg("org.mate.background", "mate/background", "picture-filename") +
       schema.arg("org.gnome.desktop.background", "gnome/background", "picture-uri") +
       "</schemalist>")
          .toUtf8()));
  ASSERT_EQ(QProcess::execute("glib-compile-schemas", {schemas}), 0);
  environment_.insert("GSETTINGS_SCHEMA_DIR", schemas);

  ASSERT_TRUE(Succeeded(Set("X-Cinnamon")));
  const QString uri = GSetting("org.cinnamon.desktop.background", "picture-uri");
  EXPECT_EQ(QUrl(uri.mid(1).chopped(1)).toLocalFile(), Picture());
  EXPECT_EQ(GSetting("org.cinnamon.desktop.background", "picture-options"), "'scaled'");

  ASSERT_TRUE(Succeeded(Set("MATE", QSize(1024, 768))));
  // A plain path; with its apostrophe, GVariant prints it in double quotes.
  EXPECT_EQ(GSetting("org.mate.background", "picture-filename"), '"' + Picture() + '"');
  EXPECT_EQ(GSetting("org.mate.background", "picture-options"), "'zoom'");

  ASSERT_TRUE(Succeeded(Set("GNOME")));
  EXPECT_EQ(GSetting("org.gnome.desktop.background", "picture-uri"), uri);
}

TEST_F(WallpaperTest, OtherDesktopsRunTheirProgramsAsDocumented) {
  const QString path = Picture();
  const QString hdmi = "/backdrop/screen0/monitorHDMI-1/workspace0/";
  const QString edp = "/backdrop/screen0/monitoreDP-1/workspace1/";
  const struct {
    const char* desktop;
    QList<std::pair<QString, QString>> programs;
    std::optional<QSize> screen;
    QList<QStringList> calls;
    QStringList display = {};  // DISPLAY, then XDG_SESSION_TYPE
  } cases[] = {
      {"XFCE",
       {{"xfconf-query", XfconfList({hdmi + "last-image", hdmi + "color-style", edp + "last-image",
                                     "/last-image"})}},
       QSize(1600, 1200),
       QList<QStringList>{xfconfList_} + XfceSet(hdmi, path, "5") + XfceSet(edp, path, "5")},
      {"KDE",
       {{"plasma-apply-wallpaperimage", "echo '  --fill-mode <fill-mode>  How to fit'"}},
       {},
       {{"plasma-apply-wallpaperimage", "--help"},
        {"plasma-apply-wallpaperimage", "--fill-mode", "preserveAspectFit", path}}},
      {"KDE",  // Plasma 5: no --fill-mode to give
       {{"plasma-apply-wallpaperimage", "echo 'Usage: plasma-apply-wallpaperimage image'"}},
       QSize(1024, 768),
       {{"plasma-apply-wallpaperimage", "--help"}, {"plasma-apply-wallpaperimage", path}}},
      {"LXQt",
       {{"pcmanfm-qt", ""}},
       {},
       {{"pcmanfm-qt", "--set-wallpaper", path, "--wallpaper-mode", "fit"}}},
      {"i3",
       {{"feh", ""}, {"xwallpaper", ""}},
       QSize(1024, 768),
       {{"feh", "--bg-fill", path}},
       {":0", "x11"}},
      {"i3", {{"xwallpaper", ""}}, {}, {{"xwallpaper", "--maximize", path}}, {":0", ""}},
  };
  for (const auto& c : cases) {
    const auto tools = OnPath(c.programs);
    if (!c.display.isEmpty()) {
      environment_.insert("DISPLAY", c.display[0]);
      environment_.insert("XDG_SESSION_TYPE", c.display[1]);
    }
    EXPECT_TRUE(Succeeded(Set(c.desktop, c.screen))) << c.desktop;
    EXPECT_EQ(tools->Calls(), c.calls) << c.desktop;
  }
}

// Two screens, the primary on the left; a desktop that keeps a picture per monitor gets each its
// own, one that keeps one gets the spanned picture.
TEST_F(WallpaperTest, EachScreenGetsItsOwnPictureWhereTheDesktopKeepsOne) {
  const QString a = Folder() + "/a.jpg";
  const QString b = Folder() + "/b.jpg";
  const WallpaperScreen hdmi{"HDMI-1", QRect(0, 0, 1920, 1080), 1, true};
  const WallpaperScreen edp{"eDP-1", QRect(1920, 0, 1280, 800), 1, false};
  const WallpaperPictures perScreen{FilePath(a), {{hdmi, FilePath(a)}, {edp, FilePath(b)}}};
  // xfconf's folders of the two monitors and of one that is not there now.
  const QString h = "/backdrop/screen0/monitorHDMI-1/workspace0/",
                e = "/backdrop/screen0/monitoreDP-1/workspace0/",
                d = "/backdrop/screen0/monitorDP-9/workspace0/";
  const struct {
    const char* desktop;
    QList<std::pair<QString, QString>> programs;
    Placement placement;
    QList<QStringList> calls;
  } cases[] = {
      // A monitor without a picture of its own gets the primary's, scaled: it may have another
      // shape.
      {"XFCE",
       {{"xfconf-query", XfconfList({h + "last-image", e + "last-image", d + "last-image"})}},
       Placement::Zoom,
       QList<QStringList>{xfconfList_} + XfceSet(h, a, "5") + XfceSet(e, b, "5") +
           XfceSet(d, a, "4")},
      {"i3",
       {{"xwallpaper", ""}},
       Placement::Zoom,
       {{"xwallpaper", "--output", "HDMI-1", "--stretch", a, "--output", "eDP-1", "--stretch", b}}},
      {"Hyprland",
       {{"hyprctl", "[ \"$2\" = listloaded ] || echo ok"}},
       Placement::Zoom,
       {{"hyprctl", "hyprpaper", "listloaded"},
        {"hyprctl", "hyprpaper", "preload", a},
        {"hyprctl", "hyprpaper", "preload", b},
        {"hyprctl", "hyprpaper", "wallpaper", "HDMI-1," + a},
        {"hyprctl", "hyprpaper", "wallpaper", "eDP-1," + b},
        {"hyprctl", "hyprpaper", "unload", "unused"}}},
      {"i3", {{"feh", ""}}, Placement::Spanned, {{"feh", "--no-xinerama", "--bg-fill", a}}},
  };
  environment_.insert("DISPLAY", ":0");
  for (const auto& c : cases) {
    const auto tools = OnPath(c.programs);
    const WallpaperPictures pictures =
        c.placement == Placement::Spanned ? WallpaperPictures{FilePath(a), {}} : perScreen;
    EXPECT_TRUE(Succeeded(ApplyWallpapers(DetectDesktop(c.desktop, {}), pictures, c.placement,
                                          environment_, QDeadlineTimer(15000))))
        << c.desktop;
    EXPECT_EQ(tools->Calls(), c.calls) << c.desktop;
  }

  // Plasma: a script gives each desktop the picture of the screen at its place.
  const auto plasma = OnPath({{"qdbus6", ""}});
  ASSERT_TRUE(Succeeded(ApplyWallpapers({DesktopKind::Plasma, "KDE Plasma"}, perScreen,
                                        Placement::Zoom, environment_, QDeadlineTimer(15000))));
  const QList<QStringList> calls = plasma->Calls();
  ASSERT_EQ(calls.size(), 1);
  EXPECT_EQ(calls[0].mid(0, 4), (QStringList{"qdbus6", "org.kde.plasmashell", "/PlasmaShell",
                                             "org.kde.PlasmaShell.evaluateScript"}));
  EXPECT_TRUE(calls[0].value(4).contains("[1920,0,\"file://" + home_.path()))
      << calls[0].value(4).toStdString();
  EXPECT_TRUE(calls[0].value(4).contains("%E5%86%99%E7%9C%9F%20%231%20100%25/b.jpg\"]"));
}

TEST_F(WallpaperTest, FailuresSayWhichProgramFailed) {
  const QString wayland = "WAYLAND";  // a marker: the session is Wayland, so no X11 setter
  const struct {
    const char* desktop;
    const char* program;
    QString then;  // nothing: the program is not installed
    Failure expected;
  } cases[] = {
      {"XFCE", "xfconf-query", "echo 'Channel \"xfce4-desktop\" does not exist' >&2; exit 1",
       Failure(Fault::ToolFailed, "xfconf-query", {}, "Channel \"xfce4-desktop\" does not exist")},
      {"XFCE", "xfconf-query", "exit 0", Failure(Fault::NoWallpaperSetting, "xfconf-query")},
      {"LXQt", "pcmanfm-qt", {}, Failure(Fault::ToolNotFound, "pcmanfm-qt")},
      // What it started goes with it.
      {"LXQt", "pcmanfm-qt", "/bin/sleep 30 & echo $! > \"$0.child\"; wait",
       Failure(Fault::ToolTimedOut, "pcmanfm-qt")},
      {"i3", "feh", wayland, Failure(Fault::DesktopNotSupported, FilePath(Picture()), {}, "i3")},
      {"sway", "swaymsg", {}, Failure(Fault::ToolNotFound, "swaymsg")},
      {"Hyprland", "hyprctl", "echo \"Couldn't connect to hyprpaper (3)\"; exit 3",
       Failure(Fault::DesktopNotSupported, FilePath(Picture()), {}, "Hyprland")},
  };
  timeLimit_ = std::chrono::milliseconds(500);
  for (const auto& c : cases) {
    const auto tools = OnPath(c.then.isNull() ? QList<std::pair<QString, QString>>{}
                                              : QList{std::pair<QString, QString>(
                                                    c.program, c.then == wayland ? "" : c.then)});
    environment_.insert("DISPLAY", ":0");
    environment_.insert("XDG_SESSION_TYPE", c.then == wayland ? "wayland" : "x11");
    const Status status = Set(c.desktop);
    ASSERT_FALSE(status.ok()) << c.desktop;
    EXPECT_EQ(status.failure(), c.expected) << c.desktop;
    if (const QByteArray child = testing::ReadBytes(tools->path(c.program) + ".child");
        !child.isEmpty()) {
      // Gone, or a zombie waiting for a reaper.
      const auto running = [&] {
        const QByteArray stat = testing::ReadBytes("/proc/" + child.trimmed() + "/stat");
        return !stat.isEmpty() && !stat.contains(") Z ");
      };
      for (QDeadlineTimer killed(2000); running() && !killed.hasExpired();) {
        QThread::msleep(10);
      }
      EXPECT_FALSE(running()) << c.desktop << ": its child is still running";
    }
  }
}

}  // namespace
}  // namespace lunetta
