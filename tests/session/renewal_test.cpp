#include "session/renewal.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <map>

#include "picture/load_picture_file.h"
#include "picture/picture.h"
#include "picture/picture_files.h"
#include "session/calendar_session.h"
#include "session/session_request.h"
#include "session/session_wallpaper.h"
#include "support/core_printers.h"
#include "support/picture_printers.h"

namespace lunetta {
namespace {

std::unique_ptr<CalendarSession> Session(std::optional<PictureSize> screen = {}) {
  SessionEnvironment environment;
  environment.clock = [] { return LocalDate{2027, 1, 15}; };
  environment.screenSize = screen;
  return std::make_unique<CalendarSession>(std::move(environment));
}

class SessionWallpaperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Succeeded(session_->Compose()));
    context_.environment.insert("XDG_DATA_HOME", home_.path());
    context_.environment.insert("XDG_CONFIG_HOME", home_.filePath("config"));
    context_.environment.insert("GSETTINGS_BACKEND", "keyfile");
    // One Lunetta cannot set, with no portal to answer for it.
    context_.environment.insert("XDG_CURRENT_DESKTOP", "Weston");
    context_.environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    context_.environment.remove("DISPLAY");
  }

  QTemporaryDir home_;
  std::unique_ptr<CalendarSession> session_ = Session();
  WallpaperContext context_;
};

