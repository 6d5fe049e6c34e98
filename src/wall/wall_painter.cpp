#include "wall/wall_painter.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <string>

#include "render/drawing.h"
#include "render/font_substitutes.h"

namespace lunetta {

namespace {

constexpr double kRuleWidth = 0.5;       // points: the grid's lines
constexpr double kTrimMarkWidth = 0.25;  // points: a print shop's hairline
const QColor kRuleColor(176, 176, 176);
const QColor kMissingDayColor(236, 236, 236);
const QColor kSundayTint(253, 236, 236);
const QColor kSaturdayTint(234, 240, 251);

QString Text(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QRectF ToQt(const PointRect& rect) {
  return {rect.x, rect.y, rect.width, rect.height};
}

bool IsHoliday(const std::vector<WallDayMark>& marks, int day) {
  return std::any_of(marks.begin(), marks.end(), [day](const WallDayMark& mark) {
    return mark.day == day && mark.kind == DayMarkKind::Holiday;
  });
}

bool IsUsersDay(const std::vector<WallDayMark>& marks, int day) {
  return std::any_of(marks.begin(), marks.end(), [day](const WallDayMark& mark) {
    return mark.day == day && mark.kind == DayMarkKind::Day;
  });
}

// What draws text on one page: the options' font and colours, measured on the painter's device.
class PageText {
 public:
  PageText(QPainter& painter, const WallOptions& options) : painter_(painter), options_(options) {}

  QColor Color(ColorRef color) const { return ColorFromRef(color); }

  QColor WeekdayColor(int weekday, bool holiday) const {
    if (weekday == 0 || holiday) {
      return Color(kRed);
    }
    return Color(weekday == 6 ? kBlue : options_.textColor);
  }

  void Draw(const PointRect& box, std::string_view text, double size, QFont::Weight weight,
            const QColor& color, Qt::Alignment align) {
    painter_.setFont(Font(size, weight));
    painter_.setPen(color);
    painter_.drawText(ToQt(box), static_cast<int>(align | Qt::TextSingleLine), Text(text));
  }

  double Width(std::string_view text, double size, QFont::Weight weight = QFont::Normal) const {
    return QFontMetricsF(Font(size, weight), painter_.device()).horizontalAdvance(Text(text));
  }

  TextWidth Measure() const {
    return [this](std::string_view text, double size) { return Width(text, size); };
  }

  void DrawNames(const std::vector<PlacedName>& names) {
    for (const PlacedName& name : names) {
      Draw(name.box, name.text, name.size, QFont::Normal,
           Color(name.kind == DayMarkKind::Holiday ? kRed : options_.dayColor),
           Qt::AlignLeft | Qt::AlignVCenter);
    }
  }

 private:
  QFont Font(double size, QFont::Weight weight) const {
    return WallFont(options_, size, weight, *painter_.device());
  }

  QPainter& painter_;
  const WallOptions& options_;
};

void DrawPhoto(QPainter& painter, const PagePhoto& place, const QImage& photo) {
  const PixelRect crop = CropPhoto(photo.width(), photo.height(), place.area.size(), place.crop);
  painter.save();
  painter.setClipRect(ToQt(place.area));
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  painter.drawImage(ToQt(place.area), photo, QRectF(crop.x, crop.y, crop.width, crop.height));
  painter.restore();
}

void DrawRule(QPainter& painter, double x1, double y1, double x2, double y2) {
  painter.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void PaintMonth(QPainter& painter, const WallCalendar& calendar, const WallMonth& month) {
  const WallOptions& options = calendar.options;
  const MonthPageLayout layout = LayoutMonthPage(options, month.year, month.month);
  PageText text(painter, options);
  const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignVCenter;

  text.Draw(layout.title, MonthTitle(month.year, month.month, options.japaneseLabels),
            layout.titleSize, QFont::Bold, text.Color(options.textColor),
            Qt::AlignLeft | Qt::AlignVCenter);
  for (std::size_t column = 0; column < layout.weekdayCells.size(); ++column) {
    const int weekday = layout.weekdays[column];
    text.Draw(layout.weekdayCells[column], WeekdayName(weekday, options.japaneseLabels),
              layout.weekdaySize, QFont::Bold, text.WeekdayColor(weekday, false), centred);
  }

  painter.setPen(QPen(kRuleColor, kRuleWidth));
  const PointRect& rows = layout.dayRows;
  const double left = rows.x + layout.weekNumberWidth;
  for (int row = 0; row <= layout.rows; ++row) {
    const double y = rows.y + row * layout.cellHeight;
    DrawRule(painter, left, y, rows.right(), y);
  }
  for (int column = 0; column <= 7; ++column) {
    const double x = left + column * layout.cellWidth;
    DrawRule(painter, x, rows.y, x, rows.bottom());
  }

  for (std::size_t row = 0; row < layout.weekNumberCells.size(); ++row) {
    text.Draw(layout.weekNumberCells[row], std::to_string(layout.weekNumbers[row]), layout.nameSize,
              QFont::Normal, kRuleColor.darker(150), centred);
  }

  for (const DayCell& day : layout.days) {
    const QColor color = text.WeekdayColor(day.weekday, IsHoliday(month.marks, day.day));
    const std::string number = std::to_string(day.day);
    text.Draw(day.number, number, layout.dayNumberSize, QFont::Bold, color,
              Qt::AlignLeft | Qt::AlignVCenter);
    if (IsUsersDay(month.marks, day.day)) {
      // The user's own days are underlined in their colour, as on the wallpaper's block.
      const double width = text.Width(number, layout.dayNumberSize, QFont::Bold);
      const double y = day.number.bottom() - 0.06 * layout.dayNumberSize;
      painter.setPen(QPen(text.Color(options.dayColor), 0.08 * layout.dayNumberSize));
      DrawRule(painter, day.number.x, y, day.number.x + width, y);
    }
    text.DrawNames(PlaceNames(day.names, layout.nameSize, layout.minNameSize, month.marks, day.day,
                              text.Measure()));
  }
}

void PaintCover(QPainter& painter, const WallCalendar& calendar) {
  const CoverLayout layout = LayoutCover(calendar.options);
  PageText text(painter, calendar.options);
  text.Draw(layout.year, CoverTitle(calendar), layout.yearSize, QFont::Bold,
            text.Color(calendar.options.textColor), Qt::AlignCenter);
}

void PaintPlanner(QPainter& painter, const WallCalendar& calendar) {
  const WallOptions& options = calendar.options;
  const int columns = static_cast<int>(calendar.months.size());
  const PlannerLayout layout = LayoutPlanner(options, columns);
  PageText text(painter, options);
  text.Draw(layout.title, CoverTitle(calendar), layout.titleSize, QFont::Bold,
            text.Color(options.textColor), Qt::AlignCenter);

  const double padding = 0.1 * layout.rowHeight;
  for (int column = 0; column < columns; ++column) {
    const WallMonth& month = calendar.months[static_cast<std::size_t>(column)];
    text.Draw(layout.monthHeads[static_cast<std::size_t>(column)],
              ShortMonthName(month.month, options.japaneseLabels), layout.headSize, QFont::Bold,
              text.Color(options.textColor), Qt::AlignCenter);
    const int length = MonthLength(month.year, month.month);
    const int first = FirstWeekday(month.year, month.month);
    for (int day = 1; day <= 31; ++day) {
      const PointRect cell = layout.Cell(column, day);
      if (day > length) {
        painter.fillRect(ToQt(cell), kMissingDayColor);
        continue;
      }
      const int weekday = (first + day - 1) % 7;
      const bool holiday = IsHoliday(month.marks, day);
      if (weekday == 0 || holiday) {
        painter.fillRect(ToQt(cell), kSundayTint);
      } else if (weekday == 6) {
        painter.fillRect(ToQt(cell), kSaturdayTint);
      }
      const std::string label =
          std::to_string(day) + " " + std::string(WeekdayName(weekday, options.japaneseLabels));
      const PointRect inner{cell.x + padding, cell.y, cell.width - 2 * padding, cell.height};
      text.Draw(inner, label, layout.numberSize, QFont::Normal, text.WeekdayColor(weekday, holiday),
                Qt::AlignLeft | Qt::AlignVCenter);
      const double used = text.Width(label, layout.numberSize) + padding;
      const PointRect names{inner.x + used, cell.y + padding, inner.width - used,
                            cell.height - 2 * padding};
      text.DrawNames(
          PlaceNames(names, layout.nameSize, layout.minNameSize, month.marks, day, text.Measure()));
    }
  }
  painter.setPen(QPen(kRuleColor, kRuleWidth));
  const PointRect& days = layout.days;
  for (int day = 0; day <= 31; ++day) {
    const double y = days.y + day * layout.rowHeight;
    DrawRule(painter, days.x, y, days.right(), y);
  }
  for (int column = 0; column <= columns; ++column) {
    const double x = days.x + column * layout.columnWidth;
    DrawRule(painter, x, days.y, x, days.bottom());
  }
}

}  // namespace

QFont WallFont(const WallOptions& options, double size, QFont::Weight weight,
               const QPaintDevice& device) {
  InstallFontSubstitutes();
  const QString face = QString::fromStdString(options.fontName);
  // A family list takes no substitutes of its own accord.
  QFont font;
  font.setFamilies(QStringList{face} + QFont::substitutes(face) +
                   QStringList{QStringLiteral("IPAPGothic")});
  // A point size becomes pixels at the device's resolution; the painter's units are points.
  font.setPointSizeF(std::max(size, 0.1) * kPointsPerInch / device.logicalDpiY());
  font.setWeight(QFont::Weight(SubstituteWeight(face, weight)));
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

void PaintWallPage(QPainter& painter, const WallCalendar& calendar, const WallPage& page,
                   const QImage* photo) {
  const PagePhoto place = PhotoOfPage(calendar, page);
  if (page.kind == WallPageKind::Planner) {
    for (const WallMonth& month : calendar.months) {
      BuildMonthGrid(month.year, month.month);  // a month it cannot place throws here
    }
  }
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  if (photo != nullptr && !photo->isNull() && page.kind != WallPageKind::Planner) {
    DrawPhoto(painter, place, *photo);
  }
  switch (page.kind) {
    case WallPageKind::Cover:
      PaintCover(painter, calendar);
      break;
    case WallPageKind::Month:
      PaintMonth(painter, calendar, calendar.months.at(static_cast<std::size_t>(page.month)));
      break;
    case WallPageKind::Planner:
      PaintPlanner(painter, calendar);
      break;
  }
  if (calendar.options.trimMarks) {
    painter.setPen(QPen(Qt::black, kTrimMarkWidth));
    for (const PointLine& mark : TrimMarks(FramePage(calendar.options))) {
      DrawRule(painter, mark.x1, mark.y1, mark.x2, mark.y2);
    }
  }
  painter.restore();
}

}  // namespace lunetta
