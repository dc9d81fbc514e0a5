// Key F and opened models in whole frames: an off-centre model comes to the
// middle of the view at 80 % of its height, and turning the view keeps it
// there; an opened Z-up file is placed as the model placed by hand in the
// file; the farthest zoom keeps the sky around the eye; the model of the
// start is the file as it is.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "app/shell/file_choice.h"
#include "app/view_control.h"
#include "app/view_framing.h"
#include "tests/materials/materials_scene.h"
#include "tests/model/chunk_writer.h"
#include "tests/renderer/scene_files.h"

namespace {

struct Extent {
    int left = kSize, right = -1, bottom = kSize, top = -1;
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
    for (int i = 0; i < kSize * kSize; ++i) {
        const int x = i % kSize, y = i / kSize;
        if (memcmp(with.At(x, y), without.At(x, y), 3) == 0) continue;
        extent.left = std::min(extent.left, x);
        extent.right = std::max(extent.right, x);
        extent.bottom = std::min(extent.bottom, y);
        extent.top = std::max(extent.top, y);
    }
    return extent;
}

// The flat scene with a clear font, so the overlay's lines leave the frame
// alone, and, if asked, a sky of six colours, none black: the sky and the
// reflections then tell the directions apart, and the clear colour (black)
// shows wherever no sky is.
bool StartScene(bool colouredSky) {
    if (!StartFlatScene()) return false;
    const uint8_t clear[4 * 4 * 4] = {};
    glGenTextures(1, &fontTexture);
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, clear);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    if (!colouredSky) return true;
    const Rgb faces[6] = {{1, .2f, .2f}, {.2f, 1, .2f}, {.2f, .2f, 1},
                          {1, 1, .2f},   {.2f, 1, 1},   {1, .2f, 1}};
    glDeleteTextures(1, &environmentCubeMap);
    environmentCubeMap = MakeFlatCubeMap(faces);
    return true;
}

void ReleaseScene() {
    ReleaseAll();
    ResetView();
}

TEST(FramedFrame, AnOffCentreModelComesIntoTheMiddleAtEightyPercent) {
    ASSERT_TRUE(StartScene(false));
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
    ReleaseScene();
}

// The Z-up box of the placement test, 17 units tall, opened: the arrays are
// those of the same box placed by hand as a Y-up file.
TEST(OpenedModel, IsTheSameModelPlacedInTheFileWouldBe) {
    ASSERT_TRUE(StartScene(false));
    const ZUpBox box = MakeZUpBox(17.0 / 8.0);
    ASSERT_TRUE(WriteChunkFile(ModelFile({MeshObject(box.file)}), "z_up.3ds"));
    ASSERT_EQ(ReplaceModel("z_up.3ds"), 1);
    Model byHand = {};
    ASSERT_EQ(LoadWritten(ModelFile({MeshObject(box.placedByHand)}), &byHand), 1);
    const Mesh &opened = model.meshes[0], &held = byHand.meshes[0];
    ASSERT_EQ(opened.vertexCount, held.vertexCount);
    for (int i = 0; i < 3 * held.vertexCount; ++i) {
        EXPECT_NEAR(opened.positions[i], held.positions[i], 1e-3f) << i;
        for (float* Mesh::*array : {&Mesh::normals, &Mesh::tangents, &Mesh::binormals})
            EXPECT_NEAR((opened.*array)[i], (held.*array)[i], 1e-6f) << i;
    }
    FreeModel(&byHand);
    ReleaseScene();
}

// The farthest zoom puts the eye 1000 from the centre of the sky box
// (half-edge 1024) whichever way the view is turned: every pixel is sky or
// model, none the clear colour. From 2500 away the box, its near face culled,
// spans atan(1024 / 1476) = 35 degrees up and down, less than the view's 45,
// and the clear colour shows around it.
TEST(ZoomLimit, NoFrameShowsTheClearColour) {
    ASSERT_TRUE(StartScene(true));
    model = MakeSphereModel(100.0f, 16, 8);
    modelLoaded = 1;
    const auto clearPixels = [] {
        RenderFrame();
        const Frame frame = ReadFrame();
        int count = 0;
        for (size_t i = 0; i < frame.rgba.size(); i += 4)
            count += frame.rgba[i] == 0 && frame.rgba[i + 1] == 0 && frame.rgba[i + 2] == 0;
        return count;
    };
    zoomOffset = WheelZoom(0.0f, -1000 * kWheelNotchDelta);
    for (float yaw : {0.0f, 45.0f, 90.0f, 180.0f, 300.0f})
        for (float pitch : {0.0f, 35.26f, 90.0f, -90.0f}) {
            yawDegrees = yaw;
            pitchDegrees = pitch;
            EXPECT_EQ(clearPixels(), 0) << yaw << ", " << pitch;
        }
    yawDegrees = pitchDegrees = 0.0f;
    zoomOffset = 250.0f - 2500.0f;
    EXPECT_GT(clearPixels(), 0);
    ReleaseScene();
}

// The default sphere goes in as the file holds it, in the view of the start.
TEST(StartUpModel, IsTheFileAsItIsInTheViewOfTheStart) {
    ASSERT_TRUE(WriteSceneFiles());
    ASSERT_TRUE(UseOffscreenSize(kSize, kSize));
    ASSERT_EQ(InitRenderer(), 1);
    Model file = {};
    ASSERT_EQ(Load3ds(&file, kSceneFiles[5]), 1);
    ASSERT_EQ(modelLoaded, 1);
    ASSERT_EQ(model.meshCount, file.meshCount);
    for (int32_t m = 0; m < file.meshCount; ++m) {
        const Mesh &shown = model.meshes[m], &held = file.meshes[m];
        ASSERT_EQ(shown.vertexCount, held.vertexCount);
        EXPECT_EQ(std::memcmp(shown.positions, held.positions, 12u * held.vertexCount), 0);
    }
    EXPECT_EQ(viewFramed, 0);
    EXPECT_EQ(yawDegrees + pitchDegrees + zoomOffset, 0.0f);
    FreeModel(&file);
    ReleaseAll();
}

}  // namespace
