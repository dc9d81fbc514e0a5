#include "render/gl_api.h"
