// Draws one small GL_ATI_fragment_shader program over the whole offscreen
// buffer, through the driver's own extension or through the layer, with the
// same inputs both times: textures on units 0 to 3, texture coordinates that
// run across the screen (some beyond [0, 1] and some negative), a primary and
// a secondary colour that vary by corner. The pixels read back can then be
// compared channel by channel.
#pragma once

#include <cmath>
#include <vector>

#include "render/extensions.h"
#include "render/fragment_shader_layer.h"
#include "render/gl_error.h"
#include "tests/support/offscreen_gl.h"

namespace fragment_layer_test {

using Pixels = std::vector<unsigned char>;  // RGBA, bottom row first

// A 4 x 4 2D texture of distinct colours and alphas, nearest filtering.
inline GLuint MakeTexture2d(int seed) {
    unsigned char texels[4 * 4 * 4];
    for (int i = 0; i < 16; ++i) {
        texels[i * 4 + 0] = static_cast<unsigned char>((i * 37 + seed * 71) % 256);
        texels[i * 4 + 1] = static_cast<unsigned char>((i * 91 + seed * 13 + 40) % 256);
        texels[i * 4 + 2] = static_cast<unsigned char>((i * 53 + seed * 29 + 80) % 256);
        texels[i * 4 + 3] = static_cast<unsigned char>((i * 23 + seed * 47 + 120) % 256);
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    return texture;
}

// A cube map whose faces are 2 x 2 texels of distinct colours.
inline GLuint MakeCubeMap(int seed) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, texture);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    for (int face = 0; face < 6; ++face) {
        unsigned char texels[2 * 2 * 4];
        for (int i = 0; i < 4; ++i) {
            texels[i * 4 + 0] = static_cast<unsigned char>(40 * face + 30 * i + seed * 17);
            texels[i * 4 + 1] = static_cast<unsigned char>(250 - 35 * face - 20 * i);
            texels[i * 4 + 2] = static_cast<unsigned char>(60 + 25 * face + 45 * i + seed * 9);
            texels[i * 4 + 3] = static_cast<unsigned char>(200 - 30 * face + 10 * i);
        }
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB + face, 0, GL_RGBA, 2, 2, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, texels);
    }
    return texture;
}

constexpr int kSceneUnits = 5;

struct Scene {
    GLuint textures[kSceneUnits] = {};
    GLenum targets[kSceneUnits] = {GL_TEXTURE_2D, GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_2D,
                                   GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_2D};
};

// Textures for units 0 to 4 (2D, cube map, 2D, cube map, 2D); the
// multitexture group fetched. Needs the offscreen context.
inline Scene MakeScene() {
    FetchMultitextureEntryPoints();
    Scene scene;
    scene.textures[0] = MakeTexture2d(1);
    scene.textures[1] = MakeCubeMap(1);
    scene.textures[2] = MakeTexture2d(2);
    scene.textures[3] = MakeCubeMap(2);
    scene.textures[4] = MakeTexture2d(3);
    return scene;
}

// Texture coordinates of set u at the corner (x, y) of the screen, x and y in
// {0, 1}: set 0 stays in [0, 1]; set 1 runs over [-1, 1] (a direction for the
// cube maps); sets 2 to 4 mix larger and negative values, with r and q away
// from 0 so that the projecting swizzles stay finite; set 5 is out of the
// registers' range.
inline void CornerTexCoord(int set, float x, float y, float out[4]) {
    switch (set) {
        case 0:
            out[0] = x, out[1] = y, out[2] = 0.25f + 0.5f * x, out[3] = 1.0f - 0.5f * y;
            break;
        case 1:
            out[0] = 2 * x - 1, out[1] = 1 - 2 * y, out[2] = 0.6f - 1.2f * x * y, out[3] = 1.0f;
            break;
        case 2:
            out[0] = 1.5f * x, out[1] = 0.8f * y - 0.3f, out[2] = 0.5f + y, out[3] = 2.0f - x;
            break;
        case 3:
            out[0] = 0.3f - y, out[1] = 0.7f * x, out[2] = 1.0f - 0.7f * x, out[3] = 0.5f + y;
            break;
        case 4:
            out[0] = 0.8f * x, out[1] = 0.5f - 0.5f * y, out[2] = 0.75f, out[3] = 1.25f;
            break;
        default:  // beyond the registers' range [-8, 8], the same everywhere
            out[0] = 12.3f, out[1] = -20.0f, out[2] = 0.5f, out[3] = 1.0f;
            break;
    }
}

