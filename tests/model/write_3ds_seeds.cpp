// write_3ds_seeds DIR: writes the seed corpus of the 3DS fuzz target with the
// tests' chunk writer. Each seed exercises another branch of the reader.
#include <cmath>
#include <cstdio>
#include <string>

#include "tests/model/chunk_writer.h"

namespace {

void Save(const std::string& dir, const char* name, const ChunkWriter& w) {
    std::string path = dir + "/" + name;
    if (!WriteChunkFile(w, path)) fprintf(stderr, "cannot write %s\n", path.c_str());
}

ChunkWriter WithEditor(void (*put)(ChunkWriter*)) {
    ChunkWriter w;
    BeginModelFile(&w);
    put(&w);
    EndModelFile(&w);
    return w;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fputs("usage: write_3ds_seeds DIR\n", stderr);
        return 2;
    }
    std::string dir = argv[1];
    Save(dir, "sample.3ds", SampleModelFile());
    Save(dir, "plain_quad.3ds", WithEditor([](ChunkWriter* w) {
             TestMesh mesh = QuadMesh("12 box");
             mesh.texCoords.clear();
             PutMeshObject(w, mesh);
         }));
    Save(dir, "shared_material.3ds", WithEditor([](ChunkWriter* w) {
             PutMaterial(w, "1 red");
             PutMaterial(w, "1 red");
             TestMesh a = QuadMesh("a-b.c");
             a.materialName = "1 red";
             PutMeshObject(w, a);
             TestMesh b = QuadMesh("b");
             b.materialName = "none";
             PutMeshObject(w, b);
         }));
    Save(dir, "float_material.3ds", WithEditor([](ChunkWriter* w) {
             BeginChunk(w, 0xAFFF);
             PutMaterialName(w, "glass");
             PutColorFloatChunk(w, 0xA010, 0.1f, 0.2f, 0.3f);
             PutColorFloatChunk(w, 0xA030, 1, 1, 1);
             PutPercentFloatChunk(w, 0xA040, 0.25f);
             PutPercentFloatChunk(w, 0xA050, 0.75f);
             BeginChunk(w, 0xA200);
             BeginChunk(w, 0x0031);
             PutF32(w, 50);
             EndChunk(w);
             BeginChunk(w, 0xA300);
             PutString(w, "glass.jpg");
             EndChunk(w);
             EndChunk(w);
             EndChunk(w);
         }));
    Save(dir, "lights_cameras.3ds", WithEditor([](ChunkWriter* w) {
             PutLightObject(w, "sun", 1, 2, 3);
             BeginChunk(w, 0x4000);
             PutString(w, "fill");
             BeginChunk(w, 0x4600);
             PutF32(w, 0);
             PutF32(w, 0);
             PutF32(w, 0);
             PutColorFloatChunk(w, 0x0010, 0.5f, 0.5f, 0.5f);
             EndChunk(w);
             EndChunk(w);
             const float camera[8] = {0, -10, 0, 0, 0, 0, 0, 35};
             PutCameraObject(w, "view", camera);
         }));
    Save(dir, "other_objects.3ds", WithEditor([](ChunkWriter* w) {
             BeginChunk(w, 0x4000);
             PutString(w, "hidden");
             BeginChunk(w, 0x4010);
             EndChunk(w);
             EndChunk(w);
             BeginChunk(w, 0x4000);
             PutRaw(w, "twenty_bytes_no_zero", 20);
             BeginChunk(w, 0x4100);
             PutVertexList(w, {0, 0, 0});
             EndChunk(w);
             EndChunk(w);
             PutMeshObject(w, QuadMesh("shown"));
         }));
    Save(dir, "degenerate_mapping.3ds", WithEditor([](ChunkWriter* w) {
             TestMesh mesh;
             mesh.name = "flat";
             mesh.positions = {0, 0, 0, 1, 0, 0, 0, 1, 0, 5, 5, 5, NAN, 1, 1e30f};
             mesh.faces = {0, 0, 0, 0, 1, 2, 2, 1, 0, 0, 1, 3};
             mesh.texCoords = {0, 0, 0, 0, 0, 0, 1, 1, 2, 2};
             PutMeshObject(w, mesh);
         }));
    Save(dir, "unusable_meshes.3ds", WithEditor([](ChunkWriter* w) {
             TestMesh bad = QuadMesh("index");
             bad.faces[5] = 4;
             PutMeshObject(w, bad);
             TestMesh mapping = QuadMesh("mapping");
             mapping.texCoords.resize(6);
             PutMeshObject(w, mapping);
             BeginChunk(w, 0x4000);
             PutString(w, "novertices");
             BeginChunk(w, 0x4100);
             PutFaceList(w, {0, 1, 2}, "");
             EndChunk(w);
             EndChunk(w);
         }));
    ChunkWriter bare;
    BeginModelFile(&bare);
    EndModelFile(&bare);
    Save(dir, "empty_editor.3ds", bare);
    ChunkWriter zero = SampleModelFile();
    SetChunkLength(&zero, 6, 0);  // the version chunk after main
    Save(dir, "zero_length.3ds", zero);
    return 0;
}
