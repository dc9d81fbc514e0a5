// Fuzzes the JPEG reader from memory. Every input is decoded twice, through
// the vectorised and through the scalar pixel path: the two must agree to
// the byte, and each picture is read in full so the sanitizers see it.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "image/jpeg/jpeg.h"
#include "image/jpeg/state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Image fast{};
    jpegState.useScalarPath = 0;
    int fastResult = LoadJpegFromMemory(data, size, &fast);
    Image scalar{};
    jpegState.useScalarPath = 1;
    int scalarResult = LoadJpegFromMemory(data, size, &scalar);
    jpegState.useScalarPath = 0;
    if (fastResult != scalarResult) abort();
    if (fastResult == 1) {
        size_t bytes = size_t(fast.width) * fast.height * (fast.bitsPerPixel / 8);
        if (!fast.pixels || !scalar.pixels || memcmp(fast.pixels, scalar.pixels, bytes) != 0)
            abort();
    } else if (fast.pixels || scalar.pixels) {
        abort();
    }
    free(fast.pixels);
    free(scalar.pixels);
    return 0;
}
