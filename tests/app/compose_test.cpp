#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <fstream>
#include <memory>

#include "picture/load_picture_file.h"
#include "picture/picture_files.h"
#include "render/composition.h"
#include "support/picture_printers.h"
#include "support/stand_in_programs.h"

namespace lunetta {
namespace {

// Runs the built lunetta-compose in `folder`. A run that does not end in time fails the test
// instead of hanging it.
std::tuple<int, QString, QString> Compose(
    const QTemporaryDir& folder, const QStringList& arguments,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.setWorkingDirectory(folder.path());
  process.start(QStringLiteral(LUNETTA_BINARY_DIR "/bin/lunetta-compose"), arguments);
  if (!process.waitForFinished(30000)) {
    process.kill();
    process.waitForFinished();
    ADD_FAILURE() << arguments.join(' ').toStdString() << ": still running after 30 s";
  }
  return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
          QString::fromUtf8(process.readAllStandardError())};
}

TEST(ComposeProgramTest, WritesThePictureTheDesktopProgramWould) {
  QTemporaryDir dir;
  ASSERT_TRUE(testing::WriteBytes(dir.filePath("days.txt"), "2026,0503,0504,0505,1103\n"));
  ASSERT_TRUE(testing::Filled({640, 480}, QColor(0, 128, 0)).save(dir.filePath("photo.png")));
  // Replaced without a question, as a command line's outputs are.
  ASSERT_TRUE(testing::WriteBytes(dir.filePath("may.png"), "an older file"));
  const auto [code, out, err] =
      Compose(dir, {"--year=2026", "--month", "5", "--holidays", "days.txt", "--set", "pictsize=0",
                    "--set", "Transparency=255", "--set", "StartX=0", "--set", "StartY=0",
                    "--photo", "photo.png", "--out", "may.png", "--json"});
  ASSERT_EQ(code, 0) << err.toStdString();
  EXPECT_TRUE(out.startsWith(
      R"({"out":"may.png","width":800,"height":600,"blockWidth":330,"blockHeight":288,)"
      R"("startX":0,"startY":0,"blockX":0,"blockY":0,"holidays":[3,4,5],"fit":"stretch",)"))
      << out.toStdString();
  const QImage picture(dir.filePath("may.png"));
  EXPECT_EQ(picture.size(), QSize(800, 600));
  EXPECT_EQ(picture.pixelColor(2, 2), QColor(254, 254, 254));  // the block's white, opaque
  EXPECT_EQ(picture.pixelColor(799, 599), QColor(0, 128, 0));
}

// A busy photo with one calm grey area: the block goes there, and every text reads at 4.5:1.
TEST(ComposeProgramTest, AnAutoPlacedLegibleBlockSitsInTheCalmArea) {
  QTemporaryDir dir;
  QImage photo(800, 600, QImage::Format_RGB888);
  const QRect calm(24, 40, 460, 280);
  std::uint32_t noise = 12345;
  for (int y = 0; y < photo.height(); ++y) {
    for (int x = 0; x < photo.width(); ++x) {
      noise = noise * 1664525U + 1013904223U;
      const int grey = calm.contains(x, y) ? 128 : static_cast<int>(noise >> 24);
      photo.setPixelColor(x, y, QColor(grey, grey, grey));
    }
  }
  ASSERT_TRUE(photo.save(dir.filePath("photo.png")));
  const auto [code, out, err] =
      Compose(dir, {"--year=2026", "--month=6", "--set", "pictsize=0", "--photo", "photo.png",
                    "--block-height", "30%", "--anchor", "bottom-right", "--auto-place",
                    "--legible", "--out", "june.png", "--json"});
  ASSERT_EQ(code, 0) << err.toStdString();
  const QJsonObject described = QJsonDocument::fromJson(out.toUtf8()).object();
  const QRect block(described["blockX"].toInt(), described["blockY"].toInt(),
                    described["blockWidth"].toInt(), described["blockHeight"].toInt());
  EXPECT_TRUE(calm.contains(block)) << out.toStdString();
  const QJsonObject place = described["autoPlace"].toObject();
  EXPECT_TRUE(place["admissible"].toBool()) << out.toStdString();
  const QJsonObject legible = described["legible"].toObject();
  EXPECT_TRUE(legible["reached"].toBool()) << out.toStdString();
  const QJsonObject contrast = legible["contrast"].toObject();
  EXPECT_GE(contrast.size(), 4) << out.toStdString();
  for (const QString& textClass : contrast.keys()) {
    EXPECT_GE(contrast[textClass].toDouble(), 4.5) << textClass.toStdString();
  }
}

// One line on standard error, none from the decoders, and no file left behind. A link to a device
// is refused, never replaced (run as root that once made /dev/null a plain file).
TEST(ComposeProgramTest, AFailureWritesNothing) {
  QTemporaryDir dir;
  ASSERT_TRUE(testing::WriteBytes(dir.filePath("holiday.dat"), "2026,0101\n"));
  ASSERT_TRUE(testing::WriteBytes(dir.filePath("notes.jpg"), "not a picture\n"));
  ASSERT_TRUE(QFile::link("/dev/null", dir.filePath("null.jpg")));
  ASSERT_TRUE(testing::WriteBytes(dir.filePath("keep.jpg"), "mine"));
  ASSERT_TRUE(QFile::setPermissions(dir.filePath("keep.jpg"), QFile::ReadOwner));
  ASSERT_TRUE(
      testing::WriteBytes(dir.filePath("palette.png"), testing::PngBomb(11500, 11500, 3, 8)));
  const QStringList inputs = QDir(dir.path()).entryList(QDir::Files | QDir::System);
  const struct {
    QStringList arguments;
    int exitCode;
    const char* message;  // a pattern the one-line message must match
  } cases[] = {
      {{"--month", "3", "--all-months", "--out", "x-%m.bmp"}, 2, "--month and --all-months"},
      {{"--photo", "notes.jpg", "--out", "x.bmp"}, 1, "notes.jpg.*not a picture"},
      {{"--photo", "gone.jpg", "--out", "x.bmp"}, 1, "gone.jpg.*no such file"},
      {{"--photo", "palette.png", "--out", "x.bmp"}, 1, "palette.png.*too large"},
      {{"--out", "null.jpg"}, 1, "null.jpg.*not a regular file"},
      {{"--out", "keep.jpg"}, 1, "keep.jpg.*read-only"},
      {{"--out", "no-such-folder/x.jpg"}, 1, "no-such-folder/x.jpg"},
      {{"--out", "x.xyz"}, 1, "x.xyz.*xyz"},
      // The format is checked before the first month, and its photo, is looked at.
      {{"--all-months", "--photo", "notes.jpg", "--out", "x-%m.xyz"}, 1, "x-%m.xyz.*xyz"},
      {{"--out", "picture"}, 1, "picture.*extension"},
      {{"--settings", "none.INI", "--out", "x.bmp"}, 1, "none.INI"},
      {{"--photos", "nowhere", "--all-months", "--out", "x-%m.bmp"},
       1,
       "photos folder \"nowhere\""},
      {{"--all-months", "--pdf", "none/y.pdf"}, 1, "none/y.pdf"},
      {{"--ics", "gone.ics", "--out", "x.bmp"}, 1, "calendar file \"gone.ics\".*no such file"},
      {{"--ics-days", "notes.jpg", "--out", "x.bmp"}, 1, "notes.jpg.*not an iCalendar"},
      {{"--all-months", "--month-photo", "2=notes.jpg", "--pdf", "y.pdf"},
       1,
       "^lunetta-compose: photo \"notes.jpg\": not a picture"},
      {{"--layout", "wall", "--pdf", "w.pdf", "--month-photo", "4=notes.jpg"},
       1,
       "^lunetta-compose: photo \"notes.jpg\": not a picture"},
      {{"--layout", "wall", "--pdf", "null.jpg"}, 1, "null.jpg.*not a regular file"},
      {{"--size", "screen", "--out", "x.bmp"}, 2, "--size screen needs a display"},
      {{"--set", "StartX=3841", "--size", "3840x2160"}, 2, "\"StartX\" needs 0\\.\\.3840 "}};
  // No display: the screen's size has none to come from.
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("DISPLAY");
  environment.remove("WAYLAND_DISPLAY");

  for (const auto& c : cases) {
    const auto [code, out, err] = Compose(dir, c.arguments, environment);
    const std::string run = c.arguments.join(' ').toStdString();
    EXPECT_EQ(code, c.exitCode) << run;
    EXPECT_EQ(err.count(u'\n'), 1) << run << ": " << err.toStdString();
    EXPECT_TRUE(err.contains(QRegularExpression(c.message))) << run << ": " << err.toStdString();
    EXPECT_TRUE(out.isEmpty()) << run;
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System), inputs) << run;
  }
  EXPECT_EQ(QFileInfo(dir.filePath("null.jpg")).symLinkTarget(), "/dev/null");
  EXPECT_EQ(testing::ReadBytes(dir.filePath("keep.jpg")), "mine");

  // A JPEG whose data are whole but which lacks its end marker: decoded, and nothing said.
  const QByteArray jpeg = testing::JpegBytes(64, 48);
  ASSERT_TRUE(testing::WriteBytes(dir.filePath("no-end.jpg"), jpeg.left(jpeg.size() - 2)));
  EXPECT_EQ(Compose(dir, {"--photo", "no-end.jpg", "--out", "x.bmp"}), std::tuple(0, "", ""));
}

