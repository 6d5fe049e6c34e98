#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <optional>
#include <vector>

#include "calendar/picture_size.h"

namespace lunetta {

/// The part of a stored picture that drawing it on a picture shows, and the size it is drawn at.
struct Shrink {
  QRect part;
  QSize size;
};

/// The shrink that drawing a `stored` picture on a `fitSize` picture with `fit` needs (a fill shows
/// the picture's shape centred in the photograph); nothing where the part would have to grow.
std::optional<Shrink> ShrinkFor(QSize stored, QSize fitSize, PhotoFit fit);

/// Shrinks a picture as its rows arrive, each target pixel the average of the source area it
/// covers, so that a decoder can hand its rows over one by one instead of keeping the whole
/// picture. A uniform area keeps its exact colour.
class AreaScaler {
 public:
  /// Rows of sourceWidth × sourceHeight pixels go into `target`, a 24-bit image no wider and no
  /// taller than the source, which must outlive the scaler.
  AreaScaler(int sourceWidth, int sourceHeight, QImage& target);

  /// The next source row: sourceWidth pixels of three bytes, in the target's byte order. Rows past
  /// sourceHeight are ignored.
  void AddRow(const std::uint8_t* row);

 private:
  void EmitRow(int y);

  QImage& target_;
  int sourceHeight_;
  int taps_;                            // source pixels per target pixel, at most
  std::vector<int> first_;              // the first source pixel of each target pixel
  std::vector<std::uint16_t> weights_;  // taps_ per target pixel, in 1/256, adding up to 256
  std::vector<std::int64_t> rowEdges_;  // source row i covers [edge i, edge i + 1) of the target
  // The source rows of the target row being gathered and of the next one, added up with their
  // weights in 1/256 (so a sum fits in 16 bits), before they are scaled across.
  std::vector<std::uint16_t> current_;
  std::vector<std::uint16_t> next_;
  std::vector<std::uint64_t> lanes_;  // a gathered row rounded, one pixel to a word (see Pack)
  int sourceRow_ = 0;
};

}  // namespace lunetta
