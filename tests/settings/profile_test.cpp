#include "settings/profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "settings/atomic_file.h"

namespace lunetta {
namespace {

namespace fs = std::filesystem;
constexpr std::string_view kSection = "Configuration";
const std::string kHead = "[Configuration]\n";

class ProfileReadTest : public testing::TestWithParam<
                            std::tuple<std::string, const char*, std::optional<std::string>>> {};

TEST_P(ProfileReadTest, FindsTheValue) {
  const auto& [text, key, value] = GetParam();
  EXPECT_EQ(Profile::Parse(text).value(kSection, key), value) << text;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ProfileReadTest,
    testing::Values(std::tuple("[CONFIGURATION]\nfont NAME=Arial\n", "Font Name", "Arial"),
                    std::tuple(" [ Configuration ] \n\t Font Name \t=  Arial Black \t\n",
                               "Font Name", "Arial Black"),
                    std::tuple(kHead + "Font Name=\" Arial \"\n", "Font Name", " Arial "),
                    std::tuple(kHead + "Font Name=\"\n", "Font Name", "\""),
                    std::tuple(kHead + "Font Name=\n", "Font Name", ""),  // present, so no default
                    std::tuple("[Configuration]\r\nFont Name=Arial\r\nX=9\r\n", "Font Name",
                               "Arial"),
                    std::tuple(kHead + "Font Name=a=b", "Font Name", "a=b"),
                    std::tuple(kHead + "StartX=1\nStartX=2\n", "StartX", "1"),
                    std::tuple(kHead + "Font Name=" + std::string(5000, 'a'), "Font Name",
                               std::string(Profile::kMaxValueChars, 'a')),
                    std::tuple(kHead + "Font Name=Arial\n", "StartX", std::nullopt),
                    std::tuple("StartX=5\n", "StartX", std::nullopt),
                    std::tuple(kHead + "[Other]\nStartX=5\n", "StartX", std::nullopt),
                    std::tuple("[Config]\nStartX=5\n", "StartX", std::nullopt),
                    std::tuple(kHead + ";StartX=5\nStartX\n", "StartX", std::nullopt)));

class ProfileIntTest : public testing::TestWithParam<std::pair<const char*, std::int32_t>> {};

TEST_P(ProfileIntTest, ReadsLikeAtoiWithoutOverflow) {
  const auto& [value, expected] = GetParam();
  EXPECT_EQ(Profile::Parse(kHead + "StartX=" + value).getInt(kSection, "StartX", 77), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ProfileIntTest,
    testing::Values(std::pair("-12", -12), std::pair("+7", 7), std::pair("42px", 42),
                    std::pair("\"15\"", 15), std::pair("abc", 0), std::pair("- 5", 0),
                    std::pair("", 77), std::pair("   ", 77), std::pair("-2147483648", INT32_MIN),
                    std::pair("2147483648", INT32_MAX), std::pair("-99999999999999", INT32_MIN)));

struct SetCase {
  std::string before;
  const char* section;
  const char* key;
  const char* value;
  std::string after;
};

class ProfileSetTest : public testing::TestWithParam<SetCase> {};

TEST_P(ProfileSetTest, ChangesOnlyItsLine) {
  const SetCase& c = GetParam();
  Profile profile = Profile::Parse(c.before);
  EXPECT_EQ(profile.text(), c.before);
  profile.setString(c.section, c.key, c.value);
  EXPECT_EQ(profile.text(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, ProfileSetTest,
    testing::Values(
        SetCase{"; top\n[A]\nX=1\n\n[configuration]\n  startx = 5 \nK=\"v\"\n", "Configuration",
                "StartX", "-4", "; top\n[A]\nX=1\n\n[configuration]\n  startx =-4\nK=\"v\"\n"},
        SetCase{kHead + "A=1\n; note\n\n[Other]\nB=2\n", "Configuration", "C", "3",
                kHead + "A=1\nC=3\n; note\n\n[Other]\nB=2\n"},
        SetCase{kHead + "A=1", "Configuration", "B", "2", kHead + "A=1\nB=2\n"},
        SetCase{"[Other]\nB=2", "Configuration", "A", "1", "[Other]\nB=2\n\n" + kHead + "A=1\n"},
        SetCase{"", "Configuration", "A", "", kHead + "A=\n"},
        SetCase{"[Configuration]\r\nA=1\r\n", "Configuration", "A", "5",
                "[Configuration]\r\nA=5\r\n"},
        SetCase{"[Configuration]\r\nA=1\r\n", "New", "B", "2",
                "[Configuration]\r\nA=1\r\n\r\n[New]\r\nB=2\r\n"},
        SetCase{"", "Configuration", "A", "x\n[Evil]\r\nB=1", kHead + "A=x [Evil]  B=1\n"}));

TEST(ProfileTest, HugeFileIsReadUpToTheBoundAtALineEnd) {
  std::string text = kHead + std::string(Profile::kMaxFileBytes - 6 - kHead.size(), ';') + "\n";
  const std::size_t cut = text.size();
  text += "StartX=123456789\n";  // crosses the bound
  const Profile profile = Profile::Parse(text);
  EXPECT_FALSE(profile.value(kSection, "StartX").has_value());
  EXPECT_EQ(profile.text(), text.substr(0, cut));
}

class ProfileFileTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / "profile" /
              testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  static std::string contents(const fs::path& file) {
    std::ostringstream bytes;
    bytes << std::ifstream(file, std::ios::binary).rdbuf();
    return bytes.str();
  }
  std::ptrdiff_t entries() const { return std::distance(fs::directory_iterator(folder_), {}); }

  fs::path folder_;
};

TEST_F(ProfileFileTest, WriteCreatesFoldersAndReadsBack) {
  const fs::path file = folder_ / "new" / "sub" / "p.INI";
  Profile profile;
  profile.setString(kSection, "Font Name", "");
  profile.setInt(kSection, "StartX", -17);
  ASSERT_TRUE(profile.write(file));
  EXPECT_EQ(contents(file), profile.text());
  EXPECT_EQ(Profile::Read(file).getString(kSection, "Font Name", "Arial Black"), "");
  EXPECT_EQ(Profile::Read(file).getInt(kSection, "StartX", 0), -17);
}

TEST_F(ProfileFileTest, MissingFileIsEmptyButADirectoryIsUnreadable) {
  EXPECT_EQ(Profile::Open(folder_ / "missing.INI").value().text(), "");
  fs::create_directory(folder_ / "dir.INI");
  EXPECT_FALSE(Profile::Open(folder_ / "dir.INI").has_value());
  EXPECT_EQ(Profile::Read(folder_ / "dir.INI").getInt(kSection, "StartX", 3), 3);
}

TEST_F(ProfileFileTest, FailedWriteLeavesTheTargetAndNoTemporaryFile) {
  fs::create_directory(folder_ / "taken.INI");
  EXPECT_FALSE(WriteFileAtomically(folder_ / "taken.INI", "data"));
  EXPECT_TRUE(fs::is_empty(folder_ / "taken.INI"));
  std::ofstream(folder_ / "plain") << "x";
  EXPECT_FALSE(WriteFileAtomically(folder_ / "plain" / "p.INI", "data"));
  EXPECT_EQ(contents(folder_ / "plain"), "x");
  EXPECT_EQ(entries(), 2);
}

TEST_F(ProfileFileTest, ReplacingKeepsTheFilePermissions) {
  const fs::path file = folder_ / "p.INI";
  ASSERT_TRUE(WriteFileAtomically(file, "old"));
  const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(file, mode);
  ASSERT_TRUE(WriteFileAtomically(file, "new"));
  EXPECT_EQ(contents(file), "new");
  EXPECT_EQ(fs::status(file).permissions(), mode);
  EXPECT_EQ(entries(), 1);
}

}  // namespace
}  // namespace lunetta
