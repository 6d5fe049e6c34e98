#include "calendar/calendar_renderer.h"
