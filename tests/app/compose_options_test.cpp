#include "app/compose_options.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <ostream>
#include <string>
#include <tuple>

#include "support/core_printers.h"

// Failing rows print text, not the bytes of a QString.
void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace lunetta {

// In the order of the fields: photo, monthPhotos, photosFolder, year, months, allMonths,
// settingsFile, overrides, holidaysFile, out, pictures, pdf, paper, wall, json, weekNumbers,
// opaqueText, screenSize, setWallpaper, monthlyRefresh, dailyRefresh, help, version.
void PrintTo(const ComposeOptions& o, std::ostream* out) {
  *out << testing::PrintToString(std::forward_as_tuple(
      o.photo, o.monthPhotos, o.photosFolder, o.year, o.months, o.allMonths, o.settingsFile,
      o.overrides, o.holidaysFile, o.out, o.pictures, o.pdf, static_cast<int>(o.paper), o.wall,
      o.json, o.weekNumbers, o.opaqueText, o.screenSize, o.setWallpaper, o.monthlyRefresh,
      o.dailyRefresh, o.help, o.version));
}

namespace {

constexpr LocalDate kToday{2026, 12, 6};
const std::vector<int> kAllMonths{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

// The overrides as "KEY=VALUE" in order, joined by "; ".
std::string Joined(const SettingOverrides& overrides) {
  std::string joined;
  for (const auto& [key, value] : overrides) {
    joined += (joined.empty() ? "" : "; ") + key + '=' + value;
  }
  return joined;
}

TEST(ComposeOptionsTest, AcceptedArgumentsGiveTheseOptions) {
  const ComposeOptions thisMonth{.year = 2026, .months = {12}};
  const struct {
    const char* what;
    QStringList arguments;
    const char* overrides;
    ComposeOptions expected;  // besides the overrides
  } cases[] = {
      {"defaults: this month, the desktop picture's name", {}, "", thisMonth},
      {"both value forms; a repeated option keeps its last value; decimal with sign or zeros",
       {"--year=+2030", "--month", "2", "--month=07"},
       "",
       {.year = 2030, .months = {7}}},
      {"--set repeats in order; keys trimmed, in any case; colours at both bounds",
       {"--set", " text size =30", "--set", "TEXT COLOR=16777215", "--set=Back Ground Color=0",
        "--set", "Text Size=31"},
       "text size=30; TEXT COLOR=16777215; Back Ground Color=0; Text Size=31",
       thisMonth},
      {"the block's options are profile settings",
       {"--week-start", "Monday", "--labels=ja", "--week-numbers", "--opaque-text"},
       "Week Start=1; Japanese Labels=1; Week Numbers=1; Opaque Text=1",
       {.year = 2026, .months = {12}, .weekNumbers = true, .opaqueText = true}},
      {"month photos, a folder of them, and a PDF alone on A3",
       {"--month-photo", "3=m.jpg", "--month-photo=12=d=x.jpg", "--photos", "dir", "--all-months",
        "--pdf", "y.pdf", "--paper", "a3"},
       "",
       {.monthPhotos = {{3, "m.jpg"}, {12, "d=x.jpg"}},
        .photosFolder = "dir",
        .year = 2026,
        .months = kAllMonths,
        .allMonths = true,
        .pictures = false,
        .pdf = "y.pdf",
        .paper = Paper::A3}},
      {"a wall calendar is the year's; its options and its paper are profile settings",
       {"--layout", "Wall", "--pdf", "w.pdf", "--paper", "tabloid", "--orientation", "landscape",
        "--photo-position", "right", "--bleed", "2.5mm", "--trim-marks", "--cover", "--planner"},
       "Wall Orientation=1; Wall Photo Position=2; Wall Bleed=250; Wall Trim Marks=1; "
       "Wall Cover=1; Wall Planner=1; Wall Paper=3",
       {.year = 2026,
        .months = kAllMonths,
        .pictures = false,
        .pdf = "w.pdf",
        .paper = Paper::Tabloid,
        .wall = true}},
      {"a wall calendar of one month; a bleed without its unit",
       {"--layout=wall", "--pdf", "w.pdf", "--month", "5", "--bleed", "3"},
       "Wall Bleed=300",
       {.year = 2026, .months = {5}, .pictures = false, .pdf = "w.pdf", .wall = true}},
      {"a size and a fit are profile settings; the last size given is kept",
       {"--size", "screen", "--size", "1920X1080", "--fit", "Fill"},
       "Size Kind=1; Size Kind=2; Custom Width=1920; Custom Height=1080; Photo Fit=1",
       thisMonth},
      {"today's marks and the screens are profile settings; the renewal's period",
       {"--today", "--dim-past", "--every-screen", "--monthly-refresh", "on", "--renewal", "daily"},
       "Today Mark=1; Dim Past Days=1; Every Screen=1",
       {.year = 2026, .months = {12}, .monthlyRefresh = true, .dailyRefresh = true}},
      {"the block in proportion, placed and coloured by the photo, are profile settings",
       {"--block-height", "30%", "--anchor", "Bottom-Right", "--margin=4.5", "--auto-place",
        "--panel-bands", "8%", "--legible", "--set", "Saturday Color=#0000ff"},
       "Proportional Layout=1; Block Height=300; Proportional Layout=1; Anchor=8; "
       "Proportional Layout=1; Margin=45; Auto Place=1; Panel Bands=80; Legible=1; "
       "Saturday Color=#0000ff",
       thisMonth},
      {"help and version skip the checks across options",
       {"-h", "--version", "--year", "1969"},
       "",
       {.help = true, .version = true}},
  };
  for (const auto& c : cases) {
    ComposeOptionsResult result = ParseComposeOptions(c.arguments, kToday);
    EXPECT_EQ(result.error, QString()) << c.what;
    EXPECT_EQ(Joined(result.options.overrides), c.overrides) << c.what;
    result.options.overrides.clear();
    EXPECT_EQ(result.options, c.expected) << c.what;
  }
}

TEST(ComposeOptionsTest, UsageErrorsAreOneLineThatBlamesTheRightOption) {
  const struct {
    QStringList arguments;
    const char* blame;  // a pattern the message must match
  } cases[] = {
      {{"--frobnicate"}, "^unknown option \"--frobnicate\"$"},
      {{"--photo", "a.jpg", "b.jpg"}, "^unexpected argument \"b.jpg\"$"},
      {{"--month", "13"}, "^--month needs a month 1\\.\\.12, not \"13\"$"},
      {{"--month", "0"}, "^--month needs .*\"0\""},
      {{"--month", " 3"}, "^--month needs .*\" 3\""},
      {{"--month", "\uFF13"}, "^--month needs"},  // a full-width digit
      {{"--month", "13", "--month", "5"}, "^--month needs .*\"13\""},
      {{"--year", "99999999999"}, "^--year needs a year"},
      {{"--year", "1969"}, "^cannot draw 1969-12"},
      {{"--week-start", "tuesday"}, "^--week-start needs sunday or monday, not \"tuesday\"$"},
      {{"--labels", "fr"}, "^--labels needs en or ja"},
      {{"--fit", "zoom"}, "^--fit needs stretch or fill or fit, not \"zoom\"$"},
      {{"--size", "319x1080"}, "^--size needs WIDTHxHEIGHT, each 320\\.\\.7680, or screen"},
      {{"--size", "1920x7681"}, "^--size needs WIDTHxHEIGHT"},
      {{"--size", "+1920x1080"}, "^--size needs WIDTHxHEIGHT"},
      {{"--all-months", "--month=3", "--out", "c-%m.bmp"}, "--month and --all-months"},
      {{"--all-months", "--out", "c.bmp"}, "^--all-months needs %m"},
      {{"--photo="}, "^--photo needs a file name$"},
      {{"--set", "Text Size"}, "^--set needs \"KEY=VALUE\""},
      {{"--set", "Colour=5"}, "^--set: unknown setting \"Colour\"$"},
      {{"--set", "Text Color=16777216"}, "^--set: \"Text Color\" needs a colour"},
      {{"--set", "Back Ground Color=-1"}, "^--set: \"Back Ground Color\" needs a colour"},
      {{"--set", "Sunday Color=#12345"}, "^--set: \"Sunday Color\" needs a colour #rrggbb"},
      {{"--set", "Text Color=#-12345"}, "^--set: \"Text Color\" needs a colour"},
      {{"--block-height", "19.9%"},
       "^--block-height needs a percentage 20\\.\\.45%, not \"19.9%\"$"},
      {{"--block-height", "30.25%"}, "^--block-height needs a percentage"},
      {{"--margin", "-1%"}, "^--margin needs a percentage 0\\.\\.20%"},
      {{"--anchor", "middle"}, "^--anchor needs top-left, .* not \"middle\"$"},
      {{"--panel-bands", "26%"}, "^--panel-bands needs a percentage 0\\.\\.25%"},
      {{"--set", "StartY=2147483648"}, "^--set: \"StartY\" needs a whole number"},
      {{"--set", "Text Size="}, "^--set: \"Text Size\" needs a whole number"},
      {{"--set", "transparency=256"}, "^--set: \"transparency\" needs 0\\.\\.255 .*\"256\"$"},
      {{"--monthly-refresh", "yes"}, "^--monthly-refresh needs on or off, not \"yes\"$"},
      {{"--renewal", "weekly"}, "^--renewal needs daily, monthly or off, not \"weekly\"$"},
      {{"--month-photo", "13=x.jpg"}, "^--month-photo needs M=FILE with a month 1\\.\\.12"},
      {{"--month-photo", "3="}, "^--month-photo needs M=FILE"},
      {{"--pdf", "y.pdf", "--paper", "A5"},
       "^--paper needs A4, A3, Letter or Tabloid, not \"A5\"$"},
      {{"--layout", "poster"}, "^--layout needs picture or wall, not \"poster\"$"},
      {{"--layout", "wall"}, "^--layout wall writes a PDF; give --pdf FILE too$"},
      {{"--layout", "wall", "--pdf", "w.pdf", "--out", "x.jpg"}, "^--layout wall .* --out$"},
      {{"--layout", "wall", "--pdf", "w.pdf", "--set-wallpaper"}, "^--layout wall .*--set-wall"},
      {{"--pdf", "y.pdf", "--cover"}, "^--cover is an option of the wall calendar; give --layout"},
      {{"--layout", "wall", "--pdf", "w.pdf", "--bleed", "10.01mm"},
       "^--bleed needs a length 0\\.\\.10mm, such as 3mm, not \"10\\.01mm\"$"},
      {{"--layout", "wall", "--pdf", "w.pdf", "--bleed", "-1"}, "^--bleed needs"},
      {{"--layout", "wall", "--pdf", "w.pdf", "--bleed", "3cm"}, "^--bleed needs"},
      {{"--renewal", "daily", "--layout", "picture"},
       "^--renewal daily cannot be used with --layout unless"},
      {{"--paper", "A3"}, "^--paper .*--pdf"},
      {{"--set-wallpaper", "--pdf", "y.pdf"}, "^--set-wallpaper cannot be used with --pdf$"},
      {{"--set-wallpaper", "--all-months", "--out", "%m.jpg"}, "^--set-wallpaper .*--all-months$"},
      {{"--monthly-refresh", "on", "--month", "3"}, "^--monthly-refresh on .* --month unless"},
      {{"--renewal", "Daily", "--out", "x.jpg"},
       "^--renewal daily cannot be used with --out unless"},
  };
  for (const auto& c : cases) {
    const QString error = ParseComposeOptions(c.arguments, kToday).error;
    EXPECT_TRUE(error.contains(QRegularExpression(QString::fromUtf8(c.blame))))
        << c.arguments.join(' ').toStdString() << ": " << error.toStdString();
    EXPECT_FALSE(error.contains(u'\n')) << error.toStdString();
  }
}

// File names are bytes; the ones that are not UTF-8 must come back unchanged.
TEST(ComposeOptionsTest, FileNamesKeepTheirBytesFromArgvToPath) {
  const struct {
    std::string bytes;
    QString decoded;  // as messages and --set values see the argument
  } cases[] = {
      {"photo\xFF.jpg", QStringView(u"photo\xDCFF.jpg").toString()},
      {"写真.jpg", QStringLiteral("写真.jpg")},
      {"\xC0\xAF", QStringView(u"\xDCC0\xDCAF").toString()},
      {"\xED\xA0\x80",
       QStringView(u"\xDCED\xDCA0\xDC80").toString()},  // an encoded surrogate    // overlong "/"
      {"\xE3\x81x", QStringView(u"\xDCE3\xDC81x").toString()},  // cut short before ASCII
  };
  for (const auto& c : cases) {
    std::string program = "lunetta-compose";
    std::string argument = c.bytes;
    char* argv[] = {program.data(), argument.data(), nullptr};
    const QStringList decoded = DecodeArguments(2, argv);
    ASSERT_EQ(decoded.size(), 1);
    EXPECT_EQ(decoded[0], c.decoded);
    EXPECT_EQ(PathFromArgument(decoded[0]).native(), c.bytes);
  }

  // A name's bytes survive the month put into it; messages show a replacement character.
  const std::filesystem::path out = PathFromArgument(QStringView(u"%m-\xDCFF-%m.bmp").toString());
  EXPECT_EQ(OutputPathForMonth(out, 3).native(), "03-\xFF-03.bmp");
  EXPECT_EQ(DisplayPath(out), QStringView(u"%m-\uFFFD-%m.bmp").toString());
  // Surrogates the decoder never makes still give a valid name.
  EXPECT_EQ(PathFromArgument(QStringView(u"a\xD800").toString()).native(), "a\xEF\xBF\xBD");
}

}  // namespace
}  // namespace lunetta
