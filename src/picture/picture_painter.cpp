#include "picture/picture_painter.h"
