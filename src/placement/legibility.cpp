#include "placement/legibility.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>

#include "calendar/color_contrast.h"

namespace lunetta {

namespace {

// The search looks at about this many pixels of the block, spread evenly; the answer is then
// checked at full resolution.
constexpr double kSampleBudget = 10000;

// Pixels are counted by luminance in bins of log(L + 0.05), where a contrast ratio is a distance:
// 2048 bins over log(0.05) .. log(1.05) are 0.15 % of contrast wide.
constexpr int kBins = 2048;
constexpr int kLevels = 65536;  // luminance levels the bin table is indexed by

struct LogScale {
  double low = std::log(0.05);
  double width = (std::log(1.05) - std::log(0.05)) / kBins;
};

const LogScale& Scale() {
  static const LogScale scale;
  return scale;
}

int BinOfLog(double x) {
  return static_cast<int>(std::floor((x - Scale().low) / Scale().width));
}

const std::vector<std::uint16_t>& BinOfLevel() {
  static const std::vector<std::uint16_t> table = [] {
    std::vector<std::uint16_t> bins(kLevels);
    for (int level = 0; level < kLevels; ++level) {
      const double luminance = static_cast<double>(level) / (kLevels - 1);
      bins[static_cast<std::size_t>(level)] = static_cast<std::uint16_t>(
          std::clamp(BinOfLog(std::log(luminance + 0.05)), 0, kBins - 1));
    }
    return bins;
  }();
  return table;
}

// The luminance of `color` blended over each picture value 0..255, per channel, as the composition
// blends: (color·α + picture·(255 − α)) >> 8, in levels of 1/(kLevels − 1), weighted, so that the
// three add up to the blended pixel's luminance level.
struct LevelTables {
  std::array<std::int32_t, 256> red{};
  std::array<std::int32_t, 256> green{};
  std::array<std::int32_t, 256> blue{};

  LevelTables(ColorRef color, int alpha) {
    constexpr double kScale = kLevels - 1;
    for (int picture = 0; picture < 256; ++picture) {
      const auto blend = [&](int channel) {
        return LinearChannel((channel * alpha + picture * (255 - alpha)) >> 8);
      };
      const auto at = static_cast<std::size_t>(picture);
      red[at] = static_cast<std::int32_t>(std::lround(0.2126 * kScale * blend(RedOf(color))));
      green[at] = static_cast<std::int32_t>(std::lround(0.7152 * kScale * blend(GreenOf(color))));
      blue[at] = static_cast<std::int32_t>(std::lround(0.0722 * kScale * blend(BlueOf(color))));
    }
  }

  std::size_t Level(const uchar* rgb) const {
    // The three roundings may carry the sum of white one past the last level.
    return static_cast<std::size_t>(
        std::min(red[rgb[0]] + green[rgb[1]] + blue[rgb[2]], kLevels - 1));
  }
};

// The same in luminance, exactly, for the figures reported.
struct LuminanceTables {
  std::array<double, 256> red{};
  std::array<double, 256> green{};
  std::array<double, 256> blue{};

  LuminanceTables(ColorRef color, int alpha) {
    for (int picture = 0; picture < 256; ++picture) {
      const auto blend = [&](int channel) {
        return LinearChannel((channel * alpha + picture * (255 - alpha)) >> 8);
      };
      const auto at = static_cast<std::size_t>(picture);
      red[at] = 0.2126 * blend(RedOf(color));
      green[at] = 0.7152 * blend(GreenOf(color));
      blue[at] = 0.0722 * blend(BlueOf(color));
    }
  }

  double Luminance(const uchar* rgb) const { return red[rgb[0]] + green[rgb[1]] + blue[rgb[2]]; }
};

// One class's pixels of the picture, as RGB triples.
struct ClassPixels {
  TextClass textClass = TextClass::Title;
  std::vector<uchar> rgb;
};

// The part of `region` (block coordinates) on the picture, in picture coordinates; 64-bit, since a
// block may have been placed anywhere.
Rect OnPicture(const QImage& picture, const Rect& block, const Rect& region) {
  const auto clamp = [](std::int64_t value, int high) {
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, high));
  };
  return {clamp(std::int64_t{block.left} + region.left, picture.width()),
          clamp(std::int64_t{block.top} + region.top, picture.height()),
          clamp(std::int64_t{block.left} + region.right, picture.width()),
          clamp(std::int64_t{block.top} + region.bottom, picture.height())};
}

