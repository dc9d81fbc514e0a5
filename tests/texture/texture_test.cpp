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
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                double dx = (h(x, y) - h(x + 1, y)) / 255.0, dy = (h(x, y + 1) - h(x, y)) / 255.0;
                double k = 1.0 / std::sqrt(dx * dx + dy * dy + 1.0);
                const double exact[3] = {(dx * k + 1) * 127, (dy * k + 1) * 127, (k + 1) * 127};
                const uint8_t* got = &normals[(y * width + x) * 4];
                // Truncated: got in (exact - 1, exact], give or take single precision.
                for (int c = 0; c < 3; ++c)
                    EXPECT_NEAR(got[c], exact[c] - 0.5, 0.5001) << x << "," << y << " " << c;
                EXPECT_EQ(got[3], bytesPerPixel == 4 ? source[(y * width + x) * 4 + 3] : 255);
            }
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
        std::remove("texture_test.jpg");
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

TEST(TextureFile, JpegNamedTgaLoads) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    // 16 x 16: bottom half blue, top half green, which JPEG keeps within a few levels.
    FILE* ppm = std::fopen("texture_test.ppm", "wb");
    ASSERT_NE(ppm, nullptr);
    std::fprintf(ppm, "P6\n16 16\n255\n");
    for (int i = 0; i < 256; ++i)
        std::fwrite(i < 128 ? "\0\377\0" : "\0\0\377", 1, 3, ppm);
    std::fclose(ppm);
    ASSERT_EQ(std::system("cjpeg -quality 100 -outfile texture_test.tga texture_test.ppm"), 0)
        << "cjpeg (libjpeg-turbo-progs) is needed";
    std::remove("texture_test.ppm");
    GLuint name = LoadTexture("texture_test.tga");
    ASSERT_NE(name, 0u);
    EXPECT_EQ(TexInt(GL_TEXTURE_2D, GL_TEXTURE_INTERNAL_FORMAT, 0), GL_RGB8);
    const std::vector<uint8_t> rgb = ReadTexImage(GL_TEXTURE_2D, GL_RGB, 3);
    ASSERT_EQ(rgb.size(), 16u * 16u * 3u);
    const int firstAndLast[6] = {0, 0, 255, 0, 255, 0};  // bottom row first
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(rgb[i < 3 ? i : rgb.size() - 6 + i], firstAndLast[i], 3) << i;
    glDeleteTextures(1, &name);
    std::remove("texture_test.tga");
}

TEST(TextureFile, UnusablePicturesMakeNoTextureAndLeaveNothingBound) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, 0);
    std::remove("texture_test_missing.tga");
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

// Draws one point per direction with the bound cube map applied; returns the
// red and green bytes of each, which encode the picture position sampled.
std::vector<int> SampleByDirection(const std::vector<float>& directions) {
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kOffscreenGlWidth, 0, kOffscreenGlHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_CUBE_MAP_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBegin(GL_POINTS);
    for (size_t k = 0; k < directions.size() / 3; ++k) {
        glTexCoord3fv(&directions[3 * k]);
        glVertex2f(k % kOffscreenGlWidth + 0.5f, k / kOffscreenGlWidth + 0.5f);
    }
    glEnd();
    glDisable(GL_TEXTURE_CUBE_MAP_ARB);
    std::vector<uint8_t> frame(kOffscreenGlWidth * kOffscreenGlHeight * 4);
    glReadPixels(0, 0, kOffscreenGlWidth, kOffscreenGlHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                 frame.data());
    std::vector<int> seen;
    for (size_t k = 0; k < directions.size() / 3; ++k)
        seen.insert(seen.end(), {frame[k * 4], frame[k * 4 + 1]});
    return seen;
}

// Each face of a vertical cross: its column and band counted from the top of the
// picture and, for a viewer inside the cube folding the cross round +Z (the
// middle face), the direction it faces and its up; right is forward x up.
struct CrossFace {
    GLenum target;
    int column, band;
    float forward[3], up[3];
};
const CrossFace kFaces[] = {
    {GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB, 0, 1, {1, 0, 0}, {0, 1, 0}},
    {GL_TEXTURE_CUBE_MAP_NEGATIVE_X_ARB, 2, 1, {-1, 0, 0}, {0, 1, 0}},
    {GL_TEXTURE_CUBE_MAP_POSITIVE_Y_ARB, 1, 0, {0, 1, 0}, {0, 0, -1}},
    {GL_TEXTURE_CUBE_MAP_NEGATIVE_Y_ARB, 1, 2, {0, -1, 0}, {0, 0, 1}},
    {GL_TEXTURE_CUBE_MAP_POSITIVE_Z_ARB, 1, 1, {0, 0, 1}, {0, 1, 0}},
    {GL_TEXTURE_CUBE_MAP_NEGATIVE_Z_ARB, 1, 3, {0, 0, -1}, {0, -1, 0}},
};

