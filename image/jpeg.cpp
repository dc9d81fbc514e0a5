#include "image/image.h"

int LoadJpeg(const char*, Image*) { return 0; }
