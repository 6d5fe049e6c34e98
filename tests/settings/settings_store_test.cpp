#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace lunetta {
namespace {

namespace fs = std::filesystem;

class SettingsStoreTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / "store" /
              testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder_);
    file_ = folder_ / "lunetta.INI";
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string contents() const {
    std::ostringstream bytes;
    bytes << std::ifstream(file_, std::ios::binary).rdbuf();
    return bytes.str();
  }

  fs::path folder_;
  fs::path file_;
};

TEST_F(SettingsStoreTest, FirstRunGivesTheDefaults) {
  CalendarSettings settings{"x", 1, 2, 3, 4, 5, 6, 7};
  LoadSettings(file_, settings);
  EXPECT_EQ(settings, CalendarSettings{});
}

TEST_F(SettingsStoreTest, FirstSaveCreatesTheFolderAndListsTheKeysInOrder) {
  ASSERT_TRUE(SaveSettings(file_, CalendarSettings{}, LocalDate{2026, 12, 6}));
  EXPECT_EQ(contents(),
            "[Configuration]\nFont Name=Arial Black\nText Size=28\nText Color=0\n"
            "Back Ground Color=16777215\nDay=6\nMonth=12\nYear=2026\nTransparency=90\n"
            "StartX=560\nStartY=500\nPictSize=1\n");
}

TEST_F(SettingsStoreTest, SaveThenLoadRoundTrip) {
  const CalendarSettings saved{"", -5, 0xFF0000, 0xFFFFFFFF, 300, -40, 2000, 7, 700, 1};
  ASSERT_TRUE(SaveSettings(file_, saved, LocalDate{}));
  EXPECT_NE(contents().find("Text Color=16711680\n"), std::string::npos);
  EXPECT_NE(contents().find("Back Ground Color=-1\n"), std::string::npos);
  CalendarSettings loaded;
  loaded.fontWeight = 700;  // not persisted
  loaded.fontItalic = 1;
  LoadSettings(file_, loaded);
  EXPECT_EQ(loaded, saved);
}

TEST_F(SettingsStoreTest, SaveKeepsForeignLinesAndReplacesInPlace) {
  fs::create_directories(folder_);
  std::ofstream(file_, std::ios::binary)
      << "; by hand\r\n[configuration]\r\nStartY=1\r\nOther=keep\r\n\r\n[Tail]\r\nX=1";
  CalendarSettings settings;
  settings.startY = 42;
  ASSERT_TRUE(SaveSettings(file_, settings, LocalDate{2026, 1, 2}));
  const std::string first = contents();
  EXPECT_EQ(
      first,
      "; by hand\r\n[configuration]\r\nStartY=42\r\nOther=keep\r\n"
      "Font Name=Arial Black\r\nText Size=28\r\nText Color=0\r\nBack Ground Color=16777215\r\n"
      "Day=2\r\nMonth=1\r\nYear=2026\r\nTransparency=90\r\nStartX=560\r\nPictSize=1\r\n"
      "\r\n[Tail]\r\nX=1");
  ASSERT_TRUE(SaveSettings(file_, settings, LocalDate{2026, 1, 2}));
  EXPECT_EQ(contents(), first);
}

TEST_F(SettingsStoreTest, UnreadableProfileIsNotReplaced) {
  fs::create_directories(file_);
  EXPECT_FALSE(SaveSettings(file_, CalendarSettings{}, LocalDate{}));
  EXPECT_TRUE(fs::is_directory(file_));
}

TEST(ProfilePathTest, ConfigFolderOrHomeConfig) {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const std::optional<std::string> savedXdg = xdg ? std::optional<std::string>(xdg) : std::nullopt;
  ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(ProfilePath("Tavigo"), fs::path("/cfg/Tavigo.INI"));
  ::setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
  if (const char* home = std::getenv("HOME")) {
    EXPECT_EQ(ProfilePath(), fs::path(home) / ".config/lunetta.INI");
  }
  savedXdg ? ::setenv("XDG_CONFIG_HOME", savedXdg->c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace lunetta
