#include "calendar/color_contrast.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lunetta {

namespace {

// The sRGB transfer curve; WCAG 2's 0.03928 threshold gives the same values for 8-bit channels.
const std::array<double, 256>& LinearTable() {
  static const std::array<double, 256> table = [] {
    std::array<double, 256> values{};
    for (int i = 0; i < 256; ++i) {
      const double c = i / 255.0;
      values[static_cast<std::size_t>(i)] =
          c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    }
    return values;
  }();
  return table;
}

ColorRef Pack(int red, int green, int blue) {
  return static_cast<ColorRef>(red) | static_cast<ColorRef>(green) << 8 |
         static_cast<ColorRef>(blue) << 16;
}

// Integer rounding of value × numerator / 255 for non-negative operands.
int Scale255(int value, int numerator) {
  return (value * numerator + 127) / 255;
}

}  // namespace

double LinearChannel(int value) {
  return LinearTable()[static_cast<std::size_t>(std::clamp(value, 0, 255))];
}

double RelativeLuminance(int red, int green, int blue) {
  return 0.2126 * LinearChannel(red) + 0.7152 * LinearChannel(green) + 0.0722 * LinearChannel(blue);
}

double RelativeLuminance(ColorRef color) {
  return RelativeLuminance(RedOf(color), GreenOf(color), BlueOf(color));
}

double ContrastRatio(double luminanceA, double luminanceB) {
  const auto [darker, lighter] = std::minmax(luminanceA, luminanceB);
  return (lighter + 0.05) / (darker + 0.05);
}

double ContrastRatio(ColorRef a, ColorRef b) {
  return ContrastRatio(RelativeLuminance(a), RelativeLuminance(b));
}

// Scaling every channel alike, or every distance to white alike, keeps the ratios that fix the
// hue; only the rounding to whole channel values moves it, by less than a degree at full colour.
ColorRef ShadeColor(ColorRef color, int step) {
  const int keep = 255 - std::clamp(step, 0, 255);
  return Pack(Scale255(RedOf(color), keep), Scale255(GreenOf(color), keep),
              Scale255(BlueOf(color), keep));
}

ColorRef TintColor(ColorRef color, int step) {
  const int move = std::clamp(step, 0, 255);
  const auto tint = [move](int channel) { return channel + Scale255(255 - channel, move); };
  return Pack(tint(RedOf(color)), tint(GreenOf(color)), tint(BlueOf(color)));
}

std::optional<ColorRef> AdjustKeepingHue(ColorRef color, Shift shift,
                                         const std::function<bool(ColorRef)>& passes, int maxStep) {
  for (int step = 0; step <= std::min(maxStep, 255); ++step) {
    const ColorRef candidate =
        shift == Shift::Darker ? ShadeColor(color, step) : TintColor(color, step);
    if (passes(candidate)) {
      return candidate;
    }
  }
  return std::nullopt;
}

std::optional<ColorRef> AdjustForContrast(ColorRef color, ColorRef background, double ratio) {
  const double behind = RelativeLuminance(background);
  const Shift shift = behind > RelativeLuminance(color) ? Shift::Darker : Shift::Lighter;
  return AdjustKeepingHue(color, shift, [behind, ratio](ColorRef candidate) {
    return ContrastRatio(RelativeLuminance(candidate), behind) >= ratio;
  });
}

}  // namespace lunetta
