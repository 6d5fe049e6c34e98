#include "calendar/block_geometry.h"

#include <algorithm>
#include <cstdint>

namespace lunetta {

BlockGeometry ComputeBlockGeometry(const TextMetrics& metrics, std::string_view fontName,
                                   int weekRows, const BlockExtras& extras) {
  BlockGeometry geometry;
  // Times New Roman's widest glyph is wide enough on its own; other faces need more room.
  const int averages = fontName == "Times New Roman" ? 1 : 2;
  geometry.cellWidth =
      std::max(metrics.maxCharWidth + averages * metrics.aveCharWidth, extras.minCellWidth);
  geometry.cellHeight = metrics.height + 4;
  geometry.blockWidth = 7 * geometry.cellWidth + geometry.cellWidth / 2;
  if (geometry.blockWidth % 2 != 0) {
    ++geometry.blockWidth;
  }
  geometry.weekNumberWidth = extras.weekNumberWidth + extras.weekNumberWidth % 2;
  geometry.blockWidth += geometry.weekNumberWidth;
  // Title, weekday names and week rows, plus one row that leaves a margin below the last week.
  geometry.blockHeight = (weekRows == 6 ? 9 : 8) * geometry.cellHeight;
  return geometry;
}

Rect TitleRect(const BlockGeometry& geometry) {
  const int half = geometry.cellHeight / 2;
  return {0, -half, geometry.blockWidth, -half + 2 * geometry.cellHeight};
}

Rect CellRect(const BlockGeometry& geometry, int row, int column) {
  const int half = geometry.cellHeight / 2;
  const int top = 2 * geometry.cellHeight - half + row * geometry.cellHeight;
  const int left = geometry.weekNumberWidth + column * geometry.cellWidth;
  return {left, top, left + geometry.cellWidth, top + geometry.cellHeight};
}

Rect WeekNumberRect(const BlockGeometry& geometry, int row) {
  const Rect cell = CellRect(geometry, row, 0);
  return {0, cell.top, geometry.weekNumberWidth, cell.bottom};
}

Rect DrawnBlockRect(int x, int y, int width, int height, int pictureWidth, int pictureHeight) {
  // 64 bits: a stored position may be anything a profile holds.
  const auto place = [](int at, int length, int limit) {
    const std::int64_t room = std::max<std::int64_t>(0, std::int64_t{limit} - length);
    return static_cast<int>(std::clamp<std::int64_t>(at, 0, room));
  };
  const int left = place(x, width, pictureWidth);
  const int top = place(y, height, pictureHeight);
  return {left, top, left + width, top + height};
}

}  // namespace lunetta
