#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "calendar/block_geometry.h"

namespace lunetta {

/// A colour as the profile stores it: 0x00BBGGRR.
using ColorRef = std::uint32_t;

inline constexpr ColorRef kRed = 0x0000FF;   // Sundays and holidays
inline constexpr ColorRef kBlue = 0xFF0000;  // Saturdays

/// A calendar date by the local clock.
struct LocalDate {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
};

/// Today by the local clock; all zero if the clock cannot be converted.
LocalDate Today();

/// Everything the user chooses about the calendar picture.
struct CalendarSettings {
  std::string fontName = "Arial Black";
  std::int32_t textSize = 28;
  ColorRef textColor = 0x000000;
  ColorRef backColor = 0xFFFFFF;
  std::int32_t transparency = 90;
  std::int32_t startX = 560;
  std::int32_t startY = 500;
  std::int32_t pictSize = 1;
  std::int32_t fontWeight = 400;
  std::int32_t fontItalic = 0;
  // The month drawn; the session sets them from the selectors, so no default reads the clock.
  std::int32_t year = 0;
  std::int32_t month = 0;
  // Options added later; their defaults draw the block as it always was.
  std::int32_t weekStart = 0;       // 0: rows begin on Sunday, 1: on Monday
  std::int32_t japaneseLabels = 0;  // 1: title "2026年12月" and weekday names 日 月 … 土
  std::int32_t weekNumbers = 0;     // 1: a first column of ISO 8601 week numbers
  std::int32_t opaqueText = 0;      // 1: the opacity fades the block's card, never its text
  std::int32_t sizeKind = 0;        // SizeKind: pictSize, the screen's size or the custom size
  std::int32_t customWidth = 1920;
  std::int32_t customHeight = 1080;
  // The screen's size when the screen's size was last used, for runs that have no screen.
  std::int32_t screenWidth = 0;
  std::int32_t screenHeight = 0;
  std::int32_t photoFit = 0;  // PhotoFit
  // The day the calendar is seen on, given with each composition, never read from the clock here.
  std::int32_t todayMark = 0;    // 1: today's cell filled in the day's colour
  std::int32_t dimPastDays = 0;  // 1: the month's days before today faded towards the card
  // 1: with several screens, every screen's wallpaper has the calendar, not only the primary's.
  std::int32_t everyScreen = 0;

  bool operator==(const CalendarSettings&) const = default;
};

struct PictureSize {
  int width = 0;
  int height = 0;
  bool operator==(const PictureSize&) const = default;
};

/// 0 → 800 × 600, 1 → 1024 × 768, any other value → 1280 × 1024.
PictureSize PictureDimensions(std::int32_t pictSize);

/// Where the picture's size comes from.
enum class SizeKind : std::int32_t {
  Classic = 0,  // pictSize
  Screen = 1,   // the primary screen, in device pixels
  Custom = 2,   // customWidth × customHeight
};

/// How the photograph fills the picture.
enum class PhotoFit : std::int32_t {
  Stretch = 0,  // over the whole picture, whatever its shape
  Fill = 1,     // scaled to cover the picture, centred; the overhang is cut off
  Fit = 2,      // scaled to fit inside the picture, centred, on the desktop colour
};

/// Each side of a screen or custom picture size lies in this range.
inline constexpr int kMinPictureSide = 320;
inline constexpr int kMaxPictureSide = 7680;

/// The settings' kind of size; a value it does not know means Classic.
SizeKind SizeKindOf(const CalendarSettings& settings);
/// The settings' photo fit; a value it does not know means Stretch.
PhotoFit PhotoFitOf(const CalendarSettings& settings);

/// The size of the picture the settings ask for, `screen` being the primary screen's size in
/// device pixels (nothing where there is no screen). Without a screen, the screen's size is the one
/// the settings remember, else the classic size. Screen and custom sides are kept within
/// kMinPictureSide..kMaxPictureSide.
PictureSize PictureSizeOf(const CalendarSettings& settings, std::optional<PictureSize> screen);

/// The block may be placed anywhere from 0 to this, in picture pixels, on the classic sizes.
inline constexpr int kMaxBlockPosition = 1500;

/// The largest startX and startY a user may choose for the picture the settings ask for:
/// kMaxBlockPosition, or the picture's width and height where the screen's or a custom size is
/// larger.
PictureSize BlockPositionLimits(const CalendarSettings& settings,
                                std::optional<PictureSize> screen);

/// Where the whole of a photograph of `photo` size lands on a picture of `picture` size, in picture
/// pixels (right and bottom exclusive): the whole picture (stretch), a centred rectangle of the
/// photo's shape that covers the picture (fill) or lies inside it (fit). Sides are rounded to the
/// nearest pixel and are at least 1. An empty photo is stretched.
Rect PlacePhoto(PictureSize photo, PictureSize picture, PhotoFit fit);

}  // namespace lunetta
