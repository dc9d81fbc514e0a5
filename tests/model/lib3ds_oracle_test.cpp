// lib3ds, an independent 3DS reader and writer, checks ours: both read the
// same files (written by our chunk writer and by lib3ds's own writer) and
// must agree on every mesh's vertices, faces and mapping coordinates.
#include <gtest/gtest.h>
#include <lib3ds/file.h>
#include <lib3ds/mesh.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/model.h"
#include "tests/model/chunk_writer.h"
#include "tests/model/model_test_util.h"

namespace {

// Small deterministic generator, so every run checks the same files.
struct Random {
    uint32_t state;
};

uint32_t Next(Random* r) {
    r->state = r->state * 1664525u + 1013904223u;
    return r->state >> 8;
}

float NextFloat(Random* r) {
    return static_cast<float>(Next(r) % 200001) / 1000.0f - 100.0f;
}

TestMesh RandomMesh(Random* r, const std::string& name, int vertexCount, int faceCount,
                    bool mapped) {
    TestMesh mesh;
    mesh.name = name;
    for (int i = 0; i < vertexCount * 3; ++i)
        mesh.positions.push_back(NextFloat(r));
    for (int i = 0; i < faceCount * 3; ++i)
        mesh.faces.push_back(static_cast<uint16_t>(Next(r) % vertexCount));
    if (mapped)
        for (int i = 0; i < vertexCount * 2; ++i)
            mesh.texCoords.push_back(NextFloat(r) / 50.0f);
    return mesh;
}

std::vector<TestMesh> RandomMeshes(uint32_t seed) {
    Random r = {seed};
    std::vector<TestMesh> meshes;
    meshes.push_back(RandomMesh(&r, "Alpha", 3, 1, true));
    meshes.push_back(RandomMesh(&r, "Bravo", 200, 390, false));
    meshes.push_back(RandomMesh(&r, "Charlie", 5000, 9000, true));
    meshes.push_back(RandomMesh(&r, "Delta", 1, 0, true));
    meshes.push_back(RandomMesh(&r, "Echo", 65535, 700, true));
    return meshes;
}

// Compares what both readers made of one file, mesh by mesh, matched by name.
void ExpectReadersAgree(const std::string& path, size_t expectedMeshes) {
    Lib3dsFile* oracle = lib3ds_file_load(path.c_str());
    ASSERT_NE(nullptr, oracle);
    Model model{};
    ASSERT_EQ(1, Load3ds(&model, path.c_str()));
    size_t oracleMeshes = 0;
    for (Lib3dsMesh* theirs = oracle->meshes; theirs != nullptr; theirs = theirs->next) {
        ++oracleMeshes;
        SCOPED_TRACE(theirs->name);
        const Mesh* ours = nullptr;
        for (int i = 0; i < model.meshCount; ++i)
            if (strcmp(model.meshes[i].name, theirs->name) == 0) ours = &model.meshes[i];
        ASSERT_NE(nullptr, ours);
        ASSERT_EQ(theirs->points, ours->vertexCount);
        ASSERT_EQ(theirs->faces, ours->faceCount);
        ASSERT_EQ(theirs->texels, ours->texCoordCount);
        for (uint32_t i = 0; i < theirs->points; ++i)
            for (int k = 0; k < 3; ++k)
                ASSERT_EQ(theirs->pointL[i].pos[k], ours->positions[3 * i + k]) << i;
        for (uint32_t i = 0; i < theirs->faces; ++i)
            for (int k = 0; k < 3; ++k)
                ASSERT_EQ(theirs->faceL[i].points[k], ours->faces[3 * i + k]) << i;
        for (uint32_t i = 0; i < theirs->texels; ++i)
            for (int k = 0; k < 2; ++k)
                ASSERT_EQ(theirs->texelL[i][k], ours->texCoords[2 * i + k]) << i;
    }
    EXPECT_EQ(expectedMeshes, oracleMeshes);
    EXPECT_EQ(static_cast<int>(expectedMeshes), model.meshCount);
    FreeModel(&model);
    lib3ds_file_free(oracle);
}

}  // namespace

