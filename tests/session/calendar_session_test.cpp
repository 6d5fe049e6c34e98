#include "session/calendar_session.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <vector>

#include "calendar/proportional_layout.h"
#include "picture/picture_files.h"
#include "render/calendar_renderer.h"
#include "session/session_request.h"
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
    environment.loadPhoto = [this](const std::filesystem::path& path, QSize size, PhotoFit fit) {
      ++decodes_;
      if (onDecode_) {
        onDecode_(path);
      }
      return LoadPictureFile(path, size, fit);
    };
    environment.holidayFiles = {FilePath(folder_.filePath("holiday.dat"))};
    environment.composedPicturePath = FilePath(folder_.filePath("Calendar.bmp"));
    return std::make_unique<CalendarSession>(std::move(environment));
  }

  QString Photo(const QString& name, QColor color, QSize size = {64, 48}) {
    EXPECT_TRUE(testing::Filled(size, color).save(folder_.filePath(name)));
    return folder_.filePath(name);
  }

  QTemporaryDir folder_;
  std::atomic<int> decodes_ = 0;
  std::function<void(const std::filesystem::path&)> onDecode_;  // on the decoding thread
  std::optional<LocalDate> clockOverride_;
};

TEST_F(CalendarSessionTest, DecodesThePhotoOnlyWhenItsDecodeCannotServe) {
  const auto session = Start();
  const QString photo = Photo("sea.bmp", Qt::green);
  session->ChoosePhoto(FilePath(photo));
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_EQ(decodes_, 1);
  EXPECT_EQ(session->picture().pixelColor(5, 5), QColor(Qt::green));

  // Month, year, look and place compose from the kept photo.
  session->ChooseMonth(6);
  session->ChooseYear(2027);
  CalendarSettings look = session->settings();
  look.textColor = 0x0000FF;
  look.transparency = 200;
  session->ApplySettings(look);
  session->MoveBlock(10, 20);
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_EQ(decodes_, 1);
  EXPECT_EQ(session->picture().pixelColor(5, 5), QColor(Qt::green));
  // Where the block was drawn before (May's sixth row lifts it to 480), the photo shows again.
  EXPECT_EQ(session->picture().pixelColor(700, 485), QColor(Qt::green));

  // Chosen again, another picture size, or the file changed on disk: decoded again.
  session->ChoosePhoto(FilePath(photo));
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_EQ(decodes_, 2);
  look.pictSize = 0;
  session->ApplySettings(look);
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_EQ(decodes_, 3);
  Photo("sea.bmp", Qt::red, {65, 48});  // another size on disk
  ASSERT_TRUE(Succeeded(session->Compose()));
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_EQ(decodes_, 4);
  EXPECT_EQ(session->picture().pixelColor(5, 5), QColor(Qt::red));

  // The window's choice: a file that is no picture is refused whole, the photo and the path the
  // profile saves stay; a usable one is decoded once for the check and the picture.
  const QString text = folder_.filePath("notes.jpg");
  ASSERT_TRUE(testing::WriteBytes(text, "not a picture"));
  const Status refused = session->ReplacePhoto(FilePath(text));
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.failure().file, FilePath(text));
  EXPECT_EQ(session->photoPath(), FilePath(photo));
  const QString wide = Photo("wide.bmp", Qt::blue, {96, 48});
  ASSERT_TRUE(Succeeded(session->ReplacePhoto(FilePath(wide))));
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_EQ(decodes_, 6);
  EXPECT_EQ(session->picture().pixelColor(5, 5), QColor(Qt::blue));
  look.photoFit = PhotoFit::Fit;  // the fit reaches the picture: room above the photo
  session->ApplySettings(look);
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_EQ(session->picture().pixelColor(5, 5), kDesktop);
}

// In proportional layout a drop snaps to the nearest anchor and margin; a block placed by hand
// stays where it was put on that photo, while a month with a photo of its own is still placed
// automatically.
TEST_F(CalendarSessionTest, ADropIsKeptAsPlacedByHand) {
  const auto session = Start();
  const QString sea = Photo("sea.bmp", Qt::green);
  session->ChoosePhoto(FilePath(sea));
  session->ChooseMonthPhoto(7, FilePath(Photo("july.bmp", Qt::red)));
  CalendarSettings settings = session->settings();
  settings.proportional = true;
  settings.autoPlace = true;
  session->ApplySettings(settings);
  ASSERT_TRUE(Succeeded(session->Compose()));
  session->MoveBlock(20, 30);  // 1024 × 768: near the top left corner
  EXPECT_EQ(session->settings().anchor, static_cast<int>(Anchor::TopLeft));
  EXPECT_EQ(session->settings().marginShare, 35);  // 25 pixels of 768, in steps of 5
  EXPECT_FALSE(session->SettingsForMonth(5).autoPlace);
  EXPECT_TRUE(session->SettingsForMonth(7).autoPlace);
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_EQ(QPoint(session->blockX(), session->blockY()), QPoint(27, 27));
}

