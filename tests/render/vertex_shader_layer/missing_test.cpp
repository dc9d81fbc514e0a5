// A driver with neither GL_EXT_vertex_shader nor GL_ARB_vertex_program: Mesa
// hides the one name, so this is a program of its own.
#include <gtest/gtest.h>

#include "render/vertex_shader_layer/layer.h"
#include "tests/support/offscreen_gl.h"

namespace {

TEST(VertexShaderChoice, NeitherExtensionLeavesTheGroupEmpty) {
    ASSERT_TRUE(MakeOffscreenGlCurrent("-GL_ARB_vertex_program"));
    ASSERT_FALSE(IsExtensionSupported("GL_ARB_vertex_program"));
    ASSERT_FALSE(IsExtensionSupported("GL_EXT_vertex_shader"));
    EXPECT_EQ(ChooseVertexShaderExtension(), 0);
    EXPECT_EQ(VertexShaderExtensionSource(), kExtensionMissing);
    EXPECT_EQ(ext::glBeginVertexShaderEXT, nullptr);
    EXPECT_EQ(ext::glSetInvariantEXT, nullptr);
    // Nothing reaches the driver, which knows neither enum.
    SetVertexShaderEnabled(1);
    SetVertexShaderEnabled(0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
