#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "calendar/block_geometry.h"
#include "calendar/calendar_settings.h"

namespace lunetta {

/// Where a block sits on the picture: a corner, the middle of an edge, or the centre. Row by row,
/// so that value / 3 is the vertical and value % 3 the horizontal place.
enum class Anchor {
  TopLeft = 0,
  Top = 1,
  TopRight = 2,
  Left = 3,
  Center = 4,
  Right = 5,
  BottomLeft = 6,
  Bottom = 7,
  BottomRight = 8,
};
inline constexpr int kAnchorCount = 9;

/// "top-left", "top", … "bottom-right"; "center" for the centre.
std::string_view AnchorName(Anchor anchor);
/// The anchor of a name AnchorName gives; letter case is ignored, and "centre" is accepted too.
std::optional<Anchor> ParseAnchor(std::string_view name);

/// A share of the picture's shorter side in pixels, rounded; the share is kept within 0..0.5.
int MarginPixels(PictureSize picture, double marginShare);

/// A block of `width` × `height` at `anchor`, `margin` pixels from the edges it is anchored to and
/// centred on the other axes. A block too big for the margins is centred on that axis.
Rect AnchorBlock(PictureSize picture, int width, int height, Anchor anchor, int margin);

/// How big a block `heightShare` of the picture's height is drawn.
struct ProportionalSize {
  /// The text size of the block as laid out on a picture kReferenceHeight pixels high.
  int textSize = 0;
  /// What that layout is multiplied by on this picture: the block drawn at textSize through a
  /// painter scaled by it is the same block, in proportion, on every picture size.
  double scale = 1;
};

/// The height of the picture the layout is made for; every other size scales it.
inline constexpr int kReferenceHeight = 1080;

/// The largest text size whose block, as `layout` lays it out for a month of five week rows, fits
/// `heightShare` of a picture of this shape kReferenceHeight high and the width between its
/// margins (`marginShare` of the shorter side), and the scale that brings that block to the share
/// on this picture, or to the width between the margins if that is narrower. The height share is
/// kept within 0.01..1. A month of six rows keeps the text size and comes out one row taller.
/// `layout` must grow with the text size.
ProportionalSize SizeForShare(PictureSize picture, double heightShare, double marginShare,
                              const std::function<BlockGeometry(int textSize)>& layout);

/// `rect` with every edge multiplied by `scale` and rounded.
Rect ScaleRect(const Rect& rect, double scale);

}  // namespace lunetta