// Of the deferred photos asked for while one decodes on the worker, only the last is decoded after
// it, and only its arrival is told; meanwhile the block shows over the desktop colour.
TEST_F(CalendarSessionTest, DeferredPhotosDecodeOnlyTheLatestRequest) {
  std::promise<void> holding, release, arrived;
  const std::shared_future<void> released = release.get_future().share();
  std::vector<std::filesystem::path> decoded;
  std::atomic<int> arrivals = 0;
  const auto session = Start();  // after what its worker uses: it goes first, and waits for it
  ASSERT_TRUE(Succeeded(session->Compose()));
  for (const auto& [month, colour] : {std::pair{6, Qt::red}, {7, Qt::green}, {8, Qt::blue}}) {
    session->ChooseMonthPhoto(month, FilePath(Photo(QStringLiteral("%1.bmp").arg(month), colour)));
  }
  onDecode_ = [&](const std::filesystem::path& path) {
    decoded.push_back(path.filename());
    if (decoded.size() == 1) {  // holds the worker until released
      holding.set_value();
      released.wait();
    }
  };
  for (const int month : {6, 7, 8}) {
    session->ChooseMonth(month);
    ASSERT_TRUE(Succeeded(session->Compose(PhotoWait::Defer)));
    EXPECT_EQ(session->picture().pixelColor(5, 5), kDesktop) << month;
    session->DecodeDeferredPhoto([&] {
      if (++arrivals == 1) {
        arrived.set_value();
      }
    });
    if (month == 6) {
      holding.get_future().wait();
    }
  }
  release.set_value();
  ASSERT_EQ(arrived.get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready);
  ASSERT_TRUE(Succeeded(session->Compose(PhotoWait::Defer)));
  EXPECT_FALSE(session->photoPending());
  EXPECT_EQ(session->picture().pixelColor(5, 5), QColor(Qt::blue));
  EXPECT_EQ(decoded, (std::vector<std::filesystem::path>{"6.bmp", "8.bmp"}));
  EXPECT_EQ(arrivals, 1);
}

// The window knows the screen; a renewal started by a timer does not, and makes the same size.
TEST_F(CalendarSessionTest, TheScreensSizeIsRememberedForRunsWithoutAScreen) {
  const std::filesystem::path profile = FilePath(folder_.filePath("lunetta.INI"));
  SessionEnvironment environment;
  environment.screenSize = PictureSize{2560, 1440};
  CalendarSession window(environment);
  CalendarSettings settings = window.settings();
  settings.sizeKind = SizeKind::Screen;
  window.ApplySettings(settings);
  EXPECT_EQ(window.pictureSize(), (PictureSize{2560, 1440}));
  ASSERT_TRUE(Succeeded(window.SaveSettings(profile)));

  CalendarSession timer;
  ASSERT_TRUE(Succeeded(timer.LoadSettings(profile)));
  EXPECT_EQ(timer.pictureSize(), (PictureSize{2560, 1440}));
}

// A year of photos, one colour each; February and March show the main photograph.
class YearExportTest : public CalendarSessionTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing::WriteBytes(folder_.filePath("holiday.dat"), "2026,0101,0505,1103\n"));
    session_ = Start();
    session_->ChoosePhoto(FilePath(Photo("main.bmp", kColours[1])));
    for (int month = 1; month <= 12; ++month) {
      if (month != 2 && month != 3) {
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
      Qt::red,     Qt::green,    Qt::green,     Qt::cyan,       Qt::magenta,     Qt::yellow,
      Qt::darkRed, Qt::darkBlue, Qt::darkGreen, Qt::darkYellow, Qt::darkMagenta, Qt::white};
  std::unique_ptr<CalendarSession> session_;
  QTemporaryDir out_;
};

