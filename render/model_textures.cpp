// Material textures: found next to the model file, loaded once per file and
// once per colour, resolved per mesh at load time.
#include "render/model_textures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>

#include "app/app_state.h"
#include "image/texture.h"
#include "render/file_names.h"

ModelTextures modelTextures;
int baseTextureOverridesMaterials = 0;
std::string baseTextureFile;

namespace {

namespace fs = std::filesystem;

// A folder entry's name in UTF-8, or "" when it has none. POSIX names are
// bytes and pass as they are; a Windows name is UTF-16, and one with a lone
// surrogate has no UTF-8 form (u8string would throw), so it is skipped: such a
// file is still found under its exact name.
std::string NameInUtf8(const fs::path& name) {
    if constexpr (sizeof(fs::path::value_type) == 2) {
        const auto& native = name.native();
        for (size_t i = 0; i < native.size(); ++i) {
            const unsigned unit = static_cast<unsigned>(native[i]);
            if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < native.size() &&
                static_cast<unsigned>(native[i + 1]) >= 0xDC00 &&
                static_cast<unsigned>(native[i + 1]) <= 0xDFFF) {
                ++i;
            } else if (unit >= 0xD800 && unit <= 0xDFFF) {
                return std::string();
            }
        }
    }
    return name.u8string();
}

bool FileOpens(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    if (a == b) return true;
    if (!IsUtf8(a) || !IsUtf8(b)) return false;
    std::error_code error;
    return fs::equivalent(fs::u8path(a), fs::u8path(b), error) && !error;
}

// What one call of LoadModelTextures works with: the model's folder, its
// listing (read at most once, and only when a name is not found as stored),
// and the files and colours already turned into textures.
struct Resolver {
    std::string folder;  // ends in a separator, or empty for the working directory
    std::string baseFile;
    bool listed = false;
    std::vector<std::string> entries;      // UTF-8 names of regular files, sorted
    std::map<std::string, GLuint> byFile;  // resolved path -> texture (0: unreadable)
    std::map<std::string, GLuint> byName;  // name as stored -> texture (0: base)
    std::map<uint32_t, GLuint> byColour;   // 0xRRGGBB -> one-texel texture
    std::map<int32_t, GLuint> byMaterial;  // material index -> texture (0: base)
    ModelTextures* textures = nullptr;
};