TEST(CubeMap, FacesArriveCutAndTurnedAndTheCrossIsContinuousByDirection) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    const struct {
        int bitsPerPixel, n, extraColumns, extraRows;  // extras at the right and top are dropped
        GLint internalFormat;
        GLenum readFormat;
    } cases[] = {{8, 3, 0, 0, GL_ALPHA8, GL_ALPHA},
                 {24, 4, 2, 3, GL_RGB8, GL_BGR_EXT},
                 {32, 5, 0, 0, GL_RGBA8, GL_BGRA_EXT}};
    for (const auto& c : cases) {
        const int width = 3 * c.n + c.extraColumns, height = 4 * c.n + c.extraRows;
        ASSERT_TRUE(WriteTga("texture_test_cross.tga", width, height, c.bitsPerPixel,
                             PositionPicture(c.bitsPerPixel, width, height)));
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        GLuint name = LoadCubeMap("texture_test_cross.tga");
        std::remove("texture_test_cross.tga");
        ASSERT_NE(name, 0u);
        EXPECT_EQ(IntegerState(GL_TEXTURE_BINDING_CUBE_MAP_ARB), static_cast<GLint>(name));
        EXPECT_EQ(IntegerState(GL_UNPACK_ALIGNMENT), 1);
        // Mesa offers GL_EXT_texture_edge_clamp, whose token is 0x812F.
        EXPECT_EQ(TexInt(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_T), 0x812F);
        EXPECT_EQ(TexInt(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB, GL_TEXTURE_WIDTH, 1), 0);
        std::vector<float> directions;
        std::vector<int> positions;  // picture column and row of each direction's texel
        for (const CrossFace& face : kFaces) {
            // Five faces are turned: GL's first row is the face's top row read right
            // to left. -Z is not: GL's first row is its bottom row, left to right.
            const bool turned = face.target != GL_TEXTURE_CUBE_MAP_NEGATIVE_Z_ARB;
            std::vector<uint8_t> expected;
            for (int t = 0; t < c.n; ++t) {
                for (int s = 0; s < c.n; ++s) {
                    int px = face.column * c.n + (turned ? c.n - 1 - s : s);
                    int py = c.extraRows + face.band * c.n + (turned ? t : c.n - 1 - t);
                    for (int k = 0; k < c.bitsPerPixel / 8; ++k)
                        expected.push_back(PositionByte(c.bitsPerPixel, px, py, k));
                }
            }
            EXPECT_EQ(TexInt(face.target, GL_TEXTURE_INTERNAL_FORMAT, 0), c.internalFormat);
            EXPECT_EQ(ReadTexImage(face.target, c.readFormat, c.bitsPerPixel / 8), expected)
                << "face " << (&face - kFaces) << " at " << c.bitsPerPixel << " bits";
            // Seen from inside, the direction through texel (i, j) of the face as the
            // cross shows it (j from the top) must sample that very picture pixel, so
            // neighbours across every fold of the cross stay neighbours.
            const float *f = face.forward, *u = face.up;
            const float r[3] = {f[1] * u[2] - f[2] * u[1], f[2] * u[0] - f[0] * u[2],
                                f[0] * u[1] - f[1] * u[0]};
            for (int j = 0; j < c.n; ++j) {
                for (int i = 0; i < c.n; ++i) {
                    const float a = 2.0f * (i + 0.5f) / c.n - 1, b = 1 - 2.0f * (j + 0.5f) / c.n;
                    for (int k = 0; k < 3; ++k)
                        directions.push_back(f[k] + a * r[k] + b * u[k]);
                    positions.insert(positions.end(),
                                     {face.column * c.n + i, c.extraRows + face.band * c.n + j});
                }
            }
        }
        // An alpha-only face shows no colour to sample.
        EXPECT_EQ(c.bitsPerPixel == 8 ? positions : SampleByDirection(directions), positions);
        EXPECT_EQ(glGetError(), GLenum{GL_NO_ERROR});
        glDeleteTextures(1, &name);
    }
}

}  // namespace
