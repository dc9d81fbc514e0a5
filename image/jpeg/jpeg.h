// The JPEG reader's entry points beyond LoadJpeg (declared in image.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/image.h"

// Decodes a JPEG file already in memory, exactly as LoadJpeg decodes the same
// bytes read from a file. The buffer stays the caller's.
int LoadJpegFromMemory(const uint8_t* data, size_t size, Image* image);
