#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QSize>
#include <optional>
#include <string>
#include <vector>

#include "calendar/block_geometry.h"
#include "calendar/calendar_settings.h"
#include "calendar/month_model.h"
#include "calendar/text_regions.h"

class QPainter;

namespace lunetta {

/// The contrast ratio legible text reaches: WCAG 2's for normal text.
inline constexpr double kLegibleRatio = 4.5;

/// What the block marks on the days of the month drawn besides their weekday colours: the day it
/// is seen on, and the user's own days.
struct DayMarks {
  int today =
      0;  // this day's cell is filled in the day's colour, its number in the card's; 0: none
  int dimBefore = 0;           // the days before this one are drawn faded towards the card; 0: none
  std::vector<int> ownDays{};  // ringed in the day colour: birthdays, family and school days

  bool operator==(const DayMarks&) const = default;
};

/// `share` of the way from `color` to `card`, each channel: halfway, the past days' fade, is still
/// readable and plainly behind the days to come.
QColor FadedColor(const QColor& color, const QColor& card, double share);

/// The marks `settings` ask for when the month they draw is the one `today` lies in; none
/// otherwise.
DayMarks DayMarksFor(const CalendarSettings& settings, const LocalDate& today);

/// Draws the calendar block of one month onto a surface of its own.
class CalendarRenderer {
 public:
  /// An empty name keeps the current one.
  void SetFontName(const std::string& name);
  /// A size of 0 or less keeps the current one.
  void SetTextSize(int size);
  void SetTextColor(const QColor& color);
  void SetBackColor(const QColor& color);
  void SetFontStyle(int weight, bool italic);
  void SetMonth(int year, int month);
  /// The days drawn in the holiday red; a day the month lacks marks nothing.
  void SetHolidays(const std::vector<int>& days);
  void SetWeekStart(WeekStart start);
  /// Title "2026年12月" and weekday names 日 … 土 instead of "2026 / December" and "Sun" … "Sat".
  void SetJapaneseLabels(bool japanese);
  /// A first column of ISO 8601 week numbers.
  void SetWeekNumbers(bool shown);
  void SetDayMarks(const DayMarks& marks);
  /// The colour of the ring around the user's own days.
  void SetDayColor(const QColor& color);
  /// The title in era years; a value TitleEra does not name draws the usual title.
  void SetTitleEra(TitleEra era);
  /// The surface holds no more of the block than width × height, the most of it a picture shows;
  /// without a limit, as much as the decoded-picture cap allows.
  void SetSurfaceLimit(int width, int height);
  /// The block laid out at the text size is drawn this many times as large (1: as laid out).
  void SetScale(double scale);
  /// Saturday's colour, and Sunday's and the holidays'.
  void SetWeekendColors(const QColor& saturday, const QColor& sunday);
  /// How far the faded days go towards the card's colour: 0 not at all, 1 all the way (0.5).
  void SetFade(double fade);
  /// Today's number is drawn in the card's colour only where that reads at 4.5:1 on the day's
  /// colour, else in black or white, whichever reads better.
  void SetLegibleMarks(bool legible);

  /// Lays the block out as Draw would, without drawing it: its geometry at the text size, unscaled.
  /// Throws InvalidArgumentError for a month it cannot place.
  BlockGeometry LayOut();
  /// The geometry a month of `weekRows` week rows would have; nothing is kept.
  BlockGeometry Measure(int weekRows) const;
  /// The texts of the block laid out last, unscaled, in block coordinates; with `daysBefore`, only
  /// the numbers of the days before that one.
  std::vector<TextRegion> TextRegions(int daysBefore = 0) const;

  /// Draws the block into the rectangle (0, 0, blockWidth, blockHeight) of the returned surface,
  /// which stays valid until the next Draw: the card in the back colour and, unless `withText` is
  /// false, the text on it. The surface is the block's size, or smaller where the limit cuts it.
  /// Throws InvalidArgumentError for a month it cannot place.
  const QImage& Draw(bool withText = true);

  /// Paints the text of the block drawn last onto `painter`, the block's top left at (0, 0).
  void PaintText(QPainter& painter) const;

  int blockWidth() const { return blockWidth_; }
  int blockHeight() const { return blockHeight_; }
  int cellHeight() const { return cellHeight_; }
  /// The layout of the block drawn last, unscaled.
  const BlockGeometry& geometry() const { return geometry_; }

 private:
  QRect TodayRect(const Rect& cell) const;
  QFont Font() const;
  BlockGeometry Geometry(const QFont& font, int weekRows) const;
  QColor TodayNumberColor(const QColor& fill) const;
  QString Title() const;
  /// The ring around one of the user's own days.
  void DrawRing(QPainter& painter, const QRect& box) const;

  int blockWidth_ = 0;
  int blockHeight_ = 0;
  int cellHeight_ = 0;
  int textSize_ = 24;
  std::string fontName_ = "Garamond";
  QImage surface_;
  QColor textColor_ = Qt::green;
  QColor backColor_ = Qt::white;
  int month_ = 1;
  int year_ = 2005;
  int fontWeight_ = 400;
  bool fontItalic_ = false;
  std::vector<int> holidayDays_;
  WeekStart weekStart_ = WeekStart::Sunday;
  bool japaneseLabels_ = false;
  bool weekNumbers_ = false;
  DayMarks marks_;
  QColor dayColor_ = Qt::darkGreen;
  TitleEra titleEra_ = TitleEra::None;
  std::optional<QSize> surfaceLimit_;
  double scale_ = 1;
  QColor saturdayColor_ = QColor(0, 0, 255);
  QColor sundayColor_ = QColor(255, 0, 0);
  double fade_ = 0.5;
  bool legibleMarks_ = false;
  // What the last Draw laid out, for PaintText.
  MonthGrid grid_;
  BlockGeometry geometry_;
  QFont font_;
};

}  // namespace lunetta
