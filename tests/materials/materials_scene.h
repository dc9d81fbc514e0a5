// Scenes of the material tests: 3DS files with materials written by the
// test, flat pictures beside them, and a flat-lit offscreen frame in which a
// pixel of the model shows its base colour alone.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "render/model_textures.h"
#include "render/renderer.h"
#include "tests/model/chunk_writer.h"
#include "tests/renderer/renderer_test_support.h"
#include "tests/texture/texture_test_support.h"

constexpr int kSize = 96;
constexpr uint8_t kBase[3] = {60, 70, 220};
constexpr uint8_t kTextureRed[3] = {200, 20, 10};
constexpr uint8_t kMaterialGreen[3] = {30, 180, 60};

// Material with a 24-bit diffuse colour and, when textureFile is not empty, a
// texture map (integer percentage, then the map file name).
inline Bytes MaterialChunk(const std::string& name, const uint8_t (&diffuse)[3],
                           const std::string& textureFile) {
    Bytes texture = textureFile.empty()
                        ? Bytes{}
                        : MakeChunk(0xA200, {MakeChunk(0x0030, {U16({100})}),
                                             MakeChunk(0xA300, {Str(textureFile)})});
    return MakeChunk(0xAFFF,
                     {MakeChunk(0xA000, {Str(name)}),
                      Wrapped(0xA020, 0x0011, {diffuse[0], diffuse[1], diffuse[2]}), texture});
}

// An 80 x 80 square facing the eye at x = centreX, mapped once over.
inline TestMesh Square(const std::string& name, float centreX, const std::string& materialName,
                       bool mapped = true) {
    const float l = centreX - 40, r = centreX + 40;
    TestMesh mesh = {name, {l, -40, 0, r, -40, 0, r, 40, 0, l, 40, 0}, {0, 1, 2, 0, 2, 3}, {}, ""};
    if (mapped) mesh.texCoords = {0, 0, 1, 0, 1, 1, 0, 1};
    mesh.materialName = materialName;
    return mesh;
}

inline bool WriteFlatTga(const std::string& path, const uint8_t (&rgb)[3]) {
    std::vector<uint8_t> bgr(4 * 3);
    for (size_t i = 0; i < bgr.size(); ++i)
        bgr[i] = rgb[2 - i % 3];
    return WriteTga(path, 2, 2, 24, bgr);
}

// Texture names the context holds (names are small integers on Mesa).
inline int CountTextureNames() {
    int count = 0;
    for (GLuint name = 1; name < 4096; ++name)
        count += glIsTexture(name) ? 1 : 0;
    return count;
}

// The first texel of a 2D texture, as RGB bytes.
inline std::vector<uint8_t> FirstTexel(GLuint texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    std::vector<uint8_t> texels = ReadTexImage(GL_TEXTURE_2D, GL_RGB, 3);
    texels.resize(3);
    return texels;
}

// Start-up where no default file exists, then flat textures: a black
// environment and a white diffuse map, so a pixel of the model shows its base
// colour alone (base x diffuse + F x reflection + see-through^2).
inline bool StartFlatScene(const char* extensionOverride = nullptr) {
    if (!UseOffscreenSize(kSize, kSize, extensionOverride) || InitRenderer() != 1) return false;
    const Rgb black[6] = {},
              white[6] = {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}};
    environmentCubeMap = MakeFlatCubeMap(black);
    diffuseCubeMap = MakeFlatCubeMap(white);
    baseTexture = MakeFlatTexture(kBase);
    normalMapTexture = MakeFlatTexture({127, 127, 254});
    yawDegrees = pitchDegrees = zoomOffset = 0.0f;
    return true;
}

// What the shell does after a model was chosen.
inline bool LoadModel(const std::string& path) {
    FreeModel(&model);
    modelLoaded = Load3ds(&model, path.c_str());
    UpdateModelTextures(path.c_str());
    return modelLoaded == 1;
}

// The centre pixels of the squares at x = -150, 0 and 150 (a 90-degree view
// from 250 away: the plane z = 0 spans -250..250).
inline std::vector<std::vector<uint8_t>> SquareColours() {
    RenderFrame();
    const Frame frame = ReadFrame();
    std::vector<std::vector<uint8_t>> colours;
    for (int px : {19, 48, 77}) {
        const uint8_t* p = frame.At(px, kSize / 2);
        colours.push_back({p[0], p[1], p[2]});
    }
    return colours;
}

inline void ExpectColour(const std::vector<uint8_t>& pixel, const uint8_t (&rgb)[3],
                         const char* what) {
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(pixel[c], rgb[c], 2) << what << " channel " << c;
}

// Textured (name stored in upper case, file in lower case, in a folder other
// than the working directory), coloured, and without material.
inline bool WriteThreeSquares() {
    std::filesystem::create_directories("models");
    return WriteFlatTga("models/red.tga", kTextureRed) &&
           WriteChunkFile(
               ModelFile({MaterialChunk("tex", kMaterialGreen, "RED.TGA"),
                          MaterialChunk("green", kMaterialGreen, ""),
                          MeshObject(Square("a", -150, "tex")), MeshObject(Square("b", 0, "green")),
                          MeshObject(Square("c", 150, ""))}),
               "models/three.3ds");
}
