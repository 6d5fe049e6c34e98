#pragma once

#include <QString>

namespace lunetta {

/// Asks for a printer and prints the composed picture on one page of a document named "LUNETTA",
/// stretched over the whole printable area.
void PrintPicture(const QString& composedPicturePath);

}  // namespace lunetta
