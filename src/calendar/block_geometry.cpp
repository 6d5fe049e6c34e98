#include "calendar/block_geometry.h"
