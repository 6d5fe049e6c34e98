#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

#include "calendar/block_geometry.h"
#include "calendar/calendar_settings.h"

namespace lunetta {

/// How busy each part of a picture is, at a reduced scale: the picture is sampled every `stride`
/// pixels, and each cell of `cellSize` × `cellSize` pixels sums the differences of luma between
/// neighbouring samples. Both grow with the picture, so a picture and the same picture at twice the
/// size have the same map.
class EnergyMap {
 public:
  /// A map of `picture` (any format; 24-bit RGB is read directly). An empty picture gives an empty
  /// map.
  explicit EnergyMap(const QImage& picture);

  PictureSize pictureSize() const { return picture_; }
  int cellSize() const { return cellSize_; }
  int stride() const { return stride_; }
  int columns() const { return columns_; }
  int rows() const { return rows_; }

  /// The energy under `rect` (picture pixels): the mean luma difference between neighbouring
  /// samples of the cells it covers, edges rounded to the nearest cell, in grey levels, plus
  /// kEnergyFloor. Parts outside the picture do not count; a rectangle with no cell gives the
  /// floor.
  double EnergyOf(const Rect& rect) const;

  /// A difference of less than a grey level between neighbours is no detail a reader sees; adding
  /// it keeps two nearly flat places from differing by a large factor.
  static constexpr double kEnergyFloor = 1.0;

 private:
  std::int64_t Sum(const std::vector<std::int64_t>& table, int left, int top, int right,
                   int bottom) const;

  PictureSize picture_;
  int cellSize_ = 1;
  int stride_ = 1;
  int columns_ = 0;
  int rows_ = 0;
  // Summed-area tables, (columns + 1) × (rows + 1): luma differences in 1/256 grey levels, and how
  // many differences were taken.
  std::vector<std::int64_t> energy_;
  std::vector<std::int64_t> count_;
};

/// What to place, and where it may go.
struct PlacementRequest {
  int blockWidth = 0;
  int blockHeight = 0;
  /// The user's own place for the block (its anchor and margin); kept when it is nearly as calm as
  /// the calmest place, and the tie-breaker between equally calm places.
  Rect preferred;
  /// Every place keeps this many pixels from each edge of the picture.
  int margin = 0;
  /// The shares of the picture's height at the top and at the bottom where desktop panels sit.
  double panelShare = 0.05;
  /// The preferred place is kept while its energy is at most this factor times the calmest's.
  double preferFactor = 1.15;
};

struct Placement {
  Rect block;
  /// False when no place keeps the margin and clears the panel bands: `block` is then the preferred
  /// place as given.
  bool admissible = false;
  bool preferredKept = false;
  double energy = 0;         // under `block`
  double calmestEnergy = 0;  // of the calmest admissible place
};

/// The calmest place for the block among those that keep the margin and clear the panel bands,
/// tried at every cell of the map and at the preferred place. The preferred place, moved inside
/// those bounds, wins while it is within `preferFactor` of the calmest; among equally calm places
/// the one nearest the preferred place wins, then the topmost, then the leftmost.
Placement ChoosePlace(const EnergyMap& map, const PlacementRequest& request);

}  // namespace lunetta
