#include "render/extensions.h"

#include <gtest/gtest.h>

namespace {

TEST(ExtensionString, MatchesOnlyWholeEntries) {
    const char* const vs = "GL_EXT_vertex_shader";
    const struct {
        const char* extensions;
        const char* name;
        int expected;
    } cases[] = {
        {"GL_ARB_multitexture GL_EXT_vertex_shader GL_ATI_fragment_shader", vs, 1},
        {"GL_A GL_EXT_vertex_shader", vs, 1},        // last, nothing after it
        {"GL_A  GL_B", "GL_B", 1},                   // double space
        {"GL_EXT_vertex_shader2 GL_A", vs, 0},       // only as a prefix
        {"GL_A XGL_EXT_vertex_shader GL_B", vs, 0},  // only as a suffix
        {"GL_EXT_vertex_shaderGL_EXT_vertex_shader", vs, 0},
        {"GL_EXT_vertex_shader_x GL_B GL_EXT_vertex_shader GL_C", vs, 1},  // after a near miss
        {"GL_ARB_texture_cube_map_array GL_ARB_texture_cube", "GL_ARB_texture_cube_map", 0},
        {"", "GL_A", 0},
        {"GL_A GL_B", "", 0},
        {"GL_A GL_B", "GL_A GL_B", 0},  // a name holding a space is never an entry
        {nullptr, "GL_A", 0},
        {"GL_A", nullptr, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsExtensionInString(c.extensions, c.name), c.expected)
            << (c.extensions ? c.extensions : "(null)") << " / " << (c.name ? c.name : "(null)");
    }
}

}  // namespace
