#include "wall/wall_layout.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace lunetta {

namespace {

// Proportions of the pages, as parts of the trim's shorter side or of the calendar's own area.
constexpr double kMarginShare = 0.06;      // of the shorter side: the calendar's margin
constexpr double kTitleShare = 0.14;       // of the calendar's height
constexpr double kMaxTitleShare = 0.10;    // of the shorter side: the title's height at most
constexpr double kHeaderShare = 0.4;       // of the title's height: the weekday names' row
constexpr double kWeekNumberColumn = 0.5;  // of a day cell's width
constexpr double kMinPhotoShare = 0.2;
constexpr double kMaxPhotoShare = 0.8;
constexpr double kCoverPhotoShare = 0.8;  // of the trim's height
constexpr double kMinNameSize = 5.0;      // points: smaller print is not read on a wall
constexpr double kLineSpacing = 1.25;     // a line's height for its font size
constexpr int kPlannerRows = 31;

// A bleed of at most kMaxBleed; anything else (negative, not a number) is none.
double Bleed(const WallOptions& options) {
  return std::isfinite(options.bleed) ? std::clamp(options.bleed, 0.0, kMaxBleed) : 0.0;
}

double Margin(const PointSize& trim) {
  return kMarginShare * std::min(trim.width, trim.height);
}

// The calendar's area beside or below a photo taking `share` of the trim.
PointRect GridArea(const PageFrame& frame, PhotoPosition position, double share) {
  const PointRect& trim = frame.trim;
  const double margin = Margin(trim.size());
  switch (position) {
    case PhotoPosition::Left:
      return {trim.x + share * trim.width + margin, trim.y + margin,
              trim.width * (1 - share) - 2 * margin, trim.height - 2 * margin};
    case PhotoPosition::Right:
      return {trim.x + margin, trim.y + margin, trim.width * (1 - share) - 2 * margin,
              trim.height - 2 * margin};
    case PhotoPosition::Top:
      break;
  }
  return {trim.x + margin, trim.y + share * trim.height + margin, trim.width - 2 * margin,
          trim.height * (1 - share) - 2 * margin};
}

double TitleHeight(const PointRect& grid, const PointSize& trim) {
  return std::min(kTitleShare * grid.height, kMaxTitleShare * std::min(trim.width, trim.height));
}

double Columns(const WallOptions& options) {
  return 7 + (options.weekNumbers ? kWeekNumberColumn : 0);
}

// Cell size of a month of `rows` rows in `grid`.
PointSize CellSize(const WallOptions& options, const PointRect& grid, const PointSize& trim,
                   int rows) {
  const double title = TitleHeight(grid, trim);
  return {grid.width / Columns(options), (grid.height - title * (1 + kHeaderShare)) / rows};
}

bool CellsLargeEnough(const WallOptions& options, const PageFrame& frame, double share) {
  const PointRect grid = GridArea(frame, options.photoPosition, share);
  const PointSize cell = CellSize(options, grid, frame.trim.size(), 6);
  return cell.width >= kMinCellWidth && cell.height >= kMinCellHeight;
}

// The photo's area: its share of the trim, reaching into the bleed on the page's edges.
PointRect PhotoArea(const PageFrame& frame, PhotoPosition position, double share, double bleed) {
  const PointRect& trim = frame.trim;
  switch (position) {
    case PhotoPosition::Left:
      return {trim.x - bleed, trim.y - bleed, share * trim.width + bleed, trim.height + 2 * bleed};
    case PhotoPosition::Right:
      return {trim.x + (1 - share) * trim.width, trim.y - bleed, share * trim.width + bleed,
              trim.height + 2 * bleed};
    case PhotoPosition::Top:
      break;
  }
  return {trim.x - bleed, trim.y - bleed, trim.width + 2 * bleed, share * trim.height + bleed};
}

int RoundedInside(double value, int limit) {
  return std::clamp(static_cast<int>(std::lround(value)), 1, std::max(limit, 1));
}

// Pixels covering `points` at `dpi`, rounded up; a hair of floating-point error is not a pixel.
int PixelsAt(double points, double dpi) {
  return std::max(1, static_cast<int>(std::ceil(points / kPointsPerInch * dpi - 1e-6)));
}

}  // namespace

