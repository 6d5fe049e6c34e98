#include "render/calendar_renderer.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <new>

#include "calendar/block_geometry.h"
#include "calendar/color_contrast.h"
#include "calendar/japanese_era.h"
#include "calendar/month_model.h"
#include "picture/load_picture_file.h"
#include "render/drawing.h"

namespace lunetta {

namespace {

QRect ToQRect(const Rect& rect) {
  return QRect(QPoint(rect.left, rect.top), QSize(rect.right - rect.left, rect.bottom - rect.top));
}

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The surface a block of width × height needs: no more than `limit`, and within the cap on a
// decoded picture, counted at the four bytes a pixel of the opaque-text layer takes.
QSize SurfaceSize(int width, int height, const std::optional<QSize>& limit) {
  if (limit) {
    width = std::min(width, limit->width());
    height = std::min(height, limit->height());
  }
  width = std::max(width, 1);
  height = std::max(height, 1);
  const qint64 rowBytes = qint64{width} * 4;
  return QSize(width, static_cast<int>(std::min<qint64>(height, kMaxDecodedBytes / rowBytes)));
}

bool RowHasDays(const MonthGrid& grid, int weekRow) {
  const auto row = grid.cells.begin() + weekRow * 7;
  return std::any_of(row, row + 7, [](const std::string& cell) { return !cell.empty(); });
}

int DayNumber(const std::string& cell) {
  int day = 0;
  std::from_chars(cell.data(), cell.data() + cell.size(), day);
  return day;
}

}  // namespace

QColor FadedColor(const QColor& color, const QColor& card, double share) {
  const auto mix = [share](int from, int to) {
    // Halfway keeps the integer halving it always had.
    return share == 0.5 ? (from + to) / 2
                        : from + static_cast<int>(std::lround((to - from) * share));
  };
  return QColor(mix(color.red(), card.red()), mix(color.green(), card.green()),
                mix(color.blue(), card.blue()));
}

DayMarks DayMarksFor(const CalendarSettings& settings, const LocalDate& today) {
  if (today.year != settings.year || today.month != settings.month || today.day < 1) {
    return {};
  }
  return {settings.todayMark ? today.day : 0, settings.dimPastDays ? today.day : 0};
}

void CalendarRenderer::SetFontName(const std::string& name) {
  if (!name.empty()) {
    fontName_ = name;
  }
}

void CalendarRenderer::SetTextSize(int size) {
  if (size > 0) {
    textSize_ = size;
  }
}

void CalendarRenderer::SetTextColor(const QColor& color) {
  textColor_ = color;
}

void CalendarRenderer::SetBackColor(const QColor& color) {
  backColor_ = color;
}

void CalendarRenderer::SetFontStyle(int weight, bool italic) {
  fontWeight_ = weight;
  fontItalic_ = italic;
}

void CalendarRenderer::SetMonth(int year, int month) {
  year_ = year;
  month_ = month;
}

void CalendarRenderer::SetHolidays(const std::vector<int>& days) {
  holidayDays_ = days;
}

void CalendarRenderer::SetWeekStart(WeekStart start) {
  weekStart_ = start;
}

void CalendarRenderer::SetJapaneseLabels(bool japanese) {
  japaneseLabels_ = japanese;
}

void CalendarRenderer::SetWeekNumbers(bool shown) {
  weekNumbers_ = shown;
}

void CalendarRenderer::SetDayMarks(const DayMarks& marks) {
  marks_ = marks;
}

void CalendarRenderer::SetDayColor(const QColor& color) {
  dayColor_ = color;
}

void CalendarRenderer::SetTitleEra(TitleEra era) {
  titleEra_ = era;
}

void CalendarRenderer::SetSurfaceLimit(int width, int height) {
  surfaceLimit_ = QSize(width, height);
}

void CalendarRenderer::SetScale(double scale) {
  scale_ = scale > 0 && std::isfinite(scale) ? scale : 1.0;
}

void CalendarRenderer::SetWeekendColors(const QColor& saturday, const QColor& sunday) {
  saturdayColor_ = saturday;
  sundayColor_ = sunday;
}

void CalendarRenderer::SetFade(double fade) {
  fade_ = std::clamp(fade, 0.0, 1.0);
}

void CalendarRenderer::SetLegibleMarks(bool legible) {
  legibleMarks_ = legible;
}

QFont CalendarRenderer::Font() const {
  return CreateFont(QString::fromStdString(fontName_), textSize_, fontWeight_, fontItalic_);
}

BlockGeometry CalendarRenderer::Geometry(const QFont& font, int weekRows) const {
  const TextMetrics metrics = MeasureFont(font);
  BlockExtras extras;
  const QFontMetrics measure(font);
  if (japaneseLabels_) {
    // The face may lack these glyphs and borrow them from a Japanese one, which runs wider.
    for (std::string_view name : JapaneseWeekdayHeaders) {
      extras.minCellWidth = std::max(
          extras.minCellWidth, measure.horizontalAdvance(ToQString(name)) + metrics.aveCharWidth);
    }
  }
  if (weekNumbers_) {
    extras.weekNumberWidth = measure.horizontalAdvance(QStringLiteral("53")) + metrics.aveCharWidth;
  }
  return ComputeBlockGeometry(metrics, fontName_, weekRows, extras);
}

BlockGeometry CalendarRenderer::Measure(int weekRows) const {
  return Geometry(Font(), weekRows);
}

BlockGeometry CalendarRenderer::LayOut() {
  // Validates year and month before anything changes.
  MonthGrid grid = BuildMonthGrid(year_, month_, weekStart_);
  QFont font = Font();
  geometry_ = Geometry(font, grid.weekRows);
  grid_ = std::move(grid);
  font_ = std::move(font);
  const auto scaled = [this](int length) { return static_cast<int>(std::lround(length * scale_)); };
  blockWidth_ = scaled(geometry_.blockWidth);
  blockHeight_ = scaled(geometry_.blockHeight);
  cellHeight_ = scaled(geometry_.cellHeight);
  return geometry_;
}

std::vector<TextRegion> CalendarRenderer::TextRegions(int daysBefore) const {
  if (daysBefore <= 0) {
    return BlockTextRegions(geometry_, grid_, holidayDays_, weekNumbers_,
                            QFontMetrics(font_).horizontalAdvance(Title()));
  }
  MonthGrid past = grid_;
  for (std::string& cell : past.cells) {
    if (!cell.empty() && DayNumber(cell) >= daysBefore) {
      cell.clear();
    }
  }
  std::vector<TextRegion> regions = BlockTextRegions(geometry_, past, holidayDays_, false);
  // The title and the weekday names come first, in the row above the days.
  const int daysTop = CellRect(geometry_, 1, 0).top;
  std::erase_if(regions, [daysTop](const TextRegion& region) { return region.rect.top < daysTop; });
  return regions;
}

const QImage& CalendarRenderer::Draw(bool withText) {
  LayOut();
  // Sized from the block: what the limit cuts off would never show on the picture.
  const QSize size = SurfaceSize(blockWidth_, blockHeight_, surfaceLimit_);
  if (surface_.size() != size) {
    surface_ = QImage(size, QImage::Format_RGB888);
    if (surface_.isNull()) {
      throw std::bad_alloc();
    }
  }
  QPainter painter(&surface_);
  FillSolidRect(painter, QRect(0, 0, blockWidth_, blockHeight_), backColor_);
  if (withText) {
    PaintText(painter);
  }
  return surface_;
}

void CalendarRenderer::DrawRing(QPainter& painter, const QRect& box) const {
  const qreal width = std::max(1.0, geometry_.cellHeight / 14.0);  // under the block's scale
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(dayColor_, width));
  painter.setBrush(Qt::NoBrush);
  const QRectF ring = QRectF(box).adjusted(width / 2, width / 2, -width / 2, -width / 2);
  painter.drawRoundedRect(ring, ring.height() / 3, ring.height() / 3);
  painter.restore();
}

