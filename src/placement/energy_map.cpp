#include "placement/energy_map.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lunetta {

namespace {

// Samples every pixel up to a shorter side of about 540 pixels, every third one at 1080, every
// sixth at 2160: the detail a block's text competes with grows with the picture.
constexpr double kSidePerStride = 360.0;
constexpr int kSamplesPerCell = 3;

// The positions from `low` to `high` at every multiple of `step` between them, and both ends.
std::vector<int> Positions(int low, int high, int step) {
  std::vector<int> positions{low};
  for (int at = (low / step + 1) * step; at < high; at += step) {
    positions.push_back(at);
  }
  if (high != low) {
    positions.push_back(high);
  }
  return positions;
}

// The cell nearest to pixel `at`, for a non-negative `at`.
int NearestCell(int at, int cellSize) {
  return (2 * at + cellSize) / (2 * cellSize);
}

}  // namespace

EnergyMap::EnergyMap(const QImage& picture) {
  if (picture.isNull()) {
    return;
  }
  const QImage rgb = picture.format() == QImage::Format_RGB888
                         ? picture
                         : picture.convertToFormat(QImage::Format_RGB888);
  const int width = rgb.width();
  const int height = rgb.height();
  picture_ = {width, height};
  stride_ = std::max(1, static_cast<int>(std::lround(std::min(width, height) / kSidePerStride)));
  cellSize_ = kSamplesPerCell * stride_;
  columns_ = (width + cellSize_ - 1) / cellSize_;
  rows_ = (height + cellSize_ - 1) / cellSize_;

  const int samples = (width - 1) / stride_ + 1;
  std::vector<std::int64_t> cellEnergy(static_cast<std::size_t>(columns_) * rows_);
  std::vector<std::int64_t> cellCount(cellEnergy.size());
  std::vector<int> previous(static_cast<std::size_t>(samples));
  std::vector<int> current(previous.size());
  for (int row = 0; row * stride_ < height; ++row) {
    const uchar* line = rgb.constScanLine(row * stride_);
    for (int i = 0; i < samples; ++i) {
      const uchar* pixel = line + 3 * static_cast<std::ptrdiff_t>(i) * stride_;
      current[static_cast<std::size_t>(i)] = 77 * pixel[0] + 150 * pixel[1] + 29 * pixel[2];
    }
    // Each cell's differences are summed apart and added once: consecutive samples share a cell.
    const std::size_t cellRow = static_cast<std::size_t>(row / kSamplesPerCell) * columns_;
    const int* luma = current.data();
    const int* above = previous.data();
    for (int cell = 0; cell < columns_; ++cell) {
      const int begin = cell * kSamplesPerCell;
      const int end = std::min(begin + kSamplesPerCell, samples);
      int energy = 0;
      for (int i = begin; i < std::min(end, samples - 1); ++i) {
        energy += std::abs(luma[i + 1] - luma[i]);
      }
      int count = std::min(end, samples - 1) - begin;
      if (row > 0) {
        for (int i = begin; i < end; ++i) {
          energy += std::abs(luma[i] - above[i]);
        }
        count += end - begin;
      }
      cellEnergy[cellRow + static_cast<std::size_t>(cell)] += energy;
      cellCount[cellRow + static_cast<std::size_t>(cell)] += count;
    }
    std::swap(previous, current);
  }

  const std::size_t tableWidth = static_cast<std::size_t>(columns_) + 1;
  energy_.assign(tableWidth * (static_cast<std::size_t>(rows_) + 1), 0);
  count_.assign(energy_.size(), 0);
  for (std::size_t y = 0; y < static_cast<std::size_t>(rows_); ++y) {
    std::int64_t energyRun = 0;
    std::int64_t countRun = 0;
    for (std::size_t x = 0; x < static_cast<std::size_t>(columns_); ++x) {
      energyRun += cellEnergy[y * columns_ + x];
      countRun += cellCount[y * columns_ + x];
      energy_[(y + 1) * tableWidth + x + 1] = energy_[y * tableWidth + x + 1] + energyRun;
      count_[(y + 1) * tableWidth + x + 1] = count_[y * tableWidth + x + 1] + countRun;
    }
  }
}

