// Mesa without GL_ARB_vertex_program (hidden by MESA_EXTENSION_OVERRIDE, read
// once per process, hence a program of its own): the vertex-shader layer has
// nothing to stand on, so start-up stops at GL_EXT_vertex_shader.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "render/renderer.h"
#include "tests/renderer/recording_platform.h"
#include "tests/renderer/renderer_test_support.h"
#include "tests/renderer/scene_files.h"

namespace {

TEST(StartUpWithoutVertexProgram, ShowsTheVertexShaderMessageAndLoadsNothing) {
    ASSERT_TRUE(UseOffscreenSize(32, 32, "-GL_ARB_vertex_program"));
    ASSERT_TRUE(WriteSceneFiles());
    EXPECT_EQ(InitRenderer(), 0);
    ASSERT_EQ(StartupMessages().size(), 1u);
    EXPECT_EQ(StartupMessages()[0].text, "GL_EXT_vertex_shader not found!");
    EXPECT_EQ(StartupMessages()[0].caption, "OpenGL");
    EXPECT_EQ(fontTexture, 0u);
    EXPECT_EQ(modelLoaded, 0);
    ReleaseRenderer();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
