// Whole frames on scenes of the tests' own: the model and the sky box against
// the shading reference, the overlay's lines; and the overlay on its own:
// where glyphs stand, which cell each code takes, and the cut at the buffer's
// end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "image/texture.h"
#include "render/fragment_shader_layer/layer.h"
#include "render/overlay.h"
#include "render/renderer.h"
#include "tests/renderer/scene_files.h"
#include "tests/renderer/shading_reference.h"

namespace {

// Compared where the pixel and its four neighbours all show the model or all
// the sky (so not on the silhouette's edge itself) and no look-up is near a
// cube edge. Three steps of 1/255 cover the 8-bit normal map, cube maps and
// base texture. On a wide buffer, so the projection's aspect shows too; yaw
// and pitch together tell the order of the two turns apart. Drawn through the
// driver's GL_ATI_fragment_shader and through the layer (the driver's
// extension hidden, a process of its own under CTest).
class ModelFrame : public testing::TestWithParam<const char*> {};

TEST_P(ModelFrame, MatchesTheShadingReferenceFromCentreToSilhouetteAndSky) {
    struct Case {
        uint8_t normalTexel[3];
        float bump, yaw, pitch, zoom;
    };
    const Case cases[] = {{{127, 127, 254}, 0.5f, 0, 0, 0},
                          {{190, 90, 220}, 1.5f, 30, -20, 40},
                          {{127, 127, 254}, 1.0f, 90, 60, 0},
                          {{190, 90, 220}, 0.5f, 135, -30, -100},
                          {{127, 127, 254}, 0.5f, -50, 200, 100}};
    const int width = 160, height = 96;
    int centres = 0;
    double highestF = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "bump " << c.bump << " yaw " << c.yaw);
        // Start-up in a directory without the scene's files, then the test
        // scene's textures in their place (the base texture's two texels show
        // the texture coordinates) and an invisible font.
        ASSERT_TRUE(UseOffscreenSize(width, height, GetParam()));
        ASSERT_EQ(InitRenderer(), 1);
        EXPECT_EQ(FragmentShaderExtensionSource(), GetParam() ? kExtensionLayer : kExtensionNative);
        environmentCubeMap = MakeFlatCubeMap(kEnvironmentFaces);
        diffuseCubeMap = MakeFlatCubeMap(kDiffuseFaces);
        glGenTextures(1, &baseTexture);
        glBindTexture(GL_TEXTURE_2D, baseTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, 2, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, kBaseColours);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        normalMapTexture = MakeFlatTexture(c.normalTexel);
        const uint8_t clear[16] = {};
        glGenTextures(1, &fontTexture);
        glBindTexture(GL_TEXTURE_2D, fontTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, 4, 4, 0, GL_ALPHA, GL_UNSIGNED_BYTE, clear);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glBindTexture(GL_TEXTURE_2D, 0);
        yawDegrees = c.yaw, pitchDegrees = c.pitch, zoomOffset = c.zoom, bumpScale = c.bump;
        model = MakeSphereModel(100, 32, 16);
        modelLoaded = 1;
        RenderFrame();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        const Frame frame = ReadFrame();
        const ViewReference view = MakeViewReference(c.yaw, c.pitch, c.zoom, width, height);
        std::vector<Shade> reference;
        for (int i = 0; i < width * height; ++i)
            reference.push_back(
                ReferencePixel(view, model.meshes[0], c.normalTexel, c.bump, i % width, i / width));
        int compared[2] = {};  // sky, model
        for (int py = 1; py + 1 < height; ++py) {
            for (int px = 1; px + 1 < width; ++px) {
                const int i = py * width + px;
                const Shade& expected = reference[i];
                const int around = reference[i - 1].covered + reference[i + 1].covered +
                                   reference[i - width].covered + reference[i + width].covered;
                if (around != 4 * expected.covered || expected.uncertain) continue;
                ++compared[expected.covered];
                if (expected.covered) highestF = std::max(highestF, expected.fresnel);
                centres += expected.covered && px == width / 2 && py == height / 2;
                ASSERT_LE(ChannelDifference(frame.At(px, py), expected.rgb), 3)
                    << "pixel " << px << ", " << py << " F " << expected.fresnel;
            }
        }
        EXPECT_GT(compared[0], 5000);
        EXPECT_GT(compared[1], 300);
        ReleaseAll();
    }
    EXPECT_GE(centres, 3);
    EXPECT_GT(highestF, 0.6);  // pixels toward the silhouette were among them
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

TEST(Overlay, GlyphsStandWhereThePenPutsThem) {
    ASSERT_TRUE(UseOffscreenSize(128, 64));
    ASSERT_TRUE(WriteTestFont("font.tga"));
    const GLuint font = LoadTexture("font.tga");
    ASSERT_NE(font, 0u);
    struct Line {
        int x, y;
        std::string text;
    };
    const struct {
        int x, y;
        std::string text;
        std::vector<Line> lines;
    } cases[] = {
        // A line feed or carriage return is drawn (empty) at the end of its
        // line, then moves the pen down 16 and back to x.
        {0, 32, "A\nB", {{0, 32, "A"}, {0, 16, "B"}}},
        {16, 48, "x7\r\nyz", {{16, 48, "x7"}, {16, 32, ""}, {16, 16, "yz"}, {0, 16, ""}}},
        // Codes above 127 take the lower half of the font; as signed chars
        // they would sample outside it.
        {0, 0, "\xC1\x80\xFF", {{0, 0, "\xC1\x80\xFF"}}},
        // B is the 4095th character, the last before the terminator: C is
        // cut. Starting that many lines up puts B's line on screen.
        {0, 16 + 16 * 4094, std::string(4094, '\n') + "BC", {{0, 16, "B"}}},
    };
    for (const auto& c : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        BeginOverlay(128, 64);
        glColor4f(1, 1, 1, 1);
        PrintText(c.x, c.y, font, "%s", c.text.c_str());
        EndOverlay();
        const Frame frame = ReadFrame();
        for (const Line& line : c.lines)
            EXPECT_EQ(ReadLine(frame, line.x, line.y), line.text) << line.x << ", " << line.y;
    }
    glDeleteTextures(1, &font);
}

}  // namespace
