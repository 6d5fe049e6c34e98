#include "output/print_picture.h"

namespace lunetta {

void PrintPicture(const QString&) {}

}  // namespace lunetta
