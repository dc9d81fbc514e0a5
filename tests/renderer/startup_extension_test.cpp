// Start-up on a driver without one of the three extensions, and a frame on a
// zero-size client area. Mesa cannot hide GL_ARB_multitexture alone, so this
// program shadows glGetString (gl_shadows.cpp) with the driver's extension
// list minus the names a case takes away, and gluErrorString to see which
// code a frame shows. Each case runs as a process of its own under CTest
// (Mesa reads MESA_EXTENSION_OVERRIDE once, and entry points fetched by an
// earlier case would stay).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/projection.h"
#include "render/extensions.h"
#include "render/gl_error.h"
#include "render/renderer.h"
#include "tests/renderer/gl_shadows.h"
#include "tests/renderer/recording_platform.h"
#include "tests/renderer/scene_files.h"

namespace {

struct MissingExtension {
    const char* name;
    std::vector<std::string> hidden;  // by the glGetString shadow
    const char* mesaOverride;         // MESA_EXTENSION_OVERRIDE
    const char* message;
    int groupsFetched;  // multitexture, then vertex shader entry points
};

// Without GL_ARB_vertex_program (or GL_ARB_fragment_program) no layer can
// stand in for the driver's missing extension.
// clang-format off
const MissingExtension kMissing[] = {
    {"Multitexture", {"GL_ARB_multitexture"}, nullptr, "GL_ARB_multitexture not found!", 0},
    {"VertexShader", {"GL_EXT_vertex_shader", "GL_ARB_vertex_program"}, nullptr,
     "GL_EXT_vertex_shader not found!", 1},
    {"VertexProgramHiddenByMesa", {}, "-GL_ARB_vertex_program", "GL_EXT_vertex_shader not found!", 1},
    {"FragmentShader", {"GL_ATI_fragment_shader", "GL_ARB_fragment_program"}, nullptr,
     "GL_ATI_fragment_shader not found!", 2},
};
// clang-format on

void PrintTo(const MissingExtension& c, std::ostream* out) {
    *out << c.name;
}

class StartUpWithout : public testing::TestWithParam<MissingExtension> {};

// Start-up with the default files present must stop with exactly the one
// message, having loaded nothing, and the release after it must be safe.
TEST_P(StartUpWithout, ShowsItsMessageAndLoadsNothing) {
    const MissingExtension& c = GetParam();
    ASSERT_TRUE(UseOffscreenSize(32, 32, c.mesaOverride));
    ASSERT_TRUE(WriteSceneFiles());
    HiddenExtensions() = c.hidden;
    EXPECT_EQ(InitRenderer(), 0);
    HiddenExtensions().clear();
    ASSERT_EQ(StartupMessages().size(), 1u);
    EXPECT_EQ(StartupMessages()[0].text, c.message);
    EXPECT_EQ(StartupMessages()[0].caption, "OpenGL");
    EXPECT_EQ(fontTexture | baseTexture | normalMapTexture | environmentCubeMap | diffuseCubeMap |
                  vertexShader | fragmentShader,
              0u);
    EXPECT_EQ(modelLoaded, 0);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glIsTexture(1), GL_FALSE);
    EXPECT_EQ(ext::glActiveTextureARB != nullptr, c.groupsFetched >= 1);
    EXPECT_EQ(ext::glBeginVertexShaderEXT != nullptr, c.groupsFetched >= 2);
    ReleaseRenderer();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(Extension, StartUpWithout, testing::ValuesIn(kMissing),
                         [](const auto& info) { return std::string(info.param.name); });

// A minimised window (0 x 0 from WM_SIZE): the overlay's orthographic set-up
// is invalid, and the frame's own error fetch, which comes after it, shows
// that error's text; nothing is left for the next frame.
TEST(ZeroSizeFrame, ShowsTheInvalidValueTextAndLeavesNoErrorBehind) {
    ASSERT_TRUE(UseOffscreenSize(64, 64));
    ASSERT_EQ(InitRenderer(), 1);
    ErrorCodesAsked().clear();
    for (int size : {64, 0, 64}) {
        windowWidth = windowHeight = size;
        ResizeScene(size, size);
        RenderFrame();
    }
    const std::vector<GLenum> shown = {GL_NO_ERROR, GL_INVALID_VALUE, GL_NO_ERROR};
    EXPECT_EQ(ErrorCodesAsked(), shown);
    EXPECT_EQ(FetchGlError(), GLenum(GL_NO_ERROR));
    ReleaseAll();
}

}  // namespace
