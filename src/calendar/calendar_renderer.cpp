#include "calendar/calendar_renderer.h"

#include <QPainter>
#include <QRect>
#include <algorithm>
#include <charconv>
#include <new>

#include "calendar/block_geometry.h"
#include "calendar/month_model.h"
#include "platform/drawing.h"

namespace lunetta {

namespace {

QRect ToQRect(const Rect& rect) {
  return QRect(QPoint(rect.left, rect.top), QSize(rect.right - rect.left, rect.bottom - rect.top));
}

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int DayNumber(const std::string& cell) {
  int day = 0;
  std::from_chars(cell.data(), cell.data() + cell.size(), day);
  return day;
}

}  // namespace

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

void CalendarRenderer::SetTextColor(ColorRef color) {
  textColor_ = color;
}

void CalendarRenderer::SetBackColor(ColorRef color) {
  backColor_ = color;
}

void CalendarRenderer::SetFontStyle(int weight, int italic) {
  fontWeight_ = weight;
  fontItalic_ = italic;
}

void CalendarRenderer::SetMonth(int year, int month) {
  year_ = year;
  month_ = month;
}

void CalendarRenderer::SetHolidays(const std::vector<int>& days) {
  const auto count = std::min(days.size(), static_cast<std::size_t>(kMaxHolidays));
  holidayDays_.assign(days.begin(), days.begin() + static_cast<std::ptrdiff_t>(count));
}

const QImage& CalendarRenderer::Draw() {
  // Validates year and month before anything changes.
  const MonthGrid grid = BuildMonthGrid(year_, month_);

  const QFont font =
      CreateFont(QString::fromStdString(fontName_), textSize_, fontWeight_, fontItalic_ != 0);
  const BlockGeometry geometry = ComputeBlockGeometry(MeasureFont(font), fontName_, grid.weekRows);

  // The surface is made once and reused: only the block's rectangle is ever drawn or read.
  if (surface_.isNull()) {
    surface_ = QImage(kSurfaceWidth, kSurfaceHeight, QImage::Format_RGB888);
    if (surface_.isNull()) {
      throw std::bad_alloc();
    }
  }

  blockWidth_ = geometry.blockWidth;
  blockHeight_ = geometry.blockHeight;
  cellWidth_ = geometry.cellWidth;
  cellHeight_ = geometry.cellHeight;

  QPainter painter(&surface_);
  painter.setFont(font);
  FillSolidRect(painter, QRect(0, 0, blockWidth_, blockHeight_), backColor_);

  const QString title = QStringLiteral("%1 / %2").arg(year_).arg(ToQString(MonthNames[month_ - 1]));
  DrawSingleLineText(painter, ToQRect(TitleRect(geometry)), title, TextAlign::Center, textColor_);

  for (int row = 0; row < 7; ++row) {
    for (int column = 0; column < 7; ++column) {
      ColorRef color = textColor_;
      if (column == 0) {
        color = kRed;
      } else if (column == 6) {
        color = kBlue;
      }
      QString text;
      if (row == 0) {
        text = ToQString(WeekdayHeaders[column]);
      } else {
        const std::string& cell = grid.cells[(row - 1) * 7 + column];
        if (cell.empty()) {
          continue;
        }
        if (std::find(holidayDays_.begin(), holidayDays_.end(), DayNumber(cell)) !=
            holidayDays_.end()) {
          color = kRed;
        }
        text = QString::fromStdString(cell);
      }
      DrawSingleLineText(painter, ToQRect(CellRect(geometry, row, column)), text, TextAlign::Right,
                         color);
    }
  }
  return surface_;
}

}  // namespace lunetta
