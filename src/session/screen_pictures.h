#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <vector>

#include "calendar/calendar_settings.h"
#include "picture/failure.h"
#include "render/calendar_renderer.h"
#include "wallpaper/screens.h"

// The wallpapers of several screens: one picture each at its own size, or one picture over all of
// them for a desktop that takes only one. Pure: the photograph comes decoded, nothing is read or
// written.

namespace lunetta {

/// Where each screen lies on one picture spanning them all: its device-pixel rectangle, moved so
/// that the box around all of them starts at (0, 0).
struct SpannedLayout {
  QSize size;
  std::vector<QRect> parts;  // in the screens' order
};
SpannedLayout SpanScreens(const ScreenList& screens);

/// True when a picture of the layout's size stays within the decoded-picture cap.
bool SpanFits(const SpannedLayout& layout);

/// What every screen's picture is made of.
struct ScreenComposition {
  QImage photo;               // decoded large enough for the largest screen; null: none
  CalendarSettings settings;  // the month, the look, the fit and the block's place
  PictureSize settingsSize;   // the picture the settings ask for, where the block's place is stored
  std::vector<int> holidays;  // the month's, as the block draws them
  DayMarks marks;
};

/// The settings of the picture of a screen of `size` whose ratio is `textScale` times the
/// primary's: the block's stored place moved in proportion from `from` to `size`, so a block at the
/// bottom right stays there, and its text scaled so it reads the same size on every screen.
CalendarSettings ScreenSettings(CalendarSettings settings, PictureSize from, PictureSize size,
                                double textScale);

/// One picture for each screen at its size in device pixels, in the screens' order: the photograph
/// placed on each as the settings' fit asks, and the calendar on the primary's (on every screen's
/// with everyScreen).
Result<std::vector<QImage>> ComposeScreenPictures(const ScreenComposition& composition,
                                                  const ScreenList& screens);

/// One picture of SpanScreens' size with each screen's part composed as its own picture; what
/// lies between screens shows the desktop colour.
Result<QImage> ComposeSpannedPicture(const ScreenComposition& composition,
                                     const ScreenList& screens);

}  // namespace lunetta