TEST_F(YearExportTest, EachMonthsPictureIsTheOneTheSessionComposesForIt) {
  const YearPlan plan = session_->PlanYear();
  const QImage shown = session_->picture();
  // A name no encoder takes is refused before any month is composed.
  const YearOutcome refused = SaveYearPictures(
      plan, [&](int) { return FilePath(out_.filePath("year.xyz")); }, [](int, int) {});
  EXPECT_EQ(FaultOf(refused.status), Fault::NoEncoder);
  EXPECT_EQ(decodes_, 0);
  const auto name = [&](int month) { return out_.filePath(QStringLiteral("%1.bmp").arg(month)); };
  std::vector<std::pair<int, int>> progress;
  const YearOutcome outcome = SaveYearPictures(
      plan, [&](int month) { return FilePath(name(month)); },
      [&](int done, int total) { progress.emplace_back(done, total); });
  ASSERT_TRUE(Succeeded(outcome.status));
  EXPECT_EQ(outcome.finished, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(progress.back(), std::pair(12, 12));
  EXPECT_EQ(session_->picture(), shown);  // the window's picture is untouched
  EXPECT_EQ(decodes_, 11);                // the shared photo once
  for (int month = 1; month <= 12; ++month) {
    const QImage written(name(month));
    EXPECT_EQ(written.pixelColor(5, 5), QColor(kColours[month - 1])) << month;
    // Photo, block and holidays alike.
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB888), Expected(month)) << month;
  }
  session_->ChooseMonthPhoto(5, {});  // cleared: the main photograph again
  EXPECT_EQ(Expected(5).pixelColor(5, 5), QColor(kColours[1]));
}

// A cancel leaves the pictures written so far whole, and an existing PDF as it was.
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
  ASSERT_EQ(QProcess::execute("pdftoppm", {"-r", "20", "-png", pdf, out_.filePath("page")}), 0);
  for (int month = 1; month <= 12; ++month) {
    const QImage page(out_.filePath(QStringLiteral("page-%1.png").arg(month, 2, 10, QChar('0'))));
    // A quarter in from the top left: inside the picture, away from the block.
    const QColor c = page.pixelColor(page.width() / 4, page.height() / 4);
    const QColor expected(kColours[month - 1]);
    // The document may keep the pictures as JPEG: near, not exact.
    const int off =
        std::max({std::abs(c.red() - expected.red()), std::abs(c.green() - expected.green()),
                  std::abs(c.blue() - expected.blue())});
    EXPECT_LT(off, 32) << month << ": " << c.name().toStdString();
  }
}

// lunetta-compose starts the decode before its application object and hands it to the session.
TEST_F(CalendarSessionTest, TheRequestComposesThePhotoDecodedBeforeIt) {
  SessionRequest request;
  request.sources.emplace().photo = FilePath(Photo("snow.jpg", Qt::white));
  request.sources->year = 2026;
  request.months = {5};
  request.pictureName = FilePath(folder_.filePath("out.bmp"));
  request.pictures[5] = request.pictureName;
  SessionEnvironment environment;
  environment.loadPhoto =
      DecodePhotoEarly(request, FilePath(folder_.filePath("none.INI")),
                       [this](const std::filesystem::path& path, QSize size, PhotoFit fit) {
                         ++decodes_;
                         return LoadPictureFile(path, size, fit);
                       });
  // Started already, with no session to ask for it.
  for (int waited = 0; decodes_ == 0 && waited < 5000; waited += 10) {
    QThread::msleep(10);
  }
  EXPECT_EQ(decodes_, 1);
  CalendarSession session(std::move(environment));
  ASSERT_TRUE(Succeeded(CarryOut(session, request).status));
  EXPECT_EQ(decodes_, 1);
  EXPECT_EQ(session.picture().pixelColor(5, 5), QColor(Qt::white));
}

// The order of the search; which folders the variables name is the XDG look-ups' to test.
TEST(HolidaySearchPathTest, StartUpFolderThenTheUsersThenTheSystemsDataFolders) {
  ::setenv("XDG_DATA_HOME", "/data", 1);
  ::setenv("XDG_DATA_DIRS", "/opt/share:/usr/share", 1);
  EXPECT_EQ(HolidaySearchPath("/start"),
            (std::vector<std::filesystem::path>{"/start/holiday.dat", "/data/lunetta/holiday.dat",
                                                "/opt/share/lunetta/holiday.dat",
                                                "/usr/share/lunetta/holiday.dat"}));
}