// Draws a full-screen quad through the bound and enabled shader.
inline void DrawQuad() {
    typedef void(APIENTRYP SecondaryColour)(GLfloat, GLfloat, GLfloat);
    static SecondaryColour secondaryColour =
        reinterpret_cast<SecondaryColour>(GetGlProcAddress("glSecondaryColor3fEXT"));
    static const float kCorners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (const auto& corner : kCorners) {
        const float x = corner[0];
        const float y = corner[1];
        for (int set = 0; set < 6; ++set) {
            float t[4];
            CornerTexCoord(set, x, y, t);
            ext::glMultiTexCoord4fvARB(GL_TEXTURE0_ARB + set, t);
        }
        glColor4f(0.1f + 0.8f * x, 0.9f - 0.7f * y, 0.3f + 0.4f * x * y, 0.2f + 0.6f * y);
        if (secondaryColour) secondaryColour(0.7f - 0.6f * y, 0.2f + 0.7f * x, 0.5f);
        glVertex2f(2 * x - 1, 2 * y - 1);
    }
    glEnd();
}

// Makes the driver (false) or the layer (true) the provider of the group.
inline void ChooseProvider(bool throughLayer) {
    if (throughLayer)
        UseFragmentShaderLayer();
    else
        ChooseFragmentShaderExtension();
}

// Draws the quad with shader bound and returns the pixels. A unit whose
// target is GL_NONE is left disabled.
inline Pixels DrawWithShader(const Scene& scene, GLuint shader) {
    ext::glBindFragmentShaderATI(shader);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    SetFragmentShaderEnabled(1);
    for (int unit = 0; unit < kSceneUnits; ++unit) {
        if (scene.targets[unit] == GL_NONE) continue;
        ext::glActiveTextureARB(GL_TEXTURE0_ARB + unit);
        glBindTexture(scene.targets[unit], scene.textures[unit]);
        glEnable(scene.targets[unit]);
    }
    PrepareFragmentShaderForDraw();
    DrawQuad();
    for (int unit = kSceneUnits - 1; unit >= 0; --unit) {
        if (scene.targets[unit] == GL_NONE) continue;
        ext::glActiveTextureARB(GL_TEXTURE0_ARB + unit);
        glDisable(scene.targets[unit]);
    }
    SetFragmentShaderEnabled(0);
    Pixels pixels(kOffscreenGlWidth * kOffscreenGlHeight * 4);
    glReadPixels(0, 0, kOffscreenGlWidth, kOffscreenGlHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.data());
    return pixels;
}

// Records a shader (between Begin and End, through ext::) with record and
// returns its name.
template <typename Record>
GLuint DefineShader(Record record) {
    const GLuint shader = ext::glGenFragmentShadersATI(1);
    ext::glBindFragmentShaderATI(shader);
    ext::glBeginFragmentShaderATI();
    record();
    ext::glEndFragmentShaderATI();
    return shader;
}

// Records a shader (between Begin and End, through ext::) with record, draws
// the quad with it and returns the pixels. throughLayer chooses the provider.
template <typename Record>
Pixels RunShader(const Scene& scene, bool throughLayer, Record record) {
    ChooseProvider(throughLayer);
    const GLuint shader = DefineShader(record);
    Pixels pixels = DrawWithShader(scene, shader);
    ext::glDeleteFragmentShaderATI(shader);
    return pixels;
}

// The largest difference between two pictures over the channels in
// channelMask (bit 0 red .. bit 3 alpha).
inline int LargestDifference(const Pixels& a, const Pixels& b, unsigned channelMask = 7) {
    int largest = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (!(channelMask & (1u << (i % 4)))) continue;
        const int difference = std::abs(int(a[i]) - int(b[i]));
        if (difference > largest) largest = difference;
    }
    return largest;
}

}  // namespace fragment_layer_test
