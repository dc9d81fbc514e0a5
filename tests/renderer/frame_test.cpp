// Whole frames on scenes of the tests' own: the sky box alone, the model
// against the shading reference, the overlay.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "render/fragment_shader_layer/layer.h"
#include "render/renderer.h"
#include "tests/renderer/scene_files.h"
#include "tests/renderer/shading_reference.h"

namespace {

constexpr int kSize = 96;

// Start-up in a directory without files (every texture 0, no model), then
// the test scene's textures in their place and an invisible font.
bool StartTestScene(const uint8_t (&normalTexel)[3], const char* extensionOverride = nullptr,
                    int width = kSize, int height = kSize) {
    if (!UseOffscreenSize(width, height, extensionOverride) || InitRenderer() != 1) return false;
    environmentCubeMap = MakeFlatCubeMap(kEnvironmentFaces);
    diffuseCubeMap = MakeFlatCubeMap(kDiffuseFaces);
    baseTexture = MakeFlatTexture(kBaseColour);
    normalMapTexture = MakeFlatTexture(normalTexel);
    const uint8_t clear[16] = {};
    glGenTextures(1, &fontTexture);
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, 4, 4, 0, GL_ALPHA, GL_UNSIGNED_BYTE, clear);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    return true;
}

void SetView(float yaw, float pitch, float zoom, float bump) {
    yawDegrees = yaw, pitchDegrees = pitch, zoomOffset = zoom, bumpScale = bump;
}

// On a wide buffer, so the projection's aspect shows too.
TEST(Frame, SkyBoxAloneTurnsWithTheAngles) {
    // Yaw and pitch together tell the order of the two turns apart.
    const float angles[][3] = {{0, 0, 0}, {90, 0, 0}, {0, 60, 0}, {135, -30, 0}, {-50, 200, 300}};
    const int width = 150, height = 90;
    ASSERT_TRUE(StartTestScene({127, 127, 254}, nullptr, width, height));
    ASSERT_EQ(modelLoaded, 0);
    for (const auto& a : angles) {
        SCOPED_TRACE(testing::Message() << "yaw " << a[0] << " pitch " << a[1]);
        SetView(a[0], a[1], a[2], 0.5f);
        RenderFrame();
        const Frame frame = ReadFrame();
        const ViewReference view = MakeViewReference(a[0], a[1], a[2], width, height);
        const Vec3 eye = EyeInObject(view);
        int compared = 0;
        for (int py = 1; py < height; py += 3) {
            for (int px = 1; px < width; px += 3) {
                // The cube-map direction of a pixel: where its ray leaves the
                // box of half-edge 1024.
                const Vec3 d = PixelRay(view, px, py);
                const double e[3] = {eye.x, eye.y, eye.z}, r[3] = {d.x, d.y, d.z};
                double t = 1e30;
                for (int i = 0; i < 3; ++i)
                    if (r[i] != 0) t = std::min(t, ((r[i] > 0 ? 1024 : -1024) - e[i]) / r[i]);
                bool nearEdge = false;
                const int face = CubeFace(eye + t * d, &nearEdge);
                if (nearEdge) continue;
                ++compared;
                const Rgb& sky = kEnvironmentFaces[face];
                const double stored[3] = {Stored(sky, 0), Stored(sky, 1), Stored(sky, 2)};
                ASSERT_LE(ChannelDifference(frame.At(px, py), stored), 2)
                    << "pixel " << px << ", " << py << " face " << face;
            }
        }
        EXPECT_GT(compared, 800);
    }
    ReleaseAll();
}

// Compared where the pixel and its four neighbours are covered (so not on the
// silhouette's edge itself) and no look-up is near a cube edge. Three steps of
// 1/255 cover the 8-bit normal map, cube maps and base texture. Drawn through
// the driver's GL_ATI_fragment_shader and through the layer (the driver's
// extension hidden, a process of its own under CTest).
class ModelFrame : public testing::TestWithParam<const char*> {};

