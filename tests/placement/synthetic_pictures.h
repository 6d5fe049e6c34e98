#pragma once

#include <QImage>
#include <QRect>
#include <algorithm>
#include <cstdint>
#include <initializer_list>

namespace lunetta::testing {

/// Grey noise, the same for the same size, with the `calm` areas flat mid grey.
inline QImage NoisyPicture(int width, int height, std::initializer_list<QRect> calm = {}) {
  QImage picture(width, height, QImage::Format_RGB888);
  std::uint32_t state = 0x2545F491u;
  for (int y = 0; y < height; ++y) {
    uchar* line = picture.scanLine(y);
    for (int x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      const bool flat = std::any_of(calm.begin(), calm.end(),
                                    [&](const QRect& area) { return area.contains(x, y); });
      const auto grey = static_cast<uchar>(flat ? 128 : state >> 24);
      line[3 * x] = line[3 * x + 1] = line[3 * x + 2] = grey;
    }
  }
  return picture;
}

}  // namespace lunetta::testing