QRect CalendarRenderer::TodayRect(const Rect& cell) const {
  // Around the right-aligned number, as wide as two digits and a margin each side; the cell to the
  // right starts with blank space, and the block has half a cell to spare after the last column.
  const QFontMetrics measure(font_);
  const int margin = std::max(2, measure.averageCharWidth() / 3);
  const int width = measure.horizontalAdvance(QStringLiteral("00")) + 2 * margin;
  const QRect box(QPoint(cell.right + margin - width, cell.top + 1),
                  QPoint(cell.right + margin - 1, cell.bottom - 2));
  return box.intersected(QRect(0, 0, geometry_.blockWidth, geometry_.blockHeight));
}

QColor CalendarRenderer::TodayNumberColor(const QColor& fill) const {
  if (!legibleMarks_) {
    return backColor_;
  }
  const ColorRef day = RefFromColor(fill);
  const ColorRef card = RefFromColor(backColor_);
  if (ContrastRatio(card, day) >= kLegibleRatio) {
    return backColor_;
  }
  return ContrastRatio(0x000000, day) >= ContrastRatio(0xFFFFFF, day) ? QColor(Qt::black)
                                                                      : QColor(Qt::white);
}

QString CalendarRenderer::Title() const {
  if (titleEra_ == TitleEra::EraOnly || titleEra_ == TitleEra::GregorianFirst) {
    QString era = ToQString(JapaneseEraTitle(
        year_, month_,
        titleEra_ == TitleEra::EraOnly ? EraTitle::EraOnly : EraTitle::GregorianFirst));
    // The longer form gives way to the era alone where it would run past the card.
    if (titleEra_ == TitleEra::GregorianFirst &&
        QFontMetrics(font_).horizontalAdvance(era) > geometry_.blockWidth) {
      era = ToQString(JapaneseEraTitle(year_, month_, EraTitle::EraOnly));
    }
    if (!era.isEmpty()) {
      return era;
    }
  }
  return japaneseLabels_
             ? QStringLiteral("%1年%2月").arg(year_).arg(month_)
             : QStringLiteral("%1 / %2").arg(year_).arg(ToQString(MonthNames[month_ - 1]));
}

