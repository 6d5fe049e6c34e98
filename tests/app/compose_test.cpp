#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <fstream>

#include "calendar/composition.h"
#include "picture/load_picture_file.h"
#include "picture/picture_files.h"
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

TEST(ComposeProgramTest, WritesThePictureTheDesktopProgramWouldAndDescribesIt) {
  QTemporaryDir dir;
  ASSERT_TRUE(testing::WriteBytes(dir.filePath("days.txt"), "2026,0503,0504,0505,1103\n"));
  ASSERT_TRUE(testing::WriteBytes(dir.filePath("photo.jpg"), testing::JpegBytes(640, 480)));
  const auto [code, out, err] =
      Compose(dir, {"--year=2026", "--month", "5", "--holidays", "days.txt", "--set", "pictsize=0",
                    "--photo", "photo.jpg", "--out", "may.png", "--json"});
  ASSERT_EQ(code, 0) << err.toStdString();
  const CalendarSettings settings{.pictSize = 0, .year = 2026, .month = 5};
  const QImage photo = LoadPictureFile(FilePath(dir.filePath("photo.jpg")), {800, 600})->image;
  const ComposedPicture expected = ComposeCalendar(photo, settings, {3, 4, 5}).value();
  EXPECT_EQ(out, QString::asprintf("{\"out\":\"may.png\",\"width\":800,\"height\":600,"
                                   "\"blockWidth\":%d,\"blockHeight\":%d,\"startX\":560,"
                                   "\"startY\":500,\"blockX\":%d,\"blockY\":%d,"
                                   "\"holidays\":[3,4,5],\"fit\":\"stretch\"}\n",
                                   expected.blockWidth, expected.blockHeight,
                                   800 - expected.blockWidth, 600 - expected.blockHeight));
  EXPECT_EQ(QImage(dir.filePath("may.png")).convertToFormat(QImage::Format_RGB888),
            expected.picture);
}

// One line on standard error, none from the decoders, and no file left behind. A link to a device
// is refused, never replaced (run as root that once made /dev/null a plain file).
TEST(ComposeProgramTest, FailuresExitWithTheirStatusNameTheFileAndWriteNothing) {
  QTemporaryDir dir;
  ASSERT_TRUE(testing::WriteBytes(dir.filePath("notes.jpg"), "not a picture\n"));
  ASSERT_TRUE(QFile::link("/dev/null", dir.filePath("null.jpg")));
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
      {{"--out", "no-such-folder/x.jpg"}, 1, "no-such-folder/x.jpg"},
      {{"--out", "x.xyz"}, 1, "x.xyz.*xyz"},
      {{"--out", "picture"}, 1, "picture.*extension"},
      {{"--settings", "none.INI", "--out", "x.bmp"}, 1, "none.INI"},
      {{"--photos", "nowhere", "--all-months", "--out", "x-%m.bmp"},
       1,
       "photos folder \"nowhere\""},
      {{"--all-months", "--pdf", "none/y.pdf"}, 1, "none/y.pdf"},
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

  // A JPEG whose data are whole but which lacks its end marker: decoded, and nothing said.
  const QByteArray jpeg = testing::JpegBytes(64, 48);
  ASSERT_TRUE(testing::WriteBytes(dir.filePath("no-end.jpg"), jpeg.left(jpeg.size() - 2)));
  EXPECT_EQ(Compose(dir, {"--photo", "no-end.jpg", "--out", "x.bmp"}), std::tuple(0, "", ""));
}