// Both separators, so a model chosen on Windows and one named on Linux each
// find their folder. A byte search is sound in UTF-8: every byte of a
// multi-byte character is 0x80 or above, never a separator.
std::string FolderOf(const char* modelFile) {
    const std::string path = modelFile;
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

void ListFolder(Resolver* resolver) {
    resolver->listed = true;
    const std::string folder = resolver->folder.empty() ? "." : resolver->folder;
    // Paths are UTF-8 (the Windows program's code page); u8path turns them
    // into the wide names Windows lists folders by, and would throw on
    // anything else.
    if (!IsUtf8(folder)) return;
    std::error_code error;
    fs::directory_iterator it(fs::u8path(folder), error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string name = NameInUtf8(it->path().filename());
        std::error_code typeError;
        if (!name.empty() && it->is_regular_file(typeError)) resolver->entries.push_back(name);
    }
    // Sorted, so that of names differing only in case the same one always wins.
    std::sort(resolver->entries.begin(), resolver->entries.end());
}

// The path of the file that a material names, or empty when there is none:
// the name as stored, then an entry of the folder equal to it but for the
// case of ASCII letters (3DS files come from systems that ignored case).
std::string FindTextureFile(Resolver* resolver, const std::string& name) {
    std::string path = resolver->folder;
    path.append(name);
    if (FileOpens(path)) return path;
    if (!resolver->listed) ListFolder(resolver);
    for (const std::string& entry : resolver->entries) {
        if (EqualIgnoringAsciiCase(entry, name)) {
            path.replace(resolver->folder.size(), std::string::npos, entry);
            return path;
        }
    }
    return std::string();
}

GLuint Remember(Resolver* resolver, GLuint texture) {
    if (texture != 0) resolver->textures->textures.push_back(texture);
    return texture;
}

GLuint TextureOfFile(Resolver* resolver, const std::string& name) {
    const auto known = resolver->byName.find(name);
    if (known != resolver->byName.end()) return known->second;
    GLuint texture = 0;
    const std::string path = FindTextureFile(resolver, name);
    // The base picture itself keeps the base texture (0), as the default scene
    // has always drawn it.
    if (!path.empty() && !SameFile(path, resolver->baseFile)) {
        const auto loaded = resolver->byFile.find(path);
        if (loaded != resolver->byFile.end()) {
            texture = loaded->second;
        } else {
            texture = Remember(resolver, LoadColourTexture(path.c_str()));
            resolver->byFile[path] = texture;
        }
    }
    resolver->byName[name] = texture;
    return texture;
}

uint8_t ColourByte(float value) {
    // Colours are read unchecked from the file; a float colour may be out of range.
    if (!(value > 0.0f)) return 0;
    if (value >= 1.0f) return 255;
    return static_cast<uint8_t>(std::lround(value * 255.0f));
}

GLuint TextureOfColour(Resolver* resolver, const float (&colour)[3]) {
    const uint8_t r = ColourByte(colour[0]), g = ColourByte(colour[1]), b = ColourByte(colour[2]);
    const uint32_t key = (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
    const auto known = resolver->byColour.find(key);
    if (known != resolver->byColour.end()) return known->second;
    Image texel = {1, 1, 24, static_cast<uint8_t*>(std::malloc(3))};
    if (texel.pixels != nullptr) {
        texel.pixels[0] = b;  // blue, green, red
        texel.pixels[1] = g;
        texel.pixels[2] = r;
    }
    const GLuint texture = Remember(resolver, CreateTextureFromImage(&texel));
    resolver->byColour[key] = texture;
    return texture;
}

GLuint TextureOfMaterial(Resolver* resolver, const Model& model, int32_t index) {
    if (index < 0 || index >= model.materialCount || model.materials == nullptr) return 0;
    const auto known = resolver->byMaterial.find(index);
    if (known != resolver->byMaterial.end()) return known->second;
    const Material& material = model.materials[index];
    // The reader stores at most 20 bytes and a terminator, but the record is
    // the caller's: never read past its field.
    const void* end = std::memchr(material.textureFile, 0, sizeof material.textureFile);
    const size_t length =
        end != nullptr ? static_cast<size_t>(static_cast<const char*>(end) - material.textureFile)
                       : sizeof material.textureFile;
    const GLuint texture = length == 0
                               ? TextureOfColour(resolver, material.diffuse)
                               : TextureOfFile(resolver, std::string(material.textureFile, length));
    resolver->byMaterial[index] = texture;
    return texture;
}

// A mesh without mapping coordinates cannot show a picture; it takes its
// material's colour instead.
GLuint TextureOfMesh(Resolver* resolver, const Model& model, const Mesh& mesh) {
    const int32_t index = mesh.materialIndex;
    if (mesh.texCoordCount == 0 && index >= 0 && index < model.materialCount &&
        model.materials != nullptr && model.materials[index].textureFile[0] != '\0') {
        return TextureOfColour(resolver, model.materials[index].diffuse);
    }
    return TextureOfMaterial(resolver, model, index);
}

}  // namespace

void LoadModelTextures(const Model& model, const char* modelFile, const char* baseFile,
                       ModelTextures* textures) {
    Resolver resolver;
    resolver.folder = FolderOf(modelFile != nullptr ? modelFile : "");
    resolver.baseFile = baseFile != nullptr ? baseFile : "";
    resolver.textures = textures;
    textures->meshTextures.assign(static_cast<size_t>(std::max(model.meshCount, 0)), 0);
    for (int32_t i = 0; i < model.meshCount; ++i) {
        textures->meshTextures[i] = TextureOfMesh(&resolver, model, model.meshes[i]);
    }
}

void ReleaseModelTextures(ModelTextures* textures) {
    if (!textures->textures.empty()) {
        glDeleteTextures(static_cast<GLsizei>(textures->textures.size()),
                         textures->textures.data());
    }
    // Emptied, so a second release deletes nothing (the names may belong to
    // someone else by then).
    textures->textures.clear();
    textures->meshTextures.clear();
}

void UpdateModelTextures(const char* modelFile) {
    ReleaseModelTextures(&modelTextures);
    baseTextureOverridesMaterials = 0;
    if (modelLoaded) LoadModelTextures(model, modelFile, baseTextureFile.c_str(), &modelTextures);
}

void SetChosenBaseTexture(const char* fileName) {
    baseTextureFile = fileName != nullptr ? fileName : "";
    baseTextureOverridesMaterials = 1;
}

const GLuint* MeshBaseTextures() {
    if (baseTextureOverridesMaterials) return nullptr;
    if (modelTextures.meshTextures.empty()) return nullptr;
    if (modelTextures.meshTextures.size() != static_cast<size_t>(model.meshCount)) return nullptr;
    return modelTextures.meshTextures.data();
}
