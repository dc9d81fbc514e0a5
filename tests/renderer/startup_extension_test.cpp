// Start-up on a driver without one of the three extensions. Mesa cannot hide
// GL_ARB_multitexture alone, so this program shadows glGetString
// (gl_shadows.cpp) with the driver's extension list minus the names a case
// takes away. Each case is a
// process of its own under CTest, so the entry points of an earlier case are
// not there either.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "render/extensions.h"
#include "render/renderer.h"
#include "tests/renderer/gl_shadows.h"
#include "tests/renderer/recording_platform.h"
#include "tests/renderer/renderer_test_support.h"
#include "tests/renderer/scene_files.h"

namespace {

// Starts up with the names taken away and the default files present; the
// start-up must stop with exactly the one message, having loaded nothing, and
// the release after it must be safe.
void ExpectStartUpStops(std::vector<std::string> hidden, const char* message) {
    ASSERT_TRUE(UseOffscreenSize(32, 32));
    ASSERT_TRUE(WriteSceneFiles());
    HiddenExtensions() = std::move(hidden);
    StartupMessages().clear();
    EXPECT_EQ(InitRenderer(), 0);
    HiddenExtensions().clear();
    ASSERT_EQ(StartupMessages().size(), 1u);
    EXPECT_EQ(StartupMessages()[0].text, message);
    EXPECT_EQ(StartupMessages()[0].caption, "OpenGL");
    EXPECT_EQ(fontTexture | baseTexture | normalMapTexture | environmentCubeMap | diffuseCubeMap,
              0u);
    EXPECT_EQ(modelLoaded, 0);
    EXPECT_EQ(vertexShader | fragmentShader, 0u);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glIsTexture(1), GL_FALSE);
    ReleaseRenderer();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(StartUpWithoutExtension, Multitexture) {
    ExpectStartUpStops({"GL_ARB_multitexture"}, "GL_ARB_multitexture not found!");
    EXPECT_EQ(ext::glBeginVertexShaderEXT, nullptr);
}

TEST(StartUpWithoutExtension, VertexShaderWhenNoLayerCanStandIn) {
    ExpectStartUpStops({"GL_EXT_vertex_shader", "GL_ARB_vertex_program"},
                       "GL_EXT_vertex_shader not found!");
    EXPECT_NE(ext::glActiveTextureARB, nullptr);
}

TEST(StartUpWithoutExtension, FragmentShaderWhenNoLayerCanStandIn) {
    ExpectStartUpStops({"GL_ATI_fragment_shader", "GL_ARB_fragment_program"},
                       "GL_ATI_fragment_shader not found!");
    EXPECT_NE(ext::glBeginVertexShaderEXT, nullptr);
}

}  // namespace
