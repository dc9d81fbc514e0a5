#include <cstdlib>
#include <cstring>

#include "model/mesh_prep.h"
#include "model/mesh_smoothing.h"
#include "model/model.h"
#include "model/model_memory.h"
#include "model/read_3ds.h"

namespace {

// The editor chunk must be among the first 199 top-level chunks.
constexpr int kMaxChunksBeforeEditor = 199;
// Capacity of each catalogue list, and the number of chunks the catalogue
// scan examines.
constexpr int kCatalogueSize = 300;
// An object name takes at most 20 bytes, its zero included.
constexpr uint32_t kObjectNameBytes = 20;

struct ChunkList {
    int32_t count;
    Chunk chunks[kCatalogueSize];
};

// Where the objects and materials lie, gathered in one scan before any of them
// is read; scratch space of one load.
struct Catalogue {
    ChunkList meshes;
    char meshNames[kCatalogueSize][kObjectNameBytes];
    ChunkList lights;
    ChunkList cameras;
    ChunkList materials;
};

void Append(ChunkList* list, const Chunk& chunk) {
    if (list->count < kCatalogueSize) list->chunks[list->count++] = chunk;
}

int FindEditor(ChunkCursor topLevel, Chunk* editor) {
    for (int examined = 1; topLevel.pos < topLevel.end; ++examined) {
        if (examined > kMaxChunksBeforeEditor) return 0;
        if (!ReadChunk(&topLevel, editor)) return 0;
        if (editor->id == kChunkEditor) return 1;
    }
    return 0;
}

// The first child of a named object decides its kind; only triangle meshes
// keep their name.
int CatalogueObject(ChunkFile* file, const Chunk& object, Catalogue* catalogue) {
    if (catalogue->meshes.count >= kCatalogueSize) return 1;
    ChunkCursor data = ChunkData(file, object);
    char name[kObjectNameBytes + 1];
    // Without a zero within its 20 bytes the name hides where the first child
    // starts; such an object is passed over.
    if (!ReadString(&data, name, kObjectNameBytes)) return 1;
    if (data.pos == data.end) return 1;
    Chunk first;
    if (!ReadChunk(&data, &first)) return 0;
    switch (first.id) {
        case kChunkTriangleMesh:
            CleanName(name);
            if (name[0] >= '0' && name[0] <= '9') name[0] = 'N';
            memcpy(catalogue->meshNames[catalogue->meshes.count], name, kObjectNameBytes);
            Append(&catalogue->meshes, first);
            break;
        case kChunkLight:
            Append(&catalogue->lights, first);
            break;
        case kChunkCamera:
            Append(&catalogue->cameras, first);
            break;
        default:
            break;
    }
    return 1;
}

// Walks the editor's children and then, at the same level, the top-level
// chunks after the editor (the keyframer section, say), up to 300 chunks.
int ScanCatalogue(ChunkFile* file, const Chunk& main, const Chunk& editor, Catalogue* catalogue) {
    uint32_t pos = editor.start + kChunkHeaderSize;
    for (int examined = 0; examined < kCatalogueSize && pos < main.end; ++examined) {
        ChunkCursor level = {file, pos, pos < editor.end ? editor.end : main.end};
        Chunk chunk;
        if (!ReadChunk(&level, &chunk)) return 0;
        pos = chunk.end;
        if (chunk.id == kChunkNamedObject && !CatalogueObject(file, chunk, catalogue)) return 0;
        if (chunk.id == kChunkMaterial) Append(&catalogue->materials, chunk);
    }
    return 1;
}

// Meshes that cannot be drawn safely are left out; the rest keep file order.
int ReadMeshes(ChunkFile* file, const Catalogue& catalogue, Model* model) {
    if (!AllocateModelArray(&model->meshes, catalogue.meshes.count)) return 0;
    for (int32_t i = 0; i < catalogue.meshes.count; ++i) {
        Mesh* mesh = &model->meshes[model->meshCount];
        MeshReadResult result = ReadTriangleMesh(file, catalogue.meshes.chunks[i], mesh);
        if (result == kMeshRead) {
            memcpy(mesh->name, catalogue.meshNames[i], kObjectNameBytes);
            ++model->meshCount;
            continue;
        }
        FreeMeshArrays(mesh);
        *mesh = Mesh{};
        if (result == kMeshBroken) return 0;
    }
    return 1;
}

template <typename Record>
int ReadRecords(ChunkFile* file, const ChunkList& list, Record** records, int32_t* count,
                int (*read)(ChunkFile*, const Chunk&, Record*)) {
    if (!AllocateModelArray(records, list.count)) return 0;
    *count = list.count;
    for (int32_t i = 0; i < list.count; ++i)
        if (!read(file, list.chunks[i], &(*records)[i])) return 0;
    return 1;
}

int ReadModel(ChunkFile* file, Model* model) {
    ChunkCursor whole = {file, 0, file->size};
    Chunk main;
    if (!ReadChunk(&whole, &main)) return 0;
    if (main.id != kChunkMain) return 0;
    if (main.end - main.start <= kChunkHeaderSize) return 0;
    Chunk editor;
    if (!FindEditor(ChunkData(file, main), &editor)) return 0;
    Catalogue catalogue = {};
    return ScanCatalogue(file, main, editor, &catalogue) && ReadMeshes(file, catalogue, model) &&
           ReadRecords(file, catalogue.materials, &model->materials, &model->materialCount,
                       ReadMaterial) &&
           ReadRecords(file, catalogue.lights, &model->lights, &model->lightCount, ReadLight) &&
           ReadRecords(file, catalogue.cameras, &model->cameras, &model->cameraCount, ReadCamera);
}

// The last material of a matching name wins. A mesh without a face-material
// group names no material and gets -1, as does a name that matches none.
void BindMaterials(Model* model) {
    for (int32_t i = 0; i < model->meshCount; ++i) {
        Mesh* mesh = &model->meshes[i];
        mesh->materialIndex = -1;
        if (mesh->materialName[0] == '\0') continue;
        for (int32_t j = 0; j < model->materialCount; ++j)
            if (strcmp(mesh->materialName, model->materials[j].name) == 0) mesh->materialIndex = j;
    }
}

// A mesh with a smoothing list may become several meshes in its place.
int PrepareMeshes(Model* model) {
    for (int32_t i = 0; i < model->meshCount;) {
        Mesh* mesh = &model->meshes[i];
        int32_t pieces = 1;
        if (mesh->smoothing != nullptr) {
            if (!PrepareSmoothedMesh(model, i, &pieces)) return 0;
        } else if (!ComputeNormals(mesh) || !ComputeTangentSpace(mesh)) {
            return 0;
        }
        i += pieces;
    }
    ComputeBounds(model);
    return 1;
}

}  // namespace

int Load3ds(Model* model, const char* fileName) {
    *model = Model{};
    ChunkFile file;
    if (!OpenChunkFile(&file, fileName)) return 0;
    int ok = ReadModel(&file, model);
    CloseChunkFile(&file);
    if (ok) {
        BindMaterials(model);
        ok = PrepareMeshes(model);
    }
    if (!ok) {
        FreeModel(model);
        *model = Model{};
    }
    return ok;
}

void FreeModel(Model* model) {
    if (model->meshes != nullptr) {
        for (int32_t i = 0; i < model->meshCount; ++i)
            FreeMeshArrays(&model->meshes[i]);
        free(model->meshes);
        model->meshes = nullptr;
    }
    free(model->cameras);
    free(model->lights);
    free(model->materials);
    model->cameras = nullptr;
    model->lights = nullptr;
    model->materials = nullptr;
    model->meshCount = 0;
    model->materialCount = 0;
    model->cameraCount = 0;
    model->lightCount = 0;
}
