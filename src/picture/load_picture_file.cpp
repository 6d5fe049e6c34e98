#include "picture/load_picture_file.h"
