#include "calendar/calendar_settings.h"