// The pixels behind each class's texts at every `step`-th row and column of the picture; classes
// with none on the picture are left out.
std::vector<ClassPixels> Gather(const QImage& picture, const Rect& block,
                                const std::vector<TextRegion>& regions, int step) {
  // On a grid fixed to the picture, so that regions side by side are sampled alike.
  const auto first = [step](int from) { return (from + step - 1) / step * step; };
  std::vector<ClassPixels> classes;
  for (int index = 0; index < kTextClassCount; ++index) {
    ClassPixels pixels{static_cast<TextClass>(index), {}};
    std::size_t count = 0;
    for (const TextRegion& region : regions) {
      const Rect part = OnPicture(picture, block, region.rect);
      if (region.textClass == pixels.textClass && part.left < part.right &&
          part.top < part.bottom) {
        count += static_cast<std::size_t>((part.right - first(part.left) + step - 1) / step) *
                 static_cast<std::size_t>((part.bottom - first(part.top) + step - 1) / step);
      }
    }
    pixels.rgb.resize(3 * count);
    uchar* out = pixels.rgb.data();
    for (const TextRegion& region : regions) {
      const Rect part = OnPicture(picture, block, region.rect);
      if (region.textClass != pixels.textClass || part.left >= part.right) {
        continue;
      }
      for (int y = first(part.top); y < part.bottom; y += step) {
        const uchar* line = picture.constScanLine(y);
        for (int x = first(part.left); x < part.right; x += step) {
          const uchar* pixel = line + 3 * x;
          out[0] = pixel[0];
          out[1] = pixel[1];
          out[2] = pixel[2];
          out += 3;
        }
      }
    }
    if (!pixels.rgb.empty()) {
      classes.push_back(std::move(pixels));
    }
  }
  return classes;
}

// How many of a class's pixels, blended under the card, lie in each luminance bin.
struct ClassHistogram {
  TextClass textClass = TextClass::Title;
  std::vector<int> cumulative;  // kBins + 1: pixels in the bins below each
  int allowed = 0;              // how many may fall short: the worst share
};

ClassHistogram Histogram(const ClassPixels& pixels, const LevelTables& tables, double worstShare) {
  const std::vector<std::uint16_t>& binOf = BinOfLevel();
  ClassHistogram histogram{pixels.textClass, std::vector<int>(kBins + 1, 0), 0};
  const std::size_t count = pixels.rgb.size() / 3;
  for (std::size_t i = 0; i < count; ++i) {
    ++histogram.cumulative[binOf[tables.Level(&pixels.rgb[3 * i])] + 1u];
  }
  for (int bin = 0; bin < kBins; ++bin) {
    histogram.cumulative[static_cast<std::size_t>(bin) + 1] +=
        histogram.cumulative[static_cast<std::size_t>(bin)];
  }
  histogram.allowed = static_cast<int>(std::floor(worstShare * static_cast<double>(count)));
  return histogram;
}

// Whether a text of `luminance` reaches the ratio (log `logRatio`) against all but the allowed
// pixels. Every bin that may hold a pixel closer than the ratio counts, and one more on each side
// for the rounding of luminance to levels: the answer errs towards "no".
bool Passes(const ClassHistogram& histogram, double luminance, double logRatio) {
  const double x = std::log(luminance + 0.05);
  const int low = std::clamp(BinOfLog(x - logRatio) - 1, 0, kBins - 1);
  const int high = std::clamp(BinOfLog(x + logRatio) + 1, 0, kBins - 1);
  const int below = histogram.cumulative[static_cast<std::size_t>(high) + 1] -
                    histogram.cumulative[static_cast<std::size_t>(low)];
  return below <= histogram.allowed;
}

struct Targets {
  double logRatio = std::log(4.5);
  double worstShare = 0.05;
  // How far Saturday's and Sunday's colours may go towards black or white (of 255 steps).
  int maxShift = 255;
};

// Saturday's and Sunday's colours keep at least 40 % of their colourfulness, so that they stay
// apart from the black or white text; a busy photo then gets a denser card instead.
constexpr int kMaxAccentShift = 153;

enum class Role { Text, Saturday, Sunday };

Role RoleOf(TextClass textClass) {
  switch (textClass) {
    case TextClass::Saturday:
      return Role::Saturday;
    case TextClass::SundayHoliday:
      return Role::Sunday;
    default:
      return Role::Text;
  }
}