// The folder's pictures in name order give the months, repeated from the first; a month named on
// its own takes its photo instead; the PDF has a page for each month. A month whose photo cannot be
// used stops the run (see AFailureWritesNothing).
TEST(ComposeProgramTest, PhotosFolderGivesTheMonthsInNameOrder) {
  QTemporaryDir dir;
  ASSERT_TRUE(testing::WriteBytes(dir.filePath("holiday.dat"), "2026,0101\n"));
  ASSERT_TRUE(QDir(dir.path()).mkpath("photos/z.png"));  // a folder, not a picture
  const std::pair<const char*, Qt::GlobalColor> photos[] = {{"photos/c.png", Qt::blue},
                                                            {"photos/a.png", Qt::red},
                                                            {"photos/b.BMP", Qt::green},
                                                            {"white.png", Qt::white}};
  for (const auto& [name, colour] : photos) {
    ASSERT_TRUE(testing::Filled({64, 48}, colour).save(dir.filePath(name)));
  }
  ASSERT_TRUE(testing::WriteBytes(dir.filePath("photos/notes.txt"), "not a picture"));
  const auto [code, out, err] =
      Compose(dir, {"--photos", "photos", "--all-months", "--month-photo", "12=white.png", "--out",
                    "m-%m.png", "--pdf", "year.pdf", "--set", "PictSize=0", "--json"});
  ASSERT_EQ(code, 0) << err.toStdString();
  EXPECT_EQ(out.count(u'\n'), 13);
  EXPECT_TRUE(out.endsWith("{\"pdf\":\"year.pdf\",\"pages\":12}\n")) << out.toStdString();
  QString corners;
  for (int month = 1; month <= 12; ++month) {
    const QColor c = QImage(dir.filePath(QString::asprintf("m-%02d.png", month))).pixelColor(5, 5);
    corners += "?rgbw"[QList<QColor>{Qt::red, Qt::green, Qt::blue, Qt::white}.indexOf(c) + 1];
  }
  EXPECT_EQ(corners, "rgbrgbrgbrgw");
}

