// Texture creation from picture files: plain 2D textures with mipmaps, normal
// maps derived from height pictures, and cube maps cut from a vertical cross.
//
// Every file is tried as TGA first and as JPEG second, whatever its name. All
// loaders need a current GL context; each returns a texture name, or 0 when no
// texture was made. After a loader that made a texture, that texture is bound to
// its target on the active unit and GL_UNPACK_ALIGNMENT is 1. A picture's pixel
// block is released before a loader returns, whatever the outcome, and nothing
// else is left allocated on failure.
#pragma once

#include <cstdint>

#include "image/image.h"
#include "render/gl_api.h"

// The GL formats for a picture depth: 8 bits become GL_ALPHA8 (the font is an
// alpha-only texture), 24 bits GL_RGB8 from BGR, 32 bits GL_RGBA8 from BGRA.
struct TextureFormat {
    int bytesPerPixel;
    GLint internalFormat;
    GLenum pixelFormat;
};

// 1 and the formats for 8, 24 and 32 bits per pixel, else 0.
int LookUpTextureFormat(int bitsPerPixel, TextureFormat* format);

// Zeroes image and reads fileName into it with LoadTga, or, if that fails, with
// LoadJpeg. 1 on success: image->pixels is then the caller's to free.
int ReadPicture(const char* fileName, Image* image);

// A GL_TEXTURE_2D with repeat wrapping, linear magnification, nearest-mipmap
// linear minification and mipmaps built by gluBuild2DMipmaps.
GLuint LoadTexture(const char* fileName);

// As LoadTexture, for a picture shown as a surface's colour: an 8-bit picture
// becomes a grey GL_LUMINANCE8 texture instead of an alpha-only one, which the
// model pass would draw black.
GLuint LoadColourTexture(const char* fileName);

// A GL_TEXTURE_2D of RGBA8 normals (HeightToNormalMap), otherwise set up as
// LoadTexture's. Every depth is accepted.
GLuint LoadNormalMapTexture(const char* fileName);

// A GL_TEXTURE_CUBE_MAP_ARB cut from a vertical cross three faces wide and four
// tall (top band +Y; then +X, +Z, -X; then -Y; bottom band -Z), clamped at the
// edges, linear filtering, no mipmaps. 0 without GL_ARB_texture_cube_map, in
// which case the file is not read. Faces whose width / 3 and height / 4 differ
// are rejected by GL, but the texture name is still returned.
GLuint LoadCubeMap(const char* fileName);

// The same three, from a picture already in memory. Each takes over
// image->pixels, releases it and sets it to null, whatever the outcome.
// CreateCubeMapFromImage does not check for GL_ARB_texture_cube_map.
GLuint CreateTextureFromImage(Image* image);
GLuint CreateColourTextureFromImage(Image* image);
GLuint CreateNormalMapTextureFromImage(Image* image);
GLuint CreateCubeMapFromImage(Image* image);

// Writes width * height RGBA texels to destination. The height of a pixel is
// its first byte; x runs along a row, y over rows in memory order, and the
// neighbours at x + 1 and y + 1 wrap around. Normal (dx, dy, 1) normalised with
// dx = 5 (h - h[x+1]) / 255 and dy = 5 (h[y+1] - h) / 255, each component c
// stored as (c + 1) * 127 truncated (a flat spot is 127, 127, 254); alpha is the
// source's fourth byte with 4 bytes per pixel, else 255. bytesPerPixel >= 1.
void HeightToNormalMap(int bytesPerPixel, const uint8_t* source, uint8_t* destination, int width,
                       int height);

// Copies the width x height rectangle whose first pixel is column x0 of row y0
// of a source with sourceRowLength pixels per row into the packed destination.
void CopyImageRect(int bytesPerPixel, const uint8_t* source, uint8_t* destination, int x0, int y0,
                   int sourceRowLength, int width, int height);

// Turns a packed width x height picture by 180 degrees in place.
void RotateImage180(int bytesPerPixel, uint8_t* pixels, int width, int height);
