#include "session/calendar_session.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>

#include "calendar/calendar_renderer.h"
#include "picture/picture_files.h"
#include "session/year_export.h"
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

TEST_F(CalendarSessionTest, AMonthsOwnPhotoShowsInThatMonthOnlyUntilItIsCleared) {
  const auto session = Start();  // May
  session->ChoosePhoto(FilePath(Photo("main.bmp", Qt::green)));
  session->ChooseMonthPhoto(5, FilePath(Photo("may.bmp", Qt::red)));
  session->ChooseMonthPhoto(13, FilePath(Photo("none.bmp", Qt::blue)));  // no such month
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_EQ(session->picture().pixelColor(5, 5), QColor(Qt::red));
  EXPECT_EQ(session->shownPhotoPath(), FilePath(folder_.filePath("may.bmp")));
  session->ChooseMonth(6);
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_EQ(session->picture().pixelColor(5, 5), QColor(Qt::green));
  session->ChooseMonth(5);
  session->ChooseMonthPhoto(5, {});
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_EQ(session->picture().pixelColor(5, 5), QColor(Qt::green));
  EXPECT_EQ(decodes_, 2);  // each photo once, however often the months change
}

// A year of twelve photos, one colour each; February and the main photograph share one file.
class YearExportTest : public CalendarSessionTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing::WriteBytes(folder_.filePath("holiday.dat"), "2026,0101,0505,1103\n"));
    session_ = Start();
    session_->ChoosePhoto(FilePath(Photo("main.bmp", kColours[1])));
    for (int month = 1; month <= 12; ++month) {
      if (month != 2) {
        const QString name = QStringLiteral("m%1.bmp").arg(month);
        session_->ChooseMonthPhoto(month, FilePath(Photo(name, kColours[month - 1])));
      }
    }
    CalendarSettings small = session_->settings();
    small.pictSize = 0;
    session_->ApplySettings(small);
  }
  // The picture the window would show for `month`.
  QImage Expected(int month) {
    session_->ChooseMonth(month);
    EXPECT_TRUE(Succeeded(session_->Compose()));
    return session_->picture();
  }

  static constexpr Qt::GlobalColor kColours[12] = {
      Qt::red,     Qt::green,    Qt::blue,      Qt::cyan,       Qt::magenta,     Qt::yellow,
      Qt::darkRed, Qt::darkBlue, Qt::darkGreen, Qt::darkYellow, Qt::darkMagenta, Qt::white};
  std::unique_ptr<CalendarSession> session_;
  QTemporaryDir out_;
};

TEST_F(YearExportTest, EachMonthsPictureIsTheOneTheSessionComposesForIt) {
  const YearPlan plan = session_->PlanYear();
  const QImage shown = session_->picture();
  const auto name = [&](int month) { return out_.filePath(QStringLiteral("%1.bmp").arg(month)); };
  std::vector<std::pair<int, int>> progress;
  const YearOutcome outcome = SaveYearPictures(
      plan, [&](int month) { return FilePath(name(month)); },
      [&](int done, int total) { progress.emplace_back(done, total); });
  ASSERT_TRUE(Succeeded(outcome.status));
  EXPECT_EQ(outcome.finished, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(progress.back(), std::pair(12, 12));
  EXPECT_EQ(session_->picture(), shown);  // the window's picture is untouched
  EXPECT_EQ(decodes_, 12);                // the shared photo once
  for (int month = 1; month <= 12; ++month) {
    const QImage written(name(month));
    EXPECT_EQ(written.pixelColor(5, 5), QColor(kColours[month - 1])) << month;
    // Photo, block and holidays alike.
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB888), Expected(month)) << month;
  }
}

// A cancel leaves the pictures written so far whole, and an existing PDF as it was; a failure
// names the file.
TEST_F(YearExportTest, ACancelledExportLeavesOnlyCompleteFiles) {
  const YearPlan plan = session_->PlanYear();
  std::stop_source stop;
  const auto stopAfter = [&stop](int count) {
    return [&stop, count](int done, int) {
      if (done == count) {
        stop.request_stop();
      }
    };
  };
  const YearOutcome saved = SaveYearPictures(
      plan, [&](int month) { return FilePath(out_.filePath(QStringLiteral("%1.png").arg(month))); },
      stopAfter(3), stop.get_token());
  EXPECT_TRUE(saved.cancelled);
  const QStringList files = QDir(out_.path()).entryList(QDir::Files | QDir::Hidden);
  EXPECT_EQ(files.size(), static_cast<qsizetype>(saved.finished.size()));
  EXPECT_GE(files.size(), 3);
  EXPECT_LT(files.size(), 12);
  for (const QString& file : files) {
    EXPECT_EQ(QImage(out_.filePath(file)).size(), QSize(800, 600)) << file.toStdString();
  }

  const QString pdf = out_.filePath("year.pdf");
  ASSERT_TRUE(testing::WriteBytes(pdf, "an old document"));
  stop = {};
  YearWork work;
  work.progress = stopAfter(5);
  const YearOutcome printed =
      WriteYearPdf(plan, FilePath(pdf), QPageLayout(), work, stop.get_token());
  EXPECT_TRUE(printed.cancelled);
  EXPECT_EQ(testing::ReadBytes(pdf), "an old document");
  EXPECT_EQ(QDir(out_.path()).entryList(QDir::Files | QDir::Hidden).size(), files.size() + 1);

  const YearOutcome blocked =
      WriteYearPdf(plan, FilePath(out_.filePath("none/year.pdf")), QPageLayout());
  ASSERT_FALSE(blocked.status.ok());
  EXPECT_EQ(blocked.status.failure().file, FilePath(out_.filePath("none/year.pdf")));
}

TEST_F(YearExportTest, ThePdfHasAPageForEachMonthInOrderWithItsPhoto) {
  if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) {
    GTEST_SKIP() << "poppler-utils are not installed";
  }
  const QString pdf = out_.filePath("year.pdf");
  const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
  ASSERT_TRUE(Succeeded(WriteYearPdf(session_->PlanYear(), FilePath(pdf), a4).status));
  QProcess info;
  info.start("pdfinfo", {pdf});
  ASSERT_TRUE(info.waitForFinished(60000));
  const QString text = QString::fromUtf8(info.readAllStandardOutput()).simplified();
  EXPECT_TRUE(text.contains("Title: LUNETTA ")) << text.toStdString();
  EXPECT_TRUE(text.contains("Pages: 12 ")) << text.toStdString();
  EXPECT_TRUE(text.contains("842 x 595 pts")) << text.toStdString();  // landscape for 800 x 600
  ASSERT_EQ(QProcess::execute("pdftoppm", {"-r", "20", "-png", pdf, out_.filePath("page")}), 0);
  for (int month = 1; month <= 12; ++month) {
    const QImage page(out_.filePath(QStringLiteral("page-%1.png").arg(month, 2, 10, QChar('0'))));
    // A quarter in from the top left: inside the picture, away from the block.
    const QColor c = page.pixelColor(page.width() / 4, page.height() / 4);
    const QColor expected(kColours[month - 1]);
    // The document may keep the pictures as JPEG: near, not exact.
    const int off = std::max({std::abs(c.red() - expected.red()),
                              std::abs(c.green() - expected.green()),
                              std::abs(c.blue() - expected.blue())});
    EXPECT_LT(off, 32) << month << ": " << c.name().toStdString();
  }
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
