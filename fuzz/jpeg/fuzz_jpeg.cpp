// Fuzzes the JPEG reader from memory. Every input is decoded twice, through
// the vectorised and through the scalar pixel path: the two must agree to
// the byte, and each picture is read in full so the sanitizers see it.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "image/jpeg/jpeg.h"
#include "image/jpeg/state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Image fast{}, scalar{};
    jpegState.useScalarPath = 0;
    const int result = LoadJpegFromMemory(data, size, &fast);
    jpegState.useScalarPath = 1;
    if (LoadJpegFromMemory(data, size, &scalar) != result) abort();
    jpegState.useScalarPath = 0;
    const size_t bytes = size_t(fast.width) * fast.height * (fast.bitsPerPixel / 8);
    if (result == 1 &&
        (!fast.pixels || !scalar.pixels || memcmp(fast.pixels, scalar.pixels, bytes) != 0))
        abort();
    if (result != 1 && (fast.pixels || scalar.pixels)) abort();
    free(fast.pixels);
    free(scalar.pixels);
    return 0;
}
