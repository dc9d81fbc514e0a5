#include <gtest/gtest.h>

#include <vector>

#include "image/texture.h"
#include "tests/support/offscreen_gl.h"
#include "tests/texture/gl_readback.h"
#include "tests/texture/test_pictures.h"

namespace {

struct DepthCase {
    int bitsPerPixel;
    GLint internalFormat;
    GLenum readFormat;  // reads the texels back in the picture's own byte order
};

const DepthCase kDepths[] = {
    {8, GL_ALPHA8, GL_ALPHA},
    {24, GL_RGB8, GL_BGR_EXT},
    {32, GL_RGBA8, GL_BGRA_EXT},
};

std::vector<uint8_t> CountingBytes(size_t count) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(7 + 11 * i);
    return bytes;
}

TEST(TextureUpload, InternalFormatAndTexelsFollowDepth) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    for (const DepthCase& depth : kDepths) {
        const int width = 4, height = 2, bytesPerPixel = depth.bitsPerPixel / 8;
        const std::vector<uint8_t> bytes = CountingBytes(width * height * bytesPerPixel);
        Image image = MakeImage(width, height, depth.bitsPerPixel, bytes);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        GLuint name = CreateTextureFromImage(&image);
        ASSERT_NE(name, 0u) << depth.bitsPerPixel;
        EXPECT_EQ(image.pixels, nullptr);
        EXPECT_EQ(IntegerState(GL_TEXTURE_BINDING_2D), static_cast<GLint>(name));
        EXPECT_EQ(IntegerState(GL_UNPACK_ALIGNMENT), 1);
        EXPECT_EQ(TexLevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT),
                  depth.internalFormat);
        // Level 0 holds the picture unchanged, first row in memory first.
        EXPECT_EQ(ReadTexImage(GL_TEXTURE_2D, 0, depth.readFormat, bytesPerPixel), bytes);
        // The mipmap chain down to 1 x 1: 4 x 2, 2 x 1, 1 x 1.
        EXPECT_EQ(TexLevelParameter(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH), 2);
        EXPECT_EQ(TexLevelParameter(GL_TEXTURE_2D, 1, GL_TEXTURE_HEIGHT), 1);
        EXPECT_EQ(TexLevelParameter(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH), 1);
        EXPECT_EQ(TexLevelParameter(GL_TEXTURE_2D, 2, GL_TEXTURE_HEIGHT), 1);
        EXPECT_EQ(TexParameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), GL_REPEAT);
        EXPECT_EQ(TexParameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T), GL_REPEAT);
        EXPECT_EQ(TexParameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(TexParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
        EXPECT_EQ(glGetError(), GLenum{GL_NO_ERROR});
        glDeleteTextures(1, &name);
    }
}

TEST(TextureUpload, UnusablePictureMakesNoTexture) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    struct Case {
        int width, height, bitsPerPixel;
    };
    const Case cases[] = {{2, 2, 16}, {2, 2, 0}, {2, 2, 1}, {0, 2, 24}, {2, 0, 8}};
    GLuint bound = 0;
    glGenTextures(1, &bound);
    glBindTexture(GL_TEXTURE_2D, bound);
    for (const Case& c : cases) {
        Image image = MakeImage(c.width, c.height, c.bitsPerPixel, CountingBytes(16));
        EXPECT_EQ(CreateTextureFromImage(&image), 0u) << c.width << "x" << c.height;
        EXPECT_EQ(image.pixels, nullptr);
    }
    for (const Case& c : {Case{2, 2, 0}, Case{0, 2, 24}, Case{2, 0, 8}}) {
        Image image = MakeImage(c.width, c.height, c.bitsPerPixel, CountingBytes(16));
        EXPECT_EQ(CreateNormalMapTextureFromImage(&image), 0u) << c.width << "x" << c.height;
        EXPECT_EQ(image.pixels, nullptr);
    }
    EXPECT_EQ(IntegerState(GL_TEXTURE_BINDING_2D), static_cast<GLint>(bound));
    glDeleteTextures(1, &bound);
}

TEST(NormalMapUpload, UploadsNormalsAsRgbaWithMipmaps) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    // 32-bit, flat heights, alpha differing per pixel: (127, 127, 254, alpha).
    const std::vector<uint8_t> flat = {50, 1, 2, 10, 50, 3, 4, 20, 50, 5, 6, 30, 50, 7, 8, 40};
    Image image = MakeImage(2, 2, 32, flat);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    GLuint name = CreateNormalMapTextureFromImage(&image);
    ASSERT_NE(name, 0u);
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_EQ(IntegerState(GL_TEXTURE_BINDING_2D), static_cast<GLint>(name));
    EXPECT_EQ(IntegerState(GL_UNPACK_ALIGNMENT), 1);
    EXPECT_EQ(TexLevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);
    const std::vector<uint8_t> expected = {127, 127, 254, 10, 127, 127, 254, 20,
                                           127, 127, 254, 30, 127, 127, 254, 40};
    EXPECT_EQ(ReadTexImage(GL_TEXTURE_2D, 0, GL_RGBA, 4), expected);
    EXPECT_EQ(TexLevelParameter(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH), 1);
    EXPECT_EQ(TexParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(TexParameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T), GL_REPEAT);
    glDeleteTextures(1, &name);

    // 8-bit rows of heights 0 and 255: the worked slope, alpha 255.
    image = MakeImage(2, 2, 8, {0, 255, 0, 255});
    name = CreateNormalMapTextureFromImage(&image);
    ASSERT_NE(name, 0u);
    const std::vector<uint8_t> slope = {2, 127, 151, 255, 251, 127, 151, 255,
                                        2, 127, 151, 255, 251, 127, 151, 255};
    EXPECT_EQ(ReadTexImage(GL_TEXTURE_2D, 0, GL_RGBA, 4), slope);
    EXPECT_EQ(glGetError(), GLenum{GL_NO_ERROR});
    glDeleteTextures(1, &name);
}

}  // namespace
