#include <cstdlib>
#include <cstring>

#include "model/model_memory.h"
#include "model/read_3ds.h"

namespace {

// A face takes four 16-bit values in the file (a, b, c and edge flags) and
// three in memory; the list is read in blocks of this many faces.
constexpr uint32_t kFileFaceBytes = 8;
constexpr uint32_t kFacesPerBlock = 512;
// A face-material group's name: at most 16 bytes are taken.
constexpr uint32_t kMaterialNameBytes = 16;

// Fills *array with count floats from the file. A second list of the same
// kind in one mesh replaces the first.
int ReadFloatList(ChunkCursor data, uint32_t floatsPerEntry, float** array, uint16_t* count) {
    uint16_t entries;
    if (!ReadU16(&data, &entries)) return 0;
    free(*array);
    *count = 0;
    if (!AllocateModelArray(array, size_t{entries} * floatsPerEntry)) return 0;
    if (!ReadF32Array(&data, *array, uint32_t{entries} * floatsPerEntry)) return 0;
    *count = entries;
    return 1;
}

int ReadFaceMaterial(ChunkCursor data, Mesh* mesh) {
    if (data.pos == data.end) return 1;
    Chunk group;
    if (!ReadChunk(&data, &group)) return 0;
    if (group.id != kChunkFaceMaterial) return 1;
    ChunkCursor name = ChunkData(data.file, group);
    memset(mesh->materialName, 0, sizeof mesh->materialName);
    ReadString(&name, mesh->materialName, kMaterialNameBytes);
    CleanName(mesh->materialName);
    return 1;
}

int ReadFaceList(ChunkCursor data, Mesh* mesh) {
    uint16_t count;
    if (!ReadU16(&data, &count)) return 0;
    free(mesh->faces);
    mesh->faceCount = 0;
    if (!AllocateModelArray(&mesh->faces, size_t{count} * 3)) return 0;
    uint8_t block[kFileFaceBytes * kFacesPerBlock];
    for (uint32_t done = 0; done < count;) {
        uint32_t n = count - done < kFacesPerBlock ? count - done : kFacesPerBlock;
        if (!ReadBytes(&data, block, n * kFileFaceBytes)) return 0;
        for (uint32_t i = 0; i < n; ++i) {
            const uint8_t* entry = block + i * kFileFaceBytes;
            uint16_t* face = mesh->faces + 3 * (done + i);
            face[0] = LoadU16(entry);
            face[1] = LoadU16(entry + 2);
            face[2] = LoadU16(entry + 4);
        }
        done += n;
    }
    mesh->faceCount = count;
    // Only the first nested chunk counts: the group naming the material.
    return ReadFaceMaterial(data, mesh);
}

// The renderer reads every per-vertex array by face index, so each index must
// name a vertex and the mapping coordinates, when present, must pair one to
// one with the vertices.
int MeshIsUsable(const Mesh& mesh, int hasVertexList) {
    if (!hasVertexList) return 0;
    if (mesh.texCoordCount != 0 && mesh.texCoordCount != mesh.vertexCount) return 0;
    for (uint32_t i = 0; i < uint32_t{mesh.faceCount} * 3; ++i)
        if (mesh.faces[i] >= mesh.vertexCount) return 0;
    return 1;
}

}  // namespace

MeshReadResult ReadTriangleMesh(ChunkFile* file, const Chunk& meshChunk, Mesh* mesh) {
    int hasVertexList = 0;
    ChunkCursor children = ChunkData(file, meshChunk);
    while (children.pos < children.end) {
        Chunk child;
        if (!ReadChunk(&children, &child)) return kMeshBroken;
        ChunkCursor data = ChunkData(file, child);
        int ok = 1;
        switch (child.id) {
            case kChunkVertexList:
                ok = ReadFloatList(data, 3, &mesh->positions, &mesh->vertexCount);
                hasVertexList = 1;
                break;
            case kChunkFaceList:
                ok = ReadFaceList(data, mesh);
                break;
            case kChunkMappingCoords:
                ok = ReadFloatList(data, 2, &mesh->texCoords, &mesh->texCoordCount);
                break;
            default:  // smoothing groups, local axes and the like are not used
                break;
        }
        if (!ok) return kMeshBroken;
    }
    return MeshIsUsable(*mesh, hasVertexList) ? kMeshRead : kMeshUnusable;
}

void FreeMeshArrays(Mesh* mesh) {
    free(mesh->positions);
    free(mesh->faces);
    free(mesh->texCoords);
    free(mesh->tangents);
    free(mesh->binormals);
    free(mesh->normals);
    mesh->positions = nullptr;
    mesh->faces = nullptr;
    mesh->texCoords = nullptr;
    mesh->tangents = nullptr;
    mesh->binormals = nullptr;
    mesh->normals = nullptr;
}
