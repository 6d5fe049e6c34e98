#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace lunetta {

/// Where a window whose frame is `frame` sits centred on a screen whose geometry, in the virtual
/// desktop's coordinates, is `screen`: its origin plus half the difference of the sizes, each
/// halved with truncation toward zero. On a screen smaller than the window the offset is negative
/// and kept.
QPoint CentredOn(const QRect& screen, const QSize& frame);

/// Moves a top-level window so that its frame is centred on the screen it is on (the primary
/// screen while it has none), wherever that screen lies on the desktop.
void CentreOnScreen(QWidget& window);

}  // namespace lunetta
