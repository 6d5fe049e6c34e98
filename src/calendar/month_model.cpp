#include "calendar/month_model.h"
