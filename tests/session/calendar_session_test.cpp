#include "session/calendar_session.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <cstdlib>
#include <string>

#include "picture/picture_files.h"
#include "support/picture_printers.h"

namespace lunetta {
namespace {

const QColor kDesktop(0x3A, 0x6E, 0xA5);

class CalendarSessionTest : public ::testing::Test {
 protected:
  // A session of 2026-05 whose decodes are counted, with holiday.dat and Calendar.bmp in a
  // folder of its own.
  std::unique_ptr<CalendarSession> Start(LocalDate today = {2026, 5, 20}) {
    SessionEnvironment environment;
    environment.clock = [this, today] { return clockOverride_ ? *clockOverride_ : today; };
    environment.loadPhoto = [this](const std::filesystem::path& path, QSize fit) {
      ++decodes_;
      return LoadPictureFile(path, fit);
    };
    environment.holidayFiles = {FilePath(folder_.filePath("holiday.dat"))};
    environment.composedPicturePath = FilePath(folder_.filePath("Calendar.bmp"));
    return std::make_unique<CalendarSession>(std::move(environment));
  }

  QString Photo(const QString& name, QColor color, QSize size = {64, 48}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    EXPECT_TRUE(image.save(folder_.filePath(name)));
    return folder_.filePath(name);
  }