TEST(Lib3dsOracle, AgreesOnFilesFromOurWriter) {
    std::vector<TestMesh> meshes = RandomMeshes(1);
    ChunkWriter w;
    BeginModelFile(&w);
    PutMaterial(&w, "red");
    meshes[1].materialName = "red";
    for (const TestMesh& mesh : meshes)
        PutMeshObject(&w, mesh);
    PutLightObject(&w, "Lamp", 1, 2, 3);
    EndModelFile(&w);
    std::string path = TempPath("ours.3ds");
    ASSERT_TRUE(WriteChunkFile(w, path));
    ExpectReadersAgree(path, meshes.size());
    remove(path.c_str());
}

TEST(Lib3dsOracle, AgreesOnFilesFromLib3dsWriter) {
    std::vector<TestMesh> meshes = RandomMeshes(2);
    Lib3dsFile* file = lib3ds_file_new();
    ASSERT_NE(nullptr, file);
    for (const TestMesh& source : meshes) {
        Lib3dsMesh* mesh = lib3ds_mesh_new(source.name.c_str());
        uint32_t points = static_cast<uint32_t>(source.positions.size() / 3);
        uint32_t faces = static_cast<uint32_t>(source.faces.size() / 3);
        uint32_t texels = static_cast<uint32_t>(source.texCoords.size() / 2);
        ASSERT_TRUE(lib3ds_mesh_new_point_list(mesh, points));
        for (uint32_t i = 0; i < points; ++i)
            for (int k = 0; k < 3; ++k)
                mesh->pointL[i].pos[k] = source.positions[3 * i + k];
        ASSERT_TRUE(lib3ds_mesh_new_face_list(mesh, faces));
        for (uint32_t i = 0; i < faces; ++i)
            for (int k = 0; k < 3; ++k)
                mesh->faceL[i].points[k] = source.faces[3 * i + k];
        if (texels != 0) {
            ASSERT_TRUE(lib3ds_mesh_new_texel_list(mesh, texels));
            for (uint32_t i = 0; i < texels; ++i)
                for (int k = 0; k < 2; ++k)
                    mesh->texelL[i][k] = source.texCoords[2 * i + k];
        }
        lib3ds_file_insert_mesh(file, mesh);
    }
    std::string path = TempPath("lib3ds.3ds");
    ASSERT_TRUE(lib3ds_file_save(file, path.c_str()));
    lib3ds_file_free(file);

    // Our reader against the data as it went in...
    Model model{};
    ASSERT_EQ(1, Load3ds(&model, path.c_str()));
    ASSERT_EQ(static_cast<int>(meshes.size()), model.meshCount);
    for (const TestMesh& source : meshes) {
        SCOPED_TRACE(source.name);
        const Mesh* ours = nullptr;
        for (int i = 0; i < model.meshCount; ++i)
            if (source.name == model.meshes[i].name) ours = &model.meshes[i];
        ASSERT_NE(nullptr, ours);
        ASSERT_EQ(source.positions.size(), size_t{ours->vertexCount} * 3);
        for (size_t i = 0; i < source.positions.size(); ++i)
            ASSERT_EQ(source.positions[i], ours->positions[i]) << i;
        ASSERT_EQ(source.faces.size(), size_t{ours->faceCount} * 3);
        for (size_t i = 0; i < source.faces.size(); ++i)
            ASSERT_EQ(source.faces[i], ours->faces[i]) << i;
        ASSERT_EQ(source.texCoords.size(), size_t{ours->texCoordCount} * 2);
        for (size_t i = 0; i < source.texCoords.size(); ++i)
            ASSERT_EQ(source.texCoords[i], ours->texCoords[i]) << i;
    }
    FreeModel(&model);
    // ... and against lib3ds reading it back.
    ExpectReadersAgree(path, meshes.size());
    remove(path.c_str());
}
