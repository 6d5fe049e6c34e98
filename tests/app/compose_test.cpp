#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "calendar/composition.h"
#include "picture/load_picture_file.h"
#include "picture/picture_files.h"
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
                                   "\"startY\":500,\"holidays\":[3,4,5],\"fit\":\"stretch\"}\n",
                                   expected.blockWidth, expected.blockHeight));
  EXPECT_EQ(QImage(dir.filePath("may.png")).convertToFormat(QImage::Format_RGB888),
            expected.picture);

  // A wallpaper for a 1920 × 1080 screen, the photo filling it undistorted, as the window makes it.
  ASSERT_TRUE(testing::WriteBytes(dir.filePath("wide.jpg"), testing::JpegBytes(3000, 2000)));
  const auto [wideCode, wideOut, wideErr] =
      Compose(dir, {"--year=2026", "--month", "5", "--holidays", "days.txt", "--size", "1920x1080",
                    "--fit", "fill", "--photo", "wide.jpg", "--out", "wide.png", "--json"});
  ASSERT_EQ(wideCode, 0) << wideErr.toStdString();
  EXPECT_TRUE(wideOut.contains("\"width\":1920,\"height\":1080,")) << wideOut.toStdString();
  EXPECT_TRUE(wideOut.contains("\"fit\":\"fill\"}")) << wideOut.toStdString();
  const CalendarSettings fill{.year = 2026, .month = 5, .sizeKind = 2, .photoFit = 1};
  const QImage wide =
      LoadPictureFile(FilePath(dir.filePath("wide.jpg")), {1920, 1080}, PhotoFit::Fill)->image;
  EXPECT_EQ(QImage(dir.filePath("wide.png")).convertToFormat(QImage::Format_RGB888),
            ComposeCalendar(wide, fill, {3, 4, 5}).value().picture);
  EXPECT_EQ(std::get<1>(Compose(dir, {"--version"})), "lunetta-compose 1.10\n");

  ASSERT_EQ(std::get<0>(Compose(dir, {"--all-months", "--out", "cal-%m.bmp"})), 0);
  const QStringList written = QDir(dir.path()).entryList({"cal-*.bmp"});
  ASSERT_EQ(written.size(), 12);
  EXPECT_EQ(written.front(), "cal-01.bmp");
  EXPECT_EQ(written.back(), "cal-12.bmp");
}

TEST(ComposeProgramTest, FailuresExitWithTheirStatusNameTheFileAndWriteNothing) {
  QTemporaryDir dir;
  ASSERT_TRUE(testing::WriteBytes(dir.filePath("notes.jpg"), "not a picture\n"));
  const struct {
    QStringList arguments;
    int exitCode;
    const char* message;  // a pattern the one-line message must match
  } cases[] = {
      {{"--frobnicate"}, 2, "unknown option \"--frobnicate\""},
      {{"--month", "13"}, 2, "1\\.\\.12"},
      {{"--year", "1969"}, 2, "cannot draw 1969-12"},
      {{"--set", "Text Size"}, 2, "KEY=VALUE"},
      {{"--set", "StartY=2147483648"}, 2, "whole number"},
      {{"--all-months", "--out", "x.bmp"}, 2, "%m"},
      {{"--month", "3", "--all-months", "--out", "x-%m.bmp"}, 2, "--month and --all-months"},
      {{"--out", "x.bmp", "y.bmp"}, 2, "unexpected argument \"y.bmp\""},
      {{"--photo", "notes.jpg", "--out", "x.bmp"}, 1, "notes.jpg.*not a picture"},
      {{"--photo", "gone.jpg", "--out", "x.bmp"}, 1, "gone.jpg.*no such file"},
      {{"--out", "no-such-folder/x.jpg"}, 1, "no-such-folder/x.jpg"},
      {{"--out", "x.xyz"}, 1, "x.xyz.*xyz"},
      {{"--out", "picture"}, 1, "picture.*extension"},
      {{"--settings", "none.INI", "--out", "x.bmp"}, 1, "none.INI"},
      {{"--photos", "nowhere", "--all-months", "--out", "x-%m.bmp"},
       1,
       "photos folder \"nowhere\""},
      {{"--all-months", "--pdf", "none/y.pdf"}, 1, "none/y.pdf"},
      {{"--size", "screen", "--out", "x.bmp"}, 2, "--size screen needs a display"}};
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
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"notes.jpg"});
  }
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
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(dir.filePath(name), QFileInfo(name).suffix().toLatin1()));
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
    corners += c == Qt::red     ? 'r'
               : c == Qt::green ? 'g'
               : c == Qt::blue  ? 'b'
               : c == Qt::white ? 'w'
                                : '?';
  }
  EXPECT_EQ(corners, "rgbrgbrgbrgw");
  QProcess info;
  info.start("pdfinfo", {dir.filePath("year.pdf")});
  if (info.waitForFinished(60000) && info.exitCode() == 0) {
    EXPECT_TRUE(info.readAllStandardOutput().simplified().contains("Pages: 12 "));
  }

  // A month's photo that cannot be used stops the run and is named.
  const auto [badCode, badOut, badErr] =
      Compose(dir, {"--all-months", "--month-photo", "2=photos/notes.txt", "--pdf", "bad.pdf"});
  EXPECT_EQ(badCode, 1);
  EXPECT_TRUE(
      badErr.contains(QRegularExpression("^lunetta-compose: photo \".*notes.txt\": not a picture")))
      << badErr.toStdString();
  EXPECT_FALSE(QFile::exists(dir.filePath("bad.pdf")));
}

