#pragma once

#include <QString>

namespace lunetta {

/// Asks for a file name, proposing "DeskTopImg.jpg", and writes the composed picture there in the
/// format of the name's extension. Tells the user when nothing could be written.
void SaveDesktopPicture(const QString& composedPicturePath);

}  // namespace lunetta
