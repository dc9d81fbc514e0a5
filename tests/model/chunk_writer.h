// Writes 3D Studio files chunk by chunk for the model tests, the fuzz seeds and
// the benchmark. Lengths are patched in when a chunk is closed; tests that need
// a lying length overwrite it afterwards with SetChunkLength.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

struct ChunkWriter {
    std::vector<uint8_t> bytes;
    std::vector<size_t> openChunks;
};

inline void PutU8(ChunkWriter* w, uint8_t value) {
    w->bytes.push_back(value);
}

inline void PutU16(ChunkWriter* w, uint16_t value) {
    PutU8(w, static_cast<uint8_t>(value));
    PutU8(w, static_cast<uint8_t>(value >> 8));
}

inline void PutU32(ChunkWriter* w, uint32_t value) {
    PutU16(w, static_cast<uint16_t>(value));
    PutU16(w, static_cast<uint16_t>(value >> 16));
}

inline void PutF32(ChunkWriter* w, float value) {
    uint32_t bits;
    memcpy(&bits, &value, sizeof bits);
    PutU32(w, bits);
}

inline void PutRaw(ChunkWriter* w, const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    w->bytes.insert(w->bytes.end(), p, p + size);
}

// The text and its terminating zero.
inline void PutString(ChunkWriter* w, const std::string& text) {
    PutRaw(w, text.data(), text.size());
    PutU8(w, 0);
}

// Returns the offset of the chunk's header.
inline size_t BeginChunk(ChunkWriter* w, uint16_t id) {
    size_t start = w->bytes.size();
    w->openChunks.push_back(start);
    PutU16(w, id);
    PutU32(w, 0);
    return start;
}

inline void SetChunkLength(ChunkWriter* w, size_t chunkStart, uint32_t length) {
    for (int i = 0; i < 4; ++i)
        w->bytes[chunkStart + 2 + i] = static_cast<uint8_t>(length >> 8 * i);
}

inline void EndChunk(ChunkWriter* w) {
    size_t start = w->openChunks.back();
    w->openChunks.pop_back();
    SetChunkLength(w, start, static_cast<uint32_t>(w->bytes.size() - start));
}

inline bool WriteChunkFile(const ChunkWriter& w, const std::string& path) {
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool ok = w.bytes.empty() || fwrite(w.bytes.data(), 1, w.bytes.size(), file) == w.bytes.size();
    return fclose(file) == 0 && ok;
}

// ---- Whole pieces of a model file -------------------------------------------

struct TestMesh {
    std::string name;
    std::vector<float> positions;  // x, y, z per vertex
    std::vector<uint16_t> faces;   // a, b, c per face
    std::vector<float> texCoords;  // s, t per vertex; empty: no chunk
    std::string materialName;      // empty: no face-material group
};

// A vertex list chunk (0x4110).
inline void PutVertexList(ChunkWriter* w, const std::vector<float>& positions) {
    BeginChunk(w, 0x4110);
    PutU16(w, static_cast<uint16_t>(positions.size() / 3));
    for (float v : positions)
        PutF32(w, v);
    EndChunk(w);
}

// A face list chunk (0x4120) with its optional face-material group.
inline void PutFaceList(ChunkWriter* w, const std::vector<uint16_t>& faces,
                        const std::string& materialName) {
    BeginChunk(w, 0x4120);
    PutU16(w, static_cast<uint16_t>(faces.size() / 3));
    for (size_t i = 0; i + 2 < faces.size(); i += 3) {
        PutU16(w, faces[i]);
        PutU16(w, faces[i + 1]);
        PutU16(w, faces[i + 2]);
        PutU16(w, 7);  // edge visibility flags, dropped by the reader
    }
    if (!materialName.empty()) {
        BeginChunk(w, 0x4130);
        PutString(w, materialName);
        PutU16(w, static_cast<uint16_t>(faces.size() / 3));
        for (size_t i = 0; i < faces.size() / 3; ++i)
            PutU16(w, static_cast<uint16_t>(i));
        EndChunk(w);
    }
    EndChunk(w);
}

inline void PutMappingCoords(ChunkWriter* w, const std::vector<float>& texCoords) {
    BeginChunk(w, 0x4140);
    PutU16(w, static_cast<uint16_t>(texCoords.size() / 2));
    for (float v : texCoords)
        PutF32(w, v);
    EndChunk(w);
}

// A named object holding a triangle mesh: vertices, local axes, faces, mapping.
inline void PutMeshObject(ChunkWriter* w, const TestMesh& mesh) {
    BeginChunk(w, 0x4000);
    PutString(w, mesh.name);
    BeginChunk(w, 0x4100);
    PutVertexList(w, mesh.positions);
    BeginChunk(w, 0x4160);  // local axes: stepped over
    for (int i = 0; i < 12; ++i)
        PutF32(w, i % 4 == 0 ? 1.0f : 0.0f);
    EndChunk(w);
    PutFaceList(w, mesh.faces, mesh.materialName);
    if (!mesh.texCoords.empty()) PutMappingCoords(w, mesh.texCoords);
    EndChunk(w);
    EndChunk(w);
}

