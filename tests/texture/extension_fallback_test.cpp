// Mesa cannot hide GL_EXT_texture_edge_clamp or GL_ARB_texture_cube_map alone, so
// this program shadows glGetString with a made-up extension list when asked to.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "image/texture.h"
#include "tests/support/offscreen_gl.h"
#include "tests/texture/texture_test_support.h"

static const char* fakeExtensions = nullptr;

extern "C" const GLubyte* GLAPIENTRY glGetString(GLenum name) {
    typedef const GLubyte*(GLAPIENTRY * GetString)(GLenum);
    static GetString driver = reinterpret_cast<GetString>(dlsym(RTLD_NEXT, "glGetString"));
    if (name == GL_EXTENSIONS && fakeExtensions != nullptr) {
        return reinterpret_cast<const GLubyte*>(fakeExtensions);
    }
    return driver(name);
}

namespace {

TEST(TextureExtensions, CubeMapNeedsItsExtensionAndClampsWithoutEdgeClamp) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    ASSERT_TRUE(WriteTga("fallback_cross.tga", 6, 8, 24, PositionPicture(24, 6, 8)));
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, 0);
    fakeExtensions = "GL_ARB_multitexture GL_EXT_texture_edge_clamp";
    EXPECT_EQ(LoadCubeMap("fallback_cross.tga"), 0u);
    EXPECT_EQ(IntegerState(GL_TEXTURE_BINDING_CUBE_MAP_ARB), 0);
    fakeExtensions = "GL_ARB_multitexture GL_ARB_texture_cube_map";
    GLuint name = LoadCubeMap("fallback_cross.tga");
    fakeExtensions = nullptr;
    ASSERT_NE(name, 0u);
    EXPECT_EQ(TexInt(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_T), GL_CLAMP);
    glDeleteTextures(1, &name);
}

}  // namespace
