#pragma once

#include <filesystem>
#include <map>
#include <vector>

#include "calendar/calendar_settings.h"
#include "wall/wall_layout.h"

// The session's year as a printed wall calendar: what the settings and the session hold, put into
// the wall layer's terms.

namespace lunetta {

class CalendarSession;

/// Where the user moved a page's photo in the preview, kept with the photo it was moved for.
struct WallCrop {
  std::filesystem::path photo;
  PhotoCrop crop;
};

/// Crops by page: 0 the cover, 1..12 the months.
using WallCrops = std::map<int, WallCrop>;

/// The wall options the settings ask for: page, photo position, bleed and extras from the wall
/// settings; the week's start, week numbers and the labels' language from the block's. A number
/// the wall layer has no value for gives its default.
WallOptions WallOptionsOf(const CalendarSettings& settings);

/// The marked days of `month` of the session's year: the holidays the session draws in red, each
/// with its name under the holiday law where the law has one that day, in the labels' language.
std::vector<WallDayMark> WallMarks(const CalendarSession& session, int month);

/// The session's year as a wall calendar of `months` (1..12, in order), each with its marks and
/// the photo it shows; the cover has the main photograph, else the first month's. A crop applies
/// while its page still shows the photo it was made for; other photos are centred.
WallCalendar PlanWallCalendar(const CalendarSession& session, const std::vector<int>& months,
                              const WallCrops& crops = {});

/// Gives each page of `calendar` its crop from `crops`, as PlanWallCalendar does: a crop moved in a
/// preview needs no new plan.
void ApplyWallCrops(WallCalendar& calendar, const WallCrops& crops);

}  // namespace lunetta
