#pragma once

#include <QImage>
#include <QRect>
#include <array>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <vector>

#include "calendar/calendar_settings.h"
#include "calendar/holiday_table.h"
#include "calendar/special_days.h"
#include "picture/failure.h"
#include "picture/picture.h"
#include "render/composition.h"
#include "session/calendar_files.h"
#include "session/latest_job_worker.h"
#include "session/photo_backdrop.h"
#include "session/year_export.h"
#include "settings/settings_store.h"

namespace lunetta {

/// Where the programs look for the holiday file, in order: "holiday.dat" in `startupFolder`, then
/// in $XDG_DATA_HOME/lunetta (by default ~/.local/share/lunetta), then in lunetta/ under each
/// folder of $XDG_DATA_DIRS (by default /usr/local/share and /usr/share). Relative folders in those
/// variables are ignored, as the XDG base directory rules ask.
std::vector<std::filesystem::path> HolidaySearchPath(const std::filesystem::path& startupFolder);

/// What a session takes from its surroundings. Tests put a fixed clock and a counting photo loader
/// in place of the real ones.
struct SessionEnvironment {
  std::function<LocalDate()> clock = Today;
  PhotoLoader loadPhoto = [](const std::filesystem::path& path, QSize fitSize, PhotoFit fit) {
    return LoadPictureFile(path, fitSize, fit);
  };
  /// Where holiday.dat may be, in order: the first that exists is read (see HolidaySearchPath).
  std::vector<std::filesystem::path> holidayFiles;
  /// Where every composition writes the composed picture; empty: it stays in memory.
  std::filesystem::path composedPicturePath;
  /// The primary screen's size in device pixels; nothing where there is no screen.
  std::optional<PictureSize> screenSize;
  /// Lunetta's own profile; empty where there is no home to keep it in.
  std::filesystem::path profilePath = ProfilePath();
};

/// What a composition does about a photograph that is not decoded yet.
enum class PhotoWait {
  Wait,   // decodes it, or waits for the decode under way
  Defer,  // draws the block over a stand-in and leaves the photograph to DecodeDeferredPhoto
};

/// The calendar picture being made: the settings, the selected year and month with their holidays,
/// the main photograph and any month's own, and the composed picture. Both programs drive it; it
/// has no window.
///
/// Changes only record what the user chose; Compose() makes the picture from them. Each photograph
/// is decoded once per choice and picture size, so a change of month, year or look composes from
/// memory.
class CalendarSession {
 public:
  explicit CalendarSession(SessionEnvironment environment = {});

  /// The date the session started on. The year selector counts from its year, so the selector and
  /// the composed year agree even when the program runs past midnight on New Year's Eve.
  const LocalDate& startDate() const { return startDate_; }
  /// Today by the session's clock, read now (the date a profile is saved with).
  LocalDate Today() const { return environment_.clock(); }

  const CalendarSettings& settings() const { return settings_; }
  /// The size of the picture the settings ask for on this session's screen (PictureSizeOf).
  PictureSize pictureSize() const { return PictureSizeOf(settings_, environment_.screenSize); }
  /// The primary screen's size in device pixels; nothing where there is no screen.
  const std::optional<PictureSize>& screenSize() const { return environment_.screenSize; }
  /// Lunetta's own profile, which the window reads at start.
  const std::filesystem::path& profilePath() const { return environment_.profilePath; }
  int year() const { return settings_.year; }
  int month() const { return settings_.month; }
  const HolidayTable& holidays() const { return holidays_; }
  /// The days of `month` (1..12) of the selected year that the calendar marks, with their names and
  /// kinds, in day order. The calendar files whose repeating events were cut off in that month are
  /// added to `cutOff`.
  std::vector<SpecialDay> MarkedDays(int month,
                                     std::vector<std::filesystem::path>* cutOff = nullptr) const;
  /// The selected month's days the block draws in the holiday red, in day order.
  std::vector<int> DrawnHolidays() const;
  /// The calendar files of the settings as they were read.
  const std::vector<LoadedCalendar>& calendarFiles() const { return calendars_.loaded(); }
  /// What keeps the calendar files from marking all their days, file by file: a file that cannot
  /// be read, the events a file leaves out, and a file whose repeating events were cut off in the
  /// month composed last.
  std::vector<Failure> CalendarProblems() const;
  /// The holiday file found at the last change of year; empty when none of the environment's
  /// holiday files exists.
  const std::filesystem::path& holidayFile() const { return holidayFile_; }
  /// Why the holiday file could not be read at the last change of year (NotFound when none of the
  /// environment's files exists). The table then keeps what it had when that was read for the same
  /// year, and is empty otherwise.
  const std::optional<Failure>& holidayFailure() const { return holidayFailure_; }
  /// Where the selected year's holidays come from: the holiday file where it was read at the last
  /// change of year and has a line for that year, else Japan's holidays by rule where the rules
  /// reach the year.
  HolidaySource holidaySource() const { return holidaySource_; }
  /// The main photograph: the one of every month without a photo of its own.
  const std::filesystem::path& photoPath() const { return photo_.path(); }
  /// The photo `month` (1..12) has of its own; empty when it shows the main photograph.
  const std::filesystem::path& monthPhotoPath(int month) const;
  /// The photo the selected month shows: its own, or the main photograph.
  const std::filesystem::path& shownPhotoPath() const { return ShownBackdrop().path(); }
  /// Why the photo the selected month shows is not in the picture; nothing when it is, or when
  /// none is chosen.
  const std::optional<Failure>& photoFailure() const { return ShownBackdrop().failure(); }