void CalendarRenderer::PaintText(QPainter& painter) const {
  painter.save();
  painter.scale(scale_, scale_);
  painter.setFont(font_);
  DrawSingleLineText(painter, ToQRect(TitleRect(geometry_)), Title(), TextAlign::Center,
                     textColor_);

  for (int row = 0; row < 7; ++row) {
    // A reserved row without days (a February that fills four) has no week to number.
    if (weekNumbers_ && row >= 1 && RowHasDays(grid_, row - 1)) {
      DrawSingleLineText(painter, ToQRect(WeekNumberRect(geometry_, row)),
                         QString::number(IsoWeekOfRow(grid_, row - 1)), TextAlign::Center,
                         textColor_);
    }
    for (int column = 0; column < 7; ++column) {
      const int weekday = ColumnWeekday(column, weekStart_);
      QColor color = textColor_;
      if (weekday == 0) {
        color = sundayColor_;
      } else if (weekday == 6) {
        color = saturdayColor_;
      }
      QString text;
      if (row == 0) {
        text =
            ToQString(japaneseLabels_ ? JapaneseWeekdayHeaders[weekday] : WeekdayHeaders[weekday]);
      } else {
        const std::string& cell = grid_.cells[(row - 1) * 7 + column];
        if (cell.empty()) {
          continue;
        }
        const int day = DayNumber(cell);
        if (std::find(holidayDays_.begin(), holidayDays_.end(), day) != holidayDays_.end()) {
          color = sundayColor_;
        }
        text = QString::fromStdString(cell);
        if (day == marks_.today) {
          // The cell's own colours swapped: the pair keeps the contrast the user chose.
          FillSolidRect(painter, TodayRect(CellRect(geometry_, row, column)), color);
          color = TodayNumberColor(color);
        } else if (day < marks_.dimBefore) {
          color = FadedColor(color, backColor_, fade_);
        }
        if (std::find(marks_.ownDays.begin(), marks_.ownDays.end(), day) != marks_.ownDays.end()) {
          DrawRing(painter, TodayRect(CellRect(geometry_, row, column)));
        }
      }
      DrawSingleLineText(painter, ToQRect(CellRect(geometry_, row, column)), text, TextAlign::Right,
                         color);
    }
  }
  painter.restore();
}

}  // namespace lunetta
