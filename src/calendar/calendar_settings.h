#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "calendar/month_model.h"
#include "calendar/picture_size.h"
#include "calendar/special_days.h"

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

/// The language of the block's title and weekday names.
enum class LabelLanguage : std::int32_t {
  English = 0,   // "2026 / December", "Sun Mon Tue …"
  Japanese = 1,  // "2026年12月", "日 月 火 …"
};

/// How the block's title counts the year.
enum class TitleEra : std::int32_t {
  None = 0,     // as the labels say: "2026 / December" or "2026年12月"
  EraOnly = 1,  // 令和8年 12月
  GregorianFirst = 2,  // 2026年（令和8年）12月, or 令和8年 12月 where that does not fit the block
};

/// A calendar file (.ics) whose days the calendar marks as `kind`.
struct CalendarFile {
  std::filesystem::path path;
  SpecialDayKind kind = SpecialDayKind::Holiday;

  bool operator==(const CalendarFile&) const = default;
};

/// Where the picture's size comes from.
enum class SizeKind : std::int32_t {
  Classic = 0,  // pictSize
  Screen = 1,   // the primary screen, in device pixels
  Custom = 2,   // customWidth × customHeight
};

/// Everything the user chooses about the calendar picture. The enumerations keep whatever number
/// the profile gave them, so that a profile is written back as it was read; the ...Of functions
/// say what a number no enumerator names means.
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
  bool fontItalic = false;
  // The month drawn; the session sets them from the selectors, so no default reads the clock.
  std::int32_t year = 0;
  std::int32_t month = 0;
  // Options added later; their defaults draw the block as it always was.
  WeekStart weekStart = WeekStart::Sunday;
  LabelLanguage labels = LabelLanguage::English;
  bool weekNumbers = false;  // a first column of ISO 8601 week numbers
  bool opaqueText = false;   // the opacity fades the block's card, never its text
  SizeKind sizeKind = SizeKind::Classic;
  std::int32_t customWidth = 1920;
  std::int32_t customHeight = 1080;
  // The screen's size when the screen's size was last used, for runs that have no screen.
  std::int32_t screenWidth = 0;
  std::int32_t screenHeight = 0;
  PhotoFit photoFit = PhotoFit::Stretch;
  // The day the calendar is seen on, given with each composition, never read from the clock here.
  bool todayMark = false;    // today's cell filled in the day's colour
  bool dimPastDays = false;  // the month's days before today faded towards the card
  // With several screens, every screen's wallpaper has the calendar, not only the primary's.
  bool everyScreen = false;
  TitleEra titleEra = TitleEra::None;
  // The user's own days are ringed in this colour, made darker or lighter where the card needs it.
  ColorRef dayColor = 0x327D2E;
  std::vector<CalendarFile> calendarFiles{};  // in the order the user added them
  // The printed wall calendar. Numbers as the wall layer's enumerations count them; a number it
  // does not know means the first.
  std::int32_t wallPaper = 0;          // A4, A3, Letter, Tabloid
  std::int32_t wallOrientation = 0;    // portrait, landscape
  std::int32_t wallPhotoPosition = 0;  // top, left, right
  std::int32_t wallBleed = 0;          // hundredths of a millimetre past the trim; 300 for 3 mm
  bool wallTrimMarks = false;
  bool wallCover = false;
  bool wallPlanner = false;  // a last page with the year's days in columns
  // The block in proportion to the picture: blockHeightShare of its height, at an anchor (an
  // Anchor of proportional_layout.h) marginShare of its shorter side from the edges. Shares are
  // in thousandths. Off, the block has textSize and its corner at (startX, startY).
  bool proportional = false;
  std::int32_t blockHeightShare = 300;
  std::int32_t anchor = 8;  // bottom right
  std::int32_t marginShare = 40;
  // Each picture's block goes where its photo is calmest, clear of the bands at the top and the
  // bottom (panelShare thousandths of the height each) where desktop panels sit.
  bool autoPlace = false;
  std::int32_t panelShare = 50;
  // The photo on which the user placed the block by hand: automatic placement leaves it alone.
  std::string handPlacedPhoto{};
  // Colours and card opacity chosen so every text reads at 4.5:1 or more over its photo.
  bool legible = false;
  ColorRef saturdayColor = kBlue;
  ColorRef sundayColor = kRed;  // Sundays and holidays

  bool operator==(const CalendarSettings&) const = default;
};

/// The range of the block's height share and of its margin, in thousandths.
inline constexpr int kMinBlockHeightShare = 200;
inline constexpr int kMaxBlockHeightShare = 450;
inline constexpr int kMaxMarginShare = 200;
inline constexpr int kMaxPanelShare = 250;

/// 0 → 800 × 600, 1 → 1024 × 768, any other value → 1280 × 1024.
PictureSize PictureDimensions(std::int32_t pictSize);

/// The settings' kind of size; a value it does not know means Classic.
SizeKind SizeKindOf(const CalendarSettings& settings);
/// The settings' photo fit; a value it does not know means Stretch.
PhotoFit PhotoFitOf(const CalendarSettings& settings);
/// The settings' week start; a value it does not know means Sunday.
WeekStart WeekStartOf(const CalendarSettings& settings);

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

}  // namespace lunetta
