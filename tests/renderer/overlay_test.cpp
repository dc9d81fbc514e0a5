// The overlay on its own: where glyphs stand, which cell each code takes, the
// cut at the buffer's end, and the state that EndOverlay gives back.
#include "render/overlay.h"

#include <gtest/gtest.h>

#include <string>

#include "image/texture.h"
#include "tests/renderer/renderer_test_support.h"
#include "tests/renderer/test_font.h"

namespace {

constexpr int kWidth = 128;
constexpr int kHeight = 64;

GLuint LoadTestFont() {
    if (!WriteTestFont("font.tga")) return 0;
    return LoadTexture("font.tga");
}

// Draws the formatted text over black at (x, y) and reads the frame back.
template <typename... Arguments>
Frame DrawText(GLuint font, int x, int y, const char* format, Arguments... arguments) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    BeginOverlay(kWidth, kHeight);
    glColor4f(1, 1, 1, 1);
    PrintText(x, y, font, format, arguments...);
    EndOverlay();
    return ReadFrame();
}

TEST(Overlay, GlyphsStandWhereThePenPutsThem) {
    ASSERT_TRUE(UseOffscreenSize(kWidth, kHeight));
    const GLuint font = LoadTestFont();
    ASSERT_NE(font, 0u);
    // A line feed is drawn (empty) at the end of its line, then moves the pen
    // down 16 and back to x; a carriage return does the same.
    Frame frame = DrawText(font, 0, 32, "%s", "A\nB");
    EXPECT_EQ(ReadGlyph(frame, 0, 32), 'A');
    EXPECT_EQ(ReadGlyph(frame, 16, 32), 0);
    EXPECT_EQ(ReadGlyph(frame, 0, 16), 'B');
    frame = DrawText(font, 16, 48, "x%d\r\n%s", 7, "yz");
    EXPECT_EQ(ReadLine(frame, 16, 48), "x7");
    EXPECT_EQ(ReadLine(frame, 16, 32), "");
    EXPECT_EQ(ReadLine(frame, 16, 16), "yz");
    EXPECT_EQ(ReadLine(frame, 0, 16), "");
    glDeleteTextures(1, &font);
}

TEST(Overlay, CodesAbove127TakeTheLowerHalfOfTheFont) {
    ASSERT_TRUE(UseOffscreenSize(kWidth, kHeight));
    const GLuint font = LoadTestFont();
    ASSERT_NE(font, 0u);
    // A signed char would make these negative and sample outside the font.
    const Frame frame = DrawText(font, 0, 0, "%s", "\xC1\x80\xFF");
    EXPECT_EQ(ReadGlyph(frame, 0, 0), 0xC1);
    EXPECT_EQ(ReadGlyph(frame, 16, 0), 0x80);
    EXPECT_EQ(ReadGlyph(frame, 32, 0), 0xFF);
    glDeleteTextures(1, &font);
}

TEST(Overlay, TextPastTheBufferIsCut) {
    ASSERT_TRUE(UseOffscreenSize(kWidth, kHeight));
    const GLuint font = LoadTestFont();
    ASSERT_NE(font, 0u);
    // 4094 line feeds, then "BC": B is the 4095th character, the last that
    // fits before the terminator, so C is cut. Starting that many lines up
    // puts B's line on screen.
    const std::string text = std::string(4094, '\n') + "BC";
    const Frame frame = DrawText(font, 0, 16 + 16 * 4094, "%s", text.c_str());
    EXPECT_EQ(ReadLine(frame, 0, 16), "B");
    glDeleteTextures(1, &font);
}

TEST(Overlay, EndOverlayGivesBackTheState) {
    ASSERT_TRUE(UseOffscreenSize(kWidth, kHeight));
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    GLdouble projection[16];
    GLdouble after[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glBindTexture(GL_TEXTURE_2D, 0);
    BeginOverlay(kWidth, kHeight);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    // A null format binds and draws nothing.
    const char* noFormat = nullptr;
    PrintText(0, 0, 77, noFormat);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    EndOverlay();
    glGetDoublev(GL_PROJECTION_MATRIX, after);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(after[i], projection[i]) << i;
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