// A3 with bleed and trim marks: --json reports each page's boxes, and each month whose photo is
// too small for its print is named once on standard error.
TEST(ComposeProgramTest, WallCalendarReportsWhatAPrintShopChecks) {
  QTemporaryDir dir;
  ASSERT_TRUE(testing::Filled({1200, 800}, Qt::blue).save(dir.filePath("small.jpg")));
  ASSERT_TRUE(testing::Filled({3600, 2400}, Qt::green).save(dir.filePath("large.jpg")));
  ASSERT_TRUE(testing::WriteBytes(dir.filePath("holiday.dat"), "2026,0101\n"));
  const auto [wallCode, wallOut, wallErr] =
      Compose(dir, {"--layout", "wall", "--paper", "A3", "--bleed", "3mm", "--trim-marks",
                    "--cover", "--json", "--pdf", "wall.pdf", "--year", "2026", "--photo",
                    "small.jpg", "--month-photo", "6=large.jpg"});
  ASSERT_EQ(wallCode, 0) << wallErr.toStdString();
  const QStringList lines = wallOut.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 14);
  EXPECT_EQ(lines.last(), "{\"pdf\":\"wall.pdf\",\"pages\":13}");
  EXPECT_TRUE(lines[6].startsWith(R"({"page":7,"kind":"month","year":2026,"month":6,)"));
  EXPECT_TRUE(lines[6].contains(R"("lowResolution":false,)")) << lines[6].toStdString();
  // The cover and eleven months have the small photo; June's is fine.
  EXPECT_EQ(wallErr.count(QRegularExpression("^lunetta-compose: warning: .* dpi",
                                             QRegularExpression::MultilineOption)),
            12)
      << wallErr.toStdString();
  EXPECT_FALSE(wallErr.contains("2026-06"));

  // A3 is 841.89 x 1190.55 points; 3 mm of bleed is 8.50 points past it, and the marks beyond.
  EXPECT_TRUE(lines[0].startsWith(
      R"({"page":1,"kind":"cover","media":[0.00,0.00,887.24,1235.91],)"
      R"("bleed":[14.17,14.17,873.07,1221.73],"trim":[22.68,22.68,864.57,1213.23],)"))
      << lines[0].toStdString();
}

