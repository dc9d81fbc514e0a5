// The pieces of the 3D Studio reader that turn one catalogued chunk into one
// record. Each returns 0 when the file is broken (a chunk that lies about its
// length, data cut short) or memory runs out; the caller then abandons the
// whole load.
#pragma once

#include <cstdint>

#include "model/chunk_file.h"
#include "model/model.h"

// Chunk ids of the 3DS subset that the reader uses.
enum : uint16_t {
    kChunkColorFloat = 0x0010,
    kChunkColor24 = 0x0011,
    kChunkPercentInt = 0x0030,
    kChunkPercentFloat = 0x0031,
    kChunkEditor = 0x3D3D,
    kChunkNamedObject = 0x4000,
    kChunkTriangleMesh = 0x4100,
    kChunkVertexList = 0x4110,
    kChunkFaceList = 0x4120,
    kChunkFaceMaterial = 0x4130,
    kChunkMappingCoords = 0x4140,
    kChunkSmoothingList = 0x4150,
    kChunkLight = 0x4600,
    kChunkCamera = 0x4700,
    kChunkMain = 0x4D4D,
    kChunkMaterialName = 0xA000,
    kChunkAmbient = 0xA010,
    kChunkDiffuse = 0xA020,
    kChunkSpecular = 0xA030,
    kChunkShininess = 0xA040,
    kChunkTransparency = 0xA050,
    kChunkTextureMap = 0xA200,
    kChunkMapFileName = 0xA300,
    kChunkMaterial = 0xAFFF,
};

// Replaces every byte outside '0'..'z' before the terminating zero by '_'.
void CleanName(char* name);

enum MeshReadResult { kMeshBroken, kMeshUnusable, kMeshRead };

// Reads a triangle-mesh chunk into a zeroed mesh. kMeshUnusable means the mesh
// cannot be drawn safely (no vertex list, a face index past the vertices, or
// mapping coordinates that do not pair one to one with the vertices); its
// arrays are then still in the mesh for the caller to release.
MeshReadResult ReadTriangleMesh(ChunkFile* file, const Chunk& meshChunk, Mesh* mesh);

void FreeMeshArrays(Mesh* mesh);

int ReadMaterial(ChunkFile* file, const Chunk& materialChunk, Material* material);
int ReadLight(ChunkFile* file, const Chunk& lightChunk, Light* light);
int ReadCamera(ChunkFile* file, const Chunk& cameraChunk, Camera* camera);