inline void PutColor24Chunk(ChunkWriter* w, uint16_t id, uint8_t r, uint8_t g, uint8_t b) {
    BeginChunk(w, id);
    BeginChunk(w, 0x0011);
    PutU8(w, r);
    PutU8(w, g);
    PutU8(w, b);
    EndChunk(w);
    EndChunk(w);
}

inline void PutColorFloatChunk(ChunkWriter* w, uint16_t id, float r, float g, float b) {
    BeginChunk(w, id);
    BeginChunk(w, 0x0010);
    PutF32(w, r);
    PutF32(w, g);
    PutF32(w, b);
    EndChunk(w);
    EndChunk(w);
}

inline void PutPercentIntChunk(ChunkWriter* w, uint16_t id, uint16_t percent) {
    BeginChunk(w, id);
    BeginChunk(w, 0x0030);
    PutU16(w, percent);
    EndChunk(w);
    EndChunk(w);
}

inline void PutPercentFloatChunk(ChunkWriter* w, uint16_t id, float percent) {
    BeginChunk(w, id);
    BeginChunk(w, 0x0031);
    PutF32(w, percent);
    EndChunk(w);
    EndChunk(w);
}

inline void PutMaterialName(ChunkWriter* w, const std::string& name) {
    BeginChunk(w, 0xA000);
    PutString(w, name);
    EndChunk(w);
}

// A texture map (0xA200): its strength as an integer percentage, then the map
// file name.
inline void PutTextureMap(ChunkWriter* w, const std::string& fileName) {
    BeginChunk(w, 0xA200);
    BeginChunk(w, 0x0030);
    PutU16(w, 100);
    EndChunk(w);
    BeginChunk(w, 0xA300);
    PutString(w, fileName);
    EndChunk(w);
    EndChunk(w);
}

inline void PutMaterial(ChunkWriter* w, const std::string& name) {
    BeginChunk(w, 0xAFFF);
    PutMaterialName(w, name);
    EndChunk(w);
}

inline void PutLightObject(ChunkWriter* w, const std::string& name, float x, float y, float z) {
    BeginChunk(w, 0x4000);
    PutString(w, name);
    BeginChunk(w, 0x4600);
    PutF32(w, x);
    PutF32(w, y);
    PutF32(w, z);
    BeginChunk(w, 0x0011);
    PutU8(w, 255);
    PutU8(w, 128);
    PutU8(w, 0);
    EndChunk(w);
    EndChunk(w);
    EndChunk(w);
}

inline void PutCameraObject(ChunkWriter* w, const std::string& name, const float values[8]) {
    BeginChunk(w, 0x4000);
    PutString(w, name);
    BeginChunk(w, 0x4700);
    for (int i = 0; i < 8; ++i)
        PutF32(w, values[i]);
    EndChunk(w);
    EndChunk(w);
}

// Opens the main chunk, a version chunk and the editor chunk with its mesh
// version; close both with EndModelFile.
inline void BeginModelFile(ChunkWriter* w) {
    BeginChunk(w, 0x4D4D);
    BeginChunk(w, 0x0002);  // file version
    PutU32(w, 3);
    EndChunk(w);
    BeginChunk(w, 0x3D3D);
    BeginChunk(w, 0x3D3E);  // mesh version
    PutU32(w, 3);
    EndChunk(w);
}

// Closes the editor chunk, appends an empty keyframer section and closes main.
inline void EndModelFile(ChunkWriter* w) {
    EndChunk(w);
    BeginChunk(w, 0xB000);
    EndChunk(w);
    EndChunk(w);
}

// A small textured quad, two faces with mapping coordinates.
inline TestMesh QuadMesh(const std::string& name) {
    TestMesh mesh;
    mesh.name = name;
    mesh.positions = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    mesh.faces = {0, 1, 2, 0, 2, 3};
    mesh.texCoords = {0, 0, 1, 0, 1, 1, 0, 1};
    return mesh;
}

// A file with one of everything the reader reads.
inline ChunkWriter SampleModelFile() {
    ChunkWriter w;
    BeginModelFile(&w);
    BeginChunk(&w, 0xAFFF);
    PutMaterialName(&w, "red");
    PutColor24Chunk(&w, 0xA010, 1, 2, 3);
    PutColorFloatChunk(&w, 0xA020, 0.5f, 0.5f, 0.5f);
    PutPercentIntChunk(&w, 0xA040, 20);
    PutTextureMap(&w, "red.tga");
    EndChunk(&w);
    TestMesh mesh = QuadMesh("quad");
    mesh.materialName = "red";
    PutMeshObject(&w, mesh);
    PutLightObject(&w, "lamp", 1, 2, 3);
    const float camera[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    PutCameraObject(&w, "cam", camera);
    EndModelFile(&w);
    return w;
}