// File names are bytes: one that is not UTF-8 reaches the file system unchanged, both ways.
TEST(ComposeProgramTest, NamesThatAreNotUtf8AreKeptByteForByte) {
  QTemporaryDir dir;
  const std::string photo = dir.path().toStdString() + "/sea\xff.jpg";
  const std::string out = dir.path().toStdString() + "/out\xfe.bmp";
  const QByteArray jpeg = testing::JpegBytes(64, 48);
  std::ofstream(photo, std::ios::binary).write(jpeg.constData(), jpeg.size());
  const std::string program = LUNETTA_BINARY_DIR "/bin/lunetta-compose";
  const char* argv[] = {program.c_str(), "--photo", photo.c_str(), "--out", out.c_str(), nullptr};
  pid_t child = 0;
  ASSERT_EQ(
      ::posix_spawn(&child, program.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ),
      0);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  struct stat written {};
  EXPECT_EQ(::stat(out.c_str(), &written), 0);
}

// Without a holiday file the rules give Japan's holidays, predicted past the announced years,
// without a word; one that cannot be used is told on one line, and the rules stand in for it. The
// user's calendars mark the month, and a line of theirs that cannot be read is named.
TEST(ComposeProgramTest, MarkedDaysComeFromEveryCalendarSource) {
  QTemporaryDir dir;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_DATA_HOME", dir.filePath("none"));
  environment.insert("XDG_DATA_DIRS", dir.filePath("none"));
  const auto [code, out, err] =
      Compose(dir, {"--year", "2080", "--month", "1", "--out", "jan.png", "--json"}, environment);
  EXPECT_EQ(err, "");
  EXPECT_TRUE(out.contains(R"("holidays":[1,)")) << out.toStdString();
  EXPECT_TRUE(out.contains(R"("holidaySource":"rule-predicted")")) << out.toStdString();

  ASSERT_TRUE(testing::WriteBytes(dir.filePath("us.ics"),
                                  "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:"
                                  "20260216\r\nSUMMARY:Presidents' Day\r\n"
                                  "END:VEVENT\r\nEND:VCALENDAR\r\n"));
  ASSERT_TRUE(testing::WriteBytes(
      dir.filePath("family.ics"),
      "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20260210\r\nSUMMARY:Call\r\n"
      "END:VEVENT\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:2026021X\r\nSUMMARY:Broken\r\n"
      "END:VEVENT\r\nEND:VCALENDAR\r\n"));
  ASSERT_EQ(::mkfifo(dir.filePath("holiday.dat").toLocal8Bit().constData(), 0600), 0);
  const auto [febCode, febOut, febErr] =
      Compose(dir,
              {"--year", "2026", "--month", "2", "--ics", "us.ics", "--ics-days", "family.ics",
               "--out", "feb.png", "--json"},
              environment);
  ASSERT_EQ(febCode, 0) << febErr.toStdString();
  EXPECT_TRUE(febErr.contains(QRegularExpression(
      "holiday file \".*holiday.dat\": not a regular file; the calendar shows Japan's holidays "
      "by rule\n")))
      << febErr.toStdString();
  EXPECT_TRUE(febErr.contains(QRegularExpression("family.ics\": line 7 cannot be read")))
      << febErr.toStdString();
  EXPECT_TRUE(febOut.contains(
      R"("holidays":[11,16,23],"fit":"stretch","holidaySource":"rule","markedDays":[)"
      R"({"day":10,"kind":"day","names":["Call"]},{"day":11,"kind":"holiday","names":["建国記念の日"]},)"
      R"({"day":16,"kind":"holiday","names":["Presidents' Day"]},)"
      R"({"day":23,"kind":"holiday","names":["天皇誕生日"]}]})"))
      << febOut.toStdString();
}

