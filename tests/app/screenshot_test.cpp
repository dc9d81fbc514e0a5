#include "app/screenshot.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/renderer/renderer_test_support.h"
#include "tests/support/command_output.h"

namespace {

// A frame drawn offscreen: each save reads it as it is, whatever the pack
// alignment, into the first name not taken. ImageMagick reads the file's
// bottom-left origin as an orientation, leaving the rows in file order until
// told to apply it, and then sees the frame.
TEST(SaveScreenshot, TheFrameIntoTheFirstFreeNameAsImageMagickReadsIt) {
    ASSERT_TRUE(UseOffscreenSize(40, 30));
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    // A red square in the lower left, over rows and columns of odd length.
    glEnable(GL_SCISSOR_TEST);
    glScissor(3, 2, 11, 7);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    const Frame frame = ReadFrame();
    glPixelStorei(GL_PACK_ALIGNMENT, 8);
    std::ofstream("screenshot-002.tga") << "taken";
    EXPECT_EQ(SaveScreenshot(40, 30), "screenshot-001.tga");
    EXPECT_EQ(SaveScreenshot(40, 30), "screenshot-003.tga");
    EXPECT_EQ(NextScreenshotName("nowhere/"), "nowhere/screenshot-001.tga");
    EXPECT_EQ(SaveScreenshot(0, 30), "");
    GLint alignment = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 8);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    std::string topRowFirst;
    for (int y = 29; y >= 0; --y)
        for (int x = 0; x < 40; ++x)
            topRowFirst.append(reinterpret_cast<const char*>(frame.At(x, y)), 3);
    for (const std::string name : {"screenshot-001.tga", "screenshot-003.tga"}) {
        EXPECT_EQ(CommandOutput("identify -format '%[orientation]' " + name), "BottomLeft");
        const std::string rgb = CommandOutput("convert " + name + " -auto-orient -depth 8 rgb:-");
        EXPECT_TRUE(rgb == topRowFirst) << name << ": " << rgb.size() << " bytes";
    }

    // Sizes the format cannot hold, and a folder that is not there, write nothing.
    const std::vector<uint8_t> pixels(3 * 70000);
    EXPECT_EQ(WriteTga24("none.tga", 0, 2, pixels.data()), 0);
    EXPECT_EQ(WriteTga24("none.tga", 70000, 1, pixels.data()), 0);
    EXPECT_EQ(WriteTga24("none.tga", 1, 70000, pixels.data()), 0);
    EXPECT_EQ(WriteTga24("no/such/folder/x.tga", 1, 2, pixels.data()), 0);
    EXPECT_EQ(std::fopen("none.tga", "rb"), nullptr);
}

}  // namespace
