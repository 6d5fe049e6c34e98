#pragma once

#include "calendar/picture_size.h"
#include "calendar/proportional_layout.h"

namespace lunetta {

/// An anchor with its margin in thousandths of the picture's shorter side.
struct AnchoredPlace {
  Anchor anchor = Anchor::BottomRight;
  int marginShare = 0;
  bool operator==(const AnchoredPlace&) const = default;
};

/// The anchor and margin nearest a block dropped at `block` on `picture`: on each axis the third
/// its centre lies in, and its mean distance from the edges that anchor holds it to, rounded to
/// 5 thousandths and kept within 0..kMaxMarginShare. The centre holds it to no edge: `marginShare`
/// stays.
AnchoredPlace SnapToAnchor(PictureSize picture, const Rect& block, int marginShare);

}  // namespace lunetta
