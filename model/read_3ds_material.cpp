#include <cstring>

#include "model/read_3ds.h"

namespace {

// 24-bit colours hold bytes 0..255; the single-precision 1/255 brings them to
// 0..1. Integer percentages hold 0..100.
const float kByteToUnit = 1.0f / 255.0f;
const float kPercentToFraction = 0.01f;
// At most this many bytes are taken of a material's name and of its texture
// file name.
constexpr uint32_t kMaterialNameBytes = 16;
constexpr uint32_t kTextureFileBytes = 20;

// Reads the colour chunk that opens data, 24-bit or float; a chunk of any other
// kind, or none, leaves rgb as it is.
int ReadColor(ChunkCursor data, float* rgb) {
    if (data.pos == data.end) return 1;
    Chunk color;
    if (!ReadChunk(&data, &color)) return 0;
    ChunkCursor values = ChunkData(data.file, color);
    if (color.id == kChunkColorFloat) return ReadF32Array(&values, rgb, 3);
    if (color.id != kChunkColor24) return 1;
    uint8_t bytes[3];
    if (!ReadBytes(&values, bytes, sizeof bytes)) return 0;
    for (int k = 0; k < 3; ++k)
        rgb[k] = bytes[k] * kByteToUnit;
    return 1;
}

// Reads the percentage chunk that opens data as a fraction, like ReadColor.
int ReadPercentage(ChunkCursor data, float* fraction) {
    if (data.pos == data.end) return 1;
    Chunk percent;
    if (!ReadChunk(&data, &percent)) return 0;
    ChunkCursor value = ChunkData(data.file, percent);
    if (percent.id == kChunkPercentFloat) return ReadF32(&value, fraction);
    if (percent.id != kChunkPercentInt) return 1;
    uint16_t whole;
    if (!ReadU16(&value, &whole)) return 0;
    *fraction = whole * kPercentToFraction;
    return 1;
}

// A texture map holds its strength (an integer or a float percentage) and then
// the map-file-name chunk; the name is taken from that chunk wherever it lies
// among the map's children, so either kind of percentage gives the same name.
int ReadTextureFile(ChunkCursor data, char* textureFile) {
    while (data.pos < data.end) {
        Chunk child;
        if (!ReadChunk(&data, &child)) return 0;
        if (child.id != kChunkMapFileName) continue;
        ChunkCursor name = ChunkData(data.file, child);
        memset(textureFile, 0, kTextureFileBytes + 1);
        ReadString(&name, textureFile, kTextureFileBytes);
        return 1;
    }
    return 1;
}

// 3D Studio keeps z as the up axis; lights and cameras are stored with y and z
// exchanged to match the viewer's y-up space. Mesh positions are not.
void ExchangeYz(const float* file, float* point) {
    point[0] = file[0];
    point[1] = file[2];
    point[2] = file[1];
}

}  // namespace

void CleanName(char* name) {
    for (; *name != '\0'; ++name) {
        signed char c = static_cast<signed char>(*name);
        if (c < '0' || c > 'z') *name = '_';
    }
}

int ReadMaterial(ChunkFile* file, const Chunk& materialChunk, Material* material) {
    ChunkCursor children = ChunkData(file, materialChunk);
    while (children.pos < children.end) {
        Chunk child;
        if (!ReadChunk(&children, &child)) return 0;
        ChunkCursor data = ChunkData(file, child);
        int ok = 1;
        switch (child.id) {
            case kChunkMaterialName:
                memset(material->name, 0, kMaterialNameBytes + 1);
                ReadString(&data, material->name, kMaterialNameBytes);
                CleanName(material->name);
                break;
            case kChunkAmbient:
                ok = ReadColor(data, material->ambient);
                break;
            case kChunkDiffuse:
                ok = ReadColor(data, material->diffuse);
                break;
            case kChunkSpecular:
                ok = ReadColor(data, material->specular);
                break;
            case kChunkShininess:
                ok = ReadPercentage(data, &material->shininess);
                break;
            case kChunkTransparency:
                ok = ReadPercentage(data, &material->transparency);
                break;
            case kChunkTextureMap:
                ok = ReadTextureFile(data, material->textureFile);
                break;
            default:
                break;
        }
        if (!ok) return 0;
    }
    return 1;
}

int ReadLight(ChunkFile* file, const Chunk& lightChunk, Light* light) {
    ChunkCursor data = ChunkData(file, lightChunk);
    float position[3];
    if (!ReadF32Array(&data, position, 3)) return 0;
    ExchangeYz(position, light->position);
    // Only the first chunk after the position is looked at for the colour.
    return ReadColor(data, light->color);
}

int ReadCamera(ChunkFile* file, const Chunk& cameraChunk, Camera* camera) {
    ChunkCursor data = ChunkData(file, cameraChunk);
    float values[8];  // position, target, bank, lens
    if (!ReadF32Array(&data, values, 8)) return 0;
    ExchangeYz(values, camera->position);
    ExchangeYz(values + 3, camera->target);
    camera->bank = values[6];
    camera->lens = values[7];
    return 1;
}