TEST_P(ModelFrame, MatchesTheShadingReferenceFromCentreToSilhouette) {
    struct Case {
        uint8_t normalTexel[3];
        float bump, yaw, pitch, zoom;
    };
    const Case cases[] = {{{127, 127, 254}, 0.5f, 0, 0, 0}, {{190, 90, 220}, 1.5f, 30, -20, 40}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "bump " << c.bump << " yaw " << c.yaw);
        ASSERT_TRUE(StartTestScene(c.normalTexel, GetParam()));
        EXPECT_EQ(FragmentShaderExtensionSource(), GetParam() ? kExtensionLayer : kExtensionNative);
        SetView(c.yaw, c.pitch, c.zoom, c.bump);
        model = MakeSphereModel(100, 32, 16);
        modelLoaded = 1;
        RenderFrame();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        const Frame frame = ReadFrame();
        const ViewReference view = MakeViewReference(c.yaw, c.pitch, c.zoom, kSize, kSize);
        std::vector<Shade> reference;
        for (int i = 0; i < kSize * kSize; ++i)
            reference.push_back(
                ReferencePixel(view, model.meshes[0], c.normalTexel, c.bump, i % kSize, i / kSize));
        int compared = 0;
        double highestF = 0;
        bool centreCompared = false;
        for (int py = 1; py + 1 < kSize; ++py) {
            for (int px = 1; px + 1 < kSize; ++px) {
                const int i = py * kSize + px;
                const Shade& expected = reference[i];
                if (!expected.covered || !reference[i - 1].covered || !reference[i + 1].covered ||
                    !reference[i - kSize].covered || !reference[i + kSize].covered ||
                    expected.uncertain) {
                    continue;
                }
                ++compared;
                highestF = std::max(highestF, expected.fresnel);
                centreCompared = centreCompared || (px == kSize / 2 && py == kSize / 2);
                ASSERT_LE(ChannelDifference(frame.At(px, py), expected.rgb), 3)
                    << "pixel " << px << ", " << py << " F " << expected.fresnel;
            }
        }
        EXPECT_GT(compared, 600);
        EXPECT_TRUE(centreCompared);
        EXPECT_GT(highestF, 0.6);  // pixels toward the silhouette were among them
        ReleaseAll();
    }
}

INSTANTIATE_TEST_SUITE_P(Shader, ModelFrame, testing::Values(nullptr, "-GL_ATI_fragment_shader"),
                         [](const auto& info) { return info.param ? "Layer" : "Driver"; });

TEST(Frame, OverlayShowsBumpScaleErrorTextAndRate) {
    // Wide enough for the first line's 16 glyphs and its line feed.
    ASSERT_TRUE(WriteTestFont("font.tga"));
    ASSERT_TRUE(UseOffscreenSize(17 * kFontCell, 64));
    ASSERT_EQ(InitRenderer(), 1);
    const Rgb black[6] = {};  // a dark sky under the glyphs
    environmentCubeMap = MakeFlatCubeMap(black);
    SetView(0, 0, 0, 0.5f);
    const std::string noError = reinterpret_cast<const char*>(gluErrorString(GL_NO_ERROR));
    const struct {
        float bump, rate;
        const char *bumpLine, *rateLine;
    } cases[] = {{0.5f, 0.0f, "Bump scale: 0.50", "FPS: 0.0"},
                 {2, 61.7f, "Bump scale: 2.00", "FPS: 61.7"}};
    for (const auto& c : cases) {
        bumpScale = c.bump;
        framesPerSecond = c.rate;
        RenderFrame();
        const Frame frame = ReadFrame();
        EXPECT_EQ(ReadLine(frame, 0, 32), c.bumpLine);
        EXPECT_EQ(ReadLine(frame, 0, 16), noError);
        EXPECT_EQ(ReadLine(frame, 0, 0), c.rateLine);
    }
    framesPerSecond = 0.0f;
    ReleaseAll();
}

}  // namespace