// The first file that exists is read; a later one only when the earlier ones are not there. A year
// the file lists keeps the file's days, even none; any other year gets the rules' days.
TEST_F(CalendarSessionTest, HolidaysComeFromTheFirstFileThereElseFromTheRules) {
  const QString start = folder_.filePath("start"), user = folder_.filePath("user"),
                system = folder_.filePath("system");
  SessionEnvironment environment;
  environment.clock = [] { return LocalDate{2026, 5, 1}; };
  for (const QString& f : {start, user, system}) {
    ASSERT_TRUE(QDir().mkpath(f));
    environment.holidayFiles.push_back(FilePath(f + "/holiday.dat"));
  }
  const auto session = [&] { return std::make_unique<CalendarSession>(environment); };

  auto s = session();  // nothing anywhere
  EXPECT_EQ(s->holidaySource(), HolidaySource::Rule);
  EXPECT_EQ(s->DrawnHolidays(), (std::vector{3, 4, 5, 6}));  // the 6th makes up for Sunday the 3rd
  ASSERT_TRUE(s->holidayFailure());
  EXPECT_EQ(s->holidayFailure()->fault, Fault::NotFound);
  EXPECT_EQ(s->holidayFailure()->file, environment.holidayFiles.front());

  ASSERT_TRUE(testing::WriteBytes(system + "/holiday.dat", "2026,0503\n"));
  ASSERT_TRUE(testing::WriteBytes(user + "/holiday.dat", "2026,0504\n2027\n"));
  s = session();
  EXPECT_EQ(s->holidayFile(), environment.holidayFiles[1]);
  EXPECT_EQ(s->DrawnHolidays(), std::vector{4});
  EXPECT_EQ(s->holidaySource(), HolidaySource::File);
  ASSERT_TRUE(testing::WriteBytes(user + "/holiday.dat", "2026,0505\n2027\n"));
  s->ChooseMonth(5);  // only a change of year reads the file again
  EXPECT_EQ(s->DrawnHolidays(), std::vector{4});
  s->ChooseYear(2027);  // listed without holidays
  EXPECT_EQ(s->holidaySource(), HolidaySource::File);
  EXPECT_EQ(s->DrawnHolidays(), std::vector<int>{});
  s->ChooseYear(2028);  // no line, which is no failure; the equinoxes are not announced yet
  EXPECT_EQ(s->holidaySource(), HolidaySource::RulePredicted);
  EXPECT_EQ(s->DrawnHolidays(), (std::vector{3, 4, 5}));
  EXPECT_FALSE(s->holidayFailure());
  s->ChooseYear(2200);  // past the rules' years
  EXPECT_EQ(s->holidaySource(), HolidaySource::None);

  // Files that go away keep the days of the year they were read for, and never show them in
  // another year, which gets the rules' days.
  s->ChooseYear(2026);
  ASSERT_TRUE(QFile::remove(user + "/holiday.dat"));
  ASSERT_TRUE(QFile::remove(system + "/holiday.dat"));
  s->ChooseYear(2026);
  EXPECT_EQ(s->DrawnHolidays(), std::vector{5});
  EXPECT_EQ(s->holidayFailure()->fault, Fault::NotFound);
  s->ChooseYear(2027);
  EXPECT_EQ(s->holidaySource(), HolidaySource::Rule);
  EXPECT_EQ(s->DrawnHolidays(), (std::vector{3, 4, 5}));

  // A holiday file in the start-up folder that cannot be read is reported, not passed over.
  ASSERT_TRUE(QDir().mkpath(start + "/holiday.dat"));
  s = session();
  EXPECT_EQ(s->holidayFile(), environment.holidayFiles[0]);
  ASSERT_TRUE(s->holidayFailure());
  EXPECT_EQ(s->holidayFailure()->fault, Fault::IsFolder);
}

TEST_F(CalendarSessionTest, TheYearStaysTheOneTheSessionStartedWithPastNewYearsEve) {
  const auto session = Start({2026, 12, 31});
  clockOverride_ = LocalDate{2027, 1, 1};  // midnight has passed
  EXPECT_EQ(session->year(), 2026);
  EXPECT_EQ(session->month(), 12);
  // Only the date a profile is saved with reads the clock again.
  EXPECT_EQ(session->Today().year, 2027);
  ASSERT_TRUE(Succeeded(session->Compose()));
  EXPECT_EQ(session->settings().year, 2026);
}

TEST_F(CalendarSessionTest, APictureThatCannotBeWrittenStaysInMemory) {
  SessionEnvironment environment;
  environment.composedPicturePath = FilePath(folder_.filePath("none/Calendar.bmp"));
  CalendarSession session(std::move(environment));
  EXPECT_EQ(FaultOf(session.Compose()), Fault::CannotWrite);
  EXPECT_EQ(session.picture().size(), QSize(1024, 768));
  session.ChooseMonth(13);
  EXPECT_EQ(FaultOf(session.Compose()), Fault::DateOutOfRange);
  EXPECT_EQ(session.picture().size(), QSize(1024, 768));  // the last good picture stays
}

}  // namespace
}  // namespace lunetta
