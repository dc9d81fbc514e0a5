// Loading a 3DS mesh of 65,535 vertices and 65,535 faces with mapping
// coordinates: Load3ds (reading plus normals, tangent frame and bounds) side
// by side with lib3ds's bare load of the same file; and the same mesh with a
// smoothing list, all in one group (nothing splits) and all flat (every
// vertex splits, 196,605 corners in three meshes).
#include <benchmark/benchmark.h>
#include <lib3ds/file.h>
#include <lib3ds/mesh.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/model.h"
#include "tests/model/chunk_writer.h"

namespace {

constexpr int kVertices = 65535;
constexpr int kFaces = 65535;
constexpr int kColumns = 255;  // a 255 x 257 grid of vertices

// A gently waved grid, so the normals and tangents are not all alike; with
// every face's mask when smoothing is given.
std::string WriteGridFile(const uint32_t* smoothing) {
    TestMesh mesh;
    mesh.name = "grid";
    for (int i = 0; i < kVertices; ++i) {
        float x = static_cast<float>(i % kColumns);
        float y = static_cast<float>(i / kColumns);
        mesh.positions.insert(mesh.positions.end(),
                              {x, y, std::sin(x * 0.1f) * std::cos(y * 0.1f)});
        mesh.texCoords.insert(mesh.texCoords.end(), {x / kColumns, y / 257.0f});
    }
    for (int quad = 0; static_cast<int>(mesh.faces.size()) < kFaces * 3; ++quad) {
        int row = quad / (kColumns - 1), column = quad % (kColumns - 1);
        uint16_t a = static_cast<uint16_t>(row * kColumns + column);
        uint16_t b = static_cast<uint16_t>(a + 1), c = static_cast<uint16_t>(a + kColumns);
        uint16_t d = static_cast<uint16_t>(c + 1);
        mesh.faces.insert(mesh.faces.end(), {a, b, d});
        if (static_cast<int>(mesh.faces.size()) < kFaces * 3)
            mesh.faces.insert(mesh.faces.end(), {a, d, c});
    }
    if (smoothing != nullptr) mesh.smoothing.assign(kFaces, *smoothing);
    ChunkWriter w;
    BeginModelFile(&w);
    PutMeshObject(&w, mesh);
    EndModelFile(&w);
    const char* dir = getenv("TMPDIR");
    std::string pattern = std::string(dir != nullptr ? dir : "/tmp") + "/bench_3ds_XXXXXX";
    int fd = mkstemp(&pattern[0]);
    if (fd < 0 || close(fd) != 0 || !WriteChunkFile(w, pattern)) abort();
    return pattern;
}

const uint32_t kOneGroup = 1, kFlat = 0;

const std::string& GridFile(const uint32_t* smoothing = nullptr) {
    static const std::string plain = WriteGridFile(nullptr), smooth = WriteGridFile(&kOneGroup),
                             flat = WriteGridFile(&kFlat);
    return smoothing == nullptr ? plain : *smoothing == kOneGroup ? smooth : flat;
}

// Prepared vertices: the grid's, or the corners of the flat grid's faces
// bar the few its two corner vertices share.
void LoadGrid(benchmark::State& state, const uint32_t* smoothing, int32_t vertices) {
    const char* path = GridFile(smoothing).c_str();
    for (auto _ : state) {
        Model model{};
        if (Load3ds(&model, path) != 1 || model.vertexTotal < vertices || model.faceTotal != kFaces)
            state.SkipWithError("Load3ds failed");
        benchmark::DoNotOptimize(model.meshes);
        FreeModel(&model);
    }
}

void BM_Load3ds(benchmark::State& state) {
    LoadGrid(state, nullptr, kVertices);
}
BENCHMARK(BM_Load3ds)->Unit(benchmark::kMillisecond);

void BM_Load3dsOneSmoothingGroup(benchmark::State& state) {
    LoadGrid(state, &kOneGroup, kVertices);
}
BENCHMARK(BM_Load3dsOneSmoothingGroup)->Unit(benchmark::kMillisecond);

void BM_Load3dsFlatSmoothingList(benchmark::State& state) {
    LoadGrid(state, &kFlat, 3 * kFaces / 2);
}
BENCHMARK(BM_Load3dsFlatSmoothingList)->Unit(benchmark::kMillisecond);

void BM_Lib3dsLoad(benchmark::State& state) {
    const char* path = GridFile().c_str();
    for (auto _ : state) {
        Lib3dsFile* file = lib3ds_file_load(path);
        if (file == nullptr || file->meshes == nullptr || file->meshes->points != kVertices)
            state.SkipWithError("lib3ds_file_load failed");
        benchmark::DoNotOptimize(file);
        if (file != nullptr) lib3ds_file_free(file);
    }
}
BENCHMARK(BM_Lib3dsLoad)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    GridFile();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    remove(GridFile().c_str());
    remove(GridFile(&kOneGroup).c_str());
    remove(GridFile(&kFlat).c_str());
    return 0;
}
