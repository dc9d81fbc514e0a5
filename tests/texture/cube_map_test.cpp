#include <gtest/gtest.h>

#include <vector>

#include "image/texture.h"
#include "tests/support/offscreen_gl.h"
#include "tests/texture/cross_faces.h"
#include "tests/texture/gl_readback.h"
#include "tests/texture/test_pictures.h"

namespace {

struct FormatCase {
    int bitsPerPixel;
    int faceSize;
    GLint internalFormat;
    GLenum readFormat;
};

const FormatCase kFormats[] = {
    {8, 4, GL_ALPHA8, GL_ALPHA},
    {24, 8, GL_RGB8, GL_BGR_EXT},
    {32, 8, GL_RGBA8, GL_BGRA_EXT},
};

GLuint CreateCubeMapFromCross(const CrossPicture& cross) {
    Image image = MakeImage(cross.width, cross.height, cross.bitsPerPixel, cross.bytes);
    GLuint name = CreateCubeMapFromImage(&image);
    EXPECT_EQ(image.pixels, nullptr);
    return name;
}

TEST(CubeMap, FacesArriveTurnedAsDocumented) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    for (const FormatCase& format : kFormats) {
        GLuint name =
            CreateCubeMapFromCross(MakeCrossPicture(format.bitsPerPixel, format.faceSize));
        ASSERT_NE(name, 0u);
        for (const CrossFace& face : kFaces) {
            EXPECT_EQ(TexLevelParameter(face.target, 0, GL_TEXTURE_INTERNAL_FORMAT),
                      format.internalFormat)
                << face.label;
            EXPECT_EQ(ReadTexImage(face.target, 0, format.readFormat, format.bitsPerPixel / 8),
                      ExpectedFace(face, format.bitsPerPixel, format.faceSize))
                << face.label << " at " << format.bitsPerPixel << " bits";
        }
        EXPECT_EQ(glGetError(), GLenum{GL_NO_ERROR});
        glDeleteTextures(1, &name);
    }
}

TEST(CubeMap, ClampsAtEdgesFiltersLinearlyAndStaysBound) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    GLuint name = CreateCubeMapFromCross(MakeCrossPicture(24, 4));
    ASSERT_NE(name, 0u);
    EXPECT_EQ(IntegerState(GL_TEXTURE_BINDING_CUBE_MAP_ARB), static_cast<GLint>(name));
    EXPECT_EQ(IntegerState(GL_UNPACK_ALIGNMENT), 1);
    // Mesa offers GL_EXT_texture_edge_clamp; its token is 0x812F.
    EXPECT_EQ(TexParameter(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_S), 0x812F);
    EXPECT_EQ(TexParameter(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_T), 0x812F);
    EXPECT_EQ(TexParameter(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_R), GL_REPEAT);  // untouched
    EXPECT_EQ(TexParameter(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(TexParameter(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(TexLevelParameter(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB, 1, GL_TEXTURE_WIDTH), 0);
    glDeleteTextures(1, &name);
}

TEST(CubeMap, ExtraColumnsAtRightAndRowsAtTopAreDropped) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    GLuint name = CreateCubeMapFromCross(MakeCrossPicture(24, 4, 2, 3));
    ASSERT_NE(name, 0u);
    for (const CrossFace& face : kFaces) {
        EXPECT_EQ(ReadTexImage(face.target, 0, GL_BGR_EXT, 3), ExpectedFace(face, 24, 4))
            << face.label;
    }
    glDeleteTextures(1, &name);
}

TEST(CubeMap, FullSizeCrossGivesQuarterWidthFaces) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    GLuint name = CreateCubeMapFromCross(MakeCrossPicture(24, 256));
    ASSERT_NE(name, 0u);
    for (const CrossFace& face : kFaces) {
        EXPECT_EQ(TexLevelParameter(face.target, 0, GL_TEXTURE_WIDTH), 256) << face.label;
        EXPECT_EQ(TexLevelParameter(face.target, 0, GL_TEXTURE_HEIGHT), 256) << face.label;
    }
    EXPECT_EQ(ReadTexImage(GL_TEXTURE_CUBE_MAP_NEGATIVE_Y_ARB, 0, GL_BGR_EXT, 3),
              ExpectedFace(kFaces[3], 24, 256));
    glDeleteTextures(1, &name);
}

TEST(CubeMap, NonSquareFacesStillGiveATextureName) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    while (glGetError() != GL_NO_ERROR) {
    }
    Image image = MakeImage(12, 8, 24, std::vector<uint8_t>(12 * 8 * 3, 9));  // 4 x 2 faces
    GLuint name = CreateCubeMapFromImage(&image);
    EXPECT_NE(name, 0u);
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_EQ(glGetError(), GLenum{GL_INVALID_VALUE});  // cube faces must be square
    glDeleteTextures(1, &name);
}

