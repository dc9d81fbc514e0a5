#include "render/overlay.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace {

constexpr int kGlyphSize = 16;             // pixels per glyph, and per line
constexpr float kCellSize = 1.0f / 16.0f;  // one of 16 x 16 font cells
constexpr size_t kTextBufferSize = 4096;   // terminator included

}  // namespace

void BeginOverlay(int width, int height, int scale) {
    if (scale < 1) scale = 1;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    // A zero-size client area makes this an invalid projection; the error
    // shows on the next frame's overlay.
    gluOrtho2D(0.0, static_cast<double>(width) / scale, 0.0, static_cast<double>(height) / scale);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void EndOverlay() {
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

void PrintText(int x, int y, GLuint texture, const char* format, ...) {
    if (format == nullptr) return;
    char text[kTextBufferSize];
    va_list arguments;
    va_start(arguments, format);
    // Longer text is cut at the buffer's end.
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);

    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_TEXTURE_2D);
    int penX = x;
    int penY = y;
    for (const char* character = text; *character != '\0'; ++character) {
        // Unsigned, so codes 128 to 255 take the lower half of the font
        // instead of cells outside it.
        const unsigned code = static_cast<unsigned char>(*character);
        const float u0 = std::fmod(static_cast<float>(code) * kCellSize, 1.0f);
        const float u1 = u0 + kCellSize;
        const float vTop = 1.0f - static_cast<float>(code / 16) * kCellSize;
        const float vBottom = vTop - kCellSize;
        // Counter-clockwise as seen from the viewer, so culling keeps it.
        glBegin(GL_TRIANGLE_STRIP);
        glTexCoord2f(u0, vTop);
        glVertex2i(penX, penY + kGlyphSize);
        glTexCoord2f(u0, vBottom);
        glVertex2i(penX, penY);
        glTexCoord2f(u1, vTop);
        glVertex2i(penX + kGlyphSize, penY + kGlyphSize);
        glTexCoord2f(u1, vBottom);
        glVertex2i(penX + kGlyphSize, penY);
        glEnd();
        penX += kGlyphSize;
        // The line break is drawn first (its cell is empty), then moves the pen.
        if (code == '\n' || code == '\r') {
            penY -= kGlyphSize;
            penX = x;
        }
    }
    glDisable(GL_TEXTURE_2D);
}
