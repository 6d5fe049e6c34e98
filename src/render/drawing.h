#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include "calendar/block_geometry.h"
#include "calendar/calendar_settings.h"

class QPainter;

namespace lunetta {

QColor ColorFromRef(ColorRef color);
ColorRef RefFromColor(const QColor& color);

/// The picture's background when there is no photograph: the classic desktop blue.
ColorRef DesktopBackgroundColor();

/// A font asked for by height in pixels: a positive height is the character cell height (ascent +
/// descent), a negative one the character (em) height; either is capped at 4096 pixels. `weight`
/// is on the 0..1000 scale, 0 meaning normal. A face this machine lacks is drawn in its substitute
/// (see FontSubstitutes), else in fontconfig's nearest match.
QFont CreateFont(const QString& face, int height, int weight, bool italic);

/// Height, average and maximum character width of the font actually used.
TextMetrics MeasureFont(const QFont& font);

enum class TextAlign { Left, Center, Right };

/// One line of text, centred vertically in `rect`, on a transparent background, with grey-scale
/// antialiasing.
void DrawSingleLineText(QPainter& painter, const QRect& rect, const QString& text, TextAlign align,
                        const QColor& color);

void FillSolidRect(QPainter& painter, const QRect& rect, const QColor& color);

}  // namespace lunetta
