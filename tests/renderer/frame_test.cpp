// Whole frames on scenes of the tests' own: the sky box alone, the model
// against the shading reference, the state a frame leaves, the overlay.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/projection.h"
#include "render/extensions.h"
#include "render/renderer.h"
#include "tests/renderer/renderer_test_support.h"
#include "tests/renderer/scene_colours.h"
#include "tests/renderer/scene_files.h"
#include "tests/renderer/shading_reference.h"
#include "tests/renderer/test_font.h"
#include "tests/renderer/view_reference.h"

namespace {

constexpr int kSize = 96;
constexpr uint8_t kFlatNormal[3] = {127, 127, 254};

// Start-up in a directory without files (every texture 0, no model), then
// the test scene's textures in their place and an invisible font.
bool StartTestScene(int width, int height, const uint8_t (&normalTexel)[3]) {
    if (!UseOffscreenSize(width, height) || InitRenderer() != 1) return false;
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
    yawDegrees = yaw;
    pitchDegrees = pitch;
    zoomOffset = zoom;
    bumpScale = bump;
}

TEST(Frame, SkyBoxAloneTurnsWithTheAngles) {
    ASSERT_TRUE(StartTestScene(kSize, kSize, kFlatNormal));
    ASSERT_EQ(modelLoaded, 0);
    const FaceColours colours = StoredFaceColours();
    // Yaw and pitch together tell the order of the two turns apart.
    const float angles[][3] = {{0, 0, 0}, {90, 0, 0}, {0, 60, 0}, {135, -30, 0}, {-50, 200, 300}};
    for (const auto& a : angles) {
        SCOPED_TRACE(testing::Message() << "yaw " << a[0] << " pitch " << a[1]);
        SetView(a[0], a[1], a[2], 0.5f);
        RenderFrame();
        const Frame frame = ReadFrame();
        const ViewReference view = MakeViewReference(a[0], a[1], a[2], kSize, kSize);
        const Vec3 eye = EyeInObject(view);
        int compared = 0;
        for (int py = 1; py < kSize; py += 3) {
            for (int px = 1; px < kSize; px += 3) {
                // Where the ray leaves the box of half-edge 1024 is the
                // cube-map direction of the pixel.
                const Vec3 d = PixelRay(view, px, py);
                const double e[3] = {eye.x, eye.y, eye.z}, r[3] = {d.x, d.y, d.z};
                double t = 1e30;
                for (int i = 0; i < 3; ++i) {
                    if (r[i] != 0) t = std::min(t, ((r[i] > 0 ? 1024 : -1024) - e[i]) / r[i]);
                }
                bool nearEdge = false;
                const int face = CubeFace(eye + t * d, &nearEdge);
                if (nearEdge) continue;
                ++compared;
                ASSERT_LE(ChannelDifference(frame.At(px, py), colours.environment[face]), 2)
                    << "pixel " << px << ", " << py << " face " << face;
            }
        }
        EXPECT_GT(compared, 800);
    }
    ReleaseAll();
}

// The reference's colour for every pixel whose centre and four neighbours'
// centres the model covers (so no pixel on the silhouette), by perspective-
// correct interpolation of the vertex outputs over the front-facing triangle
// that holds the centre.
struct ReferenceImage {
    std::vector<int> covered;  // triangle index + 1, or 0
    std::vector<PixelInputs> inputs;
};

ReferenceImage ShadeModelReference(const ViewReference& view, const Mesh& mesh,
                                   const uint8_t (&normalTexel)[3], const FaceColours& colours) {
    const Vec3 eye = EyeInObject(view);
    auto vec = [](const float* a, int i) { return Vec3{a[3 * i], a[3 * i + 1], a[3 * i + 2]}; };
    std::vector<VertexOutputs> outputs;
    std::vector<WindowPoint> points;
    for (int i = 0; i < mesh.vertexCount; ++i) {
        outputs.push_back(ReferenceVertex(vec(mesh.positions, i), vec(mesh.normals, i),
                                          vec(mesh.tangents, i), vec(mesh.binormals, i), bumpScale,
                                          eye));
        points.push_back(ProjectToWindow(view, vec(mesh.positions, i)));
    }
    ReferenceImage image;
    image.covered.assign(view.width * view.height, 0);
    image.inputs.resize(view.width * view.height);
    for (int f = 0; f < mesh.faceCount; ++f) {
        const uint16_t* v = &mesh.faces[3 * f];
        const WindowPoint& a = points[v[0]];
        const WindowPoint& b = points[v[1]];
        const WindowPoint& c = points[v[2]];
        const double area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
        if (area <= 0) continue;  // culled: back-facing or degenerate
        const int x0 = std::max(0, static_cast<int>(std::min({a.x, b.x, c.x})));
        const int x1 = std::min(view.width - 1, static_cast<int>(std::max({a.x, b.x, c.x})));
        const int y0 = std::max(0, static_cast<int>(std::min({a.y, b.y, c.y})));
        const int y1 = std::min(view.height - 1, static_cast<int>(std::max({a.y, b.y, c.y})));
        for (int py = y0; py <= y1; ++py) {
            for (int px = x0; px <= x1; ++px) {
                const double x = px + 0.5, y = py + 0.5;
                double l[3] = {((b.x - x) * (c.y - y) - (c.x - x) * (b.y - y)) / area,
                               ((c.x - x) * (a.y - y) - (a.x - x) * (c.y - y)) / area, 0};
                l[2] = 1 - l[0] - l[1];
                if (l[0] < 0 || l[1] < 0 || l[2] < 0) continue;
                const double q[3] = {l[0] / a.w, l[1] / b.w, l[2] / c.w};
                const double sum = q[0] + q[1] + q[2];
                PixelInputs& in = image.inputs[py * view.width + px];
                in = {{normalTexel[0] / 255.0, normalTexel[1] / 255.0, normalTexel[2] / 255.0},
                      {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
                      {0, 0, 0},
                      colours.base,
                      colours.environment,
                      colours.diffuse};
                for (int k = 0; k < 3; ++k) {
                    const VertexOutputs& o = outputs[v[k]];
                    for (int row = 0; row < 3; ++row)
                        in.rows[row] = in.rows[row] + (q[k] / sum) * o.rows[row];
                    in.toEye = in.toEye + (q[k] / sum) * o.toEye;
                }
                image.covered[py * view.width + px] = f + 1;
            }
        }
    }
    return image;
}

TEST(Frame, ModelMatchesTheShadingReferenceFromCentreToSilhouette) {
    struct Case {
        uint8_t normalTexel[3];
        float bump, yaw, pitch, zoom;
    };
    const Case cases[] = {{{127, 127, 254}, 0.5f, 0, 0, 0}, {{190, 90, 220}, 1.5f, 30, -20, 40}};
    const FaceColours colours = StoredFaceColours();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "bump " << c.bump << " yaw " << c.yaw);
        ASSERT_TRUE(StartTestScene(kSize, kSize, c.normalTexel));
        model = MakeSphereModel(100, 32, 16);
        modelLoaded = 1;
        SetView(c.yaw, c.pitch, c.zoom, c.bump);
        RenderFrame();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        const Frame frame = ReadFrame();
        const ViewReference view = MakeViewReference(c.yaw, c.pitch, c.zoom, kSize, kSize);
        const ReferenceImage reference =
            ShadeModelReference(view, model.meshes[0], c.normalTexel, colours);
        int compared = 0, worst = 0;
        double highestF = 0;
        bool centreCompared = false;
        for (int py = 1; py + 1 < kSize; ++py) {
            for (int px = 1; px + 1 < kSize; ++px) {
                const int i = py * kSize + px;
                if (!reference.covered[i] || !reference.covered[i - 1] ||
                    !reference.covered[i + 1] || !reference.covered[i - kSize] ||
                    !reference.covered[i + kSize]) {
                    continue;
                }
                const PixelResult expected = ReferencePixel(reference.inputs[i]);
                if (expected.uncertain) continue;
                ++compared;
                highestF = std::max(highestF, expected.fresnel);
                centreCompared = centreCompared || (px == kSize / 2 && py == kSize / 2);
                const int difference = ChannelDifference(frame.At(px, py), expected.color);
                worst = std::max(worst, difference);
                ASSERT_LE(difference, 3)
                    << "pixel " << px << ", " << py << " F " << expected.fresnel;
            }
        }
        std::printf("%d pixels compared, highest F %.2f, worst difference %d\n", compared, highestF,
                    worst);
        EXPECT_GT(compared, 600);
        EXPECT_TRUE(centreCompared);
        EXPECT_GT(highestF, 0.6);  // pixels toward the silhouette were among them
        ReleaseAll();
    }
}

