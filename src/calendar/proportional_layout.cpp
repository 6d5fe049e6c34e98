#include "calendar/proportional_layout.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <string>

namespace lunetta {

namespace {

constexpr std::array<std::string_view, kAnchorCount> kAnchorNames = {
    "top-left", "top",         "top-right", "left",        "center",
    "right",    "bottom-left", "bottom",    "bottom-right"};

// Fonts are asked for by a height of at most 4096 pixels.
constexpr int kMaxTextSize = 4096;

// Where a block of `size` goes along an axis of `length`: 0 at the start, 1 centred, 2 at the end.
int Place(int length, int size, int place, int margin) {
  if (place == 1 || size + 2 * margin > length) {
    return (length - size) / 2;
  }
  return place == 0 ? margin : length - margin - size;
}

}  // namespace

std::string_view AnchorName(Anchor anchor) {
  return kAnchorNames[static_cast<std::size_t>(anchor)];
}

std::optional<Anchor> ParseAnchor(std::string_view name) {
  std::string lower(name);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (lower == "centre") {
    return Anchor::Center;
  }
  const auto found = std::find(kAnchorNames.begin(), kAnchorNames.end(), lower);
  if (found == kAnchorNames.end()) {
    return std::nullopt;
  }
  return static_cast<Anchor>(found - kAnchorNames.begin());
}

int MarginPixels(PictureSize picture, double marginShare) {
  // NaN and shares out of range come from hand-edited profiles; they must not reach the layout.
  const double share = marginShare > 0 ? std::min(marginShare, 0.5) : 0.0;
  return static_cast<int>(std::lround(share * std::min(picture.width, picture.height)));
}

Rect AnchorBlock(PictureSize picture, int width, int height, Anchor anchor, int margin) {
  const int index = static_cast<int>(anchor);
  const int left = Place(picture.width, width, index % 3, margin);
  const int top = Place(picture.height, height, index / 3, margin);
  return {left, top, left + width, top + height};
}

ProportionalSize SizeForShare(PictureSize picture, double heightShare, double marginShare,
                              const std::function<BlockGeometry(int textSize)>& layout) {
  if (picture.width <= 0 || picture.height <= 0) {
    return {1, 1};
  }
  const double share = heightShare > 0.01 ? std::min(heightShare, 1.0) : 0.01;
  const double margin = marginShare > 0 ? std::min(marginShare, 0.5) : 0.0;
  // The space for the block on this picture, and on the reference picture of the same shape.
  const double height = share * picture.height;
  const double width =
      std::max(1.0, picture.width - 2 * margin * std::min(picture.width, picture.height));
  const double toReference = static_cast<double>(kReferenceHeight) / picture.height;
  const auto fits = [&](int textSize) {
    const BlockGeometry geometry = layout(textSize);
    return geometry.blockHeight <= height * toReference &&
           geometry.blockWidth <= width * toReference;
  };
  // The largest size that fits, by halving: `low` fits (or is 1), `high` does not.
  int low = 1;
  int high = kMaxTextSize + 1;
  while (high - low > 1) {
    const int middle = low + (high - low) / 2;
    if (fits(middle)) {
      low = middle;
    } else {
      high = middle;
    }
  }
  const BlockGeometry geometry = layout(low);
  if (geometry.blockHeight <= 0 || geometry.blockWidth <= 0) {
    return {low, 1};
  }
  return {low, std::min(height / geometry.blockHeight, width / geometry.blockWidth)};
}

Rect ScaleRect(const Rect& rect, double scale) {
  const auto at = [scale](int value) { return static_cast<int>(std::lround(value * scale)); };
  return {at(rect.left), at(rect.top), at(rect.right), at(rect.bottom)};
}

}  // namespace lunetta
