#include "calendar/holiday_table.h"