  /// Reads the persisted settings (missing keys give the defaults); the font style starts normal.
  /// The remembered photograph and the monthly-renewal flag are read too, but the photograph is
  /// not chosen: each program decides whether to use it. A profile that cannot be read gives the
  /// defaults and says why; a missing one is no failure.
  Status LoadSettings(const std::filesystem::path& profile);
  /// Writes the persisted settings with today's date, and the paths of the main photograph and of
  /// the months' own photos; every other line of the profile is kept. While the picture takes the
  /// screen's size, that size is remembered for runs without a screen.
  Status SaveSettings(const std::filesystem::path& profile) const;
  /// The photograph the profile remembers; empty when none.
  const std::filesystem::path& rememberedPhoto() const { return remembered_.photo; }
  /// The months' own photos the profile remembers; not chosen until a program chooses them.
  const MonthPhotos& rememberedMonthPhotos() const { return remembered_.monthPhotos; }
  /// Whether the wallpaper is renewed every month, as the profile says.
  bool monthlyRefresh() const { return remembered_.monthlyRefresh; }
  /// Whether that renewal runs every day.
  bool dailyRefresh() const { return remembered_.dailyRefresh; }
  /// Records the renewal's flags and writes them to the profile at once: they describe files
  /// installed now, not a setting that waits for the exit.
  Status SaveMonthlyRefresh(const std::filesystem::path& profile, bool on, bool daily = false);
  /// How the photographs are decoded (the wallpapers of several screens decode the shown one anew).
  const PhotoLoader& photoLoader() const { return environment_.loadPhoto; }

  /// Takes every field of `settings` but the year and month, which the selectors own. Calendar
  /// files that are new, or changed on disk, are read.
  void ApplySettings(const CalendarSettings& settings);
  /// The main photograph; an empty path means none. Choosing the same file again decodes it again.
  void ChoosePhoto(std::filesystem::path path);
  /// Gives `month` (1..12; others are ignored) a photo of its own; an empty path clears it, and the
  /// month shows the main photograph again.
  void ChooseMonthPhoto(int month, std::filesystem::path path);
  /// The window's choice of a photograph: ChoosePhoto, or ChooseMonthPhoto for `month` (1..12),
  /// but only for a photo that decodes for the picture the settings ask for. A photo that does not
  /// is refused whole: the photo in use and the path the profile saves stay, and the failure
  /// names the refused file. A usable photo is not decoded again for the next composition.
  Status ReplacePhoto(std::filesystem::path path);
  Status ReplaceMonthPhoto(int month, std::filesystem::path path);
  /// Reloads the holiday table for `year` first, and the calendar files changed on disk.
  void ChooseYear(int year);
  void ChooseMonth(int month);
  /// Puts the block's top-left corner at (x, y) in picture pixels, as a drag in the preview drops
  /// it: in proportional layout at the nearest anchor and margin (see PlacedBlock). Automatic
  /// placement then leaves the shown photo's picture alone.
  void MoveBlock(int x, int y);
  /// Where MoveBlock(x, y) puts the last composition's block, in picture pixels.
  Rect PlacedBlock(int x, int y) const;
  /// The settings the picture of `month` (1..12) is composed with: the session's, that month, and
  /// automatic placement off for a photo the user placed the block on by hand.
  CalendarSettings SettingsForMonth(int month) const;
  /// Starts decoding the selected month's photograph on a worker thread, to overlap it with other
  /// start-up work.
  void PrefetchPhoto();

