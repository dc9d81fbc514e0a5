// Compares two screenshots inside a rectangle: how many pixels differ and the
// box around them. The end-to-end run finds the model's outline this way, as
// the pixels that change when only the bump scale changes.
//
//   screen_diff A.ppm B.ppm X Y WIDTH HEIGHT  ->  "COUNT LEFT TOP RIGHT BOTTOM"
//
// (the box relative to X, Y, right and bottom inclusive; "0 -1 -1 -1 -1"
// when nothing differs). A pixel differs when a channel moves by more than 2.
#include <cstdio>
#include <cstdlib>

#include "tests/e2e/ppm.h"

int main(int argc, char** argv) {
    Screen a, b;
    if (argc != 7 || !ReadPpm(argv[1], &a) || !ReadPpm(argv[2], &b)) {
        fprintf(stderr, "usage: %s A.ppm B.ppm X Y WIDTH HEIGHT (two readable screenshots)\n",
                argv[0]);
        return argc != 7 ? 2 : 1;
    }
    const int x0 = atoi(argv[3]), y0 = atoi(argv[4]), width = atoi(argv[5]);
    const int height = atoi(argv[6]);
    long count = 0;
    int left = -1, top = -1, right = -1, bottom = -1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char *p = PixelAt(a, x0 + x, y0 + y), *q = PixelAt(b, x0 + x, y0 + y);
            if (p == nullptr || q == nullptr ||
                (abs(p[0] - q[0]) <= 2 && abs(p[1] - q[1]) <= 2 && abs(p[2] - q[2]) <= 2))
                continue;
            if (count++ == 0) left = right = x, top = y;
            if (x < left) left = x;
            if (x > right) right = x;
            bottom = y;
        }
    }
    printf("%ld %d %d %d %d\n", count, left, top, right, bottom);
    return 0;
}
