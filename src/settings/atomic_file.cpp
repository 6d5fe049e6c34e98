#include "settings/atomic_file.h"
