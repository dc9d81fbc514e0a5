// Key F in whole frames: an off-centre model comes to the middle of the view
// at 80 % of its height, and turning the view keeps it there.
#include <gtest/gtest.h>

#include "app/view_framing.h"
#include "tests/materials/materials_scene.h"

namespace {

struct Extent {
    int count = 0, left = kSize, right = -1, bottom = kSize, top = -1;
};

// The model's pixels: those that change when it is drawn, the view the same.
Extent ModelExtent() {
    modelLoaded = 0;
    RenderFrame();
    const Frame without = ReadFrame();
    modelLoaded = 1;
    RenderFrame();
    const Frame with = ReadFrame();
    Extent extent;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const uint8_t* p = with.At(x, y);
            const uint8_t* q = without.At(x, y);
            if (p[0] == q[0] && p[1] == q[1] && p[2] == q[2]) continue;
            ++extent.count;
            extent.left = std::min(extent.left, x);
            extent.right = std::max(extent.right, x);
            extent.bottom = std::min(extent.bottom, y);
            extent.top = std::max(extent.top, y);
        }
    }
    return extent;
}

TEST(FramedFrame, AnOffCentreModelComesIntoTheMiddleAtEightyPercent) {
    ASSERT_TRUE(StartFlatScene());
    // A clear font: the overlay's lines leave the lower half of the frame alone.
    const uint8_t clear[4 * 4 * 4] = {};
    glGenTextures(1, &fontTexture);
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, clear);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    // A sphere of radius 30 about (150, 60, 0): right of and above the middle.
    Model sphere = MakeSphereModel(30.0f, 48, 24);
    for (int v = 0; v < sphere.meshes[0].vertexCount; ++v) {
        sphere.meshes[0].positions[3 * v] += 150.0f;
        sphere.meshes[0].positions[3 * v + 1] += 60.0f;
    }
    ComputeBounds(&sphere);
    FreeModel(&model);
    model = sphere;
    modelLoaded = 1;

    // Unframed: where the view puts it, 250 away (the plane spans -250..250).
    Extent before = ModelExtent();
    ASSERT_GT(before.count, 0);
    EXPECT_NEAR((before.left + before.right) / 2.0, 96 * 400 / 500.0, 2.0);
    EXPECT_NEAR((before.bottom + before.top) / 2.0, 96 * 310 / 500.0, 2.0);

    // Framed: in the middle, 0.8 x 96 = 76.8 pixels tall, from any side.
    ASSERT_EQ(FrameModelInView(), 1);
    for (float yaw : {0.0f, 90.0f, 200.0f}) {
        yawDegrees = yaw;
        pitchDegrees = yaw / 4.0f;
        const Extent framed = ModelExtent();
        EXPECT_NEAR((framed.left + framed.right) / 2.0, 47.5, 1.0) << yaw;
        EXPECT_NEAR((framed.bottom + framed.top) / 2.0, 47.5, 1.0) << yaw;
        EXPECT_NEAR(framed.top - framed.bottom + 1, 76.8, 2.5) << yaw;
        EXPECT_NEAR(framed.right - framed.left + 1, 76.8, 2.5) << yaw;
    }

    // Dropped again: the frame is the unframed one, pixel for pixel.
    yawDegrees = pitchDegrees = 0.0f;
    DropFraming();
    zoomOffset = 0.0f;
    RenderFrame();
    const Frame unframed = ReadFrame();
    viewFramed = 1;  // centre at the origin: the same view
    RenderFrame();
    const Frame atOrigin = ReadFrame();
    EXPECT_EQ(unframed.rgba, atOrigin.rgba);
    viewFramed = 0;
    glDeleteTextures(1, &fontTexture);
    fontTexture = 0;
    ReleaseRenderer();
}

}  // namespace
