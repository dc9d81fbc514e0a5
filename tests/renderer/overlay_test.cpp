// The overlay on its own: where glyphs stand, which cell each code takes, and
// the cut at the buffer's end. The frame tests check the state it gives back.
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
    // Through a pointer, which carries no format check: clang's check refuses
    // a format that is not a literal, and the cases here pass theirs along.
    void (*print)(int, int, GLuint, const char*, ...) = PrintText;
    print(x, y, font, format, arguments...);
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
    // Codes above 127 take the lower half of the font; a signed char would
    // make them negative and sample outside it.
    frame = DrawText(font, 0, 0, "%s", "\xC1\x80\xFF");
    EXPECT_EQ(ReadGlyph(frame, 0, 0), 0xC1);
    EXPECT_EQ(ReadGlyph(frame, 16, 0), 0x80);
    EXPECT_EQ(ReadGlyph(frame, 32, 0), 0xFF);
    glDeleteTextures(1, &font);
}

TEST(Overlay, TextPastTheBufferIsCutAndANullFormatDrawsNothing) {
    ASSERT_TRUE(UseOffscreenSize(kWidth, kHeight));
    const GLuint font = LoadTestFont();
    ASSERT_NE(font, 0u);
    // 4094 line feeds, then "BC": B is the 4095th character, the last that
    // fits before the terminator, so C is cut. Starting that many lines up
    // puts B's line on screen.
    const std::string text = std::string(4094, '\n') + "BC";
    Frame frame = DrawText(font, 0, 16 + 16 * 4094, "%s", text.c_str());
    EXPECT_EQ(ReadLine(frame, 0, 16), "B");
    // A null format binds and draws nothing.
    glBindTexture(GL_TEXTURE_2D, 0);
    const char* noFormat = nullptr;
    frame = DrawText(font, 0, 16, noFormat);
    EXPECT_EQ(ReadLine(frame, 0, 16), "");
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    glDeleteTextures(1, &font);
}

}  // namespace
