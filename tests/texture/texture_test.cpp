#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "image/texture.h"
#include "tests/support/offscreen_gl.h"
#include "tests/texture/texture_test_support.h"

namespace {

TEST(HeightToNormalMap, MatchesDoublePrecisionOnRandomHeights) {
    std::mt19937 random(12345);
    for (int bytesPerPixel : {1, 3, 4}) {
        const int width = 7, height = 5;
        std::vector<uint8_t> source(width * height * bytesPerPixel), normals(width * height * 4);
        for (auto& byte : source)
            byte = static_cast<uint8_t>(random());
        HeightToNormalMap(bytesPerPixel, source.data(), normals.data(), width, height);
        auto h = [&](int x, int y) {
            return 5.0 * source[((y % height) * width + x % width) * bytesPerPixel];
        };
        for (int i = 0; i < width * height; ++i) {
            const int x = i % width, y = i / width;
            double dx = (h(x, y) - h(x + 1, y)) / 255.0, dy = (h(x, y + 1) - h(x, y)) / 255.0;
            double k = 1.0 / std::sqrt(dx * dx + dy * dy + 1.0);
            const double exact[3] = {(dx * k + 1) * 127, (dy * k + 1) * 127, (k + 1) * 127};
            const uint8_t* got = &normals[i * 4];
            // Truncated: got in (exact - 1, exact], give or take single precision.
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(got[c], exact[c] - 0.5, 0.5001) << x << "," << y << " " << c;
            EXPECT_EQ(got[3], bytesPerPixel == 4 ? source[i * 4 + 3] : 255);
        }
    }
}

TEST(TextureFile, TgaFilesLoadWithMipmapsEvenWhenNamedJpg) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    // Normals worked by hand: height 0 beside 255 gives dx = -5, red (1 - 5/sqrt 26)
    // 127 = 2.47 -> 2, blue (1 + 1/sqrt 26) 127 = 151.9 -> 151; the last column's
    // right neighbour is the first (+5 -> 251).
    const struct {
        GLuint (*load)(const char*);
        int bitsPerPixel, width, height;
        GLint internalFormat;
        GLenum readFormat;                      // the picture's own byte order
        std::vector<uint8_t> source, expected;  // expected empty: the source
    } cases[] = {
        // clang-format off
        {LoadTexture, 8, 2, 1, GL_ALPHA8, GL_ALPHA, {7, 200}, {}},
        {LoadTexture, 24, 2, 1, GL_RGB8, GL_BGR_EXT, {1, 2, 3, 4, 5, 6}, {}},
        {LoadTexture, 32, 2, 1, GL_RGBA8, GL_BGRA_EXT, {1, 2, 3, 4, 5, 6, 7, 8}, {}},
        // A grey picture shown as a surface's colour stays grey, not alpha.
        {LoadColourTexture, 8, 2, 1, GL_LUMINANCE8, GL_LUMINANCE, {7, 200}, {}},
        {LoadColourTexture, 24, 2, 1, GL_RGB8, GL_BGR_EXT, {1, 2, 3, 4, 5, 6}, {}},
        {LoadNormalMapTexture, 32, 2, 1, GL_RGBA8, GL_RGBA, {0, 1, 2, 10, 255, 3, 4, 20},
         {2, 127, 151, 10, 251, 127, 151, 20}},  // the fourth byte is alpha
        {LoadNormalMapTexture, 24, 2, 1, GL_RGBA8, GL_RGBA, {77, 5, 6, 77, 8, 9},
         {127, 127, 254, 255, 127, 127, 254, 255}},  // flat
    };  // clang-format on
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteTga("texture_test.jpg", c.width, c.height, c.bitsPerPixel, c.source));
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        GLuint name = c.load("texture_test.jpg");
        ASSERT_NE(name, 0u) << c.bitsPerPixel;
        EXPECT_EQ(IntegerState(GL_TEXTURE_BINDING_2D), static_cast<GLint>(name));
        EXPECT_EQ(IntegerState(GL_UNPACK_ALIGNMENT), 1);
        EXPECT_EQ(TexInt(GL_TEXTURE_2D, GL_TEXTURE_INTERNAL_FORMAT, 0), c.internalFormat);
        const std::vector<uint8_t>& want = c.expected.empty() ? c.source : c.expected;
        EXPECT_EQ(ReadTexImage(GL_TEXTURE_2D, c.readFormat, want.size() / c.width / c.height),
                  want);
        EXPECT_EQ(TexInt(GL_TEXTURE_2D, GL_TEXTURE_WIDTH, 1), 1);  // a mipmap of 1 x 1
        glDeleteTextures(1, &name);
    }
    EXPECT_EQ(glGetError(), GLenum{GL_NO_ERROR});
}

TEST(TextureFile, UnusablePicturesMakeNoTextureAndLeaveNothingBound) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, 0);
    for (auto load : {LoadTexture, LoadNormalMapTexture, LoadCubeMap})
        EXPECT_EQ(load("texture_test_missing.tga"), 0u);
    const struct {
        GLuint (*create)(Image*);
        uint16_t width, height;
        uint8_t bitsPerPixel;
    } cases[] = {
        {CreateTextureFromImage, 2, 2, 16},         {CreateTextureFromImage, 2, 2, 0},
        {CreateTextureFromImage, 0, 2, 24},         {CreateTextureFromImage, 2, 0, 8},
        {CreateNormalMapTextureFromImage, 2, 2, 0}, {CreateNormalMapTextureFromImage, 0, 2, 24},
        {CreateCubeMapFromImage, 2, 8, 24},  // too narrow for one pixel per face
        {CreateCubeMapFromImage, 6, 3, 24},  // too short
        {CreateCubeMapFromImage, 6, 8, 16},         {CreateCubeMapFromImage, 0, 0, 8},
    };
    for (const auto& c : cases) {
        Image image{c.width, c.height, c.bitsPerPixel, static_cast<uint8_t*>(std::calloc(192, 1))};
        EXPECT_EQ(c.create(&image), 0u) << c.width << "x" << c.height << "x" << c.bitsPerPixel;
        EXPECT_EQ(image.pixels, nullptr);
    }
    EXPECT_EQ(IntegerState(GL_TEXTURE_BINDING_2D), 0);
    EXPECT_EQ(IntegerState(GL_TEXTURE_BINDING_CUBE_MAP_ARB), 0);
}

}  // namespace
