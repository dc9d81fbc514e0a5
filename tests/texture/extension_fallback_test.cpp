// Texture creation on a driver that lacks GL_EXT_texture_edge_clamp or
// GL_ARB_texture_cube_map. Mesa cannot hide either alone (hiding one of its
// always-on extensions hides them all), so this program shadows glGetString
// and leaves out the names a test asks it to.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "image/texture.h"
#include "tests/support/offscreen_gl.h"
#include "tests/texture/gl_readback.h"
#include "tests/texture/test_pictures.h"

namespace {

std::string hiddenExtension;
std::string filteredExtensions;

}  // namespace

extern "C" const GLubyte* GLAPIENTRY glGetString(GLenum name) {
    typedef const GLubyte*(GLAPIENTRY * GetStringFunction)(GLenum);
    static GetStringFunction driverGetString =
        reinterpret_cast<GetStringFunction>(dlsym(RTLD_NEXT, "glGetString"));
    const GLubyte* driverString = driverGetString(name);
    if (name != GL_EXTENSIONS || hiddenExtension.empty() || driverString == nullptr) {
        return driverString;
    }
    std::istringstream entries(reinterpret_cast<const char*>(driverString));
    filteredExtensions.clear();
    for (std::string entry; entries >> entry;) {
        if (entry == hiddenExtension) continue;
        if (!filteredExtensions.empty()) filteredExtensions += ' ';
        filteredExtensions += entry;
    }
    return reinterpret_cast<const GLubyte*>(filteredExtensions.c_str());
}

namespace {

TEST(TextureExtensions, CubeMapFallsBackToClampWithoutEdgeClamp) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    hiddenExtension = "GL_EXT_texture_edge_clamp";
    const CrossPicture cross = MakeCrossPicture(24, 2);
    Image image = MakeImage(cross.width, cross.height, 24, cross.bytes);
    GLuint name = CreateCubeMapFromImage(&image);
    hiddenExtension.clear();
    ASSERT_NE(name, 0u);
    EXPECT_EQ(TexParameter(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_S), GL_CLAMP);
    EXPECT_EQ(TexParameter(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_T), GL_CLAMP);
    glDeleteTextures(1, &name);
}

TEST(TextureExtensions, NoCubeMapWithoutCubeMapExtension) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    // A cross that loads once the extension is there (and the TGA reader is).
    const CrossPicture cross = MakeCrossPicture(24, 2);
    const std::string path = ScratchPath("fallback_cross.tga");
    ASSERT_TRUE(WriteTga(path, cross.width, cross.height, 24, cross.bytes));
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, 0);
    hiddenExtension = "GL_ARB_texture_cube_map";
    EXPECT_EQ(LoadCubeMap(path.c_str()), 0u);
    hiddenExtension.clear();
    EXPECT_EQ(IntegerState(GL_TEXTURE_BINDING_CUBE_MAP_ARB), 0);
    GLuint name = LoadCubeMap(path.c_str());
    EXPECT_NE(name, 0u);  // the same file, with the extension offered
    glDeleteTextures(1, &name);
    std::remove(path.c_str());
}

}  // namespace