// What another user or a slip of the keyboard may put in the way: FIFOs, devices and links to
// them are refused, never replaced or waited on, and small files of huge pictures are refused
// without their memory. One line each, none from the decoders.
TEST(ComposeProgramTest, SpecialFilesAndPictureBombsAreRefusedWithoutHanging) {
  QTemporaryDir dir;
  const auto file = [&](const char* name) { return dir.filePath(name); };
  for (const char* fifo : {"fifo.jpg", "fifo.dat", "fifo.INI"}) {
    ASSERT_EQ(::mkfifo(file(fifo).toLocal8Bit().constData(), 0600), 0);
  }
  ASSERT_TRUE(QFile::link("/dev/null", file("null.jpg")));
  const bool device = ::mknod(file("device.jpg").toLocal8Bit().constData(), S_IFCHR | 0600,
                              makedev(1, 3)) == 0;  // a /dev/null of our own; needs root
  ASSERT_TRUE(testing::WriteBytes(file("palette.png"), testing::PngBomb(11500, 11500, 3, 8)));
  ASSERT_TRUE(testing::WriteBytes(file("screen.gif"), testing::GifBomb(11500, 11500)));
  ASSERT_TRUE(testing::WriteBytes(file("claims.jpg"), testing::ProgressiveJpegBomb(11500, 11500)));
  const QByteArray jpeg = testing::JpegBytes(64, 48);
  ASSERT_TRUE(testing::WriteBytes(file("no-end.jpg"), jpeg.left(jpeg.size() - 2)));

  const struct {
    QStringList arguments;
    int exitCode;
    const char* message;  // empty: success
  } cases[] = {{{"--out", "fifo.jpg"}, 1, "fifo.jpg.*not a regular file"},
               {{"--out", "null.jpg"}, 1, "null.jpg.*not a regular file"},
               {{"--out", "device.jpg"}, 1, "device.jpg.*not a regular file"},
               {{"--holidays", "fifo.dat", "--out", "x.bmp"}, 1, "fifo.dat.*not a regular file"},
               {{"--settings", "fifo.INI", "--out", "x.bmp"}, 1, "fifo.INI.*not a regular file"},
               {{"--photo", "palette.png", "--out", "x.bmp"}, 1, "palette.png.*too large"},
               {{"--photo", "screen.gif", "--out", "x.bmp"}, 1, "screen.gif.*too large"},
               {{"--photo", "claims.jpg", "--out", "x.bmp"}, 1, "claims.jpg.*ends before"},
               {{"--photo", "no-end.jpg", "--out", "x.bmp"}, 0, ""}};
  for (const auto& c : cases) {
    if (!device && c.arguments.contains("device.jpg")) {
      continue;
    }
    const auto [code, out, err] = Compose(dir, c.arguments);
    const std::string run = c.arguments.join(' ').toStdString();
    EXPECT_EQ(code, c.exitCode) << run << ": " << err.toStdString();
    EXPECT_EQ(err.count(u'\n'), *c.message ? 1 : 0) << run << ": " << err.toStdString();
    EXPECT_TRUE(err.contains(QRegularExpression(c.message))) << run << ": " << err.toStdString();
  }
  EXPECT_TRUE(QFileInfo(file("fifo.jpg")).isFile() == false);
  EXPECT_EQ(QFileInfo(file("null.jpg")).symLinkTarget(), "/dev/null");
  if (device) {
    struct stat status {};
    ASSERT_EQ(::lstat(file("device.jpg").toLocal8Bit().constData(), &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));
  }
  EXPECT_EQ(QImage(file("x.bmp")).size(), QSize(1024, 768));
}

