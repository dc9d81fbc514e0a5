#include "tools/assets/stone.h"

#include <cmath>
#include <vector>

#include "tools/assets/noise.h"

namespace {

constexpr uint32_t kStoneSeed = 4201;

struct StoneSample {
    Vec3 color;
    float height;
};

float Vein(float u, float v, int waveU, int waveV, float wobble, float width) {
    // A sine band whose phase is pushed around by noise; whole numbers of
    // waves across the picture keep it periodic.
    float phase = 2.0f * kPi * (waveU * u + waveV * v) + wobble;
    return std::pow(1.0f - std::fabs(std::sin(phase)), width);
}

StoneSample SampleStone(float u, float v, int cellsU, int cellsV) {
    float x = u * cellsU, y = v * cellsV;
    float warpX = PeriodicFbm(x * 0.5f, y * 0.5f, cellsU / 2, cellsV / 2, 4, kStoneSeed);
    float warpY = PeriodicFbm(x * 0.5f, y * 0.5f, cellsU / 2, cellsV / 2, 4, kStoneSeed + 1);
    float body = PeriodicFbm(x + 1.2f * warpX, y + 1.2f * warpY, cellsU, cellsV, 6, kStoneSeed + 2);
    float smoke =
        PeriodicFbm(x * 0.5f + 3.0f * warpY, y * 0.5f, cellsU / 2, cellsV / 2, 5, kStoneSeed + 3);
    float grain = PeriodicNoise(x * 16.0f, y * 16.0f, cellsU * 16, cellsV * 16, kStoneSeed + 4);
    float fine = PeriodicFbm(x * 4.0f, y * 4.0f, cellsU * 4, cellsV * 4, 3, kStoneSeed + 5);

    // Vein phases wander with smooth fields only, so the veins stay long
    // flowing lines instead of scribbles.
    float flowX = PeriodicFbm(x * 0.25f, y * 0.25f, cellsU / 4, cellsV / 4, 3, kStoneSeed + 6);
    float flowY = PeriodicFbm(x * 0.5f, y * 0.5f, cellsU / 2, cellsV / 2, 3, kStoneSeed + 7);
    float darkVein = Vein(u, v, 2, 1, 7.0f * flowX + 0.4f * fine, 60.0f);
    float darkVein2 = Vein(u, v, -1, 2, 5.0f * flowY + 0.3f * fine, 90.0f) * 0.8f;
    float brightVein = Vein(u, v, 3, -1, 4.0f * flowX + 3.0f * flowY, 14.0f);
    float veins = Clamp01(darkVein + darkVein2);

    Vec3 milky = {0.86f, 0.78f, 0.78f};
    Vec3 rose = {0.80f, 0.58f, 0.62f};
    Vec3 smoky = {0.58f, 0.54f, 0.60f};
    Vec3 veinColor = {0.42f, 0.30f, 0.34f};
    Vec3 white = {0.97f, 0.95f, 0.94f};
    Vec3 color = Mix(milky, rose, SmoothStep(-0.35f, 0.6f, body));
    color = Mix(color, smoky, SmoothStep(0.15f, 0.8f, smoke) * 0.7f);
    color = color * (0.96f + 0.05f * fine + 0.025f * grain);
    color = Mix(color, white, Clamp01(brightVein * 0.7f));
    color = Mix(color, veinColor, veins * 0.8f);

    // Veins are worn grooves, crystalline streaks stand out a little, the
    // body undulates gently and the grain roughens everything.
    // The rose and smoky patches sit a little lower than the milky ones, so
    // the relief follows the colour.
    float height = 0.55f - 0.14f * body + 0.10f * fine + 0.05f * grain - 0.35f * veins +
                   0.15f * brightVein - 0.10f * smoke;
    return {Clamp01(color), height};
}

}  // namespace

StonePictures MakeStonePictures(int width, int height) {
    StonePictures pictures;
    pictures.base = MakePicture(width, height, 3);
    pictures.bump = MakePicture(width, height, 1);
    int cellsV = 8;
    int cellsU = cellsV * width / height;
    std::vector<float> heights(static_cast<size_t>(width) * height);
    float lowest = 1e9f, highest = -1e9f;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            StoneSample sample = SampleStone(static_cast<float>(x) / width,
                                             static_cast<float>(y) / height, cellsU, cellsV);
            PutColor(pictures.base, x, y, sample.color);
            heights[static_cast<size_t>(y) * width + x] = sample.height;
            lowest = std::min(lowest, sample.height);
            highest = std::max(highest, sample.height);
        }
    }
    // Use the whole byte range: the viewer's normal map reads height steps of
    // single bytes.
    for (size_t i = 0; i < heights.size(); ++i) {
        pictures.bump.samples[i] = ToByte((heights[i] - lowest) / (highest - lowest));
    }
    return pictures;
}
