// write_3ds_seeds DIR: writes the seed corpus of the 3DS fuzz target.
#include <cmath>
#include <string>

#include "tests/model/chunk_writer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        fputs("usage: write_3ds_seeds DIR\n", stderr);
        return 2;
    }
    // Face index past the vertices, short mapping, degenerate mapping and NaN.
    TestMesh index = QuadMesh("index"), mapping = QuadMesh("mapping"), flat = QuadMesh("flat");
    index.faces[5] = 4;
    mapping.texCoords.resize(6);
    flat.texCoords.assign(8, 0.0f);
    flat.positions[0] = NAN;
    // A bent quad of two smoothing groups, its vertices split.
    TestMesh smooth = QuadMesh("smooth");
    smooth.positions[8] = 1;
    smooth.smoothing = {1, 2};
    const std::pair<const char*, Bytes> seeds[] = {
        {"sample.3ds", SampleModelFile()},
        {"odd_meshes.3ds",
         SampleModelFile(Cat({MeshObject(index), MeshObject(mapping), MeshObject(flat)}))},
        {"empty_editor.3ds", ModelFile({})},
        {"smoothing.3ds", ModelFile({MeshObject(smooth)})},
    };
    int status = 0;
    for (const auto& seed : seeds)
        if (!WriteChunkFile(seed.second, std::string(argv[1]) + "/" + seed.first)) status = 1;
    return status;
}
