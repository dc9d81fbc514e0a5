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

void ReadMaterialName(ChunkCursor name, Mesh* mesh) {
    memset(mesh->materialName, 0, sizeof mesh->materialName);
    ReadString(&name, mesh->materialName, kMaterialNameBytes);
    CleanName(mesh->materialName);
}

// One 32-bit mask per face, in face order. A list shorter than the face list
// cannot serve every face and is passed over; entries past the faces are not
// read. A later list replaces an earlier one.
int ReadSmoothingList(ChunkCursor data, Mesh* mesh) {
    uint32_t count = mesh->faceCount;
    if (count == 0 || (data.end - data.pos) / 4 < count) return 1;
    free(mesh->smoothing);
    if (!AllocateModelArray(&mesh->smoothing, count)) return 0;
    uint8_t block[4 * kFacesPerBlock];
    for (uint32_t done = 0; done < count;) {
        uint32_t n = count - done < kFacesPerBlock ? count - done : kFacesPerBlock;
        if (!ReadBytes(&data, block, 4 * n)) return 0;
        for (uint32_t i = 0; i < n; ++i)
            mesh->smoothing[done + i] = LoadU32(block + 4 * i);
        done += n;
    }
    return 1;
}

// Only the first nested chunk can name the material, as the group naming
// it; the smoothing list counts wherever it lies. A broken first chunk
// breaks the file, as it always has; a broken later one only ends the walk.
int ReadFaceListChildren(ChunkCursor data, Mesh* mesh) {
    for (int first = 1; data.pos < data.end; first = 0) {
        Chunk child;
        if (!ReadChunk(&data, &child)) return !first;
        ChunkCursor body = ChunkData(data.file, child);
        if (first && child.id == kChunkFaceMaterial) ReadMaterialName(body, mesh);
        if (child.id == kChunkSmoothingList && !ReadSmoothingList(body, mesh)) return 0;
    }
    return 1;
}

int ReadFaceList(ChunkCursor data, Mesh* mesh) {
    uint16_t count;
    if (!ReadU16(&data, &count)) return 0;
    free(mesh->faces);
    free(mesh->smoothing);
    mesh->smoothing = nullptr;
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
    return ReadFaceListChildren(data, mesh);
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
            default:  // local axes and the like are not used
                break;
        }
        if (!ok) return kMeshBroken;
    }
    return MeshIsUsable(*mesh, hasVertexList) ? kMeshRead : kMeshUnusable;
}

void FreeMeshArrays(Mesh* mesh) {
    free(mesh->positions);
    free(mesh->faces);
    free(mesh->smoothing);
    free(mesh->texCoords);
    free(mesh->tangents);
    free(mesh->binormals);
    free(mesh->normals);
    mesh->positions = nullptr;
    mesh->faces = nullptr;
    mesh->smoothing = nullptr;
    mesh->texCoords = nullptr;
    mesh->tangents = nullptr;
    mesh->binormals = nullptr;
    mesh->normals = nullptr;
}