// File names are bytes: one that is not UTF-8 reaches the file system unchanged, both ways.
TEST(ComposeProgramTest, NamesThatAreNotUtf8AreReadAndWrittenAsGiven) {
  QTemporaryDir dir;
  const std::string photo = dir.path().toStdString() + "/sea\xff.jpg";
  const std::string out = dir.path().toStdString() + "/out\xfe.bmp";
  const QByteArray jpeg = testing::JpegBytes(64, 48);
  {
    std::FILE* file = std::fopen(photo.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(jpeg.constData(), 1, static_cast<std::size_t>(jpeg.size()), file);
    std::fclose(file);
  }
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
  QImage green(640, 480, QImage::Format_RGB32);
  green.fill(Qt::green);
  ASSERT_TRUE(green.save(dir.filePath("green.png")));
  const QString thisMonth =
      dir.filePath("data/lunetta/wallpaper-" + QDate::currentDate().toString("yyyy-MM") + ".jpg");

  remember("green.png");
  const auto [code, out, err] = Compose(dir, {"--set-wallpaper", "--json"}, environment);
  ASSERT_EQ(code, 0) << err.toStdString();
  EXPECT_EQ(test_support::GnomeWallpaperFile(environment), thisMonth);
  EXPECT_TRUE(out.startsWith("{\"out\":\"" + thisMonth + "\",\"width\":1024")) << out.toStdString();
  EXPECT_EQ(QImage(thisMonth).pixelColor(5, 5).green(), 255);

  // A photo that has gone away: this month's calendar without it, and a word why.
  remember("gone.png");
  const auto [goneCode, goneOut, goneErr] = Compose(dir, {"--set-wallpaper"}, environment);
  EXPECT_EQ(goneCode, 0);
  EXPECT_TRUE(goneErr.contains(QRegularExpression("remembered photo \".*gone.png\": no such file")))
      << goneErr.toStdString();
  EXPECT_EQ(QImage(thisMonth).pixelColor(5, 5).green(), 0x6E);  // the desktop colour
  EXPECT_EQ(test_support::GnomeWallpaperFile(environment), thisMonth);

  // A desktop Lunetta cannot set: the reason, the desktop and the saved file.
  environment.insert("XDG_CURRENT_DESKTOP", "sway");
  const auto [swayCode, swayOut, swayErr] = Compose(dir, {"--set-wallpaper"}, environment);
  EXPECT_EQ(swayCode, 1);
  EXPECT_TRUE(swayErr.contains("on sway: the picture is saved as \"" + thisMonth))
      << swayErr.toStdString();

  const QString service = dir.filePath("config/systemd/user/lunetta-wallpaper.service");
  const QString entry = dir.filePath("config/autostart/lunetta-wallpaper.desktop");
  ASSERT_TRUE(testing::WriteBytes(dir.filePath("holiday.dat"), "2026,0101\n"));
  ASSERT_EQ(std::get<0>(Compose(dir, {"--monthly-refresh", "on"}, environment)), 0);
  EXPECT_TRUE(QString::fromUtf8(testing::ReadBytes(service))
                  .contains("ExecStart=\"" LUNETTA_BINARY_DIR "/bin/lunetta-compose\" "
                            "\"--set-wallpaper\" \"--holidays\" \"" +
                            dir.filePath("holiday.dat") + '"'));
  EXPECT_TRUE(QFile::exists(entry));
  EXPECT_TRUE(testing::ReadBytes(profile).contains("Monthly Refresh=1\n"));
  ASSERT_EQ(std::get<0>(Compose(dir, {"--monthly-refresh", "off"}, environment)), 0);
  EXPECT_FALSE(QFile::exists(service));
  EXPECT_FALSE(QFile::exists(entry));
  EXPECT_TRUE(testing::ReadBytes(profile).contains("Monthly Refresh=0\n"));
}

}  // namespace
}  // namespace lunetta
