#pragma once

#include <QFont>
#include <QImage>

#include "wall/wall_layout.h"

class QPainter;
class QPaintDevice;

namespace lunetta {

/// The page font of `options` at `size` points on a painter of `device` whose units are points.
/// Japanese falls back to IPA Gothic, a TrueType face, so that every glyph embeds in a PDF.
QFont WallFont(const WallOptions& options, double size, QFont::Weight weight,
               const QPaintDevice& device);

/// Paints `page` of `calendar` with `painter`, whose units are points from the top left corner
/// of the media box. `photo` is the page's whole photo at any resolution, cut here as the layout
/// says; without one the photo's area is left empty. A month the month model cannot place throws
/// InvalidArgumentError before anything is painted.
void PaintWallPage(QPainter& painter, const WallCalendar& calendar, const WallPage& page,
                   const QImage* photo = nullptr);

}  // namespace lunetta
