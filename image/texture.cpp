#include "image/texture.h"

#include <cstdlib>

namespace {

// Releases a picture's pixel block and forgets it.
void ReleasePixels(Image* image) {
    std::free(image->pixels);
    image->pixels = nullptr;
}

// The four parameters every 2D texture gets, in this order.
void SetTexture2DParameters() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
}

// Binds a new 2D texture with byte-aligned rows and the usual parameters.
GLuint BeginTexture2D() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    SetTexture2DParameters();
    return name;
}

bool HasPixels(const Image& image) {
    return image.pixels != nullptr && image.width > 0 && image.height > 0;
}

}  // namespace

int LookUpTextureFormat(int bitsPerPixel, TextureFormat* format) {
    switch (bitsPerPixel) {
        case 8:
            *format = {1, GL_ALPHA8, GL_ALPHA};
            return 1;
        case 24:
            *format = {3, GL_RGB8, GL_BGR_EXT};
            return 1;
        case 32:
            *format = {4, GL_RGBA8, GL_BGRA_EXT};
            return 1;
        default:
            return 0;
    }
}

int ReadPicture(const char* fileName, Image* image) {
    *image = Image{};
    if (LoadTga(fileName, image)) return 1;
    // A failed reader owns nothing; start the second one from a clean record.
    *image = Image{};
    if (LoadJpeg(fileName, image)) return 1;
    *image = Image{};
    return 0;
}

namespace {

// A mipmapped 2D texture of image in format; takes over image->pixels.
GLuint CreateTexture2D(Image* image, const TextureFormat& format) {
    GLuint name = BeginTexture2D();
    gluBuild2DMipmaps(GL_TEXTURE_2D, format.internalFormat, image->width, image->height,
                      format.pixelFormat, GL_UNSIGNED_BYTE, image->pixels);
    ReleasePixels(image);
    return name;
}

}  // namespace

GLuint CreateTextureFromImage(Image* image) {
    TextureFormat format;
    if (!HasPixels(*image) || !LookUpTextureFormat(image->bitsPerPixel, &format)) {
        ReleasePixels(image);
        return 0;
    }
    return CreateTexture2D(image, format);
}

GLuint CreateColourTextureFromImage(Image* image) {
    if (HasPixels(*image) && image->bitsPerPixel == 8) {
        return CreateTexture2D(image, TextureFormat{1, GL_LUMINANCE8, GL_LUMINANCE});
    }
    return CreateTextureFromImage(image);
}

GLuint CreateNormalMapTextureFromImage(Image* image) {
    const int bytesPerPixel = image->bitsPerPixel / 8;
    if (!HasPixels(*image) || bytesPerPixel == 0) {
        ReleasePixels(image);
        return 0;
    }
    const size_t normalBytes = static_cast<size_t>(image->width) * image->height * 4;
    uint8_t* normals = static_cast<uint8_t*>(std::malloc(normalBytes));
    if (normals == nullptr) {
        ReleasePixels(image);
        return 0;
    }
    GLuint name = BeginTexture2D();
    HeightToNormalMap(bytesPerPixel, image->pixels, normals, image->width, image->height);
    ReleasePixels(image);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, image->width, image->height, GL_RGBA,
                      GL_UNSIGNED_BYTE, normals);
    std::free(normals);
    return name;
}

GLuint LoadTexture(const char* fileName) {
    Image image;
    if (!ReadPicture(fileName, &image)) return 0;
    return CreateTextureFromImage(&image);
}

GLuint LoadColourTexture(const char* fileName) {
    Image image;
    if (!ReadPicture(fileName, &image)) return 0;
    return CreateColourTextureFromImage(&image);
}

GLuint LoadNormalMapTexture(const char* fileName) {
    Image image;
    if (!ReadPicture(fileName, &image)) return 0;
    return CreateNormalMapTextureFromImage(&image);
}