std::vector<WallPage> WallPages(const WallCalendar& calendar) {
  std::vector<WallPage> pages;
  if (calendar.options.cover) {
    pages.push_back({WallPageKind::Cover, 0});
  }
  for (std::size_t i = 0; i < calendar.months.size(); ++i) {
    pages.push_back({WallPageKind::Month, static_cast<int>(i)});
  }
  if (calendar.options.yearPlanner && !calendar.months.empty()) {
    pages.push_back({WallPageKind::Planner, 0});
  }
  return pages;
}

PointSize PaperSize(Paper paper, PageOrientation orientation) {
  PointSize size;
  switch (paper) {
    case Paper::A4:
      size = {210 * kPointsPerMm, 297 * kPointsPerMm};
      break;
    case Paper::A3:
      size = {297 * kPointsPerMm, 420 * kPointsPerMm};
      break;
    case Paper::Letter:
      size = {8.5 * kPointsPerInch, 11 * kPointsPerInch};
      break;
    case Paper::Tabloid:
      size = {11 * kPointsPerInch, 17 * kPointsPerInch};
      break;
  }
  if (orientation == PageOrientation::Landscape) {
    std::swap(size.width, size.height);
  }
  return size;
}

double TrimMarkOffset(double bleed) {
  return std::max(bleed, kStandardBleed);
}

PageFrame FramePage(const WallOptions& options) {
  const PointSize paper = PaperSize(options.paper, options.orientation);
  const double bleed = Bleed(options);
  const double outside = options.trimMarks ? TrimMarkOffset(bleed) + kTrimMarkLength : bleed;
  PageFrame frame;
  frame.trim = {outside, outside, paper.width, paper.height};
  frame.bleed = frame.trim.Grown(bleed);
  frame.media = {0, 0, paper.width + 2 * outside, paper.height + 2 * outside};
  return frame;
}

std::array<PointLine, 8> TrimMarks(const PageFrame& frame) {
  const PointRect& t = frame.trim;
  const double near = TrimMarkOffset(t.x - frame.bleed.x);
  const double far = near + kTrimMarkLength;
  return {{
      {t.x - far, t.y, t.x - near, t.y},
      {t.x, t.y - far, t.x, t.y - near},
      {t.right() + near, t.y, t.right() + far, t.y},
      {t.right(), t.y - far, t.right(), t.y - near},
      {t.x - far, t.bottom(), t.x - near, t.bottom()},
      {t.x, t.bottom() + near, t.x, t.bottom() + far},
      {t.right() + near, t.bottom(), t.right() + far, t.bottom()},
      {t.right(), t.bottom() + near, t.right(), t.bottom() + far},
  }};
}

PdfBox ToPdfBox(const PointRect& rect, const PageFrame& frame) {
  const double height = frame.media.height;
  return {rect.x, height - rect.bottom(), rect.right(), height - rect.y};
}

double PhotoShare(const WallOptions& options) {
  const PageFrame frame = FramePage(options);
  double low = kMinPhotoShare;
  const double asked =
      std::isfinite(options.photoShare) ? options.photoShare : WallOptions{}.photoShare;
  double high = std::clamp(asked, kMinPhotoShare, kMaxPhotoShare);
  if (CellsLargeEnough(options, frame, high) || !CellsLargeEnough(options, frame, low)) {
    return high;
  }
  // The cells shrink as the photo grows: the largest share that keeps them is found by halving.
  for (int i = 0; i < 40; ++i) {
    const double middle = (low + high) / 2;
    (CellsLargeEnough(options, frame, middle) ? low : high) = middle;
  }
  return low;
}

