// A frame while the client area has no size: the overlay's orthographic
// set-up is invalid, and the frame's own error fetch, which comes after it,
// finds that error and asks GLU for its text. gluErrorString is shadowed
// (gl_shadows.cpp) to see which code each frame shows.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/projection.h"
#include "render/gl_error.h"
#include "render/renderer.h"
#include "tests/renderer/gl_shadows.h"
#include "tests/renderer/renderer_test_support.h"
#include "tests/renderer/scene_files.h"

namespace {

TEST(ZeroSizeFrame, ShowsTheInvalidValueTextAndLeavesNoErrorBehind) {
    ASSERT_TRUE(UseOffscreenSize(64, 64));
    ASSERT_EQ(InitRenderer(), 1);
    ErrorCodesAsked().clear();
    RenderFrame();
    // A minimised window: WM_SIZE brings 0 x 0 and a projection for it.
    windowWidth = 0;
    windowHeight = 0;
    ResizeScene(0, 0);
    RenderFrame();
    EXPECT_EQ(FetchGlError(), static_cast<GLenum>(GL_NO_ERROR));
    windowWidth = 64;
    windowHeight = 64;
    ResizeScene(64, 64);
    RenderFrame();
    const std::vector<GLenum> shown = {GL_NO_ERROR, GL_INVALID_VALUE, GL_NO_ERROR};
    EXPECT_EQ(ErrorCodesAsked(), shown);
    ReleaseAll();
}

}  // namespace