TEST(CubeMap, PictureTooSmallOrOfOtherDepthMakesNoTexture) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    struct Case {
        int width, height, bitsPerPixel;
    };
    const Case cases[] = {{2, 8, 24}, {6, 3, 24}, {0, 0, 8}, {2, 3, 32}, {6, 8, 16}, {6, 8, 0}};
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, 0);
    for (const Case& c : cases) {
        const size_t size = static_cast<size_t>(c.width) * c.height * 4;
        Image image = MakeImage(c.width, c.height, c.bitsPerPixel, std::vector<uint8_t>(size, 1));
        EXPECT_EQ(CreateCubeMapFromImage(&image), 0u) << c.width << "x" << c.height;
        EXPECT_EQ(image.pixels, nullptr);
    }
    EXPECT_EQ(IntegerState(GL_TEXTURE_BINDING_CUBE_MAP_ARB), 0);
}

// Draws one point per direction with the cube map applied and returns, per
// direction, the picture column and row (from the top) its colour encodes.
struct PicturePosition {
    int px, py;
};

std::vector<PicturePosition> SampleByDirection(const std::vector<Vector3>& directions) {
    EXPECT_LE(directions.size(), size_t{kOffscreenGlWidth * kOffscreenGlHeight});
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kOffscreenGlWidth, 0, kOffscreenGlHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_CUBE_MAP_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glBegin(GL_POINTS);
    for (size_t i = 0; i < directions.size(); ++i) {
        glTexCoord3f(directions[i].x, directions[i].y, directions[i].z);
        glVertex2f(static_cast<float>(i % kOffscreenGlWidth) + 0.5f,
                   static_cast<float>(i / kOffscreenGlWidth) + 0.5f);
    }
    glEnd();
    glDisable(GL_TEXTURE_CUBE_MAP_ARB);
    std::vector<uint8_t> frame(kOffscreenGlWidth * kOffscreenGlHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kOffscreenGlWidth, kOffscreenGlHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                 frame.data());
    std::vector<PicturePosition> positions;
    for (size_t i = 0; i < directions.size(); ++i) {
        positions.push_back({frame[i * 4 + 0], frame[i * 4 + 1]});  // red px, green py
    }
    return positions;
}

TEST(CubeMap, SampledByDirectionShowsTheCrossAsSeenFromInside) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    const int n = 8;
    GLuint name = CreateCubeMapFromCross(MakeCrossPicture(24, n));
    ASSERT_NE(name, 0u);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

    // For every texel of every face, the direction through its centre as the
    // viewer inside sees it: column i from the left, row j from the top of the
    // face in the picture.
    std::vector<Vector3> directions;
    std::vector<PicturePosition> expected;
    for (const CrossFace& face : kFaces) {
        const Vector3 right = Cross(face.forward, face.up);
        for (int j = 0; j < n; ++j) {
            for (int i = 0; i < n; ++i) {
                const float across = 2.0f * (i + 0.5f) / n - 1.0f;
                const float upward = 1.0f - 2.0f * (j + 0.5f) / n;
                directions.push_back({face.forward.x + across * right.x + upward * face.up.x,
                                      face.forward.y + across * right.y + upward * face.up.y,
                                      face.forward.z + across * right.z + upward * face.up.z});
                expected.push_back({face.column * n + i, face.band * n + j});
            }
        }
    }
    const std::vector<PicturePosition> seen = SampleByDirection(directions);
    ASSERT_EQ(seen.size(), expected.size());
    int wrong = 0;
    for (size_t k = 0; k < seen.size(); ++k) {
        if (seen[k].px != expected[k].px || seen[k].py != expected[k].py) {
            if (++wrong <= 8) {
                ADD_FAILURE() << kFaces[k / (n * n)].label << " texel " << k % (n * n)
                              << ": picture (" << seen[k].px << ", " << seen[k].py
                              << "), expected (" << expected[k].px << ", " << expected[k].py << ")";
            }
        }
    }
    EXPECT_EQ(wrong, 0);

    // The seams, spelled out: directions on either side of a cube edge land on
    // neighbouring pixels of the picture. Face index * n * n + row * n + column.
    auto at = [&](int face, int column, int row) { return seen[face * n * n + row * n + column]; };
    const int px = 0, nx = 1, py = 2, ny = 3, pz = 4, nz = 5;
    for (int r = 0; r < n; ++r) {
        // +X | +Z | -X side by side.
        EXPECT_EQ(at(px, n - 1, r).px + 1, at(pz, 0, r).px);
        EXPECT_EQ(at(px, n - 1, r).py, at(pz, 0, r).py);
        EXPECT_EQ(at(pz, n - 1, r).px + 1, at(nx, 0, r).px);
        EXPECT_EQ(at(pz, n - 1, r).py, at(nx, 0, r).py);
    }
    for (int c = 0; c < n; ++c) {
        // +Y above +Z above -Y above -Z.
        EXPECT_EQ(at(py, c, n - 1).py + 1, at(pz, c, 0).py);
        EXPECT_EQ(at(py, c, n - 1).px, at(pz, c, 0).px);
        EXPECT_EQ(at(pz, c, n - 1).py + 1, at(ny, c, 0).py);
        EXPECT_EQ(at(ny, c, n - 1).py + 1, at(nz, c, 0).py);
        EXPECT_EQ(at(ny, c, n - 1).px, at(nz, c, 0).px);
    }
    glDeleteTextures(1, &name);
}

}  // namespace
