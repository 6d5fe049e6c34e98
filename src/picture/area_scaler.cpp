#include "picture/area_scaler.h"

#include <algorithm>
#include <iterator>

namespace lunetta {

namespace {

// A target pixel is 256 units wide and high, so that a row's sums fit 16 bits. A gathered row keeps
// 4 bits below the byte, so that only the last step rounds; its three channels, weighted, fit a
// 21-bit lane each of one 64-bit word.
constexpr int kUnitBits = 8;
constexpr int kColumnBits = kUnitBits;
constexpr int kRowBits = kUnitBits;
constexpr int kFractionBits = 4;
constexpr int kLaneBits = 21;

// Source pixel (or row) i covers [edges[i], edges[i + 1]) of the target, in 2^bits units per
// target pixel, rounded to the nearest unit; edges[source] is exactly target · 2^bits.
std::vector<std::int64_t> Edges(int source, int target, int bits) {
  std::vector<std::int64_t> edges(static_cast<std::size_t>(source) + 1);
  for (std::size_t i = 0; i < edges.size(); ++i) {
    edges[i] = ((static_cast<std::int64_t>(i) * target << (bits + 1)) + source) / (2 * source);
  }
  return edges;
}

// sums[k] += weight · row[k]. Runs of a fixed length let the compiler turn the inner loop into
// vector code at the usual optimisation level.
void AddWeighted(std::uint16_t* __restrict sums, const std::uint8_t* __restrict row,
                 std::size_t count, std::uint16_t weight) {
  constexpr std::size_t kRun = 16;
  std::size_t i = 0;
  for (; i + kRun <= count; i += kRun) {
    for (std::size_t k = i; k < i + kRun; ++k) {
      sums[k] = static_cast<std::uint16_t>(sums[k] + weight * row[k]);
    }
  }
  for (; i < count; ++i) {
    sums[i] = static_cast<std::uint16_t>(sums[i] + weight * row[i]);
  }
}

// A row of sums (in 1/256) of three channels in 1/16, one pixel to a 64-bit word: red, green and
// blue in the lowest three 21-bit lanes.
void Pack(const std::uint16_t* __restrict sums, std::size_t pixels,
          std::uint64_t* __restrict lanes) {
  constexpr unsigned kHalf = 1u << (kRowBits - kFractionBits - 1);
  const auto lane = [](std::uint16_t sum) {
    return static_cast<std::uint64_t>((sum + kHalf) >> (kRowBits - kFractionBits));
  };
  for (std::size_t i = 0; i < pixels; ++i, sums += 3) {
    lanes[i] = lane(sums[0]) | lane(sums[1]) << kLaneBits | lane(sums[2]) << 2 * kLaneBits;
  }
}

// One packed row scaled across into bytes: each target pixel the weighted sum of `Taps` source
// pixels from its first, all three channels in one multiplication. A weighted sum is at most
// 255 · 16 · 256 (under 2^20), so no lane carries into the next. A fixed number of taps lets the
// compiler unroll.
template <std::size_t Taps>
void ScaleAcross(const std::uint64_t* __restrict lanes, const int* __restrict first,
                 const std::uint16_t* __restrict weights, std::size_t taps, std::size_t width,
                 std::uint8_t* __restrict out) {
  const std::size_t count = Taps == 0 ? taps : Taps;
  constexpr int kShift = kColumnBits + kFractionBits;
  constexpr std::uint64_t kHalf = std::uint64_t{1} << (kShift - 1);
  constexpr std::uint64_t kHalves = kHalf | kHalf << kLaneBits | kHalf << 2 * kLaneBits;
  for (std::size_t x = 0; x < width; ++x, weights += count, out += 3) {
    const std::uint64_t* pixel = lanes + first[x];
    std::uint64_t sum = kHalves;
    for (std::size_t t = 0; t < count; ++t) {
      sum += pixel[t] * weights[t];
    }
    out[0] = static_cast<std::uint8_t>(sum >> kShift);
    out[1] = static_cast<std::uint8_t>(sum >> (kShift + kLaneBits));
    out[2] = static_cast<std::uint8_t>(sum >> (kShift + 2 * kLaneBits));
  }
}

}  // namespace

AreaScaler::AreaScaler(int sourceWidth, int sourceHeight, QImage& target)
    : target_(target),
      sourceHeight_(sourceHeight),
      rowEdges_(Edges(sourceHeight, target.height(), kRowBits)) {
  const int width = target.width();
  const std::vector<std::int64_t> edges = Edges(sourceWidth, width, kColumnBits);
  const auto columns = static_cast<std::size_t>(width);
  std::vector<int> last(columns, -1);
  first_.assign(columns, sourceWidth);
  for (int i = 0; i < sourceWidth; ++i) {
    const std::int64_t left = edges[static_cast<std::size_t>(i)];
    const std::int64_t right = edges[static_cast<std::size_t>(i) + 1];
    for (std::int64_t x = left >> kColumnBits; x < width && (x << kColumnBits) < right; ++x) {
      first_[static_cast<std::size_t>(x)] = std::min(first_[static_cast<std::size_t>(x)], i);
      last[static_cast<std::size_t>(x)] = i;
    }
  }
  taps_ = 1;
  for (std::size_t x = 0; x < columns; ++x) {
    taps_ = std::max(taps_, last[x] - first_[x] + 1);
  }
  weights_.assign(columns * static_cast<std::size_t>(taps_), 0);
  for (std::size_t x = 0; x < columns; ++x) {
    // Every target pixel reads taps_ source pixels; the last ones start early, with zero weights
    // in front, so that none reads past the row.
    const int from = std::min(first_[x], sourceWidth - taps_);
    for (int i = first_[x]; i <= last[x]; ++i) {
      const std::int64_t left =
          std::max(edges[static_cast<std::size_t>(i)], static_cast<std::int64_t>(x) << kColumnBits);
      const std::int64_t right = std::min(edges[static_cast<std::size_t>(i) + 1],
                                          static_cast<std::int64_t>(x + 1) << kColumnBits);
      weights_[x * static_cast<std::size_t>(taps_) + static_cast<std::size_t>(i - from)] =
          static_cast<std::uint16_t>(right - left);
    }
    first_[x] = from;
  }
  current_.assign(3 * static_cast<std::size_t>(sourceWidth), 0);
  next_.assign(current_.size(), 0);
  lanes_.assign(static_cast<std::size_t>(sourceWidth), 0);
}

void AreaScaler::AddRow(const std::uint8_t* row) {
  if (sourceRow_ >= sourceHeight_) {
    return;
  }
  const std::int64_t top = rowEdges_[static_cast<std::size_t>(sourceRow_)];
  const std::int64_t bottom = rowEdges_[static_cast<std::size_t>(sourceRow_) + 1];
  ++sourceRow_;
  // No taller than a target row: a source row adds to at most two of them.
  const auto y = static_cast<int>(top >> kRowBits);
  const std::int64_t rowEnd = (std::int64_t{y} + 1) << kRowBits;
  const auto upper = static_cast<std::uint16_t>(std::min(bottom, rowEnd) - top);
  const auto lower = static_cast<std::uint16_t>(bottom - top - upper);
  AddWeighted(current_.data(), row, current_.size(), upper);
  if (lower > 0) {
    AddWeighted(next_.data(), row, next_.size(), lower);
  }
  if (bottom >= rowEnd && y < target_.height()) {
    EmitRow(y);
    current_.swap(next_);
    std::fill(next_.begin(), next_.end(), std::uint16_t{0});
  }
}

void AreaScaler::EmitRow(int y) {
  Pack(current_.data(), lanes_.size(), lanes_.data());
  using Across = void (*)(const std::uint64_t*, const int*, const std::uint16_t*, std::size_t,
                          std::size_t, std::uint8_t*);
  // Shrinking by less than 3 needs at most 4 taps; further, any number.
  static constexpr Across kAcross[] = {ScaleAcross<0>, ScaleAcross<1>, ScaleAcross<2>,
                                       ScaleAcross<3>, ScaleAcross<4>};
  const auto taps = static_cast<std::size_t>(taps_);
  kAcross[taps < std::size(kAcross) ? taps : 0](lanes_.data(), first_.data(), weights_.data(), taps,
                                                static_cast<std::size_t>(target_.width()),
                                                target_.scanLine(y));
}

std::optional<Shrink> ShrinkFor(QSize stored, QSize fitSize, PhotoFit fit) {
  if (!fitSize.isValid() || fitSize.isEmpty() || stored.isEmpty()) {
    return std::nullopt;
  }
  const PictureSize photo{stored.width(), stored.height()};
  const PictureSize picture{fitSize.width(), fitSize.height()};
  Rect part{0, 0, photo.width, photo.height};
  QSize size = fitSize;
  if (fit == PhotoFit::Fill) {
    part = PlacePhoto(picture, photo, PhotoFit::Fit);
  } else if (fit == PhotoFit::Fit) {
    const Rect placed = PlacePhoto(photo, picture, PhotoFit::Fit);
    size = QSize(placed.right - placed.left, placed.bottom - placed.top);
  }
  const QRect partRect(part.left, part.top, part.right - part.left, part.bottom - part.top);
  if (size.isEmpty() || size.width() > partRect.width() || size.height() > partRect.height()) {
    return std::nullopt;
  }
  return Shrink{partRect, size};
}

}  // namespace lunetta
