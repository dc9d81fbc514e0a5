#include "tools/assets/preview.h"

#include <cmath>
#include <vector>

namespace {

constexpr float kDistance = 250.0f;
constexpr float kSkyHalfEdge = 1024.0f;

struct NormalMap {
    int width;
    int height;
    std::vector<Vec3> texels;  // decoded 2n - 1, rows bottom-up as uploaded
};

// The viewer's height-to-normal rule on the picture's bottom-up rows: slope
// 5/255 per byte step, right neighbour and next row wrapping, bytes
// (n + 1) * 127 truncated; the shader expands a byte b to 2 b / 255 - 1.
NormalMap BuildNormalMap(const Picture& bump) {
    NormalMap map{bump.width, bump.height, {}};
    map.texels.resize(static_cast<size_t>(bump.width) * bump.height);
    auto height = [&bump](int x, int memoryRow) {
        return static_cast<float>(*PixelAt(bump, x, bump.height - 1 - memoryRow));
    };
    for (int y = 0; y < bump.height; ++y) {
        for (int x = 0; x < bump.width; ++x) {
            float h = height(x, y);
            float hx = height((x + 1) % bump.width, y);
            float hy = height(x, (y + 1) % bump.height);
            float dx = (5.0f * h - 5.0f * hx) / 255.0f;
            float dy = (5.0f * hy - 5.0f * h) / 255.0f;
            float k = 1.0f / std::sqrt(dx * dx + dy * dy + 1.0f);
            auto decode = [](float n) {
                return 2.0f * static_cast<float>(static_cast<int>((n + 1.0f) * 127.0f)) / 255.0f -
                       1.0f;
            };
            map.texels[static_cast<size_t>(y) * bump.width + x] = {decode(dx * k), decode(dy * k),
                                                                   decode(k)};
        }
    }
    return map;
}

// Bilinear with repeat, t = 0 at the bottom row.
template <typename Fetch>
Vec3 SampleRepeat(int width, int height, float s, float t, Fetch fetch) {
    float fx = s * width - 0.5f, fy = t * height - 0.5f;
    float x0f = std::floor(fx), y0f = std::floor(fy);
    float kx = fx - x0f, ky = fy - y0f;
    auto wrap = [](int i, int n) { return ((i % n) + n) % n; };
    int x0 = wrap(static_cast<int>(x0f), width), x1 = wrap(static_cast<int>(x0f) + 1, width);
    int y0 = wrap(static_cast<int>(y0f), height), y1 = wrap(static_cast<int>(y0f) + 1, height);
    Vec3 a = Mix(fetch(x0, y0), fetch(x1, y0), kx);
    Vec3 b = Mix(fetch(x0, y1), fetch(x1, y1), kx);
    return Mix(a, b, ky);
}

Vec3 SkyBoxColor(const CubeFaces& environment, Vec3 eye, Vec3 ray) {
    // The sky box is a cube around the sphere's centre; its look-up
    // direction is the point where the ray leaves it.
    float nearest = 1e30f;
    const float e[3] = {eye.x, eye.y, eye.z};
    const float r[3] = {ray.x, ray.y, ray.z};
    for (int axis = 0; axis < 3; ++axis) {
        if (r[axis] == 0.0f) continue;
        float wall = r[axis] > 0.0f ? kSkyHalfEdge : -kSkyHalfEdge;
        nearest = std::min(nearest, (wall - e[axis]) / r[axis]);
    }
    return SampleCube(environment, eye + ray * nearest);
}

Vec3 ShadeSphere(const PreviewScene& scene, const NormalMap& normalMap, Vec3 eye, Vec3 point) {
    float radius = scene.radius;
    Vec3 normal = point * (1.0f / radius);
    float latitude = std::asin(std::max(-1.0f, std::min(1.0f, normal.y)));
    float longitude = std::atan2(-normal.x, -normal.z);
    if (longitude < 0.0f) longitude += 2.0f * kPi;
    float s = longitude / (2.0f * kPi);
    float t = latitude / kPi + 0.5f;
    // Tangent: d position / d s; binormal: minus d position / d t.
    Vec3 tangent = Normalize({-std::cos(longitude), 0.0f, std::sin(longitude)});
    Vec3 binormal = Normalize({-std::sin(latitude) * std::sin(longitude), -std::cos(latitude),
                               -std::sin(latitude) * std::cos(longitude)});
    Vec3 n = SampleRepeat(normalMap.width, normalMap.height, s, t, [&normalMap](int x, int y) {
        return normalMap.texels[static_cast<size_t>(y) * normalMap.width + x];
    });
    const Picture& base = *scene.base;
    Vec3 baseColor = SampleRepeat(base.width, base.height, s, t, [&base](int x, int y) {
        const uint8_t* p = PixelAt(base, x, base.height - 1 - y);
        return Vec3{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f};
    });

    Vec3 bent =
        tangent * (scene.bumpScale * n.x) + binormal * (scene.bumpScale * n.y) + normal * n.z;
    Vec3 view = Normalize(eye - point);
    float d = Dot(bent, view);
    Vec3 reflection = bent * (2.0f * d) - view * Dot(bent, bent);
    Vec3 through = view * -0.9f + bent * -0.1f;
    Vec3 reflected = SampleCube(*scene.environment, reflection);
    Vec3 seen = SampleCube(*scene.environment, through);
    Vec3 diffuse = SampleCube(*scene.irradiance, bent);
    float fresnel = Clamp01(1.0f - d);
    return Clamp01(baseColor * diffuse + Clamp01(reflected * fresnel + seen * seen));
}

}  // namespace

