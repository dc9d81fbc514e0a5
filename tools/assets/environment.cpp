#include "tools/assets/environment.h"

#include <cmath>
#include <thread>

#include "tools/assets/noise.h"

namespace {

constexpr uint32_t kCloudSeed = 7001;
constexpr uint32_t kHillSeed = 7101;
constexpr uint32_t kGroundSeed = 7201;

const Vec3 kZenith = {0.11f, 0.26f, 0.58f};
const Vec3 kHorizonSky = {0.56f, 0.67f, 0.80f};
const Vec3 kHaze = {0.55f, 0.62f, 0.70f};
const Vec3 kSunColor = {1.0f, 0.97f, 0.90f};
const Vec3 kGlowColor = {1.0f, 0.80f, 0.55f};
const Vec3 kForest = {0.15f, 0.22f, 0.12f};

float Elevation(Vec3 d) {  // tangent of the angle above the horizon
    float horizontal = std::sqrt(d.x * d.x + d.z * d.z);
    return d.y / std::max(horizontal, 1e-6f);
}

float Azimuth01(Vec3 d) {
    return (std::atan2(d.x, -d.z) + kPi) / (2.0f * kPi);
}

Vec3 SkyColor(Vec3 d, Vec3 sun) {
    float up = std::max(d.y, 0.0f);
    Vec3 sky = Mix(kHorizonSky, kZenith, std::pow(up, 0.55f));
    float sunCosine = Dot(d, sun);
    float toward = std::max(sunCosine, 0.0f);
    // Warm haze around the sun, widest near the horizon.
    float glow = 0.30f * std::pow(toward, 6.0f) + 0.35f * std::pow(toward, 60.0f) +
                 0.20f * std::pow(toward, 3.0f) * std::exp(-up * 6.0f);
    sky = sky + kGlowColor * glow;
    return sky;
}

float CloudDensity(Vec3 d) {
    if (d.y <= 0.0f) return 0.0f;
    // Clouds on a plane above the viewer: directions meet it at xz / y.
    float scale = 1.0f / (d.y + 0.08f);
    float px = d.x * scale * 1.3f + 11.0f;
    float pz = d.z * scale * 1.3f - 3.0f;
    float warp = Fbm(px * 0.5f, pz * 0.5f, 2, kCloudSeed + 50);
    float shape = Fbm(px + warp * 0.25f, pz - warp * 0.25f, 6, kCloudSeed);
    // Billows: folded noise rounds the clouds' edges into heaps.
    float billow = std::fabs(Fbm(px * 2.1f, pz * 2.1f, 4, kCloudSeed + 70));
    float coverage = SmoothStep(0.12f, 0.50f, shape + 0.10f - 0.25f * billow);
    // Far clouds thin out into the haze near the horizon.
    return coverage * SmoothStep(0.03f, 0.30f, d.y);
}

Vec3 CloudColor(Vec3 d, Vec3 sun, float density) {
    // Thicker parts are greyer underneath; the side toward the sun is lit.
    Vec3 lit = {1.0f, 0.98f, 0.95f};
    Vec3 shade = {0.62f, 0.66f, 0.74f};
    float offsetDensity = CloudDensity(Normalize(d + sun * 0.04f));
    float light = Clamp01(0.75f - (offsetDensity - density) * 1.5f - density * 0.25f);
    Vec3 color = Mix(shade, lit, light);
    float toward = std::max(Dot(d, sun), 0.0f);
    return color + kGlowColor * (0.35f * std::pow(toward, 12.0f));
}

// Ridge heights as tangents of elevation angles, periodic in azimuth.
float FarHills(float azimuth) {
    float n = PeriodicFbm(azimuth * 7.0f, 0.35f, 7, 1 << 12, 6, kHillSeed);
    return 0.030f + 0.085f * Clamp01(n * 0.6f + 0.45f);
}
float NearHills(float azimuth) {
    float n = PeriodicFbm(azimuth * 12.0f, 3.7f, 12, 1 << 12, 6, kHillSeed + 9);
    return 0.006f + 0.060f * Clamp01(n * 0.7f + 0.25f);
}

Vec3 Fog(Vec3 color, float distance) {
    float k = 1.0f - std::exp(-distance * 0.05f);
    return Mix(color, kHaze, k);
}

constexpr float kNearHillDistance = 12.0f;

Vec3 GroundColor(Vec3 d) {
    float depth = std::max(-d.y, 1e-5f);
    float distance = 1.0f / depth;  // viewer one unit above the plane
    float gx = d.x * distance, gz = d.z * distance;
    Vec3 grass = {0.21f, 0.30f, 0.11f};
    Vec3 dry = {0.40f, 0.38f, 0.18f};
    Vec3 dark = {0.09f, 0.15f, 0.07f};
    // Detail fades with distance so the horizon does not shimmer.
    float detail = 1.0f - SmoothStep(4.0f, 14.0f, distance);
    float fine = 1.0f - SmoothStep(1.5f, 8.0f, distance);
    float fields = Fbm(gx * 0.3f, gz * 0.3f, 6, kGroundSeed) * detail;
    float patches = Fbm(gx * 1.6f, gz * 1.6f, 5, kGroundSeed + 20) * detail;
    float tufts = Fbm(gx * 9.0f, gz * 9.0f, 3, kGroundSeed + 40) * fine;
    Vec3 color = Mix(grass, dry, Clamp01(0.40f + fields * 0.8f));
    // Dark copses of trees scattered over the meadow.
    color = Mix(color, dark, SmoothStep(0.25f, 0.55f, patches) * 0.85f);
    color = color * (1.0f + 0.18f * tufts);
    // Far off the meadow gives way to the forest of the near hills, so ground
    // and hills meet without a line at the horizon.
    color = Mix(color, kForest, SmoothStep(5.0f, kNearHillDistance, distance));
    return Fog(color, std::min(distance, kNearHillDistance));
}

Vec3 HillColor(Vec3 d, float azimuth, bool near) {
    float tone = PeriodicFbm(azimuth * 120.0f, Elevation(d) * 300.0f, 120, 1 << 12, 4,
                             kHillSeed + (near ? 33 : 44));
    if (near) {
        Vec3 forest = kForest * (0.85f + 0.15f * tone * Clamp01(Elevation(d) / 0.01f));
        return Fog(forest, kNearHillDistance);
    }
    Vec3 far = {0.26f, 0.34f, 0.44f};
    far = far * (0.94f + 0.06f * tone);
    // Mist gathers in the valleys between the two ranges.
    float rise = Clamp01(Elevation(d) / 0.06f);
    return Mix(Fog(far, 14.0f), kHaze, 0.35f * (1.0f - rise));
}

}  // namespace

