#include "output/desktop_picture.h"

namespace lunetta {

void SaveDesktopPicture(const QString&) {}

}  // namespace lunetta
