#include "settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/file_io.h"
#include "settings/profile.h"
#include "support/core_printers.h"
#include "support/fifo_guard.h"

namespace lunetta {
namespace {

namespace fs = std::filesystem;

TEST(ProfileTest, ReadsTheKeysOfItsSectionOnly) {
  const std::string text =
      "X=1\n[Config]\nY=1\n [CONFIGURATION] \r\n\t font NAME \t=  Arial Black \t\r\nEmpty=\n"
      "Q=\" a \"\nEq=a=b\nTwice=1\nTwice=2\n;Note=1\nBare\n";
  const Profile profile = Profile::Parse(text + "Long=" + std::string(5000, 'a') + "\n[O]\nZ=1");
  const auto value = [&](const char* key) { return profile.value("Configuration", key); };
  EXPECT_EQ(value("Font Name"), "Arial Black");
  EXPECT_EQ(value("Q"), " a ");
  EXPECT_EQ(value("Empty"), "");  // present, so no default
  EXPECT_EQ(value("Eq"), "a=b");
  EXPECT_EQ(value("Twice"), "1");
  EXPECT_EQ(value("Long"), std::string(Profile::kMaxValueChars, 'a'));
  for (const char* missing : {"X", "Y", ";Note", "Note", "Bare", "Z"}) {
    EXPECT_FALSE(value(missing).has_value()) << missing;
  }
}

TEST(ProfileTest, IntegersReadLikeTheCLibrary) {
  // Rows: the lines of the section, the integer "Text Size" gives.
  for (const auto& [lines, expected] :
       {std::pair{"", 28}, std::pair{"Text Size=\n", 28}, std::pair{"Text Size= \t \n", 28},
        std::pair{"Text Size=\v\f+12px\n", 12}, std::pair{"Text Size=\"-7\"\n", -7},
        std::pair{"Text Size=abc\n", 0}}) {
    const std::string text = "[Configuration]\n" + std::string(lines);
    EXPECT_EQ(Profile::Parse(text).getInt("Configuration", "Text Size", 28), expected)
        << testing::PrintToString(text);
  }
}

TEST(ProfileTest, EditsChangeOnlyTheirLines) {
  const std::string before =
      "; top\r\n[A]\r\nX=1\r\n\r\n[configuration]\r\n  startx = 5 \r\nK=1\r\n; n\r\n\r\n[B]\r\nY=2";
  Profile profile = Profile::Parse(before);
  EXPECT_EQ(profile.text(), before);
  profile.setString("Configuration", "StartX", "-4");
  profile.setString("Configuration", "C", "x\n[Evil]\r\nB=1");
  profile.setString("New", "D", "");
  EXPECT_EQ(profile.text(),
            "; top\r\n[A]\r\nX=1\r\n\r\n[configuration]\r\n  startx =-4\r\nK=1\r\nC=x [Evil]  B=1"
            "\r\n; n\r\n\r\n[B]\r\nY=2\r\n\r\n[New]\r\nD=\r\n");
}

class SettingsStoreTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }

  // Byte for byte.
  std::string contents() const {
    std::error_code error;
    const FileBytes bytes = ReadRegularFile(file_, 4 << 20, error);
    EXPECT_FALSE(error) << error.message();
    return bytes.bytes;
  }
  void write(std::string_view text) const { ASSERT_FALSE(WriteFileAtomically(file_, text)); }

  const fs::path folder_ = fs::temp_directory_path() / "store";
  const fs::path file_ = folder_ / "lunetta.INI";
};

unsigned Mode(const fs::path& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
  return status.st_mode & 07777;
}

