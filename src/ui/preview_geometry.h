#pragma once

#include "calendar/calendar_settings.h"

namespace lunetta {

/// The preview's place in the main window's client pixels; right and bottom lie just outside it.
struct PreviewBounds {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

/// Where a picture of `picture` size shows in the preview `area`: the largest centred rectangle of
/// the picture's shape, the rest of the area left to the window.
PreviewBounds ShownPicture(const PreviewBounds& area, PictureSize picture);

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
/// clamped point to picture pixels. A block larger than the preview stays at the left or top bound,
/// at picture position 0: the block never starts before the picture does. A frame against
/// the right or bottom bound puts the block against the picture's edge, which the preview's coarser
/// pixels could miss by a few picture pixels. Factors that are not positive finite numbers
/// (nothing decoded yet) count as 1.
DragPlacement PlaceDraggedBlock(int x, int y, const PreviewBounds& bounds, int blockWidth,
                                int blockHeight, double scaleX, double scaleY);

/// True when (x, y) lies on the preview.
bool InPreview(int x, int y, const PreviewBounds& bounds);

/// What a press on the preview took hold of.
struct DragGrab {
  bool onBlock = false;  // the press hit the block's frame
  int offsetX = 0;       // from the frame's top-left corner to the pointer; 0 off the block
  int offsetY = 0;
  int frameX = 0;  // the frame's top-left corner at the press, client pixels
  int frameY = 0;
  int startX = 0;  // the block's place at the press, picture pixels
  int startY = 0;
};

/// The press at (x, y) on a preview showing a block of blockWidth × blockHeight picture pixels at
/// (startX, startY): on the block it keeps the pointer's offset from the block's corner.
DragGrab GrabBlock(int x, int y, const PreviewBounds& bounds, int startX, int startY,
                   int blockWidth, int blockHeight, double scaleX, double scaleY);

/// Where the pointer at (x, y) puts the block grabbed by `grab`: PlaceDraggedBlock for the point
/// that keeps the grab's offset. Along an axis on which the frame has not moved, the block keeps
/// its exact place, which the preview's coarser pixels could not give back.
DragPlacement PlaceGrabbedBlock(int x, int y, const DragGrab& grab, const PreviewBounds& bounds,
                                int blockWidth, int blockHeight, double scaleX, double scaleY);

}  // namespace lunetta
