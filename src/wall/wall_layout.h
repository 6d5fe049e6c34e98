#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/calendar_settings.h"
#include "calendar/month_model.h"

// The printed wall calendar's pages as geometry: where the photo, the title, the weekday names and
// the day cells go, in points (1/72 inch) from the top left corner of the page's media box. Plain
// data and pure functions; the painter and the PDF writer draw what these give.

namespace lunetta {

inline constexpr double kPointsPerInch = 72.0;
inline constexpr double kPointsPerMm = 72.0 / 25.4;
/// A print shop's usual bleed, and the most any asks for.
inline constexpr double kStandardBleed = 3 * kPointsPerMm;
inline constexpr double kMaxBleed = 10 * kPointsPerMm;
/// Photos go into the PDF at no more than this many pixels per inch of print.
inline constexpr double kPrintDpi = 300.0;
/// Below this a photo shows its pixels in print.
inline constexpr double kLowResolutionDpi = 150.0;
/// A day cell is never smaller than this, so that there is room to write in it.
inline constexpr double kMinCellHeight = 10 * kPointsPerMm;
inline constexpr double kMinCellWidth = 14 * kPointsPerMm;

enum class Paper { A4, A3, Letter, Tabloid };
enum class PageOrientation { Portrait, Landscape };
enum class PhotoPosition { Top, Left, Right };

struct PointSize {
  double width = 0;
  double height = 0;
  bool operator==(const PointSize&) const = default;
};

struct PointRect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;

  double right() const { return x + width; }
  double bottom() const { return y + height; }
  PointSize size() const { return {width, height}; }
  /// Larger by `by` on every side (smaller for a negative `by`).
  PointRect Grown(double by) const { return {x - by, y - by, width + 2 * by, height + 2 * by}; }
  bool operator==(const PointRect&) const = default;
};

struct PointLine {
  double x1 = 0;
  double y1 = 0;
  double x2 = 0;
  double y2 = 0;
  bool operator==(const PointLine&) const = default;
};

/// A box as a PDF states it: corners in points, y upwards from the media box's bottom edge.
struct PdfBox {
  double left = 0;
  double bottom = 0;
  double right = 0;
  double top = 0;
  bool operator==(const PdfBox&) const = default;
};

/// How a day's names are drawn: a holiday in the holiday red, the user's own days in dayColor.
enum class DayMarkKind { Holiday, Day };

/// A day of the month that a holiday list or a calendar file marks, with the names to write in its
/// cell (UTF-8, in the order they are written).
struct WallDayMark {
  int day = 0;
  DayMarkKind kind = DayMarkKind::Holiday;
  std::vector<std::string> names;
};

/// Which part of a photo shows where it is cut to the shape of its area: 0 keeps the left (top)
/// edge, 1 the right (bottom) edge, 0.5 the middle.
struct PhotoCrop {
  double x = 0.5;
  double y = 0.5;
};

struct WallOptions {
  Paper paper = Paper::A4;
  PageOrientation orientation = PageOrientation::Portrait;
  PhotoPosition photoPosition = PhotoPosition::Top;
  /// The photo's part of the page's height (top) or width (left, right); kept where the day cells
  /// stay large enough to write in.
  double photoShare = 0.5;
  /// How far the photo reaches past the trim, in points: 0, or kStandardBleed for a print shop;
  /// at most kMaxBleed.
  double bleed = 0;
  bool trimMarks = false;
  WeekStart weekStart = WeekStart::Sunday;
  bool weekNumbers = false;
  bool japaneseLabels = false;  // 2026年5月, 日 月 … 土
  bool cover = false;
  bool yearPlanner = false;
  std::string fontName = "Arial";
  ColorRef textColor = 0x000000;
  ColorRef dayColor = 0x327D2E;  // the user's own days: their names, the line under the number
};

/// One month's page: the month, its marked days and its photo.
struct WallMonth {
  int year = 0;
  int month = 0;
  std::vector<WallDayMark> marks;
  std::filesystem::path photo;  // empty: none
  PhotoCrop crop;
};

/// A whole wall calendar: the cover (when options.cover), the months in page order, and the year
/// planner of those months (when options.yearPlanner).
struct WallCalendar {
  WallOptions options;
  std::vector<WallMonth> months;
  std::filesystem::path coverPhoto;
  PhotoCrop coverCrop;
};

enum class WallPageKind { Cover, Month, Planner };

struct WallPage {
  WallPageKind kind = WallPageKind::Month;
  int month = 0;  // index into WallCalendar::months, for a month's page
  bool operator==(const WallPage&) const = default;
};

/// The pages of `calendar` in print order.
std::vector<WallPage> WallPages(const WallCalendar& calendar);

// Page frame

/// The paper's trimmed size.
PointSize PaperSize(Paper paper, PageOrientation orientation);

/// The boxes of a page: the trim is the paper; the bleed box reaches `bleed` past it; the media
/// box holds the bleed and, with trim marks, the marks beyond it.
struct PageFrame {
  PointRect media;  // at (0, 0)
  PointRect bleed;
  PointRect trim;
};

PageFrame FramePage(const WallOptions& options);

/// How far a trim mark stays from the trim (never into the bleed) and how long it is.
double TrimMarkOffset(double bleed);
inline constexpr double kTrimMarkLength = 5 * kPointsPerMm;