std::int64_t EnergyMap::Sum(const std::vector<std::int64_t>& table, int left, int top, int right,
                            int bottom) const {
  const auto at = [this, &table](int x, int y) {
    return table[static_cast<std::size_t>(y) * (static_cast<std::size_t>(columns_) + 1) +
                 static_cast<std::size_t>(x)];
  };
  return at(right, bottom) - at(left, bottom) - at(right, top) + at(left, top);
}

double EnergyMap::EnergyOf(const Rect& rect) const {
  const int left = std::clamp(rect.left, 0, picture_.width);
  const int top = std::clamp(rect.top, 0, picture_.height);
  const int right = std::clamp(rect.right, 0, picture_.width);
  const int bottom = std::clamp(rect.bottom, 0, picture_.height);
  if (left >= right || top >= bottom) {
    return kEnergyFloor;
  }
  int cellLeft = NearestCell(left, cellSize_);
  int cellTop = NearestCell(top, cellSize_);
  int cellRight = std::min(NearestCell(right, cellSize_), columns_);
  int cellBottom = std::min(NearestCell(bottom, cellSize_), rows_);
  // A rectangle narrower than a cell still covers the cell it lies in.
  if (cellLeft >= cellRight) {
    cellLeft = left / cellSize_;
    cellRight = cellLeft + 1;
  }
  if (cellTop >= cellBottom) {
    cellTop = top / cellSize_;
    cellBottom = cellTop + 1;
  }
  const std::int64_t count = Sum(count_, cellLeft, cellTop, cellRight, cellBottom);
  if (count == 0) {
    return kEnergyFloor;
  }
  const std::int64_t energy = Sum(energy_, cellLeft, cellTop, cellRight, cellBottom);
  return static_cast<double>(energy) / (256.0 * static_cast<double>(count)) + kEnergyFloor;
}

Placement ChoosePlace(const EnergyMap& map, const PlacementRequest& request) {
  const PictureSize picture = map.pictureSize();
  const int width = request.blockWidth;
  const int height = request.blockHeight;
  const double panelShare = request.panelShare > 0 ? std::min(request.panelShare, 0.45) : 0.0;
  const int band = static_cast<int>(std::lround(panelShare * picture.height));
  const int margin = std::max(0, request.margin);
  const int xMin = margin;
  const int xMax = picture.width - margin - width;
  const int yMin = std::max(margin, band);
  const int yMax = picture.height - std::max(margin, band) - height;

  Placement result;
  if (width <= 0 || height <= 0 || xMin > xMax || yMin > yMax) {
    result.block = request.preferred;
    result.energy = map.EnergyOf(request.preferred);
    result.calmestEnergy = result.energy;
    result.preferredKept = true;
    return result;
  }
  result.admissible = true;

  const int preferredX = std::clamp(request.preferred.left, xMin, xMax);
  const int preferredY = std::clamp(request.preferred.top, yMin, yMax);
  const Rect preferred{preferredX, preferredY, preferredX + width, preferredY + height};
  const double preferredEnergy = map.EnergyOf(preferred);

  Rect best = preferred;
  double bestEnergy = preferredEnergy;
  std::int64_t bestDistance = 0;
  const std::vector<int> columns = Positions(xMin, xMax, map.cellSize());
  for (int y : Positions(yMin, yMax, map.cellSize())) {
    for (int x : columns) {
      const Rect candidate{x, y, x + width, y + height};
      const double energy = map.EnergyOf(candidate);
      const std::int64_t dx = x - preferredX;
      const std::int64_t dy = y - preferredY;
      const std::int64_t distance = dx * dx + dy * dy;
      // Scanning top to bottom, left to right, a later place must be strictly better.
      if (energy < bestEnergy || (energy == bestEnergy && distance < bestDistance)) {
        best = candidate;
        bestEnergy = energy;
        bestDistance = distance;
      }
    }
  }

  result.calmestEnergy = bestEnergy;
  result.preferredKept = preferredEnergy <= std::max(1.0, request.preferFactor) * bestEnergy;
  result.block = result.preferredKept ? preferred : best;
  result.energy = result.preferredKept ? preferredEnergy : bestEnergy;
  return result;
}

}  // namespace lunetta