// The scheme's colours with Saturday's and Sunday's adjusted so that every class reaches the
// target over a card of `alpha`; nothing when the text colour does not, or no adjustment helps.
std::optional<BlockColors> Fit(const std::vector<ClassPixels>& pixels, const BlockColors& scheme,
                               int alpha, const Targets& targets) {
  const LevelTables tables(scheme.back, alpha);
  std::vector<ClassHistogram> histograms;
  histograms.reserve(pixels.size());
  for (const ClassPixels& classPixels : pixels) {
    histograms.push_back(Histogram(classPixels, tables, targets.worstShare));
  }
  const auto passesAll = [&](Role role, ColorRef color) {
    const double luminance = RelativeLuminance(color);
    return std::all_of(histograms.begin(), histograms.end(), [&](const ClassHistogram& h) {
      return RoleOf(h.textClass) != role || Passes(h, luminance, targets.logRatio);
    });
  };
  BlockColors colors = scheme;
  if (!passesAll(Role::Text, colors.text)) {
    return std::nullopt;
  }
  // Away from the card: darker on a card lighter than the text.
  const Shift shift = RelativeLuminance(scheme.back) > RelativeLuminance(scheme.text)
                          ? Shift::Darker
                          : Shift::Lighter;
  for (const auto& accent :
       {std::pair{Role::Saturday, &colors.saturday}, std::pair{Role::Sunday, &colors.sunday}}) {
    const Role role = accent.first;
    ColorRef* color = accent.second;
    const std::optional<ColorRef> adjusted = AdjustKeepingHue(
        *color, shift, [&](ColorRef c) { return passesAll(role, c); }, targets.maxShift);
    if (!adjusted) {
      return std::nullopt;
    }
    *color = *adjusted;
  }
  return colors;
}

struct Choice {
  BlockColors scheme;  // as asked, before Saturday and Sunday are adjusted
  BlockColors colors;
  int opacity = 255;
};

// The smallest opacity from `lowest` up at which the scheme fits, by halving: what fits at one
// opacity fits at every higher one for black or white text; for other colours the answer fits,
// though a lower one might too.
std::optional<Choice> LowestOpacity(const std::vector<ClassPixels>& pixels,
                                    const BlockColors& scheme, int lowest, const Targets& targets) {
  std::optional<BlockColors> fitted = Fit(pixels, scheme, 255, targets);
  if (!fitted) {
    return std::nullopt;
  }
  Choice choice{scheme, *fitted, 255};
  int low = lowest - 1;  // does not fit, or lies below what may be chosen
  int high = 255;        // fits
  while (high - low > 1) {
    const int middle = low + (high - low) / 2;
    if (std::optional<BlockColors> colors = Fit(pixels, scheme, middle, targets)) {
      high = middle;
      choice.colors = *colors;
      choice.opacity = middle;
    } else {
      low = middle;
    }
  }
  return choice;
}

QImage Rgb888(const QImage& image) {
  return image.format() == QImage::Format_RGB888 ? image
                                                 : image.convertToFormat(QImage::Format_RGB888);
}

// Single precision is plenty for a figure reported to two decimals, and halves the memory.
float Quantile(std::vector<float>& values, double share) {
  const auto rank =
      std::min(static_cast<std::size_t>(std::floor(share * static_cast<double>(values.size()))),
               values.size() - 1);
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(rank),
                   values.end());
  return values[rank];
}

std::vector<ClassContrast> Measure(const std::vector<ClassPixels>& classes,
                                   const BlockColors& colors, int opacity, TextBlend blend,
                                   double worstShare) {
  const int alpha = std::clamp(opacity, 0, 255);
  const LuminanceTables card(colors.back, alpha);
  std::vector<ClassContrast> contrast;
  std::vector<float> ratios;
  for (const ClassPixels& pixels : classes) {
    const ColorRef color = ColorOf(colors, pixels.textClass);
    const LuminanceTables text(color, alpha);
    const double opaque = RelativeLuminance(color) + 0.05;
    ratios.resize(pixels.rgb.size() / 3);
    for (std::size_t i = 0; i < ratios.size(); ++i) {
      const uchar* rgb = &pixels.rgb[3 * i];
      const double ink = blend == TextBlend::Opaque ? opaque : text.Luminance(rgb) + 0.05;
      const double behind = card.Luminance(rgb) + 0.05;
      ratios[i] = static_cast<float>(ink > behind ? ink / behind : behind / ink);
    }
    contrast.push_back({pixels.textClass, Quantile(ratios, std::clamp(worstShare, 0.0, 1.0))});
  }
  return contrast;
}

// The lowest opacity above `failed` at which the scheme fits, by steps that double until one fits
// and then by halving back: few passes over all the pixels when the samples were nearly right.
std::optional<Choice> RaiseUntilFit(const std::vector<ClassPixels>& pixels,
                                    const BlockColors& scheme, int failed, const Targets& targets) {
  std::optional<Choice> fitted;
  int low = failed;
  for (int step = 2; !fitted && low < 255; step *= 2) {
    const int probe = std::min(255, low + step);
    if (std::optional<BlockColors> colors = Fit(pixels, scheme, probe, targets)) {
      fitted = Choice{scheme, *colors, probe};
    } else {
      low = probe;
    }
  }
  while (fitted && fitted->opacity - low > 1) {
    const int middle = low + (fitted->opacity - low) / 2;
    if (std::optional<BlockColors> colors = Fit(pixels, scheme, middle, targets)) {
      *fitted = Choice{scheme, *colors, middle};
    } else {
      low = middle;
    }
  }
  return fitted;
}

}  // namespace