TEST_F(SettingsStoreTest, SaveThenLoadRoundTrips) {
  fs::remove_all(folder_);  // the configuration folder is made by the first save
  CalendarSettings settings{"x", 1, 2, 3, 4, 5, 6, 7};
  EXPECT_FALSE(LoadSettings(file_, settings));
  // Face, size, text colour, back colour, transparency, x, y, pictSize, weight, italic, year,
  // month, week start, Japanese labels, week numbers, opaque text, size kind, custom size.
  EXPECT_EQ(settings, (CalendarSettings{"Arial Black", 28, 0x000000, 0xFFFFFF, 90, 560, 500, 1, 400,
                                        false, 0, 0, WeekStart::Sunday, LabelLanguage::English,
                                        false, false, SizeKind::Classic, 1920, 1080}));
  const CalendarSettings saved{"", -5, 0xFF0000, 0xFFFFFFFF, 300, -40, 2000, 7};
  ASSERT_FALSE(SaveSettings(file_, saved, LocalDate{2026, 12, 6}));
  EXPECT_EQ(contents(),
            "[Configuration]\nFont Name=\nText Size=-5\nText Color=16711680\nBack Ground Color=-1\n"
            "Day=6\nMonth=12\nYear=2026\nTransparency=300\nStartX=-40\nStartY=2000\nPictSize=7\n");
  EXPECT_EQ(Mode(file_), 0600U);  // the user's settings are theirs alone
  EXPECT_FALSE(LoadSettings(file_, settings));
  EXPECT_EQ(settings, saved);
}

// Sizes and fits added later: an old profile reads and saves as before, the new keys appear only
// once used, and a build that knows only PictSize still finds its classic size there.
TEST_F(SettingsStoreTest, NewKeysAreWrittenOnlyOnceUsed) {
  const std::string old =
      "[Configuration]\nFont Name=Arial Black\nText Size=28\nText Color=0\n"
      "Back Ground Color=16777215\nDay=2\nMonth=1\nYear=2026\nTransparency=90\nStartX=560\n"
      "StartY=500\nPictSize=0\n";
  write(old);
  CalendarSettings settings;
  ASSERT_FALSE(LoadSettings(file_, settings));
  EXPECT_EQ(settings, CalendarSettings{.pictSize = 0});
  ASSERT_FALSE(SaveSettings(file_, settings, LocalDate{2026, 1, 2}));
  EXPECT_EQ(contents(), old);

  settings.sizeKind = SizeKind::Custom;
  settings.customWidth = 2560;
  settings.photoFit = PhotoFit::Fill;
  settings.titleEra = TitleEra::GregorianFirst;
  settings.calendarFiles = {{"/c/us holidays.ics", SpecialDayKind::Holiday},
                            {"/c/family.ics", SpecialDayKind::Day}};
  settings.proportional = true;
  settings.anchor = 0;
  settings.autoPlace = true;
  settings.handPlacedPhoto = "/p/海.jpg";
  settings.legible = true;
  settings.sundayColor = 0x0000C0;
  ASSERT_FALSE(SaveSettings(file_, settings, LocalDate{2026, 1, 2}));
  EXPECT_EQ(contents(), old +
                            "Size Kind=2\nCustom Width=2560\nPhoto Fit=1\nEra Title=2\n"
                            "Proportional Layout=1\nAnchor=0\nAuto Place=1\n"
                            "Hand Placed Photo=/p/海.jpg\nLegible=1\nSunday Color=192\n"
                            "Holiday Calendar 01=\"/c/us holidays.ics\"\n"
                            "Day Calendar 01=\"/c/family.ics\"\n");
  CalendarSettings read;
  ASSERT_FALSE(LoadSettings(file_, read));
  EXPECT_EQ(read, settings);
  // Set back to its default, a key the profile holds is written too, or it would come back on.
  settings.photoFit = PhotoFit::Stretch;
  settings.calendarFiles.erase(settings.calendarFiles.begin());
  ASSERT_FALSE(SaveSettings(file_, settings, LocalDate{2026, 1, 2}));
  ASSERT_FALSE(LoadSettings(file_, read));
  EXPECT_EQ(read, settings);
  EXPECT_NE(contents().find("Holiday Calendar 01=\n"), std::string::npos) << contents();
}

