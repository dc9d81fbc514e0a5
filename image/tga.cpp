#include "image/image.h"

int LoadTga(const char*, Image*) { return 0; }
