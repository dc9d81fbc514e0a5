#include <dlfcn.h>
#include <gtest/gtest.h>

#include "render/extensions.h"
#include "tests/render/render_test_context.h"

namespace {

// What the interposed glGetString below does with GL_EXTENSIONS.
int extensionStringReads = 0;
bool fakeExtensionsActive = false;
const char* fakeExtensions = nullptr;

}  // namespace

// Shadows the driver's glGetString for this program: counts GL_EXTENSIONS reads
// and, when a test asks, answers with a made-up extension string (or null).
extern "C" const GLubyte* GLAPIENTRY glGetString(GLenum name) {
    typedef const GLubyte*(GLAPIENTRY * GetStringFunction)(GLenum);
    static GetStringFunction driverGetString =
        reinterpret_cast<GetStringFunction>(dlsym(RTLD_NEXT, "glGetString"));
    if (name == GL_EXTENSIONS) {
        ++extensionStringReads;
        if (fakeExtensionsActive) return reinterpret_cast<const GLubyte*>(fakeExtensions);
    }
    return driverGetString(name);
}

namespace {

struct MatchCase {
    const char* extensions;
    const char* name;
    int expected;
};

TEST(ExtensionString, MatchesOnlyWholeEntries) {
    const MatchCase cases[] = {
        {"GL_ARB_multitexture GL_EXT_vertex_shader GL_ATI_fragment_shader", "GL_EXT_vertex_shader",
         1},
        {"GL_EXT_vertex_shader", "GL_EXT_vertex_shader", 1},
        {"GL_A GL_EXT_vertex_shader", "GL_EXT_vertex_shader", 1},  // last, no space after
        {"GL_EXT_vertex_shader GL_A", "GL_EXT_vertex_shader", 1},  // first
        {"GL_EXT_vertex_shader ", "GL_EXT_vertex_shader", 1},
        {"GL_EXT_vertex_shader2 GL_A", "GL_EXT_vertex_shader", 0},  // only as a prefix
        {"GL_EXT_vertex_shader_x GL_EXT_vertex_shader", "GL_EXT_vertex_shader", 1},
        {"GL_EXT_vertex_shader_x GL_B GL_EXT_vertex_shader GL_C", "GL_EXT_vertex_shader", 1},
        {"XGL_EXT_vertex_shader", "GL_EXT_vertex_shader", 0},  // only as a suffix
        {"GL_A XGL_EXT_vertex_shader GL_B", "GL_EXT_vertex_shader", 0},
        {"GL_EXT_vertex_shaderGL_EXT_vertex_shader", "GL_EXT_vertex_shader", 0},
        {"GL_ARB_texture_cube_map_array GL_ARB_texture_cube", "GL_ARB_texture_cube_map", 0},
        {"GL_ARB_texture_cube_map_array GL_ARB_texture_cube_map", "GL_ARB_texture_cube_map", 1},
        {"GL_ab GL_aba", "GL_abab", 0},
        {"", "GL_A", 0},
        {"GL_A  GL_B", "GL_B", 1},  // double space between entries
        {"GL_A GL_B", "", 0},
        {"GL_A GL_B", "GL_A GL_B", 0},  // a name with a space is never an entry
        {"GL_A GL_B", " GL_B", 0},
        {"GL_A GL_B", "GL_A ", 0},
        {nullptr, "GL_A", 0},
        {"GL_A", nullptr, 0},
    };
    for (const MatchCase& c : cases) {
        EXPECT_EQ(IsExtensionInString(c.extensions, c.name), c.expected)
            << "\"" << (c.extensions ? c.extensions : "(null)") << "\" / \""
            << (c.name ? c.name : "(null)") << "\"";
    }
}

TEST(ExtensionString, InvalidNamesDoNotReadExtensionString) {
    ASSERT_TRUE(MakeRenderTestContextCurrent());
    fakeExtensionsActive = true;
    fakeExtensions = "GL_A GL_B";
    int readsBefore = extensionStringReads;
    EXPECT_EQ(IsExtensionSupported(""), 0);
    EXPECT_EQ(IsExtensionSupported("GL_A GL_B"), 0);
    EXPECT_EQ(IsExtensionSupported("GL_A "), 0);
    EXPECT_EQ(extensionStringReads, readsBefore);
    EXPECT_EQ(IsExtensionSupported("GL_B"), 1);
    EXPECT_EQ(extensionStringReads, readsBefore + 1);
    fakeExtensionsActive = false;
}

TEST(ExtensionString, NullExtensionStringMeansUnsupported) {
    ASSERT_TRUE(MakeRenderTestContextCurrent());
    fakeExtensionsActive = true;
    fakeExtensions = nullptr;
    EXPECT_EQ(IsExtensionSupported("GL_ARB_multitexture"), 0);
    fakeExtensionsActive = false;
}

TEST(ExtensionString, DriverStringReflectsExtensionOverride) {
    ASSERT_TRUE(MakeRenderTestContextCurrent());
    fakeExtensionsActive = false;
    EXPECT_EQ(IsExtensionSupported("GL_ARB_multitexture"), 1);
    EXPECT_EQ(IsExtensionSupported("GL_EXT_vertex_shader"), 1);
    EXPECT_EQ(IsExtensionSupported("GL_ATI_fragment_shader"), 1);
    EXPECT_EQ(IsExtensionSupported("GL_ARB_vertex_program"), 0);
    // Mesa offers GL_ARB_texture_cube_map_array beside GL_ARB_texture_cube_map.
    EXPECT_EQ(IsExtensionSupported("GL_ARB_texture_cube_map"), 1);
    EXPECT_EQ(IsExtensionSupported("GL_ARB_texture_cube"), 0);
    EXPECT_EQ(IsExtensionSupported("GL_ARB_multi"), 0);
    EXPECT_EQ(IsExtensionSupported("ARB_multitexture"), 0);
}

}  // namespace