Picture RenderPreview(const PreviewScene& scene, int width, int height) {
    NormalMap normalMap = BuildNormalMap(*scene.bump);
    Picture picture = MakePicture(width, height, 3);
    // Object space: the sphere's centre at the origin, the eye on +Z.
    Vec3 eye = {0.0f, 0.0f, kDistance};
    float aspect = static_cast<float>(width) / height;
    const int kSamples = 2;
    for (int py = 0; py < height; ++py) {
        for (int px = 0; px < width; ++px) {
            Vec3 sum = {0, 0, 0};
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    float x = (px + (sx + 0.5f) / kSamples) / width * 2.0f - 1.0f;
                    float y = 1.0f - (py + (sy + 0.5f) / kSamples) / height * 2.0f;
                    Vec3 ray = Normalize({x * aspect, y, -1.0f});  // tan(45 degrees) = 1
                    float b = Dot(eye, ray);
                    float c = Dot(eye, eye) - scene.radius * scene.radius;
                    float discriminant = b * b - c;
                    if (discriminant > 0.0f) {
                        float along = -b - std::sqrt(discriminant);
                        sum = sum + ShadeSphere(scene, normalMap, eye, eye + ray * along);
                    } else {
                        sum = sum + SkyBoxColor(*scene.environment, eye, ray);
                    }
                }
            }
            PutColor(picture, px, py, sum * (1.0f / (kSamples * kSamples)));
        }
    }
    return picture;
}

void DrawOverlayText(Picture& picture, const Picture& font, int x, int y, const char* text) {
    int penX = x, penY = y;
    for (const char* c = text; *c; ++c) {
        int code = static_cast<unsigned char>(*c);
        int cellLeft = (code % 16) * 16, cellTop = (code / 16) * 16;
        for (int row = 0; row < 16; ++row) {
            for (int column = 0; column < 16; ++column) {
                int px = penX + column;
                int py = picture.height - (penY + 16) + row;  // quad top is the cell top
                if (px < 0 || px >= picture.width || py < 0 || py >= picture.height) continue;
                float alpha = *PixelAt(font, cellLeft + column, cellTop + row) / 255.0f;
                uint8_t* pixel = PixelAt(picture, px, py);
                for (int k = 0; k < 3; ++k) {
                    pixel[k] = ToByte(Mix(pixel[k] / 255.0f, 1.0f, alpha));
                }
            }
        }
        penX += 16;
        if (code == '\n' || code == '\r') {
            penY -= 16;
            penX = x;
        }
    }
}