/// Two marks at each corner of the trim, on the lines of its edges, outside the bleed: top left
/// horizontal and vertical, then top right, bottom left, bottom right.
std::array<PointLine, 8> TrimMarks(const PageFrame& frame);

/// `rect` of `frame`'s page in PDF coordinates.
PdfBox ToPdfBox(const PointRect& rect, const PageFrame& frame);

// Month page

struct DayCell {
  int day = 0;
  int weekday = 0;   // 0 = Sunday … 6 = Saturday
  PointRect cell;    // the whole cell, between the grid's lines
  PointRect number;  // the day number's line at the cell's top
  PointRect names;   // below the number: room for the day's names
};

struct MonthPageLayout {
  PageFrame frame;
  PointRect photo;  // its share of the trim, reaching into the bleed on the page's own edges
  PointRect grid;   // everything of the calendar: title, weekday names, day rows
  PointRect title;
  double titleSize = 0;
  std::array<PointRect, 7> weekdayCells{};
  std::array<int, 7> weekdays{};  // of each column, 0 = Sunday
  double weekdaySize = 0;
  PointRect dayRows;  // the rows of day cells, week numbers included
  int rows = 5;
  double cellWidth = 0;
  double cellHeight = 0;
  double weekNumberWidth = 0;                // the week numbers' column at dayRows' left; 0: none
  std::vector<PointRect> weekNumberCells{};  // one per row, on the day numbers' line
  std::vector<int> weekNumbers{};            // ISO 8601, one per row
  std::vector<DayCell> days{};               // day 1 first
  double dayNumberSize = 0;
  double nameSize = 0;
  double minNameSize = 0;
};

/// The share of the page the photo takes: options.photoShare within 0.2..0.8, less where the day
/// cells of a six-row month would otherwise be smaller than kMinCellHeight × kMinCellWidth.
double PhotoShare(const WallOptions& options);

/// Throws InvalidArgumentError for a month the month model cannot place.
MonthPageLayout LayoutMonthPage(const WallOptions& options, int year, int month);

/// The width of `text` (UTF-8) at `size` points in the page's font.
using TextWidth = std::function<double(std::string_view text, double size)>;

struct PlacedName {
  std::string text;
  DayMarkKind kind = DayMarkKind::Holiday;
  PointRect box;
  double size = 0;
};

/// The names of a day that fit in `area`, a line each from the top: each at `size`, or smaller
/// down to `minSize` where that makes it fit the width. A name too wide even then is left out, and
/// so are the names after the last line that fits.
std::vector<PlacedName> PlaceNames(const PointRect& area, double size, double minSize,
                                   const std::vector<WallDayMark>& marks, int day,
                                   const TextWidth& width);

// Cover and year planner

struct CoverLayout {
  PageFrame frame;
  PointRect photo;
  PointRect year;  // the year's line below the photo
  double yearSize = 0;
};

CoverLayout LayoutCover(const WallOptions& options);

struct PlannerLayout {
  PageFrame frame;
  PointRect title;
  double titleSize = 0;
  std::vector<PointRect> monthHeads;  // one per column
  double headSize = 0;
  PointRect days;  // 31 rows of `columns` columns
  double columnWidth = 0;
  double rowHeight = 0;
  double numberSize = 0;  // the day number and weekday
  double nameSize = 0;
  double minNameSize = 0;

  /// The cell of day 1..31 in column 0..columns-1.
  PointRect Cell(int column, int day) const;
};

PlannerLayout LayoutPlanner(const WallOptions& options, int columns);

// Photo placement

struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PixelRect&) const = default;
};

/// The largest part of a `photoWidth` × `photoHeight` photo in the shape of `area`, placed as
/// `crop` says: what fills the area.
PixelRect CropPhoto(int photoWidth, int photoHeight, PointSize area, PhotoCrop crop);

/// Pixels per inch of a crop printed over `area`.
double EffectiveDpi(const PixelRect& crop, PointSize area);

struct PixelSize {
  int width = 0;
  int height = 0;
  bool operator==(const PixelSize&) const = default;
};

/// The pixels the crop goes into the PDF with: its own up to kPrintDpi; above that, the area's
/// size at kPrintDpi, rounded up so that the print never falls below it.
PixelSize EmbeddedPixels(const PixelRect& crop, PointSize area);

/// A page's photo: the file, where it goes and how it is cut to the area's shape.
struct PagePhoto {
  std::filesystem::path file;  // empty: the page has none
  PointRect area;
  PhotoCrop crop;
};

/// Throws InvalidArgumentError for a month the month model cannot place.
PagePhoto PhotoOfPage(const WallCalendar& calendar, const WallPage& page);

// Words on the pages

/// "May 2026", or "2026年5月" in Japanese.
std::string MonthTitle(int year, int month, bool japanese);
/// "Sun" … "Sat", or 日 … 土; weekday 0 = Sunday.
std::string_view WeekdayName(int weekday, bool japanese);
/// "Jan" … "Dec", or "1月" … "12月".
std::string ShortMonthName(int month, bool japanese);
/// "2026", or "2026 – 2027" for months that reach into the next year.
std::string CoverTitle(const WallCalendar& calendar);

}  // namespace lunetta
