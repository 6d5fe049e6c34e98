#pragma once

#include <functional>
#include <optional>

#include "calendar/calendar_settings.h"

namespace lunetta {

/// The channels of a colour stored as 0x00BBGGRR.
constexpr int RedOf(ColorRef color) {
  return static_cast<int>(color & 0xFF);
}
constexpr int GreenOf(ColorRef color) {
  return static_cast<int>((color >> 8) & 0xFF);
}
constexpr int BlueOf(ColorRef color) {
  return static_cast<int>((color >> 16) & 0xFF);
}

/// An sRGB channel 0..255 as linear light 0..1.
double LinearChannel(int value);

/// WCAG 2 relative luminance, 0 (black) .. 1 (white).
double RelativeLuminance(int red, int green, int blue);
double RelativeLuminance(ColorRef color);

/// WCAG 2 contrast ratio of two luminances: (lighter + 0.05) / (darker + 0.05), 1..21.
double ContrastRatio(double luminanceA, double luminanceB);
double ContrastRatio(ColorRef a, ColorRef b);

/// The same hue, darker: every channel scaled by (255 − step) / 255. Step 255 is black.
ColorRef ShadeColor(ColorRef color, int step);
/// The same hue, lighter: every channel moved step / 255 of the way to 255. Step 255 is white.
ColorRef TintColor(ColorRef color, int step);

enum class Shift { Darker, Lighter };

/// The least-changed shade (or tint) of `color`, the colour itself first and at most `maxStep` on,
/// that `passes` accepts; nothing when none does.
std::optional<ColorRef> AdjustKeepingHue(ColorRef color, Shift shift,
                                         const std::function<bool(ColorRef)>& passes,
                                         int maxStep = 255);

/// The least-changed colour of `color`'s hue that reaches `ratio` against a flat `background`:
/// darker on a background lighter than the colour, else lighter.
std::optional<ColorRef> AdjustForContrast(ColorRef color, ColorRef background, double ratio);

}  // namespace lunetta
