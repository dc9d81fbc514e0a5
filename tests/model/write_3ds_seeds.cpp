// write_3ds_seeds DIR: writes the seed corpus of the 3DS fuzz target, each seed
// reaching other branches of the reader.
#include <cmath>
#include <string>

#include "tests/model/chunk_writer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        fputs("usage: write_3ds_seeds DIR\n", stderr);
        return 2;
    }
    TestMesh index = QuadMesh("index"), mapping = QuadMesh("mapping");
    index.faces[5] = 4;
    mapping.texCoords.resize(6);
    TestMesh flat = {"flat",
                     {0, 0, 0, 1, 0, 0, 0, 1, 0, 5, 5, 5, NAN, 1, 1e30f},
                     {0, 0, 0, 0, 1, 2, 2, 1, 0, 0, 1, 3},
                     {0, 0, 0, 0, 0, 0, 1, 1, 2, 2},
                     ""};
    Bytes others = Cat({Object("hidden", {MakeChunk(0x4010)}),
                        MakeChunk(0x4000, {Bytes(20, 'a'), MakeChunk(0x4100)}),
                        Object("novertices", {MakeChunk(0x4100, {FaceList({0, 1, 2})})})});
    const std::pair<const char*, Bytes> seeds[] = {
        {"sample.3ds", SampleModelFile()},
        {"unusable_meshes.3ds", ModelFile({MeshObject(index), MeshObject(mapping), others})},
        {"degenerate_mapping.3ds", ModelFile({MeshObject(flat)})},
        {"empty_editor.3ds", ModelFile({})},
        {"zero_length.3ds", WithLength(SampleModelFile(), 0)},
    };
    int status = 0;
    for (const auto& seed : seeds)
        if (!WriteChunkFile(seed.second, std::string(argv[1]) + "/" + seed.first)) status = 1;
    return status;
}
