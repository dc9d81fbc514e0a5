#include "app/screenshot.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image/tga/tga.h"
#include "tests/renderer/renderer_test_support.h"

namespace {

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void Touch(const std::string& path) {
    std::ofstream(path) << "taken";
}

// What an earlier run of a case left in its directory.
void RemoveScreenshots() {
    for (const char* name : {"screenshot-001.tga", "screenshot-002.tga", "screenshot-003.tga"})
        std::remove(name);
}

TEST(NextScreenshotName, TheFirstNumberNotTaken) {
    RemoveScreenshots();
    EXPECT_EQ(NextScreenshotName(""), "screenshot-001.tga");
    Touch("screenshot-001.tga");
    Touch("screenshot-003.tga");
    EXPECT_EQ(NextScreenshotName(""), "screenshot-002.tga");
    Touch("screenshot-002.tga");
    EXPECT_EQ(NextScreenshotName(""), "screenshot-004.tga");
    EXPECT_EQ(NextScreenshotName("nowhere/"), "nowhere/screenshot-001.tga");
}

// A frame drawn offscreen: each save reads it as it is, into the next name,
// and ImageMagick reads the files as the same picture.
TEST(SaveScreenshot, TheFrameIntoTheNextFileReadByImageMagick) {
    RemoveScreenshots();
    ASSERT_TRUE(UseOffscreenSize(40, 30));
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 8);
    // A red square in the lower left, over rows and columns of odd length.
    glEnable(GL_SCISSOR_TEST);
    glScissor(3, 2, 11, 7);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    const Frame frame = ReadFrame();
    glPixelStorei(GL_PACK_ALIGNMENT, 8);

    EXPECT_EQ(SaveScreenshot(40, 30), "screenshot-001.tga");
    EXPECT_EQ(SaveScreenshot(40, 30), "screenshot-002.tga");
    EXPECT_EQ(SaveScreenshot(0, 30), "");
    GLint alignment = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 8);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(FileBytes("screenshot-001.tga"), FileBytes("screenshot-002.tga"));

    Image image = {};
    ASSERT_EQ(LoadTga("screenshot-001.tga", &image), 1);
    ASSERT_EQ(image.width, 40);
    ASSERT_EQ(image.height, 30);
    int differing = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const uint8_t* bgr = image.pixels + (y * 40 + x) * 3;
            const uint8_t* rgba = frame.At(x, y);
            differing += (bgr[0] != rgba[2] || bgr[1] != rgba[1] || bgr[2] != rgba[0]) ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
    free(image.pixels);

    // ImageMagick, top row first: the red square's corner at (3, 30 - 2 - 7).
    // It reads the bottom-left origin as an orientation and leaves the rows in
    // file order until told to apply it.
    FILE* identify = popen("identify -format '%[orientation]' screenshot-001.tga", "r");
    ASSERT_NE(identify, nullptr);
    char orientation[64] = {};
    ASSERT_NE(std::fgets(orientation, sizeof orientation, identify), nullptr);
    ASSERT_EQ(pclose(identify), 0);
    EXPECT_STREQ(orientation, "BottomLeft");
    FILE* convert =
        popen("convert screenshot-001.tga -auto-orient -depth 8 txt:- 2>/dev/null", "r");
    ASSERT_NE(convert, nullptr);
    std::string text;
    char line[256];
    while (std::fgets(line, sizeof line, convert) != nullptr)
        text += line;
    ASSERT_EQ(pclose(convert), 0);
    EXPECT_NE(text.find("# ImageMagick pixel enumeration: 40,30,"), std::string::npos);
    EXPECT_NE(text.find("\n3,21: (255,0,0)"), std::string::npos) << text.substr(0, 200);
    EXPECT_NE(text.find("\n2,21: (51,102,153)"), std::string::npos);
    EXPECT_NE(text.find("\n3,20: (51,102,153)"), std::string::npos);

    // Sizes the format cannot hold, and a folder that is not there, write nothing.
    const uint8_t pixels[6] = {};
    EXPECT_EQ(WriteTga24("none.tga", 0, 2, pixels), 0);
    EXPECT_EQ(WriteTga24("none.tga", 70000, 1, pixels), 0);
    EXPECT_EQ(WriteTga24("no/such/folder/x.tga", 1, 2, pixels), 0);
    EXPECT_EQ(std::fopen("none.tga", "rb"), nullptr);
}

}  // namespace