// The folder's pictures in name order give the months, repeated from the first; a month named on
// its own takes its photo instead; the PDF has a page for each month.
TEST(ComposeProgramTest, PhotosFolderGivesTheMonthsInNameOrderRepeatedAndOnePdf) {
  QTemporaryDir dir;
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

  // A month's photo that cannot be used stops the run and is named.
  const auto [badCode, badOut, badErr] =
      Compose(dir, {"--all-months", "--month-photo", "2=photos/notes.txt", "--pdf", "bad.pdf"});
  EXPECT_EQ(badCode, 1);
  EXPECT_TRUE(
      badErr.contains(QRegularExpression("^lunetta-compose: photo \".*notes.txt\": not a picture")))
      << badErr.toStdString();
  EXPECT_FALSE(QFile::exists(dir.filePath("bad.pdf")));
}

// File names are bytes: one that is not UTF-8 reaches the file system unchanged, both ways.
TEST(ComposeProgramTest, NamesThatAreNotUtf8AreReadAndWrittenAsGiven) {
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

TEST(ComposeProgramTest, SetsTheWallpaperFromTheRememberedPhotoAndInstallsTheRenewal) {
  QTemporaryDir dir;
  test_support::StandInPrograms systemctl;
  systemctl.Add("systemctl");
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
  environment.insert("XDG_DATA_HOME", dir.filePath("data"));
  environment.insert("GSETTINGS_BACKEND", "keyfile");
  environment.insert("XDG_CURRENT_DESKTOP", "GNOME");
  environment.insert("PATH", systemctl.folder() + ":/usr/bin:/bin");
  environment.remove("DISPLAY");
  const QString profile = dir.filePath("config/lunetta.INI");
  QDir().mkpath(dir.filePath("config"));
  const auto remember = [&](const QString& photo) {
    ASSERT_TRUE(testing::WriteBytes(
        profile, "[Configuration]\nPhoto Path=\"" + dir.filePath(photo).toUtf8() + "\"\n"));
  };
  ASSERT_TRUE(testing::Filled({640, 480}, Qt::green).save(dir.filePath("green.png")));
  const QString thisMonth =
      dir.filePath("data/lunetta/wallpaper-" + QDate::currentDate().toString("yyyy-MM") + ".jpg");

  remember("green.png");
  const auto [code, out, err] = Compose(dir, {"--set-wallpaper"}, environment);
  ASSERT_EQ(code, 0) << err.toStdString();
  EXPECT_EQ(test_support::GnomeWallpaperFile(environment), thisMonth);
  EXPECT_EQ(QImage(thisMonth).pixelColor(5, 5).green(), 255);

  // A photo that has gone away: this month's calendar without it, and a word why.
  remember("gone.png");
  const auto [goneCode, goneOut, goneErr] = Compose(dir, {"--set-wallpaper"}, environment);
  EXPECT_EQ(goneCode, 0);
  EXPECT_TRUE(goneErr.contains(QRegularExpression("remembered photo \".*gone.png\": no such file")))
      << goneErr.toStdString();
  EXPECT_EQ(QImage(thisMonth).pixelColor(5, 5).green(), 0x6E);  // the desktop colour

  const QString service = dir.filePath("config/systemd/user/lunetta-wallpaper.service");
  ASSERT_TRUE(testing::WriteBytes(dir.filePath("holiday.dat"), "2026,0101\n"));
  ASSERT_EQ(std::get<0>(Compose(dir, {"--monthly-refresh", "on"}, environment)), 0);
  EXPECT_TRUE(QString::fromUtf8(testing::ReadBytes(service))
                  .contains("ExecStart=\"" LUNETTA_BINARY_DIR "/bin/lunetta-compose\" "
                            "\"--set-wallpaper\" \"--holidays\" \"" +
                            dir.filePath("holiday.dat") + '"'));
  EXPECT_TRUE(testing::ReadBytes(profile).contains("Monthly Refresh=1\n"));
  ASSERT_EQ(std::get<0>(Compose(dir, {"--monthly-refresh", "off"}, environment)), 0);
  EXPECT_FALSE(QFile::exists(service));
  EXPECT_TRUE(testing::ReadBytes(profile).contains("Monthly Refresh=0\n"));
}

}  // namespace
}  // namespace lunetta
