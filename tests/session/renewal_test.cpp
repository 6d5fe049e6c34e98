#include "session/renewal.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QTemporaryDir>

#include "picture/load_picture_file.h"
#include "picture/picture.h"
#include "picture/picture_files.h"
#include "session/calendar_session.h"
#include "support/core_printers.h"
#include "support/picture_printers.h"

namespace lunetta {
namespace {

std::unique_ptr<CalendarSession> Session(std::optional<PictureSize> screen = {}) {
  SessionEnvironment environment;
  environment.clock = [] { return LocalDate{2027, 1, 15}; };
  environment.screenSize = screen;
  return std::make_unique<CalendarSession>(std::move(environment));
}

class SessionWallpaperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Succeeded(session_->Compose()));
    context_.environment.insert("XDG_DATA_HOME", home_.path());
    context_.environment.insert("XDG_CONFIG_HOME", home_.filePath("config"));
    context_.environment.insert("GSETTINGS_BACKEND", "keyfile");
    context_.environment.insert("XDG_CURRENT_DESKTOP", "sway");  // one Lunetta cannot set
    context_.environment.remove("DISPLAY");
  }

  QTemporaryDir home_;
  std::unique_ptr<CalendarSession> session_ = Session();
  WallpaperContext context_;
};

// Better than a saved picture, and readable by the user alone: only the desktop reads it.
TEST_F(SessionWallpaperTest, WrittenAtItsOwnQualityForTheUserAlone) {
  const WallpaperOutcome unset = SetSessionWallpaper(*session_, context_);
  EXPECT_EQ(unset.picture, FilePath(home_.filePath("lunetta/wallpaper-2027-01.jpg")));
  struct stat written {};
  ASSERT_EQ(::stat(unset.picture.c_str(), &written), 0);
  EXPECT_EQ(written.st_mode & 0777, 0600U);
  const QString expected = home_.filePath("quality-92.jpg");
  ASSERT_TRUE(Succeeded(Picture(session_->picture()).Save(FilePath(expected), 92)));
  EXPECT_EQ(testing::ReadBytes(QtPath(unset.picture)), testing::ReadBytes(expected));
}

// The desktop may still show last month's while it fades to the new one.
TEST_F(SessionWallpaperTest, OlderMonthsGoOnlyOnceTheDesktopHasTheNewOne) {
  const QString folder = home_.filePath("lunetta");
  QDir().mkpath(folder + "/wallpaper-2026-10.jpg.d");
  for (const char* name :
       {"wallpaper-2026-11.jpg", "wallpaper-2026-12.jpg", "wallpaper-2025-12.jpg", "notes.txt"}) {
    ASSERT_TRUE(testing::WriteBytes(folder + '/' + name, {}));
  }
  const auto files = [&] {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
  };
  const WallpaperOutcome unset = SetSessionWallpaper(*session_, context_);
  ASSERT_FALSE(unset.status.ok());
  EXPECT_EQ(files().size(), 6);

  context_.environment.insert("XDG_CURRENT_DESKTOP", "GNOME");
  ASSERT_TRUE(Succeeded(SetSessionWallpaper(*session_, context_).status));
  EXPECT_EQ(files(), QStringList({"notes.txt", "wallpaper-2026-10.jpg.d", "wallpaper-2026-12.jpg",
                                  "wallpaper-2027-01.jpg"}));
}

// Everything the picture is made of comes back from the snapshot, the font style and the screen's
// size too, which a profile does not keep.
TEST(RenewalSnapshotTest, KeepsEverythingThePictureIsMadeOf) {
  QTemporaryDir folder;
  const std::unique_ptr<CalendarSession> shown = Session(PictureSize{2560, 1440});
  CalendarSettings settings = shown->settings();
  settings.fontName = "Liberation Serif";
  settings.textSize = 40;
  settings.fontWeight = 700;
  settings.fontItalic = true;
  settings.weekStart = WeekStart::Monday;
  settings.sizeKind = SizeKind::Screen;
  settings.photoFit = PhotoFit::Fill;
  shown->ApplySettings(settings);
  shown->ChoosePhoto(FilePath(folder.filePath(" sea \"1\".jpg")));
  shown->ChooseMonthPhoto(12, FilePath(folder.filePath("snow.jpg")));
  const std::filesystem::path snapshot = FilePath(folder.filePath("renewal.ini"));
  ASSERT_TRUE(Succeeded(StoreRenewalSnapshot(*shown, snapshot)));

  const std::unique_ptr<CalendarSession> renewal = Session();
  ASSERT_TRUE(Succeeded(renewal->LoadSettings(snapshot)));
  CalendarSettings read = renewal->settings();
  ASSERT_TRUE(ReadRenewalSnapshotStyle(snapshot, read));
  settings.screenWidth = 2560;
  settings.screenHeight = 1440;
  EXPECT_EQ(read, settings);
  EXPECT_EQ(renewal->rememberedPhoto(), shown->photoPath());
  EXPECT_EQ(renewal->rememberedMonthPhotos()[11], shown->monthPhotoPath(12));
  EXPECT_TRUE(renewal->rememberedMonthPhotos()[0].empty());
}

}  // namespace
}  // namespace lunetta
