// The viewer's own cube-map loader uploads each default cross exactly as the
// seam checks of cube_map_assets_test.cpp cut it, so those checks speak for
// what GL samples.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "image/texture.h"
#include "tests/assets/cube_faces.h"
#include "tests/support/offscreen_gl.h"

namespace {

TEST(CubeMapAssetUpload, LoaderUploadsTheFacesTheSeamChecksExamine) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    const GLenum targets[6] = {
        GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB, GL_TEXTURE_CUBE_MAP_NEGATIVE_X_ARB,
        GL_TEXTURE_CUBE_MAP_POSITIVE_Y_ARB, GL_TEXTURE_CUBE_MAP_NEGATIVE_Y_ARB,
        GL_TEXTURE_CUBE_MAP_POSITIVE_Z_ARB, GL_TEXTURE_CUBE_MAP_NEGATIVE_Z_ARB,
    };
    for (const char* file : {"cubemap/gracecubemap.jpg", "cubemap/gracediffusecubemap.tga"}) {
        SCOPED_TRACE(file);
        Image image;
        ASSERT_TRUE(ReadAssetPicture(AssetPath(file), &image));
        TestCube cube = CutCube(image);
        std::free(image.pixels);

        GLuint name = LoadCubeMap(AssetPath(file).c_str());
        ASSERT_NE(0u, name);
        int n = cube.faces[0].size;
        std::vector<unsigned char> uploaded(static_cast<size_t>(n) * n * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        for (int face = 0; face < 6; ++face) {
            GLint width = 0;
            glGetTexLevelParameteriv(targets[face], 0, GL_TEXTURE_WIDTH, &width);
            ASSERT_EQ(n, width) << "face " << face;
            glGetTexImage(targets[face], 0, GL_RGB, GL_UNSIGNED_BYTE, uploaded.data());
            int mismatches = 0;
            for (size_t i = 0; i < uploaded.size(); ++i) {
                if (uploaded[i] != static_cast<unsigned char>(cube.faces[face].rgb[i])) {
                    ++mismatches;
                }
            }
            EXPECT_EQ(0, mismatches) << "face " << face;
        }
        glDeleteTextures(1, &name);
    }
}

}  // namespace
