#pragma once

namespace lunetta {

/// Prints how readable the block is and how calm its place, for the default block and for the
/// proportional, automatically placed, legible one, on real photos and wallpapers from Debian
/// packages (fetched once into a cache folder), at 1920 × 1080 and 3840 × 2160 filled. False when
/// a target is missed; a run without the photos says so and counts as met.
bool RunLegibilityBench();

}  // namespace lunetta
