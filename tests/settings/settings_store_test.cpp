#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "settings/atomic_file.h"
#include "settings/profile.h"

namespace lunetta {
namespace {

namespace fs = std::filesystem;

TEST(ProfileTest, ReadsTheKeysOfItsSectionOnly) {
  const std::string text =
      "X=1\n[Config]\nY=1\n [CONFIGURATION] \r\n\t font NAME \t=  Arial Black \t\r\nEmpty=\n"
      "Q=\" a \"\nEq=a=b\nTwice=1\nTwice=2\n;Note=1\nBare\nNeg=-12\nBig=-9999999999\n";
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
  EXPECT_EQ(profile.getInt("Configuration", "Neg", 0), -12);
  EXPECT_EQ(profile.getInt("Configuration", "Big", 0), INT32_MIN);  // clamped, not overflowed
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
  void SetUp() override { fs::remove_all(folder_); }
  std::string contents() const { return Profile::Read(file_).text(); }  // byte for byte

  const fs::path folder_ = fs::temp_directory_path() / "store";
  const fs::path file_ = folder_ / "lunetta.INI";
};

TEST_F(SettingsStoreTest, FirstRunGivesTheDefaultsAndSaveLoadRoundTrips) {
  CalendarSettings settings{"x", 1, 2, 3, 4, 5, 6, 7};
  LoadSettings(file_, settings);
  EXPECT_EQ(settings, CalendarSettings{});
  const CalendarSettings saved{"", -5, 0xFF0000, 0xFFFFFFFF, 300, -40, 2000, 7};
  ASSERT_TRUE(SaveSettings(file_, saved, LocalDate{2026, 12, 6}));
  EXPECT_EQ(contents(),
            "[Configuration]\nFont Name=\nText Size=-5\nText Color=16711680\nBack Ground Color=-1\n"
            "Day=6\nMonth=12\nYear=2026\nTransparency=300\nStartX=-40\nStartY=2000\nPictSize=7\n");
  LoadSettings(file_, settings);
  EXPECT_EQ(settings, saved);
}

TEST_F(SettingsStoreTest, SaveKeepsForeignLinesAndReplacesInPlace) {
  ASSERT_TRUE(WriteFileAtomically(
      file_, "; by hand\r\n[configuration]\r\nStartY=1\r\nOther=keep\r\n\r\n[Tail]\r\nX=1"));
  for (int save = 0; save < 2; ++save) {
    ASSERT_TRUE(SaveSettings(file_, CalendarSettings{.startY = 42}, LocalDate{2026, 1, 2}));
    EXPECT_EQ(contents(),
              "; by hand\r\n[configuration]\r\nStartY=42\r\nOther=keep\r\nFont Name=Arial Black\r\n"
              "Text Size=28\r\nText Color=0\r\nBack Ground Color=16777215\r\nDay=2\r\nMonth=1\r\n"
              "Year=2026\r\nTransparency=90\r\nStartX=560\r\nPictSize=1\r\n\r\n[Tail]\r\nX=1");
  }
}

TEST_F(SettingsStoreTest, FailedWritesLeaveTheFileAndNoTemporaryFile) {
  fs::create_directories(file_);
  EXPECT_FALSE(SaveSettings(file_, CalendarSettings{}, LocalDate{}));  // unreadable: not replaced
  EXPECT_FALSE(WriteFileAtomically(file_, "data"));
  const fs::path other = folder_ / "other.INI";
  ASSERT_TRUE(WriteFileAtomically(other, "old"));
  const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(other, mode);
  ASSERT_TRUE(WriteFileAtomically(other, "new"));
  EXPECT_EQ(fs::status(other).permissions(), mode);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}), 2) << "temporary files left";
}

TEST(ProfilePathTest, ConfigFolderOrHomeConfig) {
  ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(ProfilePath("Tavigo"), fs::path("/cfg/Tavigo.INI"));
  ::setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
  ::setenv("HOME", "/home/u", 1);
  EXPECT_EQ(ProfilePath(), fs::path("/home/u/.config/lunetta.INI"));
}

}  // namespace
}  // namespace lunetta