  QTemporaryDir folder_;
  std::atomic<int> decodes_ = 0;
  std::optional<LocalDate> clockOverride_;
};

TEST_F(CalendarSessionTest, DecodesThePhotoOncePerChoiceAndPictureSize) {
  const auto session = Start();
  const QString photo = Photo("sea.bmp", Qt::green);
  session->ChoosePhoto(FilePath(photo));
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_EQ(decodes_, 1);
  EXPECT_EQ(session->picture().pixelColor(5, 5), QColor(Qt::green));

  // Month, year, look and place compose from the kept photo.
  session->ChooseMonth(6);
  ASSERT_TRUE(Succeeded(session->Compose()));
  session->ChooseYear(2027);
  ASSERT_TRUE(Succeeded(session->Compose()));
  CalendarSettings look = session->settings();
  look.textColor = 0x0000FF;
  look.transparency = 200;
  session->ApplySettings(look);
  session->MoveBlock(10, 20);
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_EQ(decodes_, 1);
  EXPECT_EQ(session->picture().pixelColor(5, 5), QColor(Qt::green));

  // Chosen again, another picture size, or the file changed on disk: decoded again.
  session->ChoosePhoto(FilePath(photo));
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_EQ(decodes_, 2);
  look.pictSize = 0;
  session->ApplySettings(look);
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_EQ(decodes_, 3);
  EXPECT_EQ(session->picture().size(), QSize(800, 600));
  Photo("sea.bmp", Qt::red, {65, 48});  // another size on disk
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_EQ(decodes_, 4);
  EXPECT_EQ(session->picture().pixelColor(5, 5), QColor(Qt::red));
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_EQ(decodes_, 4);
}

TEST_F(CalendarSessionTest, AnUnusablePhotoGivesThePictureWithoutOneAndSaysWhy) {
  const auto session = Start();
  ASSERT_TRUE(testing::WriteBytes(folder_.filePath("notes.jpg"), "not a picture"));
  session->ChoosePhoto(FilePath(folder_.filePath("notes.jpg")));
  ASSERT_TRUE(Succeeded(session->Compose()));
  ASSERT_TRUE(session->photoFailure());
  EXPECT_EQ(session->photoFailure()->fault, Fault::UnknownFormat);
  EXPECT_EQ(session->picture().pixelColor(5, 5), kDesktop);
  // The composed picture was written all the same, as a 24-bit BMP.
  EXPECT_EQ(QImage(folder_.filePath("Calendar.bmp")).pixelColor(5, 5), kDesktop);

  session->ChoosePhoto({});
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_FALSE(session->photoFailure());
}

// A file that goes away keeps the holidays of the year they were read for, and never shows them in
// another year.
TEST_F(CalendarSessionTest,
       AChangeOfYearReloadsTheHolidaysFirstAndAMissingFileKeepsThemForTheirYear) {
  ASSERT_TRUE(testing::WriteBytes(folder_.filePath("holiday.dat"),
                                  "2026,0503,0504,0505,0506\n2027,0503,0504,0505\n"));
  const auto session = Start();
  EXPECT_EQ(session->DrawnHolidays(), (std::vector<int>{3, 4, 5, 6}));
  session->ChooseMonth(6);
  EXPECT_EQ(session->DrawnHolidays(), std::vector<int>{});
  session->ChooseMonth(5);
  session->ChooseYear(2027);
  EXPECT_EQ(session->DrawnHolidays(), (std::vector<int>{3, 4, 5}));
  ASSERT_TRUE(QFile::remove(folder_.filePath("holiday.dat")));
  session->ChooseYear(2027);
  EXPECT_EQ(session->DrawnHolidays(), (std::vector<int>{3, 4, 5}));
  ASSERT_TRUE(session->holidayFailure());
  EXPECT_EQ(session->holidayFailure()->fault, Fault::NotFound);
  session->ChooseYear(2026);
  EXPECT_EQ(session->DrawnHolidays(), std::vector<int>{});
}

// Sets an environment variable for the life of the object, or unsets it for a null value.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      old_ = old;
    }
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedVariable() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(HolidaySearchPathTest, StartUpFolderThenTheUsersThenTheSystemsDataFolders) {
  const struct {
    const char* dataHome;
    const char* dataDirs;
    std::vector<std::string> files;
  } cases[] = {
      {nullptr,
       nullptr,
       {"/start/holiday.dat", "/home/u/.local/share/lunetta/holiday.dat",
        "/usr/local/share/lunetta/holiday.dat", "/usr/share/lunetta/holiday.dat"}},
      {"/data",
       "/opt/share::/usr/share/",
       {"/start/holiday.dat", "/data/lunetta/holiday.dat", "/opt/share/lunetta/holiday.dat",
        "/usr/share/lunetta/holiday.dat"}},
      // Relative folders are ignored; an unusable XDG_DATA_HOME falls back to the home folder.
      {"data",
       "share:/usr/share",
       {"/start/holiday.dat", "/home/u/.local/share/lunetta/holiday.dat",
        "/usr/share/lunetta/holiday.dat"}},
      {"",
       "",
       {"/start/holiday.dat", "/home/u/.local/share/lunetta/holiday.dat",
        "/usr/local/share/lunetta/holiday.dat", "/usr/share/lunetta/holiday.dat"}}};
  const ScopedVariable home("HOME", "/home/u");
  for (const auto& [dataHome, dataDirs, files] : cases) {
    const ScopedVariable h("XDG_DATA_HOME", dataHome);
    const ScopedVariable d("XDG_DATA_DIRS", dataDirs);
    std::vector<std::string> got;
    for (const std::filesystem::path& file : HolidaySearchPath("/start")) {
      got.push_back(file.lexically_normal().string());
    }
    EXPECT_EQ(got, files) << (dataHome ? dataHome : "unset") << " "
                          << (dataDirs ? dataDirs : "unset");
  }
}

// The first file that exists is read; a later one only when the earlier ones are not there. The
// session tells a year without a line from a missing file and from a listed year.
TEST_F(CalendarSessionTest, HolidaysComeFromTheFirstFileThereAndAYearWithoutALineIsTold) {
  const QString start = folder_.filePath("start"), user = folder_.filePath("user"),
                system = folder_.filePath("system");
  for (const QString& f : {start, user, system}) {
    ASSERT_TRUE(QDir().mkpath(f));
  }
  SessionEnvironment environment;
  environment.clock = [] { return LocalDate{2026, 5, 1}; };
  for (const QString& f : {start, user, system}) {
    environment.holidayFiles.push_back(FilePath(f + "/holiday.dat"));
  }
  const auto session = [&] { return std::make_unique<CalendarSession>(environment); };

  auto s = session();  // nothing anywhere
  EXPECT_EQ(s->holidayFile(), std::filesystem::path());
  ASSERT_TRUE(s->holidayFailure());
  EXPECT_EQ(s->holidayFailure()->fault, Fault::NotFound);
  EXPECT_EQ(s->holidayFailure()->file, environment.holidayFiles.front());
  EXPECT_FALSE(s->holidaysListed());

  ASSERT_TRUE(testing::WriteBytes(system + "/holiday.dat", "2026,0503\n"));
  ASSERT_TRUE(testing::WriteBytes(user + "/holiday.dat", "2026,0504\n2027\n"));
  s = session();
  EXPECT_EQ(s->holidayFile(), environment.holidayFiles[1]);
  EXPECT_EQ(s->DrawnHolidays(), std::vector{4});
  EXPECT_TRUE(s->holidaysListed());
  s->ChooseYear(2027);  // listed without holidays
  EXPECT_EQ(std::pair(s->holidaysListed(), s->DrawnHolidays()),
            std::pair(true, std::vector<int>{}));
  s->ChooseYear(2028);  // no line
  EXPECT_EQ(std::pair(s->holidaysListed(), s->holidayFailure().has_value()),
            std::pair(false, false));

  // A holiday file in the start-up folder that cannot be read is reported, not passed over.
  ASSERT_TRUE(QDir().mkpath(start + "/holiday.dat"));
  s = session();
  EXPECT_EQ(s->holidayFile(), environment.holidayFiles[0]);
  ASSERT_TRUE(s->holidayFailure());
  EXPECT_EQ(s->holidayFailure()->fault, Fault::IsFolder);
  EXPECT_FALSE(s->holidaysListed());
}

TEST_F(CalendarSessionTest, TheYearStaysTheOneTheSessionStartedWithPastNewYearsEve) {
  const auto session = Start({2026, 12, 31});
  clockOverride_ = LocalDate{2027, 1, 1};  // midnight has passed
  EXPECT_EQ(session->startDate().year, 2026);
  EXPECT_EQ(session->year(), 2026);
  EXPECT_EQ(session->month(), 12);
  // Only the date a profile is saved with reads the clock again.
  EXPECT_EQ(session->Today().year, 2027);
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_EQ(session->settings().year, 2026);
}

TEST_F(CalendarSessionTest, APictureThatCannotBeWrittenStaysInMemoryAndIsReported) {
  SessionEnvironment environment;
  environment.clock = [] { return LocalDate{2026, 5, 1}; };
  environment.composedPicturePath = FilePath(folder_.filePath("missing/Calendar.bmp"));
  CalendarSession session(std::move(environment));
  const Status composed = session.Compose();
  ASSERT_FALSE(composed.ok());
  EXPECT_EQ(composed.failure().fault, Fault::CannotWrite);
  EXPECT_EQ(session.picture().size(), QSize(1024, 768));
  session.ChooseMonth(13);
  EXPECT_EQ(session.Compose().failure().fault, Fault::DateOutOfRange);
  EXPECT_EQ(session.picture().size(), QSize(1024, 768));  // the last good picture stays
}

}  // namespace
}  // namespace lunetta
