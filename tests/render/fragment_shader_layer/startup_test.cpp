// Mesa with GL_ATI_fragment_shader and GL_ARB_fragment_program both hidden:
// the layer has nothing to stand on, so start-up shows the fragment shader's
// message and returns 0.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "render/fragment_shader_layer/layer.h"
#include "render/renderer.h"
#include "tests/renderer/recording_platform.h"
#include "tests/renderer/renderer_test_support.h"
#include "tests/renderer/scene_files.h"

namespace {

TEST(StartUpWithoutFragmentProgram, ShowsTheFragmentShaderMessageAndReturnsZero) {
    ASSERT_TRUE(UseOffscreenSize(32, 32, "-GL_ATI_fragment_shader -GL_ARB_fragment_program"));
    ASSERT_TRUE(WriteSceneFiles());
    EXPECT_EQ(InitRenderer(), 0);
    ASSERT_EQ(StartupMessages().size(), 1u);
    EXPECT_EQ(StartupMessages()[0].text, "GL_ATI_fragment_shader not found!");
    EXPECT_EQ(StartupMessages()[0].caption, "OpenGL");
    EXPECT_EQ(FragmentShaderExtensionSource(), kExtensionMissing);
    EXPECT_EQ(ext::glGenFragmentShadersATI, nullptr);
    EXPECT_EQ(fontTexture, 0u);
    EXPECT_EQ(modelLoaded, 0);
    // Asking the layer directly changes nothing either.
    EXPECT_EQ(UseFragmentShaderLayer(), 0);
    EXPECT_EQ(FragmentShaderExtensionSource(), kExtensionMissing);
    ReleaseRenderer();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
