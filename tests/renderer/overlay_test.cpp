// The overlay on its own: where glyphs stand, which cell each code takes, and
// the cut at the buffer's end. The frame tests check the state it gives back.
#include "render/overlay.h"

#include <gtest/gtest.h>

#include <string>

#include "image/texture.h"
#include "tests/renderer/test_font.h"

namespace {

TEST(Overlay, GlyphsStandWhereThePenPutsThem) {
    ASSERT_TRUE(UseOffscreenSize(128, 64));
    ASSERT_TRUE(WriteTestFont("font.tga"));
    const GLuint font = LoadTexture("font.tga");
    ASSERT_NE(font, 0u);
    struct Line {
        int x, y;
        std::string text;
    };
    const struct {
        int x, y;
        std::string text;
        std::vector<Line> lines;
    } cases[] = {
        // A line feed or carriage return is drawn (empty) at the end of its
        // line, then moves the pen down 16 and back to x.
        {0, 32, "A\nB", {{0, 32, "A"}, {0, 16, "B"}}},
        {16, 48, "x7\r\nyz", {{16, 48, "x7"}, {16, 32, ""}, {16, 16, "yz"}, {0, 16, ""}}},
        // Codes above 127 take the lower half of the font; as signed chars
        // they would sample outside it.
        {0, 0, "\xC1\x80\xFF", {{0, 0, "\xC1\x80\xFF"}}},
        // B is the 4095th character, the last before the terminator: C is
        // cut. Starting that many lines up puts B's line on screen.
        {0, 16 + 16 * 4094, std::string(4094, '\n') + "BC", {{0, 16, "B"}}},
    };
    for (const auto& c : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        BeginOverlay(128, 64);
        glColor4f(1, 1, 1, 1);
        PrintText(c.x, c.y, font, "%s", c.text.c_str());
        EndOverlay();
        const Frame frame = ReadFrame();
        for (const Line& line : c.lines)
            EXPECT_EQ(ReadLine(frame, line.x, line.y), line.text) << line.x << ", " << line.y;
    }
    glDeleteTextures(1, &font);
}

}  // namespace
