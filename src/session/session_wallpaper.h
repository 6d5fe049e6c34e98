#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "picture/failure.h"
#include "wallpaper/desktop.h"
#include "wallpaper/desktop_wallpaper.h"
#include "wallpaper/screens.h"
#include "wallpaper/wallpaper.h"

namespace lunetta {

class CalendarSession;

/// What setting the session's month as the wallpaper writes and tells the desktop.
struct WallpaperPlan {
  Desktop desktop;
  /// The screens the pictures are made for; with fewer than two, the one picture is the session's.
  ScreenList screens;
  ScreenArrangement arrangement = ScreenArrangement::One;
  std::filesystem::path folder;              // absolute
  std::vector<std::filesystem::path> files;  // the one picture, or each screen's in their order
  /// "YYYY-MM", or "YYYY-MM-DD" for a picture that marks the day it is seen on.
  std::string date;
};

/// The plan for the session's month on the desktop of `context`, for the screens Qt reports, else
/// those the compositor reports, else those the renewal kept. Nothing is written.
Result<WallpaperPlan> PlanSessionWallpaper(const CalendarSession& session,
                                           const WallpaperContext& context);

struct WallpaperOutcome {
  Desktop desktop;
  std::filesystem::path picture;  // where the (primary screen's) picture was written; empty: not
  Status status;
};

/// Carries out `plan`: the session's composed picture, or each screen's (or the spanned one) made
/// from the same settings and photo, written as JPEGs readable by the user alone (only the
/// desktop, running as the user, reads them) and set; then the folder's older wallpaper files but
/// the previous picture's go. On failure nothing is removed.
WallpaperOutcome SetSessionWallpaper(const CalendarSession& session,
                                     const WallpaperContext& context, const WallpaperPlan& plan);

/// PlanSessionWallpaper, then SetSessionWallpaper.
WallpaperOutcome SetSessionWallpaper(const CalendarSession& session,
                                     const WallpaperContext& context);

/// The renewal's record of what it set last, beside its snapshot: a renewal that finds the same
/// record (the picture's date, the snapshot's content, the desktop, the screens and the files, all
/// still there) has nothing to do.
std::filesystem::path RenewalStampPath(const QProcessEnvironment& environment);
std::string RenewalStampText(const WallpaperPlan& plan, const std::string& snapshot);
bool RenewalIsCurrent(const std::filesystem::path& stamp, const std::string& text,
                      const WallpaperPlan& plan);

}  // namespace lunetta
