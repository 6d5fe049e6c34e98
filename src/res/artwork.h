#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace lunetta {

/// The start-up picture, 500 × 330.
QPixmap TitlePicture();

/// The product logo of the version dialog, 180 × 65.
QPixmap LogoPicture();

/// The application icon, rendered at 16 to 256 pixels.
QIcon ApplicationIcon();

/// The pointing hand over links, 32 × 32 with the hot spot at the fingertip (6, 3).
QCursor HandCursor();

}  // namespace lunetta