// What a frame must give back: the matrices, the units, every enable.
void ExpectStateAsBeforeTheFrame(const GLdouble (&projection)[16]) {
    GLdouble matrix[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, matrix);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(matrix[i], i % 5 == 0 ? 1.0 : 0.0) << "model-view " << i;
    glGetDoublev(GL_PROJECTION_MATRIX, matrix);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(matrix[i], projection[i]) << "projection " << i;
    const std::pair<GLenum, GLint> integers[] = {{GL_MATRIX_MODE, GL_MODELVIEW},
                                                 {GL_ACTIVE_TEXTURE_ARB, GL_TEXTURE0_ARB},
                                                 {GL_CLIENT_ACTIVE_TEXTURE_ARB, GL_TEXTURE0_ARB},
                                                 {GL_MODELVIEW_STACK_DEPTH, 1},
                                                 {GL_PROJECTION_STACK_DEPTH, 1},
                                                 {GL_ATTRIB_STACK_DEPTH, 0}};
    for (const auto& [name, expected] : integers) {
        GLint value = -1;
        glGetIntegerv(name, &value);
        EXPECT_EQ(value, expected) << std::hex << name;
    }
    for (GLenum unit = GL_TEXTURE0_ARB; unit <= GL_TEXTURE4_ARB; ++unit) {
        ext::glActiveTextureARB(unit);
        ext::glClientActiveTextureARB(unit);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << unit - GL_TEXTURE0_ARB;
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_CUBE_MAP_ARB)) << unit - GL_TEXTURE0_ARB;
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY)) << unit - GL_TEXTURE0_ARB;
    }
    ext::glActiveTextureARB(GL_TEXTURE0_ARB);
    ext::glClientActiveTextureARB(GL_TEXTURE0_ARB);
    const GLenum off[] = {GL_VERTEX_ARRAY,       GL_NORMAL_ARRAY,       GL_BLEND,
                          GL_LIGHTING,           GL_VERTEX_PROGRAM_ARB, GL_FRAGMENT_PROGRAM_ARB,
                          GL_FRAGMENT_SHADER_ATI};
    for (GLenum name : off)
        EXPECT_FALSE(glIsEnabled(name)) << std::hex << name;
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0] + colour[1] + colour[2] + colour[3], 4.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(Frame, LeavesTheStateAsItFoundItAndRepeatsItsPicture) {
    const uint8_t tilted[3] = {190, 90, 220};
    ASSERT_TRUE(StartTestScene(kSize, kSize, tilted));
    model = MakeSphereModel(100, 24, 12);
    modelLoaded = 1;
    SetView(20, 10, 0, 1.0f);
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    RenderFrame();
    const Frame first = ReadFrame();
    ExpectStateAsBeforeTheFrame(projection);
    RenderFrame();
    const Frame second = ReadFrame();
    ExpectStateAsBeforeTheFrame(projection);
    EXPECT_TRUE(first.rgba == second.rgba);
    ReleaseAll();
}

