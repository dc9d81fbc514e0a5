// The base-colour textures of a model's own materials. Each mesh is drawn with
// the texture its material names (found next to the model file), or with a
// one-texel texture of its material's diffuse colour when the material names
// no texture; a mesh without a material, or whose texture file is missing or
// unreadable, keeps the program's base texture. All of it is worked out when
// the model is loaded, so a frame only binds what was resolved here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/model.h"
#include "render/gl_api.h"

// The textures made for one model. meshTextures has one entry per mesh, 0
// meaning "the base texture"; textures holds every GL texture made for the
// model, each name once, and is what ReleaseModelTextures deletes.
struct ModelTextures {
    std::vector<GLuint> meshTextures;
    std::vector<GLuint> textures;
};

// Those of the model on screen.
extern ModelTextures modelTextures;
// Set when the user chose a base picture (key T): it is then drawn on every
// mesh until the next model load.
extern int baseTextureOverridesMaterials;
// The file the base texture was read from. A material naming that same file
// uses the base texture itself rather than a second copy of it.
extern std::string baseTextureFile;

// Resolves the texture of every material that a mesh of model uses, with the
// model read from modelFile. Texture files are looked up in modelFile's folder:
// the name as stored, then the folder's entries with the case of ASCII
// letters ignored (names are UTF-8; other letters keep their case). Each distinct file is loaded
// once (LoadColourTexture, TGA then JPEG), each distinct diffuse colour gets one texture. textures
// must be empty (released). Needs a current GL context; leaves the active unit's 2D binding
// changed.
void LoadModelTextures(const Model& model, const char* modelFile, const char* baseFile,
                       ModelTextures* textures);

// Deletes every texture of textures once and empties it.
void ReleaseModelTextures(ModelTextures* textures);

// For the shell, after the model on screen was replaced by the one read from
// modelFile (or after a model failed to load and none is drawn): releases the
// previous model's textures, loads those of model when modelLoaded, and ends
// the base picture's override.
void UpdateModelTextures(const char* modelFile);

// For the shell, after key T replaced the base texture with fileName's picture:
// the base texture is drawn on every mesh until the next model load.
void SetChosenBaseTexture(const char* fileName);

// The per-mesh textures that the frame hands DrawModel: null when every mesh is
// to show the base texture (the user's override, or textures that were not
// made for the model on screen).
const GLuint* MeshBaseTextures();