MonthPageLayout LayoutMonthPage(const WallOptions& options, int year, int month) {
  const MonthGrid monthGrid = BuildMonthGrid(year, month, options.weekStart);
  MonthPageLayout layout;
  layout.frame = FramePage(options);
  const double share = PhotoShare(options);
  const double bleed = layout.frame.trim.x - layout.frame.bleed.x;
  layout.photo = PhotoArea(layout.frame, options.photoPosition, share, bleed);
  layout.grid = GridArea(layout.frame, options.photoPosition, share);
  const PointRect& grid = layout.grid;
  const PointSize trim = layout.frame.trim.size();

  const double titleHeight = TitleHeight(grid, trim);
  layout.title = {grid.x, grid.y, grid.width, titleHeight};
  layout.titleSize = std::min(0.62 * titleHeight, grid.width / 9);

  layout.rows = monthGrid.weekRows;
  const PointSize cell = CellSize(options, grid, trim, layout.rows);
  layout.cellWidth = cell.width;
  layout.cellHeight = cell.height;
  layout.weekNumberWidth = options.weekNumbers ? kWeekNumberColumn * cell.width : 0;
  const double headerHeight = kHeaderShare * titleHeight;
  const double firstColumn = grid.x + layout.weekNumberWidth;
  for (int column = 0; column < 7; ++column) {
    layout.weekdayCells[column] = {firstColumn + column * cell.width, layout.title.bottom(),
                                   cell.width, headerHeight};
    layout.weekdays[column] = ColumnWeekday(column, options.weekStart);
  }
  layout.weekdaySize = std::min(0.55 * headerHeight, 0.3 * cell.width);
  layout.dayRows = {grid.x, layout.title.bottom() + headerHeight, grid.width,
                    layout.rows * cell.height};

  const double padding = 0.08 * std::min(cell.width, cell.height);
  layout.dayNumberSize = std::min(0.3 * cell.height, 0.28 * cell.width);
  if (options.weekNumbers) {
    for (int row = 0; row < layout.rows; ++row) {
      layout.weekNumberCells.push_back({grid.x, layout.dayRows.y + row * cell.height + padding,
                                        layout.weekNumberWidth,
                                        kLineSpacing * layout.dayNumberSize});
      layout.weekNumbers.push_back(IsoWeekOfRow(monthGrid, row));
    }
  }
  layout.nameSize = std::clamp(0.45 * layout.dayNumberSize, kMinNameSize, layout.dayNumberSize);
  layout.minNameSize = std::min(kMinNameSize, layout.nameSize);
  for (std::size_t index = 0; index < monthGrid.cells.size(); ++index) {
    if (monthGrid.cells[index].empty()) {
      continue;
    }
    const int row = static_cast<int>(index) / 7;
    const int column = static_cast<int>(index) % 7;
    DayCell day;
    day.day = std::stoi(monthGrid.cells[index]);
    day.weekday = layout.weekdays[column];
    day.cell = {firstColumn + column * cell.width, layout.dayRows.y + row * cell.height, cell.width,
                cell.height};
    day.number = {day.cell.x + padding, day.cell.y + padding, cell.width - 2 * padding,
                  kLineSpacing * layout.dayNumberSize};
    day.names = {day.number.x, day.number.bottom(), day.number.width,
                 std::max(0.0, day.cell.bottom() - padding - day.number.bottom())};
    layout.days.push_back(day);
  }
  return layout;
}

std::vector<PlacedName> PlaceNames(const PointRect& area, double size, double minSize,
                                   const std::vector<WallDayMark>& marks, int day,
                                   const TextWidth& width) {
  std::vector<PlacedName> placed;
  double top = area.y;
  for (const WallDayMark& mark : marks) {
    if (mark.day != day) {
      continue;
    }
    for (const std::string& name : mark.names) {
      const double natural = width(name, size);
      // Text width grows with its size, so the size that fits follows from one measurement.
      const double fitting = natural > area.width ? size * area.width / natural : size;
      if (fitting < minSize || name.empty()) {
        continue;
      }
      const double line = kLineSpacing * fitting;
      if (top + line > area.bottom() + 1e-9) {
        return placed;
      }
      placed.push_back({name, mark.kind, {area.x, top, area.width, line}, fitting});
      top += line;
    }
  }
  return placed;
}

CoverLayout LayoutCover(const WallOptions& options) {
  CoverLayout layout;
  layout.frame = FramePage(options);
  const PointRect& trim = layout.frame.trim;
  const double bleed = trim.x - layout.frame.bleed.x;
  const double margin = Margin(trim.size());
  layout.photo = {trim.x - bleed, trim.y - bleed, trim.width + 2 * bleed,
                  kCoverPhotoShare * trim.height + bleed};
  layout.year = {trim.x + margin, trim.y + kCoverPhotoShare * trim.height, trim.width - 2 * margin,
                 (1 - kCoverPhotoShare) * trim.height};
  layout.yearSize = std::min(0.45 * layout.year.height, layout.year.width / 7);
  return layout;
}

PointRect PlannerLayout::Cell(int column, int day) const {
  return {days.x + column * columnWidth, days.y + (day - 1) * rowHeight, columnWidth, rowHeight};
}