// The desktop's settings in a keyfile, systemctl a stand-in, files in `dir_`.
class ComposeWallpaperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    systemctl_.Add("systemctl");
    environment_.insert("XDG_CONFIG_HOME", dir_.filePath("config"));
    environment_.insert("XDG_DATA_HOME", dir_.filePath("data"));
    environment_.insert("GSETTINGS_BACKEND", "keyfile");
    environment_.insert("XDG_CURRENT_DESKTOP", "GNOME");
    environment_.insert("PATH", systemctl_.folder() + ":/usr/bin:/bin");
    environment_.remove("DISPLAY");
    environment_.remove("WAYLAND_DISPLAY");
    QDir().mkpath(dir_.filePath("config"));
    ASSERT_TRUE(testing::WriteBytes(dir_.filePath("holiday.dat"), "2026,0101\n"));
  }

  QTemporaryDir dir_;
  test_support::StandInPrograms systemctl_;
  QProcessEnvironment environment_ = QProcessEnvironment::systemEnvironment();
};

TEST_F(ComposeWallpaperTest, TheWallpaperHasTheNamedPhotoOrTheRememberedOne) {
  const auto remember = [&](const QString& photo) {
    ASSERT_TRUE(testing::WriteBytes(
        dir_.filePath("config/lunetta.INI"),
        "[Configuration]\nPhoto Path=\"" + dir_.filePath(photo).toUtf8() + "\"\n"));
  };
  ASSERT_TRUE(testing::Filled({640, 480}, Qt::green).save(dir_.filePath("green.png")));
  ASSERT_TRUE(testing::Filled({640, 480}, Qt::red).save(dir_.filePath("red.png")));
  const QString thisMonth =
      dir_.filePath("data/lunetta/wallpaper-" + QDate::currentDate().toString("yyyy-MM") + ".jpg");
  const auto corner = [&] { return QImage(thisMonth).pixelColor(5, 5); };

  remember("green.png");
  const auto [code, out, err] = Compose(dir_, {"--set-wallpaper"}, environment_);
  ASSERT_EQ(code, 0) << err.toStdString();
  EXPECT_EQ(test_support::GnomeWallpaperFile(environment_), thisMonth);
  EXPECT_EQ(corner().green(), 255);
  EXPECT_EQ(Compose(dir_, {"--set-wallpaper", "--photo", "red.png"}, environment_),
            std::tuple(0, "", ""));
  EXPECT_EQ(corner().red(), 254);

  // A photo that has gone away: this month's calendar without it, and a word why.
  remember("gone.png");
  const auto [goneCode, goneOut, goneErr] = Compose(dir_, {"--set-wallpaper"}, environment_);
  EXPECT_EQ(goneCode, 0);
  EXPECT_TRUE(goneErr.contains(QRegularExpression("remembered photo \".*gone.png\": no such file")))
      << goneErr.toStdString();
  EXPECT_EQ(corner().green(), 0x6E);  // the desktop colour
}

// The renewal keeps the photo and the settings it was given, whatever the profile says later.
TEST_F(ComposeWallpaperTest, TheRenewalKeepsWhatItWasGiven) {
  ASSERT_TRUE(testing::WriteBytes(dir_.filePath("blue.png"), "read when the renewal runs"));
  ASSERT_TRUE(testing::WriteBytes(dir_.filePath("days.ics"), "BEGIN:VCALENDAR\nEND:VCALENDAR\n"));
  const QString profile = dir_.filePath("config/lunetta.INI");
  const QString snapshot = dir_.filePath("config/lunetta/renewal.ini");
  const QString service = dir_.filePath("config/systemd/user/lunetta-wallpaper.service");

  const auto [code, out, err] = Compose(dir_,
                                        {"--monthly-refresh", "on", "--photo", "blue.png", "--set",
                                         "Text Size=40", "--ics-days", "days.ics"},
                                        environment_);
  ASSERT_EQ(code, 0) << err.toStdString();
  EXPECT_TRUE(QString::fromUtf8(testing::ReadBytes(service))
                  .contains("\nExecStart=\"" LUNETTA_BINARY_DIR "/bin/lunetta-compose\" "
                            "\"--set-wallpaper\" \"--holidays\" \"" +
                            dir_.filePath("holiday.dat") + "\" \"--settings\" \"" + snapshot +
                            "\"\n"));
  EXPECT_TRUE(testing::ReadBytes(profile).contains("Monthly Refresh=1\n"));
  EXPECT_FALSE(testing::ReadBytes(profile).contains("Text Size"));
  EXPECT_TRUE(testing::ReadBytes(snapshot).contains("Text Size=40\n"));
  EXPECT_TRUE(testing::ReadBytes(snapshot).contains(dir_.filePath("blue.png").toUtf8()));
  EXPECT_TRUE(testing::ReadBytes(snapshot).contains("Day Calendar 01=\"" +
                                                    dir_.filePath("days.ics").toUtf8() + "\"\n"));
  EXPECT_FALSE(testing::ReadBytes(profile).contains("Day Calendar"));
  ASSERT_EQ(std::get<0>(Compose(dir_, {"--monthly-refresh", "off"}, environment_)), 0);
  EXPECT_FALSE(QFile::exists(service));
  EXPECT_FALSE(QFile::exists(snapshot));
  EXPECT_TRUE(testing::ReadBytes(profile).contains("Monthly Refresh=0\n"));
}

