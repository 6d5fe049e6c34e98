#include "platform/drawing.h"