TEST(Frame, OverlayShowsBumpScaleErrorTextAndRate) {
    // Wide enough for the first line's 16 glyphs and its line feed.
    const int width = 17 * kFontCell, height = 64;
    ASSERT_TRUE(WriteTestFont("font.tga"));
    ASSERT_TRUE(UseOffscreenSize(width, height));
    ASSERT_EQ(InitRenderer(), 1);
    ASSERT_NE(fontTexture, 0u);
    const Rgb black[6] = {};
    environmentCubeMap = MakeFlatCubeMap(black);
    SetView(0, 0, 0, 0.5f);
    framesPerSecond = 0.0f;
    const std::string noError = reinterpret_cast<const char*>(gluErrorString(GL_NO_ERROR));

    RenderFrame();
    Frame frame = ReadFrame();
    EXPECT_EQ(ReadLine(frame, 0, 32), "Bump scale: 0.50");
    EXPECT_EQ(ReadLine(frame, 0, 16), noError);
    EXPECT_EQ(ReadLine(frame, 0, 0), "FPS: 0.0");

    bumpScale = 2.0f;
    framesPerSecond = 61.7f;
    RenderFrame();
    frame = ReadFrame();
    EXPECT_EQ(ReadLine(frame, 0, 32), "Bump scale: 2.00");
    EXPECT_EQ(ReadLine(frame, 0, 0), "FPS: 61.7");
    framesPerSecond = 0.0f;
    ReleaseAll();
}

}  // namespace