TEST(SettingKeysTest, ApplySettingSetsTheFieldItsKeyNames) {
  CalendarSettings settings;
  for (const std::string_view setting :
       {"font NAME=Noto Sans CJK JP", "TEXT SIZE=-30", "Text Color=16777215",
        "back ground color=255", "Transparency=0", "startx=-2147483648", "STARTY=2147483647",
        "PictSize=2", "Font Weight=700", "font italic=1"}) {
    const std::size_t equals = setting.find('=');
    EXPECT_EQ(ApplySetting(settings, setting.substr(0, equals), setting.substr(equals + 1)),
              SettingRefusal::None)
        << setting;
  }
  EXPECT_EQ(settings, (CalendarSettings{"Noto Sans CJK JP", -30, 0xFFFFFF, 255, 0, INT_MIN, INT_MAX,
                                        2, 700, true}));
  // #rrggbb reads red first; the profile keeps red in the low byte.
  EXPECT_EQ(ApplySetting(settings, "Saturday Color", "#0080fF"), SettingRefusal::None);
  EXPECT_EQ(settings.saturdayColor, 0xFF8000U);

  EXPECT_EQ(ApplySettingOverrides(settings, {{"StartY", "-1"}}, std::nullopt).why,
            SettingRefusal::OutsidePicture);
}

// The daily renewal's key appears only once it is used, and goes to 0 with the renewal.
TEST_F(SettingsStoreTest, DailyRenewalKeyIsWrittenOnlyOnceUsed) {
  write("[Configuration]\nStartX=1\n");
  const auto saved = [&](bool on, bool daily) {
    EXPECT_FALSE(SaveMonthlyRefresh(file_, on, daily));
    RememberedWork work;
    EXPECT_FALSE(LoadRememberedWork(file_, work));
    return std::tuple(contents(), work.monthlyRefresh, work.dailyRefresh);
  };
  EXPECT_EQ(saved(true, false),
            std::tuple("[Configuration]\nStartX=1\nMonthly Refresh=1\n", true, false));
  EXPECT_EQ(saved(true, true), std::tuple("[Configuration]\nStartX=1\nMonthly Refresh=1\n"
                                          "Daily Refresh=1\n",
                                          true, true));
  EXPECT_EQ(saved(false, true), std::tuple("[Configuration]\nStartX=1\nMonthly Refresh=0\n"
                                           "Daily Refresh=0\n",
                                           false, false));
}

TEST_F(SettingsStoreTest, SaveKeepsWhatItDoesNotOwn) {
  // A byte-order mark right before the section must not hide it.
  write("\xEF\xBB\xBF[configuration]\r\nStartY=1\r\n; by hand\r\nOther=keep\r\n\r\n[Tail]\r\nX=1");
  fs::permissions(file_, fs::perms(0640));
  for (int save = 0; save < 2; ++save) {
    ASSERT_FALSE(SaveSettings(file_, CalendarSettings{.startY = 42}, LocalDate{2026, 1, 2}));
    EXPECT_EQ(contents(),
              "\xEF\xBB\xBF[configuration]\r\nStartY=42\r\n; by hand\r\nOther=keep\r\n"
              "Font Name=Arial Black\r\nText Size=28\r\nText Color=0\r\n"
              "Back Ground Color=16777215\r\nDay=2\r\nMonth=1\r\nYear=2026\r\nTransparency=90\r\n"
              "StartX=560\r\nPictSize=1\r\n\r\n[Tail]\r\nX=1");
  }
  EXPECT_EQ(Mode(file_), 0640U);
}

TEST_F(SettingsStoreTest, OversizedProfileLoadsItsBeginningButIsNeverRewritten) {
  // 2 MiB: the settings first, then a long tail a save from the first MiB would lose.
  std::string text = "[Configuration]\nStartX=7\n[Notes]\n";
  while (text.size() < (2U << 20)) {
    text += "line=" + std::string(60, 'n') + "\n";
  }
  text += "[Configuration]\nStartY=9\n";
  write(text);

  CalendarSettings settings;
  EXPECT_EQ(LoadSettings(file_, settings), FileErrc::too_large);
  EXPECT_EQ(settings.startX, 7);
  EXPECT_EQ(SaveSettings(file_, CalendarSettings{}, LocalDate{}), FileErrc::too_large);
  EXPECT_EQ(contents(), text);
}

