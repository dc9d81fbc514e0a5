// Draws one small GL_ATI_fragment_shader program over the whole offscreen
// buffer, through the driver's own extension or through the layer, with the
// same inputs both times: textures on units 0 to 4, texture coordinates that
// run across the screen (some beyond [0, 1] and some negative), a primary and
// a secondary colour that vary by corner. The pixels read back can then be
// compared channel by channel.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "render/extensions.h"
#include "render/fragment_shader_layer/layer.h"
#include "render/gl_error.h"
#include "tests/support/offscreen_gl.h"

namespace fragment_layer_test {

using Pixels = std::vector<unsigned char>;  // RGBA, bottom row first

// A 4 x 4 2D texture, or a cube map of 2 x 2 faces, of distinct colours and
// alphas; nearest filtering.
inline GLuint MakeTexture(GLenum target, int seed) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(target, texture);
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    const bool cube = target == GL_TEXTURE_CUBE_MAP_ARB;
    const int size = cube ? 2 : 4, steps[4] = {37, 91, 53, 23}, seedSteps[4] = {71, 13, 29, 47};
    for (int face = 0; face < (cube ? 6 : 1); ++face) {
        unsigned char texels[4 * 4 * 4];
        for (int i = 0; i < size * size * 4; ++i) {
            const int c = i % 4, s = cube ? seed * 6 + face : seed;
            texels[i] =
                static_cast<unsigned char>((i / 4 * steps[c] + s * seedSteps[c] + 40 * c) % 256);
        }
        glTexImage2D(cube ? GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB + face : target, 0, GL_RGBA, size,
                     size, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    }
    return texture;
}

constexpr int kSceneUnits = 5;

// A unit whose target is GL_NONE is left disabled.
struct Scene {
    GLuint textures[kSceneUnits] = {};
    GLenum targets[kSceneUnits] = {GL_TEXTURE_2D, GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_2D,
                                   GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_2D};
};

// Makes the context of the driver (false) or the layer (true) current and gives
// it textures for units 0 to 4. Each provider has its own context: the layer's
// first draw after Mesa's shader drew in the same one made Mesa read past a heap
// block now and then (seen under AddressSanitizer).
inline Scene MakeScene(bool throughLayer = false) {
    EXPECT_TRUE(MakeOffscreenGlCurrent(nullptr, throughLayer));
    FetchMultitextureEntryPoints();
    Scene scene;
    for (int unit = 0; unit < kSceneUnits; ++unit)
        scene.textures[unit] = MakeTexture(scene.targets[unit], unit / 2 + 1);
    return scene;
}

// A full-screen quad. At corner (x, y): set 0 stays in [0, 1]; set 1 runs
// over [-1, 1] (a direction for the cube maps); sets 2 to 4 mix larger and
// negative values, with r and q away from 0 so that the projecting swizzles
// stay finite; set 5 is out of the registers' range.
inline void DrawQuad() {
    typedef void(APIENTRYP SecondaryColour)(GLfloat, GLfloat, GLfloat);
    static SecondaryColour secondaryColour =
        reinterpret_cast<SecondaryColour>(GetGlProcAddress("glSecondaryColor3fEXT"));
    static const float kCorners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (const auto& corner : kCorners) {
        const float x = corner[0], y = corner[1];
        const float sets[6][4] = {{x, y, 0.25f + 0.5f * x, 1.0f - 0.5f * y},
                                  {2 * x - 1, 1 - 2 * y, 0.6f - 1.2f * x * y, 1.0f},
                                  {1.5f * x, 0.8f * y - 0.3f, 0.5f + y, 2.0f - x},
                                  {0.3f - y, 0.7f * x, 1.0f - 0.7f * x, 0.5f + y},
                                  {0.8f * x, 0.5f - 0.5f * y, 0.75f, 1.25f},
                                  {12.3f, -20.0f, 0.5f, 1.0f}};
        for (int set = 0; set < 6; ++set)
            ext::glMultiTexCoord4fvARB(GL_TEXTURE0_ARB + set, sets[set]);
        glColor4f(0.1f + 0.8f * x, 0.9f - 0.7f * y, 0.3f + 0.4f * x * y, 0.2f + 0.6f * y);
        if (secondaryColour) secondaryColour(0.7f - 0.6f * y, 0.2f + 0.7f * x, 0.5f);
        glVertex2f(2 * x - 1, 2 * y - 1);
    }
    glEnd();
}

// Draws the quad with shader bound and returns the pixels.
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
        ext::glActiveTextureARB(GL_TEXTURE0_ARB + unit);
        if (scene.targets[unit] != GL_NONE) glDisable(scene.targets[unit]);
    }
    SetFragmentShaderEnabled(0);
    Pixels pixels(kOffscreenGlWidth * kOffscreenGlHeight * 4);
    glReadPixels(0, 0, kOffscreenGlWidth, kOffscreenGlHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.data());
    return pixels;
}

// Makes the driver (false) or the layer (true) the provider of the group, then
// records a shader with record (the calls between Begin and End, through
// ext::) and returns its name.
template <typename Record>
GLuint DefineShader(bool throughLayer, Record record) {
    EXPECT_EQ(throughLayer ? UseFragmentShaderLayer() : ChooseFragmentShaderExtension(), 1);
    const GLuint shader = ext::glGenFragmentShadersATI(1);
    ext::glBindFragmentShaderATI(shader);
    ext::glBeginFragmentShaderATI();
    record();
    ext::glEndFragmentShaderATI();
    return shader;
}

// The largest difference between two pictures over the channels in
// channelMask (bit 0 red .. bit 3 alpha).
inline int LargestDifference(const Pixels& a, const Pixels& b, unsigned channelMask = 7) {
    int largest = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (channelMask & (1u << (i % 4))) largest = std::max(largest, std::abs(a[i] - b[i]));
    return largest;
}

}  // namespace fragment_layer_test
