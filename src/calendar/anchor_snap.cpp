#include "calendar/anchor_snap.h"

#include <algorithm>
#include <cmath>

#include "calendar/calendar_settings.h"

namespace lunetta {

namespace {

// 0 at the start of an axis, 1 in its middle third, 2 at its end; with the block's distance from
// the edge it is held to.
struct AxisPlace {
  int place = 1;
  int distance = 0;
};

AxisPlace OnAxis(int length, int start, int end) {
  const long long twiceCentre = static_cast<long long>(start) + end;
  if (3 * twiceCentre < 2LL * length) {
    return {0, start};
  }
  if (3 * twiceCentre > 4LL * length) {
    return {2, length - end};
  }
  return {1, 0};
}

}  // namespace

AnchoredPlace SnapToAnchor(PictureSize picture, const Rect& block, int marginShare) {
  const AxisPlace across = OnAxis(picture.width, block.left, block.right);
  const AxisPlace down = OnAxis(picture.height, block.top, block.bottom);
  const auto anchor = static_cast<Anchor>(down.place * 3 + across.place);
  const int held = (across.place != 1 ? 1 : 0) + (down.place != 1 ? 1 : 0);
  const int shorter = std::min(picture.width, picture.height);
  if (held == 0 || shorter <= 0) {
    return {anchor, marginShare};
  }
  const double distance = static_cast<double>((across.place != 1 ? across.distance : 0) +
                                              (down.place != 1 ? down.distance : 0)) /
                          held;
  const long share = std::lround(1000.0 * distance / shorter / 5.0) * 5;
  return {anchor, static_cast<int>(std::clamp<long>(share, 0, kMaxMarginShare))};
}

}  // namespace lunetta
