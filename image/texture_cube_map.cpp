#include <cstdlib>

#include "image/texture.h"
#include "render/extensions.h"

namespace {

// GL_CLAMP_TO_EDGE_EXT of GL_EXT_texture_edge_clamp (the value OpenGL 1.2 later
// took over as GL_CLAMP_TO_EDGE); not every glext.h spells the EXT name.
const GLint kClampToEdgeExt = 0x812F;

// Where each face sits in the cross, in faces: column from the left, band from
// the first row in memory, which is the bottom of the picture. The order is the
// upload order; every face but the last is turned by 180 degrees.
struct CrossFace {
    GLenum target;
    int column;
    int band;
};

const CrossFace kCrossFaces[] = {
    {GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB, 0, 2}, {GL_TEXTURE_CUBE_MAP_NEGATIVE_X_ARB, 2, 2},
    {GL_TEXTURE_CUBE_MAP_POSITIVE_Y_ARB, 1, 3}, {GL_TEXTURE_CUBE_MAP_NEGATIVE_Y_ARB, 1, 1},
    {GL_TEXTURE_CUBE_MAP_POSITIVE_Z_ARB, 1, 2}, {GL_TEXTURE_CUBE_MAP_NEGATIVE_Z_ARB, 1, 0},
};
const int kFaceCount = sizeof(kCrossFaces) / sizeof(kCrossFaces[0]);

void ReleasePixels(Image* image) {
    std::free(image->pixels);
    image->pixels = nullptr;
}

}  // namespace

GLuint CreateCubeMapFromImage(Image* image) {
    TextureFormat format;
    // Integer division: columns beyond 3 faces and rows beyond 4 faces are
    // dropped. A picture too small for one pixel per face makes no texture.
    const int faceWidth = image->width / 3;
    const int faceHeight = image->height / 4;
    if (image->pixels == nullptr || faceWidth == 0 || faceHeight == 0 ||
        !LookUpTextureFormat(image->bitsPerPixel, &format)) {
        ReleasePixels(image);
        return 0;
    }
    const size_t faceBytes = static_cast<size_t>(format.bytesPerPixel) * faceWidth * faceHeight;
    uint8_t* face = static_cast<uint8_t*>(std::malloc(faceBytes));
    if (face == nullptr) {
        ReleasePixels(image);
        return 0;
    }

    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, name);
    const GLint wrap =
        IsExtensionSupported("GL_EXT_texture_edge_clamp") ? kClampToEdgeExt : GL_CLAMP;
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MIN_FILTER, GL_LINEAR);

    for (int i = 0; i < kFaceCount; ++i) {
        const CrossFace& cross = kCrossFaces[i];
        CopyImageRect(format.bytesPerPixel, image->pixels, face, cross.column * faceWidth,
                      cross.band * faceHeight, image->width, faceWidth, faceHeight);
        // With the picture's bottom row first in memory, the half turn makes the
        // first row given to GL the face's top row read from right to left.
        if (i + 1 < kFaceCount) RotateImage180(format.bytesPerPixel, face, faceWidth, faceHeight);
        glTexImage2D(cross.target, 0, format.internalFormat, faceWidth, faceHeight, 0,
                     format.pixelFormat, GL_UNSIGNED_BYTE, face);
    }
    std::free(face);
    ReleasePixels(image);
    return name;
}

GLuint LoadCubeMap(const char* fileName) {
    if (!IsExtensionSupported("GL_ARB_texture_cube_map")) return 0;
    Image image;
    if (!ReadPicture(fileName, &image)) return 0;
    return CreateCubeMapFromImage(&image);
}
