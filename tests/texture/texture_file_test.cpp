// Loading from files. The tests of the TextureFileNeedsReaders suite go through
// the TGA reader and the JPEG decoder: while either is a placeholder they fail,
// and they say nothing about texture creation itself then.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "image/texture.h"
#include "tests/support/offscreen_gl.h"
#include "tests/texture/cross_faces.h"
#include "tests/texture/gl_readback.h"
#include "tests/texture/test_pictures.h"

namespace {

std::vector<uint8_t> PatternBytes(size_t count) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(3 + 17 * i);
    return bytes;
}

// A 16 x 16 picture of four flat 8 x 8 blocks, which baseline JPEG at quality
// 100 keeps within a few levels: top left red, top right green, bottom left
// blue, bottom right white. Written as binary PPM (top row first) and turned
// into JPEG by cjpeg. Returns false when cjpeg is not there.
bool WriteBlocksJpeg(const std::string& path) {
    const std::string ppmPath = path + ".ppm";
    FILE* file = std::fopen(ppmPath.c_str(), "wb");
    if (file == nullptr) return false;
    std::fprintf(file, "P6\n16 16\n255\n");
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const uint8_t blocks[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
            const uint8_t* rgb = blocks[(y / 8) * 2 + x / 8];
            std::fwrite(rgb, 1, 3, file);
        }
    }
    std::fclose(file);
    const std::string command = "cjpeg -quality 100 -outfile '" + path + "' '" + ppmPath + "'";
    const bool made = std::system(command.c_str()) == 0;
    std::remove(ppmPath.c_str());
    return made;
}

TEST(TextureFile, MissingFileGivesNoTexture) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    const std::string missing = ScratchPath("does_not_exist.tga");
    std::remove(missing.c_str());
    EXPECT_EQ(LoadTexture(missing.c_str()), 0u);
    EXPECT_EQ(LoadNormalMapTexture(missing.c_str()), 0u);
    EXPECT_EQ(LoadCubeMap(missing.c_str()), 0u);
}

TEST(TextureFileNeedsReaders, TgaDepthChoosesInternalFormat) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    struct Case {
        int bitsPerPixel;
        GLint internalFormat;
        GLenum readFormat;
    };
    for (const Case& c : {Case{8, GL_ALPHA8, GL_ALPHA}, Case{24, GL_RGB8, GL_BGR_EXT},
                          Case{32, GL_RGBA8, GL_BGRA_EXT}}) {
        const int bytesPerPixel = c.bitsPerPixel / 8;
        const std::vector<uint8_t> bytes = PatternBytes(8 * 4 * bytesPerPixel);
        const std::string path = ScratchPath("depth" + std::to_string(c.bitsPerPixel) + ".tga");
        ASSERT_TRUE(WriteTga(path, 8, 4, c.bitsPerPixel, bytes));
        GLuint name = LoadTexture(path.c_str());
        ASSERT_NE(name, 0u) << c.bitsPerPixel;
        EXPECT_EQ(TexLevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT),
                  c.internalFormat);
        EXPECT_EQ(ReadTexImage(GL_TEXTURE_2D, 0, c.readFormat, bytesPerPixel), bytes);
        EXPECT_EQ(TexLevelParameter(GL_TEXTURE_2D, 3, GL_TEXTURE_WIDTH), 1);
        glDeleteTextures(1, &name);
        std::remove(path.c_str());
    }
}

TEST(TextureFileNeedsReaders, TgaNamedJpgLoads) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    const std::vector<uint8_t> bytes = PatternBytes(4 * 4 * 3);
    const std::string path = ScratchPath("really_tga.jpg");
    ASSERT_TRUE(WriteTga(path, 4, 4, 24, bytes));
    GLuint name = LoadTexture(path.c_str());
    ASSERT_NE(name, 0u);
    EXPECT_EQ(ReadTexImage(GL_TEXTURE_2D, 0, GL_BGR_EXT, 3), bytes);
    glDeleteTextures(1, &name);
    std::remove(path.c_str());
}

TEST(TextureFileNeedsReaders, JpegNamedTgaLoads) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    const std::string path = ScratchPath("really_jpeg.tga");
    ASSERT_TRUE(WriteBlocksJpeg(path)) << "cjpeg (libjpeg-turbo-progs) is needed";
    GLuint name = LoadTexture(path.c_str());
    ASSERT_NE(name, 0u);
    EXPECT_EQ(TexLevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB8);
    EXPECT_EQ(TexLevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH), 16);
    const std::vector<uint8_t> rgb = ReadTexImage(GL_TEXTURE_2D, 0, GL_RGB, 3);
    ASSERT_EQ(rgb.size(), 16u * 16u * 3u);
    // GL's first row is the picture's bottom row: blue then white; the top
    // rows (GL rows 8 to 15) are red then green. Block centres only.
    struct Probe {
        int x, row, r, g, b;
    };
    for (const Probe& p : {Probe{3, 3, 0, 0, 255}, Probe{12, 3, 255, 255, 255},
                           Probe{3, 12, 255, 0, 0}, Probe{12, 12, 0, 255, 0}}) {
        const uint8_t* texel = &rgb[(p.row * 16 + p.x) * 3];
        EXPECT_NEAR(texel[0], p.r, 3) << p.x << "," << p.row;
        EXPECT_NEAR(texel[1], p.g, 3) << p.x << "," << p.row;
        EXPECT_NEAR(texel[2], p.b, 3) << p.x << "," << p.row;
    }
    glDeleteTextures(1, &name);

    // LoadCubeMap reads the same file as JPEG too: 16 / 3 = 5 and 16 / 4 = 4
    // make non-square faces, which GL refuses, but a name comes back.
    while (glGetError() != GL_NO_ERROR) {
    }
    name = LoadCubeMap(path.c_str());
    EXPECT_NE(name, 0u);
    EXPECT_EQ(glGetError(), GLenum{GL_INVALID_VALUE});
    glDeleteTextures(1, &name);
    std::remove(path.c_str());
}

TEST(TextureFileNeedsReaders, HeightTgaBecomesNormalMap) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    const std::string path = ScratchPath("heights.tga");
    ASSERT_TRUE(WriteTga(path, 2, 2, 8, {0, 255, 0, 255}));
    GLuint name = LoadNormalMapTexture(path.c_str());
    ASSERT_NE(name, 0u);
    EXPECT_EQ(TexLevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);
    const std::vector<uint8_t> slope = {2, 127, 151, 255, 251, 127, 151, 255,
                                        2, 127, 151, 255, 251, 127, 151, 255};
    EXPECT_EQ(ReadTexImage(GL_TEXTURE_2D, 0, GL_RGBA, 4), slope);
    glDeleteTextures(1, &name);
    std::remove(path.c_str());
}

TEST(TextureFileNeedsReaders, CrossTgaBecomesCubeMap) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    const CrossPicture cross = MakeCrossPicture(32, 4);
    const std::string path = ScratchPath("cross.tga");
    ASSERT_TRUE(WriteTga(path, cross.width, cross.height, 32, cross.bytes));
    GLuint name = LoadCubeMap(path.c_str());
    ASSERT_NE(name, 0u);
    EXPECT_EQ(IntegerState(GL_TEXTURE_BINDING_CUBE_MAP_ARB), static_cast<GLint>(name));
    for (const CrossFace& face : kFaces) {
        EXPECT_EQ(ReadTexImage(face.target, 0, GL_BGRA_EXT, 4), ExpectedFace(face, 32, 4))
            << face.label;
    }
    glDeleteTextures(1, &name);
    std::remove(path.c_str());
}

}  // namespace
