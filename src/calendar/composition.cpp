#include "calendar/composition.h"