// Daily with today marked: run twice on one day (at login, then from the timer), the renewal
// writes and sets today's picture once.
TEST_F(ComposeWallpaperTest, ADailyRenewalRunTwiceOnOneDayWritesOnce) {
  ASSERT_EQ(Compose(dir_, {"--renewal", "daily", "--today"}, environment_), std::tuple(0, "", ""));
  EXPECT_TRUE(testing::ReadBytes(dir_.filePath("config/systemd/user/lunetta-wallpaper.timer"))
                  .contains("\nOnCalendar=*-*-* 00:00:30\n"));
  EXPECT_TRUE(
      testing::ReadBytes(dir_.filePath("config/lunetta.INI")).contains("Daily Refresh=1\n"));
  const QString snapshot = dir_.filePath("config/lunetta/renewal.ini");
  EXPECT_TRUE(testing::ReadBytes(snapshot).contains("Today Mark=1\n"));

  const QString today = dir_.filePath("data/lunetta/wallpaper-" +
                                      QDate::currentDate().toString("yyyy-MM-dd") + ".jpg");
  const QString keyfile = dir_.filePath("config/glib-2.0/settings/keyfile");
  const QStringList renewal{"--set-wallpaper", "--settings", snapshot};
  ASSERT_EQ(Compose(dir_, renewal, environment_), std::tuple(0, "", ""));
  EXPECT_EQ(test_support::GnomeWallpaperFile(environment_), today);
  const QDateTime written = QFileInfo(today).lastModified();
  const QDateTime set = QFileInfo(keyfile).lastModified();
  ASSERT_TRUE(written.isValid());
  ASSERT_TRUE(set.isValid());
  ASSERT_EQ(Compose(dir_, renewal, environment_), std::tuple(0, "", ""));
  EXPECT_EQ(QFileInfo(today).lastModified(), written);
  EXPECT_EQ(QFileInfo(keyfile).lastModified(), set);
}

// Each change of the renewal waits for the one under way: the flag ends as the files do.
TEST_F(ComposeWallpaperTest, RenewalChangesAtOnceEndAgreeing) {
  const QString program = LUNETTA_BINARY_DIR "/bin/lunetta-compose";
  for (int round = 0; round < 2; ++round) {
    std::vector<std::unique_ptr<QProcess>> runs;
    for (const char* state : {"on", "off", "on", "off", "on", "off"}) {
      auto& run = runs.emplace_back(std::make_unique<QProcess>());
      run->setProcessEnvironment(environment_);
      run->setWorkingDirectory(dir_.path());
      run->start(program, {"--monthly-refresh", state});
    }
    for (auto& run : runs) {
      ASSERT_TRUE(run->waitForFinished(60000));
      EXPECT_EQ(run->exitCode(), 0) << run->readAllStandardError().toStdString();
    }
    const bool flag =
        testing::ReadBytes(dir_.filePath("config/lunetta.INI")).contains("Monthly Refresh=1\n");
    for (const char* file : {"systemd/user/lunetta-wallpaper.service",
                             "systemd/user/timers.target.wants/lunetta-wallpaper.timer",
                             "autostart/lunetta-wallpaper.desktop", "lunetta/renewal.ini"}) {
      EXPECT_EQ(QFileInfo::exists(dir_.filePath("config/") + file), flag) << file;
    }
  }
}

}  // namespace
}  // namespace lunetta
