#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "app/compose_options.h"
#include "calendar/composition.h"
#include "picture/picture.h"
#include "picture/picture_files.h"

namespace lunetta {
namespace {

constexpr LocalDate kToday{2026, 12, 6};

struct ParseCase {
  const char* name;
  QStringList arguments;
  const char* error;  // part of the usage error; empty for good arguments
};

void PrintTo(const ParseCase& c, std::ostream* os) {
  *os << c.name;
}

class ParseComposeOptionsTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseComposeOptionsTest, AcceptsOrNamesTheProblem) {
  const ComposeOptionsResult result = ParseComposeOptions(GetParam().arguments, kToday);
  const QString expected = QString::fromUtf8(GetParam().error);
  if (expected.isEmpty()) {
    EXPECT_TRUE(result.error.isEmpty()) << result.error.toStdString();
  } else {
    EXPECT_TRUE(result.error.contains(expected)) << result.error.toStdString();
    EXPECT_FALSE(result.error.contains(u'\n'));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseComposeOptionsTest,
    ::testing::Values(
        ParseCase{"Nothing", {}, ""},
        ParseCase{"Everything",
                  {"--photo", "p.jpg", "--year", "2027", "--month", "2", "--settings", "s.INI",
                   "--set", "Text Size=40", "--holidays", "h.dat", "--out", "x.png", "--json"},
                  ""},
        ParseCase{"EqualsForm", {"--month=12", "--set=StartX=-20", "--out=a.bmp"}, ""},
        ParseCase{"AllMonths", {"--all-months", "--out", "cal-%m.jpg"}, ""},
        ParseCase{"UnknownOption", {"--colour", "red"}, "unknown option \"--colour\""},
        ParseCase{"MissingValue", {"--out"}, "--out needs a value"},
        ParseCase{"Month13", {"--month", "13"}, "1..12"},
        ParseCase{"MonthNotANumber", {"--month", "5x"}, "1..12"},
        ParseCase{"Year1969", {"--year", "1969"}, "cannot draw 1969-12"},
        ParseCase{"SetWithoutEquals", {"--set", "Text Size"}, "KEY=VALUE"},
        ParseCase{"SetUnknownKey", {"--set", "Colour=1"}, "unknown setting \"Colour\""},
        ParseCase{"SetNotANumber", {"--set", "Text Size=12pt"}, "whole number"},
        ParseCase{"SetTooLarge", {"--set", "StartY=2147483648"}, "whole number"},
        ParseCase{"SetColourOutOfRange", {"--set", "Text Color=16777216"}, "colour"},
        ParseCase{"AllMonthsWithoutPercentM", {"--all-months", "--out", "cal.jpg"}, "%m"},
        ParseCase{
            "AllMonthsWithMonth", {"--all-months", "--month", "3", "--out", "%m.jpg"}, "together"}),
    [](const ::testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

TEST(ComposeOptionsTest, DefaultsComeFromTheClockAndTheDesktopName) {
  const ComposeOptions options = ParseComposeOptions({}, kToday).options;
  EXPECT_EQ(options.year, 2026);
  EXPECT_EQ(options.months, std::vector<int>{12});
  EXPECT_EQ(options.out, "DeskTopImg.jpg");
  EXPECT_TRUE(options.photo.isEmpty());
  EXPECT_FALSE(options.json);

  const ComposeOptions all =
      ParseComposeOptions({"--all-months", "--out", "%m.png", "--year", "2030"}, kToday).options;
  EXPECT_EQ(all.year, 2030);
  EXPECT_EQ(all.months.size(), 12U);
  EXPECT_EQ(OutputPathForMonth(all.out, 3), "03.png");
}

TEST(ComposeOptionsTest, SettingsUseTheProfileKeysInAnyLetterCase) {
  CalendarSettings settings;
  EXPECT_EQ(ApplySetting(settings, "text size", "40"), "");
  EXPECT_EQ(ApplySetting(settings, "Back Ground Color", "255"), "");
  EXPECT_EQ(ApplySetting(settings, "Font Weight", "700"), "");
  EXPECT_EQ(settings.textSize, 40);
  EXPECT_EQ(settings.backColor, 0x0000FFU);
  EXPECT_EQ(settings.fontWeight, 700);
  EXPECT_NE(ApplySetting(settings, "Text Size", " 40"), "");
  EXPECT_EQ(settings.textSize, 40);
}

// Runs the built lunetta-compose in a folder of its own.
class ComposeProgramTest : public ::testing::Test {
 protected:
  struct Run {
    int exitCode = -1;
    QString out;
    QString err;
  };

  Run Compose(const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(dir_.path());
    process.start(QStringLiteral(LUNETTA_BINARY_DIR "/bin/lunetta-compose"), arguments);
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
  }

  QString Path(const QString& name) const { return dir_.filePath(name); }
  QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }

  QTemporaryDir dir_;
};

TEST_F(ComposeProgramTest, WritesThePictureTheDesktopProgramWouldAndDescribesIt) {
  ASSERT_TRUE(testing::WriteBytes(Path("days.txt"), "2026,0503,0504,0505,1103\n"));
  const Run run = Compose({"--year", "2026", "--month", "5", "--holidays", "days.txt", "--set",
                           "PictSize=0", "--out", "may.png", "--json"});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

  const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 1);
  const QJsonObject json = QJsonDocument::fromJson(lines[0].toUtf8()).object();
  EXPECT_EQ(json["out"].toString(), "may.png");
  EXPECT_EQ(json["width"].toInt(), 800);
  EXPECT_EQ(json["height"].toInt(), 600);
  EXPECT_EQ(json["startX"].toInt(), 560);
  EXPECT_EQ(json["startY"].toInt(), 500);
  EXPECT_EQ(json["holidays"].toArray(), (QJsonArray{3, 4, 5}));

  CalendarSettings settings;
  settings.pictSize = 0;
  settings.year = 2026;
  settings.month = 5;
  const ComposedPicture expected = ComposeCalendar(QImage(), settings, {3, 4, 5});
  EXPECT_EQ(json["blockWidth"].toInt(), expected.blockWidth);
  EXPECT_EQ(json["blockHeight"].toInt(), expected.blockHeight);
  EXPECT_EQ(QImage(Path("may.png")).convertToFormat(QImage::Format_RGB888), expected.picture);
}

TEST_F(ComposeProgramTest, UsesThePhotoAndAllMonthsWritesTwelveFiles) {
  ASSERT_TRUE(testing::WriteBytes(Path("photo.jpg"), testing::JpegBytes(640, 480)));
  const Run run = Compose({"--photo", "photo.jpg", "--all-months", "--year", "2027", "--set",
                           "PictSize=0", "--out", "cal-%m.bmp", "--json"});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(run.out.split(u'\n', Qt::SkipEmptyParts).size(), 12);
  for (int month = 1; month <= 12; ++month) {
    const QString name = QStringLiteral("cal-%1.bmp").arg(month, 2, 10, QLatin1Char('0'));
    const QImage picture(Path(name));
    ASSERT_EQ(picture.size(), QSize(800, 600)) << name.toStdString();
    // The photo's top-left corner is a warm red, far from the desktop blue.
    EXPECT_GT(picture.pixelColor(3, 3).red(), 150) << name.toStdString();
  }
}

struct FailureCase {
  const char* name;
  QStringList arguments;
  int exitCode;
  QStringList mentions;  // texts the one-line message must hold
};

void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.name;
}

class ComposeFailureTest : public ComposeProgramTest,
                           public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ComposeFailureTest, ExitsWithTheStatusAndWritesNothing) {
  ASSERT_TRUE(testing::WriteBytes(Path("notes.jpg"), "not a picture\n"));
  const QStringList before = Files();
  const Run run = Compose(GetParam().arguments);
  EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.err.toStdString();
  for (const QString& text : GetParam().mentions) {
    EXPECT_TRUE(run.err.contains(text)) << run.err.toStdString();
  }
  EXPECT_EQ(run.err.count(u'\n'), 1) << run.err.toStdString();
  EXPECT_TRUE(run.out.isEmpty());
  EXPECT_EQ(Files(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, ComposeFailureTest,
    ::testing::Values(
        FailureCase{"UnknownOption", {"--frobnicate"}, 2, {"--frobnicate"}},
        FailureCase{"Month13", {"--month", "13", "--out", "x.bmp"}, 2, {"13"}},
        FailureCase{"Year1969", {"--year", "1969", "--out", "x.bmp"}, 2, {"1969"}},
        FailureCase{"MalformedSet", {"--set", "Text Size=big", "--out", "x.bmp"}, 2, {"big"}},
        FailureCase{"AllMonthsWithoutPercentM", {"--all-months", "--out", "x.bmp"}, 2, {"%m"}},
        FailureCase{"UnreadablePhoto",
                    {"--photo", "notes.jpg", "--out", "x.bmp"},
                    1,
                    {"notes.jpg", "not a picture"}},
        FailureCase{"MissingPhoto",
                    {"--photo", "gone.jpg", "--out", "x.bmp"},
                    1,
                    {"gone.jpg", "no such file"}},
        FailureCase{
            "UnwritableOutput", {"--out", "no-such-folder/x.jpg"}, 1, {"no-such-folder/x.jpg"}},
        FailureCase{"NoEncoder", {"--out", "x.xyz"}, 1, {"x.xyz", "xyz"}},
        FailureCase{"NoExtension", {"--out", "picture"}, 1, {"picture", "extension"}},
        FailureCase{
            "MissingSettings", {"--settings", "none.INI", "--out", "x.bmp"}, 1, {"none.INI"}}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(ComposeProgramTest, Version) {
  const Run version = Compose({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "lunetta-compose 1.10\n");
}

}  // namespace
}  // namespace lunetta
