#include "render/drawing.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "render/font_substitutes.h"

namespace lunetta {

namespace {

// Font heights beyond this are clamped: nothing larger fits the picture, and the block geometry
// derived from the metrics must stay far from integer overflow.
constexpr int kMaxFontPixels = 4096;

QFont::Weight WeightFromScale(int weight) {
  // 0 is "don't care", which the platform draws as normal.
  if (weight <= 0) {
    return QFont::Normal;
  }
  return static_cast<QFont::Weight>(std::min(weight, 1000));
}

int CellHeightAt(QFont font, int pixelSize) {
  font.setPixelSize(pixelSize);
  return QFontMetrics(font).height();
}

// The largest pixel size whose cell height (ascent + descent) does not exceed `cellHeight`. Cell
// height grows with the pixel size, so doubling and then halving the step finds it.
int PixelSizeForCellHeight(const QFont& font, int cellHeight) {
  int low = 1;  // also the answer when even the smallest size is too tall
  int high = 2;
  while (CellHeightAt(font, high) <= cellHeight) {
    low = high;
    if (high == kMaxFontPixels) {
      return high;
    }
    high = std::min(high * 2, kMaxFontPixels);
  }
  // height(high) > cellHeight, and height(low) <= cellHeight unless low is the smallest size.
  while (high - low > 1) {
    const int middle = low + (high - low) / 2;
    if (CellHeightAt(font, middle) <= cellHeight) {
      low = middle;
    } else {
      high = middle;
    }
  }
  return low;
}

}  // namespace

QColor ColorFromRef(ColorRef color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

ColorRef RefFromColor(const QColor& color) {
  const QRgb rgb = color.rgb();
  return static_cast<ColorRef>(qRed(rgb)) | (static_cast<ColorRef>(qGreen(rgb)) << 8) |
         (static_cast<ColorRef>(qBlue(rgb)) << 16);
}

ColorRef DesktopBackgroundColor() {
  return 0xA56E3A;
}

QFont CreateFont(const QString& face, int height, int weight, bool italic) {
  // Every program and test draws the same block only if the same faces stand in.
  InstallFontSubstitutes();
  QFont font(face);
  font.setWeight(WeightFromScale(SubstituteWeight(face, weight)));
  font.setItalic(italic);
  font.setStyleStrategy(
      static_cast<QFont::StyleStrategy>(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
  if (height < 0) {
    font.setPixelSize(
        std::min(-static_cast<long long>(height), static_cast<long long>(kMaxFontPixels)));
  } else if (height > 0) {
    font.setPixelSize(PixelSizeForCellHeight(font, std::min(height, kMaxFontPixels)));
  }
  return font;
}

TextMetrics MeasureFont(const QFont& font) {
  const QFontMetrics metrics(font);
  TextMetrics result;
  result.height = metrics.ascent() + metrics.descent();
  result.aveCharWidth = metrics.averageCharWidth();
  // The block is drawn in an 8-bit character set; the widest character of that repertoire is the
  // maximum width, not the widest glyph of the whole face.
  int widest = 0;
  const auto consider = [&](char16_t first, char16_t last) {
    for (char16_t c = first; c <= last; ++c) {
      widest = std::max(widest, metrics.horizontalAdvance(QChar(c)));
    }
  };
  consider(u'\u0020', u'\u007E');
  consider(u'\u00A0', u'\u00FF');
  result.maxCharWidth = widest;
  return result;
}

void DrawSingleLineText(QPainter& painter, const QRect& rect, const QString& text, TextAlign align,
                        const QColor& color) {
  Qt::Alignment horizontal = Qt::AlignLeft;
  switch (align) {
    case TextAlign::Left:
      horizontal = Qt::AlignLeft;
      break;
    case TextAlign::Center:
      horizontal = Qt::AlignHCenter;
      break;
    case TextAlign::Right:
      horizontal = Qt::AlignRight;
      break;
  }
  painter.setPen(color);
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.drawText(rect, static_cast<int>(Qt::TextSingleLine | Qt::AlignVCenter | horizontal),
                   text);
}

void FillSolidRect(QPainter& painter, const QRect& rect, const QColor& color) {
  painter.fillRect(rect, color);
}

}  // namespace lunetta
