// The three squares drawn through the GL_ATI_fragment_shader layer (the
// driver's own extension hidden): the layer's program is chosen once before
// the model is drawn and must sample whatever texture each mesh binds.
#include <gtest/gtest.h>

#include "render/extensions.h"
#include "tests/materials/materials_scene.h"
#include "tests/renderer/scene_files.h"

namespace {

TEST(MaterialsThroughTheLayer, EachMeshShowsItsOwnColour) {
    ASSERT_TRUE(StartFlatScene("-GL_ATI_fragment_shader"));
    ASSERT_FALSE(IsExtensionSupported("GL_ATI_fragment_shader"));
    ASSERT_TRUE(WriteThreeSquares());
    ASSERT_TRUE(LoadModel("models/three.3ds"));
    const std::vector<std::vector<uint8_t>> colours = SquareColours();
    ExpectColour(colours[0], kTextureRed, "textured");
    ExpectColour(colours[1], kMaterialGreen, "coloured");
    ExpectColour(colours[2], kBase, "without material");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    ReleaseAll();
}

}  // namespace
