#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include "calendar/picture_size.h"

namespace lunetta {

/// Where a picture of `picture` size shows in the preview `area` (client pixels): the largest
/// centred rectangle of the picture's shape, the rest of the area left to the window.
QRect ShownPicture(const QRect& area, PictureSize picture);

/// Where a pointer at a given place puts the calendar block.
struct DragPlacement {
  QPoint frame;     // the block's top-left corner on the preview, client pixels
  QSize frameSize;  // the block's size on the preview
  QPoint picture;   // the block's top-left corner on the picture, picture pixels
};

/// Clamps the pointer so that a block of `block` picture pixels, shown at scaleX × scaleY preview
/// pixels per picture pixel, stays inside `bounds`, and converts the clamped point to picture
/// pixels. A block larger than the preview stays at the left or top bound, at picture position 0:
/// the block never starts before the picture does. A frame against the right or bottom bound puts
/// the block against the picture's edge, which the preview's coarser pixels could miss by a few
/// picture pixels. Factors that are not positive finite numbers (nothing decoded yet) count as 1.
DragPlacement PlaceDraggedBlock(QPoint pointer, const QRect& bounds, QSize block, double scaleX,
                                double scaleY);

/// What a press on the preview took hold of.
struct DragGrab {
  bool onBlock = false;  // the press hit the block's frame
  QPoint offset;         // from the frame's top-left corner to the pointer; null off the block
  QPoint frame;          // the frame's top-left corner at the press, client pixels
  QPoint start;          // the block's place at the press, picture pixels
};

/// The press at `pointer` on a preview showing a block of `block` picture pixels at `start`: on
/// the block it keeps the pointer's offset from the block's corner.
DragGrab GrabBlock(QPoint pointer, const QRect& bounds, QPoint start, QSize block, double scaleX,
                   double scaleY);

/// Where the pointer puts the block grabbed by `grab`: PlaceDraggedBlock for the point that keeps
/// the grab's offset. Along an axis on which the frame has not moved, the block keeps its exact
/// place, which the preview's coarser pixels could not give back.
DragPlacement PlaceGrabbedBlock(QPoint pointer, const DragGrab& grab, const QRect& bounds,
                                QSize block, double scaleX, double scaleY);

}  // namespace lunetta
