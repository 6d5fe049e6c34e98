#pragma once

#include <string_view>

#include "calendar/picture_size.h"

namespace lunetta {

/// The three text metrics the block is laid out from.
struct TextMetrics {
  int height = 0;        // ascent + descent
  int aveCharWidth = 0;  // average character width
  int maxCharWidth = 0;  // widest character of the 8-bit repertoire
};

struct BlockGeometry {
  int cellWidth = 0;
  int cellHeight = 0;
  int blockWidth = 0;
  int blockHeight = 0;
  int weekNumberWidth = 0;  // the column of week numbers before Sunday's (or Monday's); 0: none
  bool operator==(const BlockGeometry&) const = default;
};

/// What the block's options add to the font's geometry.
struct BlockExtras {
  int minCellWidth = 0;     // the widest weekday label needs this much
  int weekNumberWidth = 0;  // a column of week numbers this wide goes first
};

/// Cell and block size for a font's metrics and a month of `weekRows` (5 or 6) week rows.
BlockGeometry ComputeBlockGeometry(const TextMetrics& metrics, std::string_view fontName,
                                   int weekRows, const BlockExtras& extras = {});

/// The title's rectangle: it starts half a cell above the block.
Rect TitleRect(const BlockGeometry& geometry);

/// Cell of row 0..6 (0 = weekday names) and column 0..6 (0 = the week's first day).
Rect CellRect(const BlockGeometry& geometry, int row, int column);

/// The week number's place in row 1..6, in the column before the days.
Rect WeekNumberRect(const BlockGeometry& geometry, int row);

/// Where a block of width × height whose corner is stored at (x, y) is drawn on a picture of
/// pictureWidth × pictureHeight: moved up and left just enough to lie whole on the picture, and
/// never past 0, so a block larger than the picture starts at its edge.
Rect DrawnBlockRect(int x, int y, int width, int height, int pictureWidth, int pictureHeight);

}  // namespace lunetta
