#pragma once

#include <QPageLayout>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <stop_token>
#include <utility>
#include <vector>

#include "calendar/calendar_settings.h"
#include "picture/failure.h"
#include "render/composition.h"
#include "session/photo_backdrop.h"
#include "session/wall_plan.h"
#include "wall/wall_pdf.h"
#include "wallpaper/desktop.h"
#include "wallpaper/wallpaper.h"

namespace lunetta {

class CalendarSession;

/// Where a request's settings and photos come from when the session does not hold them yet, as
/// for lunetta-compose.
struct RequestSources {
  /// Read instead of the session's profile; it must be there. A renewal snapshot also gives its
  /// font style, and a photo of its own that has gone keeps the wallpaper as it is.
  std::filesystem::path settingsFile;
  /// Changes to the settings read, for a picture on `screen`: the command line's own values. A
  /// failure (a value out of range) stops the request.
  std::function<Status(CalendarSettings&, std::optional<PictureSize> screen)> adjustSettings;
  /// The photos. With none named, a wallpaper or a renewal takes the ones the profile remembers,
  /// and other outputs none.
  std::filesystem::path photo;
  std::filesystem::path photosFolder;  // the months' photos, in name order
  std::vector<std::pair<int, std::filesystem::path>> monthPhotos;
  int year = 0;
  /// The session's holiday file was named: one that cannot be read stops the request. Otherwise a
  /// note says why it cannot be read.
  bool holidaysNamed = false;
  /// Calendar files added to those of the settings; one that cannot be read stops the request.
  std::vector<CalendarFile> calendarFiles{};
};

/// What one user action asks of a session: compose these months with these settings into these
/// outputs or this wallpaper, and turn the monthly renewal on or off.
struct SessionRequest {
  /// Nothing: the settings, photos and picture the session holds, as in the window.
  std::optional<RequestSources> sources;
  /// The months to compose, in order; empty: the selected month.
  std::vector<int> months;
  /// Each month's picture file, in the format of its extension; empty: no pictures.
  /// `pictureName` names them all, as the user gave it, for the format check.
  std::map<int, std::filesystem::path> pictures;
  std::filesystem::path pictureName;
  /// The months as one document on `paper`; empty: none.
  std::filesystem::path pdf;
  QPageLayout paper;
  /// The months as a wall calendar for print, one PDF with the settings' wall options; empty:
  /// none. Made instead of any other output. Each page's photo placed as `wallCrops` says.
  std::filesystem::path wallPdf;
  WallCrops wallCrops;
  /// Told after each page of the wall calendar; `stop` ends it, leaving the file as it was.
  std::function<void(int done, int total)> progress;
  std::stop_token stop;
  /// Told of every picture written, the wallpaper's too, in month order, as it is written.
  std::function<void(const std::filesystem::path& file, const ComposedPicture& composed,
                     const CalendarSettings& settings, const std::vector<SpecialDay>& days)>
      written;
  /// The selected month as the desktop's wallpaper.
  bool setWallpaper = false;
  WallpaperContext wallpaper;
  /// The wallpaper just set becomes the renewal's snapshot where the renewal is on.
  bool keepWallpaperForRenewal = false;
  /// Turns the monthly renewal on (running `composeProgram`) or off, before any picture is made;
  /// on, every day where `renewalDaily`. The renewal keeps `wallpaper.screens`.
  std::optional<bool> renewal;
  bool renewalDaily = false;
  std::filesystem::path composeProgram;
};

/// The step of a request that failed; each program says it in its own words.
enum class RequestStep {
  Settings,      // reading the settings, or writing the profile's renewal flag
  Adjust,        // a value the request gives for a setting
  PhotosFolder,  // listing the photos folder
  Holidays,      // a named holiday file
  Calendar,      // a named calendar file
  Compose,       // a date the calendar cannot draw
  Photo,         // a photo named for the request
  RenewalPhoto,  // the snapshot's photo: the wallpaper is left as it was
  Write,         // a picture or document file
  Wallpaper,     // writing the wallpaper or setting it
  Renewal,       // the renewal's files
};

/// What went wrong without stopping a request.
struct RequestNote {
  enum class Kind {
    RememberedPhoto,  // the picture is made without it
    Holidays,         // no holiday file, or one that cannot be read, where the rules do not help
    Calendar,         // a calendar file of the settings cannot be read, or leaves events out
  };
  Kind kind;
  Failure failure;
};

struct RequestOutcome {
  Status status;
  RequestStep step = RequestStep::Compose;  // where it failed
  std::vector<RequestNote> notes;
  Desktop desktop;                        // whose wallpaper was set
  std::filesystem::path wallpaper;        // where the wallpaper was written; empty when it was not
  int pages = 0;                          // of the document
  std::vector<WallPageReport> wallPages;  // the wall calendar's, in order
  bool cancelled = false;                 // stopped through the request's `stop`
  bool unchanged = false;                 // the renewal found its wallpaper current and did nothing
};

/// Carries out `request` on `session`, step by step, and stops at the first failure.
RequestOutcome CarryOut(CalendarSession& session, const SessionRequest& request);

/// Starts decoding the one photo `request` composes, with the picture size and fit of the settings
/// it names (read from `profile` unless it names its own file), on a worker thread; a program calls
/// it on its main thread before it builds its application object, which a JPEG's decode does not
/// need. Returns the loader for the session's environment: it hands that decode over when the
/// session asks for the same photo, size and fit, and leaves everything else to `loader`. Returns
/// `loader` itself when there is nothing to start: not one month's picture from one named photo, a
/// picture of the screen's size (known only to the application), or a photo that is no JPEG (the
/// other decoders take the application's plugins).
PhotoLoader DecodePhotoEarly(const SessionRequest& request, const std::filesystem::path& profile,
                             PhotoLoader loader);

}  // namespace lunetta
