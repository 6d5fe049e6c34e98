#pragma once

namespace lunetta {

/// The preview's place in the main window's client pixels; right and bottom lie just outside it.
struct PreviewBounds {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

/// Where a pointer at a given place puts the calendar block.
struct DragPlacement {
  int x = 0;  // the block's top-left corner on the preview, client pixels
  int y = 0;
  int frameWidth = 0;  // the block's size on the preview
  int frameHeight = 0;
  int pictureX = 0;  // the block's top-left corner on the picture, picture pixels
  int pictureY = 0;
};

/// Clamps the pointer (x, y) so that a block of blockWidth × blockHeight picture pixels, shown at
/// scaleX × scaleY preview pixels per picture pixel, stays inside `bounds`, and converts the
/// clamped point to picture pixels. The lower bounds are applied first, so a block larger than the
/// preview ends against the right or bottom bound with a negative picture position. Factors that
/// are not positive finite numbers (nothing decoded yet) count as 1.
DragPlacement PlaceDraggedBlock(int x, int y, const PreviewBounds& bounds, int blockWidth,
                                int blockHeight, double scaleX, double scaleY);

}  // namespace lunetta
