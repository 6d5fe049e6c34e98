#include "app/compose_options.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <ostream>
#include <string>

// Failing rows print text, not the bytes of a QString.
void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace lunetta {

void PrintTo(const ComposeOptions& o, std::ostream* out) {
  *out << "{photo=" << o.photo << " monthPhotos=";
  for (const auto& [month, photo] : o.monthPhotos) {
    *out << month << '=' << photo << ',';
  }
  *out << " photos=" << o.photosFolder << " year=" << o.year << " months=";
  for (int month : o.months) {
    *out << month << ',';
  }
  *out << " allMonths=" << o.allMonths << " settings=" << o.settingsFile << " overrides=";
  for (const auto& [key, value] : o.overrides) {
    *out << '[' << key.toStdString() << '=' << value.toStdString() << ']';
  }
  *out << " holidays=" << o.holidaysFile << " out=" << o.out << " pictures=" << o.pictures
       << " pdf=" << o.pdf << " paper=" << static_cast<int>(o.paper) << " json=" << o.json
       << " screenSize=" << o.screenSize << " setWallpaper=" << o.setWallpaper
       << " monthlyRefresh=" << (o.monthlyRefresh ? (*o.monthlyRefresh ? "on" : "off") : "-")
       << " help=" << o.help << " version=" << o.version << '}';
}

void PrintTo(const CalendarSettings& s, std::ostream* out) {
  *out << "{font=" << s.fontName << " size=" << s.textSize << " text=" << s.textColor
       << " back=" << s.backColor << " transparency=" << s.transparency << " x=" << s.startX
       << " y=" << s.startY << " pictSize=" << s.pictSize << " weight=" << s.fontWeight
       << " italic=" << s.fontItalic << '}';
}

namespace {

constexpr LocalDate kToday{2026, 12, 6};
const std::vector<int> kAllMonths{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

TEST(ComposeOptionsTest, AcceptedArgumentsGiveTheseOptions) {
  const struct {
    const char* what;
    QStringList arguments;
    ComposeOptions expected;
  } cases[] = {
      {"defaults: this month, the desktop picture's name", {}, {.year = 2026, .months = {12}}},
      {"both value forms; a repeated option keeps its last value; decimal with sign or zeros",
       {"--year=+2030", "--month", "2", "--month=07"},
       {.year = 2030, .months = {7}}},
      {"a single dash reads as two", {"-month", "5"}, {.year = 2026, .months = {5}}},
      {"every month",
       {"--all-months", "--out", "cal-%m.png"},
       {.year = 2026, .months = kAllMonths, .allMonths = true, .out = "cal-%m.png"}},
      {"files and switches",
       {"--photo", "p.jpg", "--settings=s.INI", "--holidays", "h.dat", "--out", "-x.png", "--json"},
       {.photo = "p.jpg",
        .year = 2026,
        .months = {12},
        .settingsFile = "s.INI",
        .holidaysFile = "h.dat",
        .out = "-x.png",
        .json = true}},
      {"--set repeats in order; keys trimmed, in any case; colours at both bounds",
       {"--set", " text size =30", "--set", "TEXT COLOR=16777215", "--set=Back Ground Color=0",
        "--set", "Text Size=31"},
       {.year = 2026,
        .months = {12},
        .overrides = {{"text size", "30"},
                      {"TEXT COLOR", "16777215"},
                      {"Back Ground Color", "0"},
                      {"Text Size", "31"}}}},
      {"the wallpaper of a month, with a photo and JSON",
       {"--set-wallpaper", "--month", "3", "--photo", "p.jpg", "--json"},
       {.photo = "p.jpg", .year = 2026, .months = {3}, .json = true, .setWallpaper = true}},
      {"the renewal alone keeps the files it passes on",
       {"--monthly-refresh", "ON", "--photo", "p.jpg", "--holidays", "h.dat", "--settings", "s"},
       {.photo = "p.jpg",
        .year = 2026,
        .months = {12},
        .settingsFile = "s",
        .holidaysFile = "h.dat",
        .monthlyRefresh = true}},
      {"the block's options are profile settings",
       {"--week-start", "Monday", "--labels=ja", "--week-numbers", "--opaque-text"},
       {.year = 2026,
        .months = {12},
        .overrides = {{"Week Start", "1"},
                      {"Japanese Labels", "1"},
                      {"Week Numbers", "1"},
                      {"Opaque Text", "1"}},
        .weekNumbers = true,
        .opaqueText = true}},
      {"month photos, a folder of them, and a PDF alone on A3",
       {"--month-photo", "3=m.jpg", "--month-photo=12=d=x.jpg", "--photos", "dir", "--all-months",
        "--pdf", "y.pdf", "--paper", "a3"},
       {.monthPhotos = {{3, "m.jpg"}, {12, "d=x.jpg"}},
        .photosFolder = "dir",
        .year = 2026,
        .months = kAllMonths,
        .allMonths = true,
        .pictures = false,
        .pdf = "y.pdf",
        .paper = Paper::A3}},
      {"a PDF beside the pictures",
       {"--pdf", "y.pdf", "--out", "x.png"},
       {.year = 2026, .months = {12}, .out = "x.png", .pdf = "y.pdf"}},
      {"a size and a fit are profile settings; the last size given is kept",
       {"--size", "screen", "--size", "1920X1080", "--fit", "Fill"},
       {.year = 2026,
        .months = {12},
        .overrides = {{"Size Kind", "1"},
                      {"Size Kind", "2"},
                      {"Custom Width", "1920"},
                      {"Custom Height", "1080"},
                      {"Photo Fit", "1"}}}},
      {"the screen's size",
       {"--size=screen"},
       {.year = 2026, .months = {12}, .overrides = {{"Size Kind", "1"}}, .screenSize = true}},
      {"help and version skip the checks across options",
       {"-h", "--version", "--year", "1969"},
       {.help = true, .version = true}},
  };
  for (const auto& c : cases) {
    const ComposeOptionsResult result = ParseComposeOptions(c.arguments, kToday);
    EXPECT_EQ(result.error, QString()) << c.what;
    EXPECT_EQ(result.options, c.expected) << c.what;
  }
}

TEST(ComposeOptionsTest, UsageErrorsAreOneLineThatBlamesTheRightOption) {
  const struct {
    QStringList arguments;
    const char* blame;  // a pattern the message must match
  } cases[] = {
      {{"--frobnicate"}, "^unknown option \"--frobnicate\"$"},
      {{"--month", "3", "-x=1"}, "^unknown option \"-x\"$"},
      {{"--photo", "a.jpg", "b.jpg"}, "^unexpected argument \"b.jpg\"$"},
      {{"--", "--json"}, "^unexpected argument \"--json\"$"},
      {{"--month"}, "value.*'--month'"},
      {{"--json=yes"}, "value.*'--json'"},
      {{"--month", "13"}, "^--month needs a month 1\\.\\.12, not \"13\"$"},
      {{"--week-start", "tuesday"}, "^--week-start needs sunday or monday, not \"tuesday\"$"},
      {{"--labels", "fr"}, "^--labels needs en or ja"},
      {{"--fit", "zoom"}, "^--fit needs stretch or fill or fit, not \"zoom\"$"},
      {{"--size", "319x1080"}, "^--size needs WIDTHxHEIGHT, each 320\\.\\.7680, or screen"},
      {{"--size", "1920x7681"}, "^--size needs WIDTHxHEIGHT"},
      {{"--size", "1920"}, "^--size needs WIDTHxHEIGHT"},
      {{"--size", "+1920x1080"}, "^--size needs WIDTHxHEIGHT"},
      {{"--size", "1920x1080x2"}, "^--size needs WIDTHxHEIGHT"},
      {{"--month", "0"}, "^--month needs .*\"0\""},
      {{"--month", "0x3"}, "^--month needs .*\"0x3\""},
      {{"--month", " 3"}, "^--month needs .*\" 3\""},
      {{"--month", "\uFF13"}, "^--month needs"},  // a full-width digit
      {{"--year", "99999999999"}, "^--year needs a year"},
      {{"--year", "1969"}, "^cannot draw 1969-12"},
      {{"--year", "3001", "--all-months", "--out", "%m.bmp"}, "^cannot draw 3001-01"},
      {{"--month", "13", "--month", "5"}, "^--month needs .*\"13\""},
      {{"--year", "x", "--month", "13"}, "^--year needs"},
      {{"--month", "3", "--all-months", "--out", "c-%m.bmp"}, "--month and --all-months"},
      {{"--all-months", "--month=3", "--out", "c-%m.bmp"}, "--month and --all-months"},
      {{"--all-months", "--out", "c.bmp"}, "^--all-months needs %m"},
      {{"--photo="}, "^--photo needs a file name$"},
      {{"--settings", ""}, "^--settings needs a file name$"},
      {{"--holidays="}, "^--holidays needs a file name$"},
      {{"--out="}, "^--out needs a file name$"},
      {{"--set", "Text Size"}, "^--set needs \"KEY=VALUE\""},
      {{"--set", "=5"}, "^--set needs \"KEY=VALUE\""},
      {{"--set", "Colour=5"}, "^--set: unknown setting \"Colour\"$"},
      {{"--set", "Text Color=16777216"}, "^--set: \"Text Color\" needs a colour"},
      {{"--set", "Back Ground Color=-1"}, "^--set: \"Back Ground Color\" needs a colour"},
      {{"--set", "StartY=2147483648"}, "^--set: \"StartY\" needs a whole number"},
      {{"--set", "Text Size="}, "^--set: \"Text Size\" needs a whole number"},
      {{"--monthly-refresh", "yes"}, "^--monthly-refresh needs on or off, not \"yes\"$"},
      {{"--month-photo", "13=x.jpg"}, "^--month-photo needs M=FILE with a month 1\\.\\.12"},
      {{"--month-photo", "3="}, "^--month-photo needs M=FILE"},
      {{"--month-photo", "x.jpg"}, "^--month-photo needs M=FILE"},
      {{"--pdf", "y.pdf", "--paper", "A5"}, "^--paper needs A4, A3 or Letter, not \"A5\"$"},
      {{"--paper", "A3"}, "^--paper .*--pdf"},
      {{"--set-wallpaper", "--pdf", "y.pdf"}, "^--set-wallpaper cannot be used with --pdf$"},
      {{"--set-wallpaper", "--out", "x.jpg"}, "^--set-wallpaper .* --out$"},
      {{"--set-wallpaper", "--all-months", "--out", "%m.jpg"}, "^--set-wallpaper .*--all-months$"},
      {{"--monthly-refresh", "on", "--month", "3"}, "^--monthly-refresh on .* --month unless"},
      {{"--monthly-refresh", "off", "--photo", "p.jpg"},
       "^--monthly-refresh off .* --photo unless"},
  };
  for (const auto& c : cases) {
    const QString error = ParseComposeOptions(c.arguments, kToday).error;
    EXPECT_TRUE(error.contains(QRegularExpression(QString::fromUtf8(c.blame))))
        << c.arguments.join(' ').toStdString() << ": " << error.toStdString();
    EXPECT_FALSE(error.contains(u'\n')) << error.toStdString();
  }
}

TEST(ComposeOptionsTest, ApplySettingSetsTheFieldItsKeyNames) {
  const struct {
    const char* key;
    const char* value;
    void (*expect)(CalendarSettings&);
  } cases[] = {
      {"font NAME", "Noto Sans CJK JP",
       [](CalendarSettings& s) { s.fontName = "Noto Sans CJK JP"; }},
      {"TEXT SIZE", "-30", [](CalendarSettings& s) { s.textSize = -30; }},
      {"Text Color", "16777215", [](CalendarSettings& s) { s.textColor = 0xFFFFFF; }},
      {"back ground color", "255", [](CalendarSettings& s) { s.backColor = 255; }},
      {"Transparency", "0", [](CalendarSettings& s) { s.transparency = 0; }},
      {"startx", "-2147483648", [](CalendarSettings& s) { s.startX = -2147483647 - 1; }},
      {"STARTY", "2147483647", [](CalendarSettings& s) { s.startY = 2147483647; }},
      {"PictSize", "2", [](CalendarSettings& s) { s.pictSize = 2; }},
      {"Font Weight", "700", [](CalendarSettings& s) { s.fontWeight = 700; }},
      {"font italic", "1", [](CalendarSettings& s) { s.fontItalic = 1; }},
  };
  for (const auto& c : cases) {
    CalendarSettings settings;
    CalendarSettings expected;
    c.expect(expected);
    EXPECT_EQ(ApplySetting(settings, c.key, c.value), QString()) << c.key;
    EXPECT_EQ(settings, expected) << c.key;
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
      {"\xF0\x90\x82\x80",
       QStringView(u"\U00010080").toString()},                // low half in the escapes' range
      {"\xC0\xAF", QStringView(u"\xDCC0\xDCAF").toString()},  // overlong "/"
      {"\xED\xA0\x80", QStringView(u"\xDCED\xDCA0\xDC80").toString()},  // an encoded surrogate
      {"\xF4\x90\x80\x80", QStringView(u"\xDCF4\xDC90\xDC80\xDC80").toString()},  // past U+10FFFF
      {"\xE3\x81", QStringView(u"\xDCE3\xDC81").toString()},    // cut short at the end
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

  std::string program = "lunetta-compose";
  std::string photo = "--photo=photo\xFF.jpg";
  std::string out = "cal-%m-\xFF-%m.bmp";
  std::string outOption = "--out";
  std::string allMonths = "--all-months";
  char* argv[] = {program.data(), photo.data(), outOption.data(), out.data(), allMonths.data()};
  const ComposeOptionsResult parsed = ParseComposeOptions(DecodeArguments(5, argv), kToday);
  ASSERT_EQ(parsed.error, QString());
  EXPECT_EQ(parsed.options.photo.native(), "photo\xFF.jpg");
  EXPECT_EQ(OutputPathForMonth(parsed.options.out, 3).native(), "cal-03-\xFF-03.bmp");
  EXPECT_EQ(DisplayPath(parsed.options.photo), QStringView(u"photo\uFFFD.jpg").toString());
  // Surrogates the decoder never makes still give a valid name.
  EXPECT_EQ(PathFromArgument(QStringView(u"a\xD800").toString()).native(), "a\xEF\xBF\xBD");
}

}  // namespace
}  // namespace lunetta
