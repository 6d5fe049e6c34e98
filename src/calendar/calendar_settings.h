#pragma once

#include <cstdint>
#include <string>

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

  bool operator==(const CalendarSettings&) const = default;
};

struct PictureSize {
  int width = 0;
  int height = 0;
  bool operator==(const PictureSize&) const = default;
};

/// 0 → 800 × 600, 1 → 1024 × 768, any other value → 1280 × 1024.
PictureSize PictureDimensions(std::int32_t pictSize);

}  // namespace lunetta