  /// Composes the picture from what the session holds and writes the composed-picture file. A
  /// month the calendar cannot place keeps the previous picture; a file that cannot be written
  /// keeps the new picture in memory. A photograph that cannot be used gives the picture without
  /// one (see photoFailure), which is not a failure of the composition.
  ///
  /// With PhotoWait::Defer a photograph that is not at hand is not waited for: the block goes over
  /// the last picture's photograph (the desktop colour when there is none, or it has another size)
  /// and photoPending() says so until a composition gets the photograph.
  Status Compose(PhotoWait wait = PhotoWait::Wait);
  /// Whether the last composition drew the block over a stand-in for its photograph.
  bool photoPending() const { return photoPending_; }
  /// Starts decoding the photograph the last composition deferred on the session's worker thread;
  /// `arrived` is called on that thread once it is decoded, when nothing newer was asked for
  /// meanwhile. A decode still running for an earlier request finishes first and is dropped; of
  /// the requests made meanwhile only the last is decoded. Nothing happens when no photograph is
  /// pending or its decode is under way.
  void DecodeDeferredPhoto(std::function<void()> arrived);

  /// The last composed picture; null before the first composition.
  const QImage& picture() const { return composed_.picture; }
  int blockWidth() const { return composed_.blockWidth; }
  int blockHeight() const { return composed_.blockHeight; }
  /// Where the last composition drew the block: the stored place, moved just enough for the whole
  /// block to show on the picture.
  int blockX() const { return composed_.blockX; }
  int blockY() const { return composed_.blockY; }
  /// The last composed picture with its block's size and place.
  const ComposedPicture& composed() const { return composed_; }
  const std::filesystem::path& composedPicturePath() const {
    return environment_.composedPicturePath;
  }

  /// Writes the composed picture to `target` in the format of its extension.
  Status Save(const std::filesystem::path& target, int jpegQuality = kDefaultJpegQuality) const;

  /// The twelve months of the selected year as they would compose now, for a year's export on
  /// other threads; the session and its picture are left as they are.
  YearPlan PlanYear() const;

 private:
  // A decode asked of the worker: the photograph, what it is placed on, and where it arrives.
  struct PhotoRequest {
    std::filesystem::path path;
    PictureSize size;
    PhotoFit fit = PhotoFit::Stretch;
    std::future<PhotoBackdrop::Prepared> prepared;
    std::shared_ptr<const bool> wanted;  // the worker tells of the arrival only while this lives
    bool For(const std::filesystem::path& p, PictureSize s, PhotoFit f) const {
      return path == p && size == s && fit == f;
    }
  };

  void ReloadHolidays();
  PhotoBackdrop& ShownBackdrop();
  const PhotoBackdrop& ShownBackdrop() const;
  /// Hands the worker's decode of `shown`'s photograph over to it once it has arrived (under
  /// PhotoWait::Wait, once it arrives).
  void TakeRequestedPhoto(PhotoBackdrop& shown, PictureSize size, PhotoFit fit, PhotoWait wait);
  /// The last picture with its photograph whole again, or the desktop colour, at `size`.
  QImage StandInBackground(PictureSize size);

  SessionEnvironment environment_;
  LocalDate startDate_;
  CalendarSettings settings_;
  RememberedWork remembered_;
  HolidayTable holidays_;
  std::filesystem::path holidayFile_;
  std::optional<int> holidaysYear_;  // the year the table was last read for
  std::optional<Failure> holidayFailure_;
  HolidaySource holidaySource_ = HolidaySource::None;
  CalendarFiles calendars_;
  std::vector<std::filesystem::path> calendarsCutOff_;  // in the month composed last
  PhotoBackdrop photo_;
  // A month's own photo, when it has one.
  std::array<std::optional<PhotoBackdrop>, 12> monthPhotos_;
  ComposedPicture composed_;
  // The composed picture is the photograph taken from heldBackdrop_ (photo_ or a month's own) with
  // the last block on it; patch_ is what that block covered, at patchAt_ (null when it covered
  // nothing).
  const PhotoBackdrop* heldBackdrop_ = nullptr;
  QImage patch_;
  QPoint patchAt_;
  bool photoPending_ = false;
  std::optional<PhotoRequest> photoRequest_;  // the latest decode asked of photoWorker_
  LatestJobWorker photoWorker_;               // last: its jobs finish before the rest goes
};

}  // namespace lunetta
