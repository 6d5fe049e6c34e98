#include "picture/picture.h"
