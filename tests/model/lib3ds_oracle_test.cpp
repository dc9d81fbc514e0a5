// lib3ds, an independent 3DS reader and writer, checks ours: on files from our
// chunk writer and from lib3ds's own writer, both readers and the data as it
// went in must agree on every mesh's vertices, faces and mapping.
#include <gtest/gtest.h>
#include <lib3ds/file.h>
#include <lib3ds/mesh.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/model.h"
#include "tests/model/chunk_writer.h"

namespace {

// Meshes from one to 65,535 vertices, with and without mapping, from a fixed
// linear congruential sequence.
std::vector<TestMesh> RandomMeshes(uint32_t state) {
    auto next = [&state] { return (state = state * 1664525u + 1013904223u) >> 8; };
    const struct {
        const char* name;
        int vertices, faces;
        bool mapped;
    } shapes[] = {{"Alpha", 3, 1, true},
                  {"Bravo", 200, 390, false},
                  {"Charlie", 5000, 9000, true},
                  {"Delta", 1, 0, true},
                  {"Echo", 65535, 700, true}};
    std::vector<TestMesh> meshes;
    for (const auto& s : shapes) {
        TestMesh m = {s.name, {}, {}, {}, ""};
        for (int i = 0; i < s.vertices * 3; ++i)
            m.positions.push_back(static_cast<float>(next() % 200001) / 1000.0f - 100.0f);
        for (int i = 0; i < s.faces * 3; ++i)
            m.faces.push_back(static_cast<uint16_t>(next() % s.vertices));
        for (int i = 0; s.mapped && i < s.vertices * 2; ++i)
            m.texCoords.push_back(static_cast<float>(next() % 20001) / 1000.0f - 10.0f);
        meshes.push_back(m);
    }
    return meshes;
}

std::vector<TestMesh> MeshesOfLib3ds(Lib3dsFile* file) {
    std::vector<TestMesh> meshes;
    for (Lib3dsMesh* m = file->meshes; m != nullptr; m = m->next) {
        TestMesh t = {m->name, {}, {}, {}, ""};
        for (uint32_t i = 0; i < m->points; ++i)
            t.positions.insert(t.positions.end(), m->pointL[i].pos, m->pointL[i].pos + 3);
        for (uint32_t i = 0; i < m->faces; ++i)
            t.faces.insert(t.faces.end(), m->faceL[i].points, m->faceL[i].points + 3);
        for (uint32_t i = 0; i < m->texels; ++i)
            t.texCoords.insert(t.texCoords.end(), m->texelL[i], m->texelL[i] + 2);
        meshes.push_back(t);
    }
    return meshes;
}

// Compares our model with the expected meshes, matched by name.
void ExpectModelHolds(const Model& model, const std::vector<TestMesh>& expected) {
    ASSERT_EQ(static_cast<int>(expected.size()), model.meshCount);
    for (const TestMesh& e : expected) {
        SCOPED_TRACE(e.name);
        const Mesh* m = model.meshes;
        while (m != model.meshes + model.meshCount && e.name != m->name)
            ++m;
        ASSERT_NE(model.meshes + model.meshCount, m);
        EXPECT_EQ(e.positions, std::vector<float>(m->positions, m->positions + 3 * m->vertexCount));
        EXPECT_EQ(e.faces, std::vector<uint16_t>(m->faces, m->faces + 3 * m->faceCount));
        EXPECT_EQ(e.texCoords,
                  std::vector<float>(m->texCoords, m->texCoords + 2 * m->texCoordCount));
    }
}

// Loads the file with both readers and checks them against each other and the source.
void ExpectReadersAgree(const std::string& path, const std::vector<TestMesh>& source) {
    Lib3dsFile* oracle = lib3ds_file_load(path.c_str());
    ASSERT_NE(nullptr, oracle);
    Model model{};
    EXPECT_EQ(1, Load3ds(&model, path.c_str()));
    ExpectModelHolds(model, source);
    ExpectModelHolds(model, MeshesOfLib3ds(oracle));
    FreeModel(&model);
    lib3ds_file_free(oracle);
}

}  // namespace

TEST(Lib3dsOracle, AgreesOnFilesFromOurWriter) {
    std::vector<TestMesh> meshes = RandomMeshes(1);
    meshes[1].materialName = "red";
    Bytes objects = Cat({MakeChunk(0xAFFF, {MakeChunk(0xA000, {Str("red")})}),
                         Object("Lamp", {MakeChunk(0x4600, {F32({1, 2, 3})})})});
    for (const TestMesh& m : meshes)
        objects = Cat({objects, MeshObject(m)});
    std::string path = TempPath("ours.3ds");
    ASSERT_TRUE(WriteChunkFile(ModelFile({objects}), path));
    ExpectReadersAgree(path, meshes);
    remove(path.c_str());
}

TEST(Lib3dsOracle, AgreesOnFilesFromLib3dsWriter) {
    std::vector<TestMesh> meshes = RandomMeshes(2);
    Lib3dsFile* file = lib3ds_file_new();
    for (const TestMesh& source : meshes) {
        Lib3dsMesh* mesh = lib3ds_mesh_new(source.name.c_str());
        ASSERT_TRUE(lib3ds_mesh_new_point_list(mesh, source.positions.size() / 3));
        for (size_t i = 0; i < source.positions.size(); ++i)
            mesh->pointL[i / 3].pos[i % 3] = source.positions[i];
        ASSERT_TRUE(lib3ds_mesh_new_face_list(mesh, source.faces.size() / 3));
        for (size_t i = 0; i < source.faces.size(); ++i)
            mesh->faceL[i / 3].points[i % 3] = source.faces[i];
        ASSERT_TRUE(source.texCoords.empty() ||
                    lib3ds_mesh_new_texel_list(mesh, source.texCoords.size() / 2));
        for (size_t i = 0; i < source.texCoords.size(); ++i)
            mesh->texelL[i / 2][i % 2] = source.texCoords[i];
        lib3ds_file_insert_mesh(file, mesh);
    }
    std::string path = TempPath("lib3ds.3ds");
    ASSERT_TRUE(lib3ds_file_save(file, path.c_str()));
    lib3ds_file_free(file);
    ExpectReadersAgree(path, meshes);
    remove(path.c_str());
}