// Better than a saved picture, and readable by the user alone: only the desktop reads it.
TEST_F(SessionWallpaperTest, WrittenAtItsOwnQualityForTheUserAlone) {
  const WallpaperOutcome unset = SetSessionWallpaper(*session_, context_);
  EXPECT_EQ(unset.picture, FilePath(home_.filePath("lunetta/wallpaper-2027-01.jpg")));
  EXPECT_EQ(std::filesystem::status(unset.picture).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  const QString expected = home_.filePath("quality-92.jpg");
  ASSERT_TRUE(Succeeded(Picture(session_->picture()).Save(FilePath(expected), 92)));
  EXPECT_EQ(testing::ReadBytes(QtPath(unset.picture)), testing::ReadBytes(expected));
}

// The desktop may still show last month's while it fades to the new one.
TEST_F(SessionWallpaperTest, OlderMonthsGoOnlyOnceTheDesktopHasTheNewOne) {
  const QString folder = home_.filePath("lunetta");
  QDir().mkpath(folder + "/wallpaper-2026-10.jpg.d");
  for (const char* name :
       {"wallpaper-2026-11.jpg", "wallpaper-2026-12.jpg", "wallpaper-2025-12.jpg", "notes.txt"}) {
    ASSERT_TRUE(testing::WriteBytes(folder + '/' + name, {}));
  }
  const auto files = [&] {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
  };
  const WallpaperOutcome unset = SetSessionWallpaper(*session_, context_);
  ASSERT_FALSE(unset.status.ok());
  EXPECT_EQ(files().size(), 6);

  context_.environment.insert("XDG_CURRENT_DESKTOP", "GNOME");
  ASSERT_TRUE(Succeeded(SetSessionWallpaper(*session_, context_).status));
  EXPECT_EQ(files(), QStringList({"notes.txt", "wallpaper-2026-10.jpg.d", "wallpaper-2026-12.jpg",
                                  "wallpaper-2027-01.jpg"}));
}

// The renewal sets what the user saw, or nothing: with its photo gone the wallpaper stays.
TEST_F(SessionWallpaperTest, TheRenewalSetsNothingWithoutItsPhoto) {
  session_->ChoosePhoto(FilePath(home_.filePath("gone.jpg")));
  SessionRequest renewal;
  renewal.sources.emplace().settingsFile = FilePath(home_.filePath("renewal.ini"));
  renewal.sources->year = 2027;
  ASSERT_TRUE(Succeeded(StoreRenewalSnapshot(*session_, renewal.sources->settingsFile)));
  renewal.setWallpaper = true;
  renewal.wallpaper = context_;
  EXPECT_EQ(CarryOut(*Session(), renewal).step, RequestStep::RenewalPhoto);
  EXPECT_FALSE(QDir(home_.filePath("lunetta")).exists());
}

// A headless sway of the test's own with two outputs of different sizes. As root it runs in a user
// namespace, for sway will not run as root; the pictures stay readable to it there.
class HeadlessSway {
 public:
  HeadlessSway() {
    if (QStandardPaths::findExecutable("sway").isEmpty() ||
        QStandardPaths::findExecutable("swaybg").isEmpty()) {
      why_ = "sway or swaybg is not installed";
      return;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", runtime_.path());
    environment.insert("WLR_BACKENDS", "headless");
    environment.insert("WLR_LIBINPUT_NO_DEVICES", "1");
    testing::WriteBytes(runtime_.filePath("config"), "");
    process_.setProcessEnvironment(environment);
    const QStringList sway{"sway", "-c", runtime_.filePath("config")};
    ::geteuid() == 0 ? process_.start("unshare", QStringList{"--user"} + sway)
                     : process_.start(sway[0], sway.mid(1));
    for (const QDeadlineTimer started(10000); socket_.isEmpty() && !started.hasExpired();
         QThread::msleep(50)) {
      for (const QString& name : QDir(runtime_.path()).entryList({"sway-ipc.*"}, QDir::System)) {
        socket_ = runtime_.filePath(name);
      }
    }
    why_ = socket_.isEmpty() ? "sway did not start here" : "";
    for (const char* command :
         {"create_output", "output HEADLESS-1 mode 1280x720", "output HEADLESS-2 mode 1024x768"}) {
      QProcess::execute("swaymsg", {"-s", socket_, command});
    }
  }
  ~HeadlessSway() {
    process_.terminate();
    process_.waitForFinished();
  }

  const QString& why() const { return why_; }
  const QString& socket() const { return socket_; }

  /// Each output's picture and mode as the swaybg this sway runs (one for every output) shows them,
  /// waiting up to a few seconds for `count` outputs.
  std::map<QString, QStringList> Backgrounds(std::size_t count) const {
    std::map<QString, QStringList> shown;
    for (const QDeadlineTimer wait(5000); shown.size() < count && !wait.hasExpired();
         QThread::msleep(50)) {
      for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
        const QStringList command =
            QString::fromUtf8(testing::ReadBytes("/proc/" + pid + "/cmdline")).split(QChar(0));
        const QByteArray environ = testing::ReadBytes("/proc/" + pid + "/environ");
        if (command[0] != "swaybg" ||
            !environ.split('\0').contains("XDG_RUNTIME_DIR=" + runtime_.path().toUtf8())) {
          continue;
        }
        std::map<QString, QStringList> outputs;
        for (qsizetype i = 1; i + 5 < command.size() && command[i] == "-o"; i += 6) {
          outputs[command[i + 1]] = {command[i + 3], command[i + 5]};
        }
        shown = outputs.size() > shown.size() ? outputs : shown;
      }
    }
    return shown;
  }

 private:
  QTemporaryDir runtime_{QDir::rootPath() + "tmp/lunetta-sway-XXXXXX"};  // short: a socket's path
  QProcess process_;
  QString socket_;
  QString why_;
};

TEST_F(SessionWallpaperTest, EachSwayOutputGetsAPictureOfItsOwnSize) {
  HeadlessSway sway;
  if (!sway.why().isEmpty()) {
    GTEST_SKIP() << sway.why().toStdString();
  }
  // Recognised by its socket alone, and asked for its outputs.
  context_.environment.remove("XDG_CURRENT_DESKTOP");
  context_.environment.insert("SWAYSOCK", sway.socket());
  const WallpaperOutcome set = SetSessionWallpaper(*session_, context_);
  ASSERT_TRUE(Succeeded(set.status));
  const QString folder = home_.filePath("lunetta/");
  EXPECT_EQ(sway.Backgrounds(2),
            (std::map<QString, QStringList>{
                {"HEADLESS-1", {folder + "wallpaper-2027-01-s1.jpg", "fill"}},
                {"HEADLESS-2", {folder + "wallpaper-2027-01-s2.jpg", "fill"}}}));
  EXPECT_EQ(QImage(folder + "wallpaper-2027-01-s1.jpg").size(), QSize(1280, 720));
  EXPECT_EQ(QImage(folder + "wallpaper-2027-01-s2.jpg").size(), QSize(1024, 768));
  EXPECT_EQ(set.picture, FilePath(folder + "wallpaper-2027-01-s1.jpg"));
}

// Everything the picture is made of comes back from the snapshot, the font style, the screen's
// size and the screens too, which a profile does not keep.
TEST(RenewalSnapshotTest, KeepsEverythingThePictureIsMadeOf) {
  QTemporaryDir folder;
  const std::unique_ptr<CalendarSession> shown = Session(PictureSize{2560, 1440});
  CalendarSettings settings = shown->settings();
  settings.fontName = "Liberation Serif";
  settings.textSize = 40;
  settings.fontWeight = 700;
  settings.fontItalic = true;
  settings.weekStart = WeekStart::Monday;
  settings.sizeKind = SizeKind::Screen;
  settings.photoFit = PhotoFit::Fill;
  shown->ApplySettings(settings);
  shown->ChoosePhoto(FilePath(folder.filePath(" sea \"1\".jpg")));
  shown->ChooseMonthPhoto(12, FilePath(folder.filePath("snow.jpg")));
  const std::filesystem::path snapshot = FilePath(folder.filePath("renewal.ini"));
  const ScreenList screens{{"DP-1, left", QRect(-1280, 0, 1280, 1024), 1.25, false},
                           {"HDMI-1", QRect(0, 0, 2560, 1440), 1, true}};
  ASSERT_TRUE(Succeeded(StoreRenewalSnapshot(*shown, snapshot, screens)));
  EXPECT_EQ(ReadRenewalSnapshotScreens(snapshot), screens);

  const std::unique_ptr<CalendarSession> renewal = Session();
  ASSERT_TRUE(Succeeded(renewal->LoadSettings(snapshot)));
  CalendarSettings read = renewal->settings();
  ASSERT_TRUE(ReadRenewalSnapshotStyle(snapshot, read));
  settings.screenWidth = 2560;
  settings.screenHeight = 1440;
  EXPECT_EQ(read, settings);
  EXPECT_EQ(renewal->rememberedPhoto(), shown->photoPath());
  EXPECT_EQ(renewal->rememberedMonthPhotos()[11], shown->monthPhotoPath(12));
  EXPECT_TRUE(renewal->rememberedMonthPhotos()[0].empty());
}

}  // namespace
}  // namespace lunetta