PlannerLayout LayoutPlanner(const WallOptions& options, int columns) {
  PlannerLayout layout;
  layout.frame = FramePage(options);
  const PointRect& trim = layout.frame.trim;
  const double margin = Margin(trim.size());
  const PointRect inside = trim.Grown(-margin);
  const double titleHeight = 0.07 * std::min(trim.width, trim.height);
  const double headHeight = kHeaderShare * titleHeight * 1.25;
  columns = std::max(columns, 1);
  layout.title = {inside.x, inside.y, inside.width, titleHeight};
  layout.titleSize = 0.7 * titleHeight;
  layout.columnWidth = inside.width / columns;
  for (int column = 0; column < columns; ++column) {
    layout.monthHeads.push_back({inside.x + column * layout.columnWidth, layout.title.bottom(),
                                 layout.columnWidth, headHeight});
  }
  layout.headSize = std::min(0.6 * headHeight, 0.3 * layout.columnWidth);
  layout.days = {inside.x, layout.title.bottom() + headHeight, inside.width,
                 inside.bottom() - layout.title.bottom() - headHeight};
  layout.rowHeight = layout.days.height / kPlannerRows;
  // "30 Wed" takes about three times its size, and leaves room for a name beside it.
  layout.numberSize = std::min(0.6 * layout.rowHeight, 0.2 * layout.columnWidth);
  layout.nameSize = std::max(0.7 * layout.numberSize, kMinNameSize);
  layout.minNameSize = kMinNameSize;
  return layout;
}

PixelRect CropPhoto(int photoWidth, int photoHeight, PointSize area, PhotoCrop crop) {
  photoWidth = std::max(photoWidth, 1);
  photoHeight = std::max(photoHeight, 1);
  if (area.width <= 0 || area.height <= 0) {
    return {0, 0, photoWidth, photoHeight};
  }
  const double shape = area.width / area.height;
  const double x = std::clamp(crop.x, 0.0, 1.0);
  const double y = std::clamp(crop.y, 0.0, 1.0);
  if (double(photoWidth) / photoHeight > shape) {
    const int width = RoundedInside(photoHeight * shape, photoWidth);
    return {static_cast<int>(std::lround((photoWidth - width) * x)), 0, width, photoHeight};
  }
  const int height = RoundedInside(photoWidth / shape, photoHeight);
  return {0, static_cast<int>(std::lround((photoHeight - height) * y)), photoWidth, height};
}

double EffectiveDpi(const PixelRect& crop, PointSize area) {
  return area.width > 0 ? crop.width / (area.width / kPointsPerInch) : 0;
}

PixelSize EmbeddedPixels(const PixelRect& crop, PointSize area) {
  if (EffectiveDpi(crop, area) <= kPrintDpi) {
    return {crop.width, crop.height};
  }
  return {PixelsAt(area.width, kPrintDpi), PixelsAt(area.height, kPrintDpi)};
}

PagePhoto PhotoOfPage(const WallCalendar& calendar, const WallPage& page) {
  switch (page.kind) {
    case WallPageKind::Cover:
      return {calendar.coverPhoto, LayoutCover(calendar.options).photo, calendar.coverCrop};
    case WallPageKind::Month: {
      const WallMonth& month = calendar.months.at(static_cast<std::size_t>(page.month));
      return {month.photo, LayoutMonthPage(calendar.options, month.year, month.month).photo,
              month.crop};
    }
    case WallPageKind::Planner:
      break;
  }
  return {};
}

std::string MonthTitle(int year, int month, bool japanese) {
  if (japanese) {
    return std::to_string(year) + "年" + std::to_string(month) + "月";
  }
  return std::string(MonthNames.at(static_cast<std::size_t>(month - 1))) + " " +
         std::to_string(year);
}

std::string_view WeekdayName(int weekday, bool japanese) {
  const auto index = static_cast<std::size_t>(weekday);
  return japanese ? JapaneseWeekdayHeaders.at(index) : WeekdayHeaders.at(index);
}

std::string ShortMonthName(int month, bool japanese) {
  if (japanese) {
    return std::to_string(month) + "月";
  }
  return std::string(MonthNames.at(static_cast<std::size_t>(month - 1)).substr(0, 3));
}

std::string CoverTitle(const WallCalendar& calendar) {
  if (calendar.months.empty()) {
    return {};
  }
  const int first = calendar.months.front().year;
  const int last = calendar.months.back().year;
  std::string title = std::to_string(first);
  if (last != first) {
    title += " \u2013 " + std::to_string(last);
  }
  return title;
}

}  // namespace lunetta