Vec3 SunDirection() {
    // 24 degrees above the horizon, 35 degrees right of straight ahead (-Z).
    float elevation = 24.0f * kPi / 180.0f;
    float azimuth = 35.0f * kPi / 180.0f;
    return {std::cos(elevation) * std::sin(azimuth), std::sin(elevation),
            -std::cos(elevation) * std::cos(azimuth)};
}

Vec3 EnvironmentColor(Vec3 direction) {
    Vec3 d = Normalize(direction);
    Vec3 sun = SunDirection();
    float elevation = Elevation(d);
    float azimuth = Azimuth01(d);
    if (d.y < 0.0f) return GroundColor(d);
    if (elevation < NearHills(azimuth)) return HillColor(d, azimuth, true);
    if (elevation < FarHills(azimuth)) return HillColor(d, azimuth, false);

    Vec3 color = SkyColor(d, sun);
    float density = CloudDensity(d);
    if (density > 0.0f) color = Mix(color, CloudColor(d, sun, density), density * 0.92f);
    // The sun's disc, about two degrees across, with a soft rim.
    float angle = std::acos(Clamp01(Dot(d, sun)));
    float disc = 1.0f - SmoothStep(0.85f, 1.15f, angle * 180.0f / kPi);
    color = Mix(color, kSunColor * 1.2f, disc);
    return Clamp01(color);
}

CubeFaces RenderEnvironment(int faceSize, int samplesPerAxis) {
    CubeFaces faces;
    faces.size = faceSize;
    auto renderFace = [&faces, faceSize, samplesPerAxis](int face) {
        faces.texels[face].resize(static_cast<size_t>(faceSize) * faceSize);
        float weight = 1.0f / (samplesPerAxis * samplesPerAxis);
        for (int row = 0; row < faceSize; ++row) {
            for (int column = 0; column < faceSize; ++column) {
                Vec3 sum = {0, 0, 0};
                for (int sy = 0; sy < samplesPerAxis; ++sy) {
                    for (int sx = 0; sx < samplesPerAxis; ++sx) {
                        float s = (column + (sx + 0.5f) / samplesPerAxis) / faceSize;
                        float t = (row + (sy + 0.5f) / samplesPerAxis) / faceSize;
                        sum = sum + EnvironmentColor(CubeFaceDirection(face, s, t));
                    }
                }
                faces.texels[face][row * faceSize + column] = sum * weight;
            }
        }
    };
    // Two workers: the machine this runs on has two cores.
    std::thread worker([&renderFace] {
        for (int face = 0; face < 6; face += 2)
            renderFace(face);
    });
    for (int face = 1; face < 6; face += 2)
        renderFace(face);
    worker.join();
    return faces;
}