std::vector<ClassContrast> MeasureContrast(const LegibilityRequest& request,
                                           const BlockColors& colors, int opacity,
                                           TextBlend blend) {
  if (request.background.isNull()) {
    return {};
  }
  return Measure(Gather(Rgb888(request.background), request.block, request.regions, 1), colors,
                 opacity, blend, request.worstShare);
}

namespace {

// What the search works on: every pixel behind the texts, and the samples it searches first.
struct Pixels {
  const std::vector<ClassPixels>& all;
  const std::vector<ClassPixels>& sampled;
  bool sampling = false;
};

// The choice for the user's colours (or, when they do not reach the target at the user's opacity,
// for black or white text), its opacity checked on every pixel.
std::optional<Choice> Choose(const Pixels& pixels, const BlockColors& user, int userOpacity,
                             int lowest, const Targets& targets) {
  // The samples are held to a stricter share, so that the check on every pixel seldom has to raise
  // the opacity again.
  Targets sampleTargets = targets;
  if (pixels.sampling) {
    sampleTargets.worstShare *= 0.8;
  }
  std::optional<Choice> chosen = LowestOpacity(pixels.sampled, user, lowest, sampleTargets);
  if (!chosen || chosen->opacity > std::max(userOpacity, lowest)) {
    // Black or white text, whichever needs the lighter card; the user's colours win a tie, then the
    // text nearer the user's.
    const BlockColors dark{0x000000, ContrastRatio(0x000000, user.back) >= 7 ? user.back : 0xFFFFFF,
                           user.saturday, user.sunday};
    const BlockColors light{0xFFFFFF,
                            ContrastRatio(0xFFFFFF, user.back) >= 7 ? user.back : 0x000000,
                            user.saturday, user.sunday};
    const double userText = RelativeLuminance(user.text);
    const bool lightFirst = std::abs(1.0 - userText) < std::abs(userText);
    for (const BlockColors& scheme :
         lightFirst ? std::array{light, dark} : std::array{dark, light}) {
      if (scheme == user) {
        continue;
      }
      std::optional<Choice> option = LowestOpacity(pixels.sampled, scheme, lowest, sampleTargets);
      if (option && (!chosen || option->opacity < chosen->opacity)) {
        chosen = option;
      }
    }
  }
  if (chosen && pixels.sampling) {
    // Samples that missed a few dark or bright pixels cost some opacity here.
    if (std::optional<BlockColors> colors =
            Fit(pixels.all, chosen->scheme, chosen->opacity, targets)) {
      chosen->colors = *colors;
    } else {
      chosen = RaiseUntilFit(pixels.all, chosen->scheme, chosen->opacity, targets);
    }
  }
  return chosen;
}

}  // namespace

Legibility SolveLegibility(const LegibilityRequest& request) {
  const BlockColors user = request.colors;
  const int userOpacity = std::clamp(request.opacity, 0, 255);
  const int lowest = std::clamp(request.minimumOpacity, 0, 255);
  Legibility result{user, std::max(userOpacity, lowest), true, true, {}};
  if (request.background.isNull()) {
    return result;
  }
  const QImage picture = Rgb888(request.background);
  const std::vector<ClassPixels> all = Gather(picture, request.block, request.regions, 1);
  if (all.empty()) {
    return result;  // no text on the picture
  }
  std::size_t area = 0;
  for (const ClassPixels& pixels : all) {
    area += pixels.rgb.size() / 3;
  }
  const int step = std::max(
      1, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(area) / kSampleBudget))));
  const std::vector<ClassPixels> sampled =
      step > 1 ? Gather(picture, request.block, request.regions, step) : std::vector<ClassPixels>{};
  const Pixels pixels{all, step > 1 ? sampled : all, step > 1};

  Targets targets{std::log(std::clamp(request.targetRatio, 1.0, 21.0)),
                  std::clamp(request.worstShare, 0.0, 1.0), kMaxAccentShift};
  std::optional<Choice> chosen = Choose(pixels, user, userOpacity, lowest, targets);
  if (!chosen) {
    // Colours of the user's that need more than their hue allows: as far as black or white.
    targets.maxShift = 255;
    chosen = Choose(pixels, user, userOpacity, lowest, targets);
  }
  result.reached = chosen.has_value();
  if (chosen) {
    result.colors = chosen->colors;
    result.opacity = chosen->opacity;
    result.userColorsKept = chosen->scheme == user;
  } else {
    result.colors = {0x000000, 0xFFFFFF, 0x000000, 0x000000};
    result.opacity = 255;
    result.userColorsKept = false;
  }
  result.contrast =
      Measure(all, result.colors, result.opacity, TextBlend::Opaque, request.worstShare);
  return result;
}

}  // namespace lunetta