TEST_F(SettingsStoreTest, LinkedProfileIsWrittenThroughToItsTarget) {
  const fs::path target = folder_ / "dotfiles.INI";
  ASSERT_FALSE(WriteFileAtomically(target, "[Configuration]\nStartX=3\n"));
  fs::create_symlink(target, file_);
  ASSERT_FALSE(SaveSettings(file_, CalendarSettings{.startX = 4}, LocalDate{}));
  EXPECT_TRUE(fs::is_symlink(file_));
  CalendarSettings settings;
  LoadSettings(target, settings);
  EXPECT_EQ(settings.startX, 4);
}

TEST_F(SettingsStoreTest, FifoProfileIsNeverWaitedOn) {
  test_support::MakeFifo(file_);
  CalendarSettings settings{.startX = 1};
  EXPECT_EQ(test_support::WithoutBlocking(file_, [&] { return LoadSettings(file_, settings); }),
            FileErrc::not_regular_file);
  EXPECT_EQ(settings, CalendarSettings{});
  EXPECT_EQ(test_support::WithoutBlocking(
                file_, [&] { return SaveSettings(file_, CalendarSettings{}, LocalDate{}); }),
            FileErrc::not_regular_file);
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(file_)));
}

TEST_F(SettingsStoreTest, PhotoPathKeepsEveryByteOrIsForgottenWhenTheProfileCannotHoldIt) {
  const struct {
    std::string photo;
    std::string remembered;  // what the next start reads
  } cases[] = {
      {"/home/u/My Photos/海の写真 2026.jpg", "/home/u/My Photos/海の写真 2026.jpg"},
      {"\"quoted\".jpg ", "\"quoted\".jpg "},
      {"\xFF\xFEnot-utf8.jpg", "\xFF\xFEnot-utf8.jpg"},
      {"line\nbreak.jpg", ""},  // stored changed it would name another file
      {std::string(Profile::kMaxValueChars, 'p'), ""},
      {"", "/kept.jpg"},  // no photograph chosen: the remembered one stays
  };
  for (const auto& c : cases) {
    write("[Configuration]\nPhoto Path=/kept.jpg\nMonthly Refresh=1\n[Other]\nX=1\n");
    ASSERT_FALSE(SaveSettings(file_, CalendarSettings{.startX = 9}, LocalDate{}, c.photo));
    RememberedWork work;
    EXPECT_FALSE(LoadRememberedWork(file_, work));
    EXPECT_EQ(work, (RememberedWork{c.remembered, true})) << testing::PrintToString(c.photo);
    CalendarSettings settings;
    LoadSettings(file_, settings);
    EXPECT_EQ(settings.startX, 9);
  }
}

// Only the months that have their own photo are written; a month cleared since stays cleared.
TEST_F(SettingsStoreTest, AClearedMonthPhotoStaysCleared) {
  write("[Configuration]\nMonth Photo 03=\"/old/march.jpg\"\n");
  MonthPhotos photos;
  photos[0] = "/p/january.jpg";
  photos[11] = " /p/december .png";
  ASSERT_FALSE(SaveSettings(file_, CalendarSettings{}, LocalDate{}, {}, photos));
  RememberedWork work;
  EXPECT_FALSE(LoadRememberedWork(file_, work));
  EXPECT_EQ(work.monthPhotos, photos);
  const std::string text = contents();
  EXPECT_NE(text.find("Month Photo 03=\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("Month Photo 02"), std::string::npos) << text;
}

// Which folder the variables name is the XDG look-ups' to test.
TEST(ProfilePathTest, TheProgramsNameInTheConfigFolder) {
  ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(ProfilePath("Tavigo"), fs::path("/cfg/Tavigo.INI"));
  EXPECT_EQ(ProfilePath(), fs::path("/cfg/lunetta.INI"));
}

}  // namespace
}  // namespace lunetta
