// lib3ds, an independent 3DS reader and writer, checks ours: on files from both
// writers, both readers and the source data agree on vertices, faces and mapping.
#include <gtest/gtest.h>
#include <lib3ds/file.h>
#include <lib3ds/mesh.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "model/model.h"
#include "tests/model/chunk_writer.h"

namespace {

// Meshes of 1 to 65,535 vertices from a fixed linear congruential sequence;
// only "Bravo" has no mapping.
std::vector<TestMesh> RandomMeshes(uint32_t state) {
    auto next = [&state] { return (state = state * 1664525u + 1013904223u) >> 8; };
    const char* names[] = {"Alpha", "Bravo", "Charlie", "Delta", "Echo"};
    const int vertices[] = {3, 200, 5000, 1, 65535}, faces[] = {1, 390, 9000, 0, 700};
    std::vector<TestMesh> meshes;
    for (int k = 0; k < 5; ++k) {
        TestMesh m = {names[k], {}, {}, {}, ""};
        for (int i = 0; i < vertices[k] * 3; ++i)
            m.positions.push_back(static_cast<float>(next() % 200001) / 1000.0f - 100.0f);
        for (int i = 0; i < faces[k] * 3; ++i)
            m.faces.push_back(static_cast<uint16_t>(next() % vertices[k]));
        for (int i = 0; k != 1 && i < vertices[k] * 2; ++i)
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

// Compares our model with the expected meshes; both readers keep the file's
// order, which is by name as lib3ds writes it.
void ExpectModelHolds(const Model& model, const std::vector<TestMesh>& expected) {
    ASSERT_EQ(static_cast<int>(expected.size()), model.meshCount);
    for (const Mesh* m = model.meshes; m != model.meshes + model.meshCount; ++m) {
        const TestMesh& e = expected[m - model.meshes];
        EXPECT_EQ(e.name, m->name);
        EXPECT_EQ(e.positions, std::vector<float>(m->positions, m->positions + 3 * m->vertexCount));
        EXPECT_EQ(e.faces, std::vector<uint16_t>(m->faces, m->faces + 3 * m->faceCount));
        EXPECT_EQ(e.texCoords,
                  std::vector<float>(m->texCoords, m->texCoords + 2 * m->texCoordCount));
    }
}

// Each mesh's corners (position, then mapping) in face order, the pieces of
// a mesh split at 65,535 vertices joined again.
std::vector<std::pair<std::string, std::vector<float>>> Corners(const Model& model) {
    std::vector<std::pair<std::string, std::vector<float>>> meshes;
    for (const Mesh* m = model.meshes; m != model.meshes + model.meshCount; ++m) {
        if (meshes.empty() || meshes.back().first != m->name) meshes.push_back({m->name, {}});
        for (const uint16_t* v = m->faces; v != m->faces + 3 * m->faceCount; ++v) {
            std::vector<float>& c = meshes.back().second;
            c.insert(c.end(), m->positions + 3 * *v, m->positions + 3 * *v + 3);
            if (m->texCoords) c.insert(c.end(), m->texCoords + 2 * *v, m->texCoords + 2 * *v + 2);
        }
    }
    return meshes;
}

// Loads the file with both readers and checks them against each other and the
// source. lib3ds writes a smoothing list of flat faces, whose vertices split:
// those files are compared corner by corner.
void ExpectReadersAgree(const std::string& path, const std::vector<TestMesh>& source, bool split) {
    Lib3dsFile* oracle = lib3ds_file_load(path.c_str());
    ASSERT_NE(nullptr, oracle);
    Model model{}, expected{};
    EXPECT_EQ(1, Load3ds(&model, path.c_str()));
    if (!split) ExpectModelHolds(model, source);
    Bytes objects;
    for (const TestMesh& m : MeshesOfLib3ds(oracle))
        objects = Cat({objects, MeshObject(m)});
    ASSERT_EQ(1, LoadWritten(ModelFile({objects}), &expected));
    ExpectModelHolds(expected, source);
    EXPECT_EQ(Corners(expected), Corners(model));
    FreeModel(&model);
    FreeModel(&expected);
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
    ExpectReadersAgree(path, meshes, false);
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
    ExpectReadersAgree(path, meshes, true);
    remove(path.c_str());
}

// An icosahedron with masks of a few bits, written by lib3ds: we read its
// masks, and each corner gets the normal lib3ds works out from them. lib3ds
// sums the unit normals of the distinct faces at the vertex that share a
// group; with faces of one area and no two alike that is our sum too.
TEST(Lib3dsOracle, SmoothingGroupsWrittenByLib3dsGiveItsNormals) {
    const float g = (1 + std::sqrt(5.0f)) / 2;
    const float points[12][3] = {{-1, g, 0}, {1, g, 0}, {-1, -g, 0}, {1, -g, 0},
                                 {0, -1, g}, {0, 1, g}, {0, -1, -g}, {0, 1, -g},
                                 {g, 0, -1}, {g, 0, 1}, {-g, 0, -1}, {-g, 0, 1}};
    const uint16_t faces[20][3] = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                                   {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                                   {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                                   {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};
    const uint32_t masks[20] = {1,           1,           3, 2, 2, 0, 4, 6, 4,           1,
                                0x80000000u, 0x80000001u, 1, 5, 4, 2, 0, 3, 0x80000000u, 6};
    Lib3dsFile* file = lib3ds_file_new();
    Lib3dsMesh* mesh = lib3ds_mesh_new("ico");
    ASSERT_TRUE(lib3ds_mesh_new_point_list(mesh, 12) && lib3ds_mesh_new_face_list(mesh, 20));
    for (int i = 0; i < 12; ++i)
        memcpy(mesh->pointL[i].pos, points[i], sizeof points[i]);
    for (int f = 0; f < 20; ++f) {
        memcpy(mesh->faceL[f].points, faces[f], sizeof faces[f]);
        mesh->faceL[f].smoothing = masks[f];
    }
    lib3ds_file_insert_mesh(file, mesh);
    std::string path = TempPath("lib3ds_smooth.3ds");
    ASSERT_TRUE(lib3ds_file_save(file, path.c_str()));
    lib3ds_file_free(file);
    Lib3dsFile* oracle = lib3ds_file_load(path.c_str());
    ASSERT_TRUE(oracle != nullptr && oracle->meshes != nullptr);
    std::vector<Lib3dsVector> normals(60);
    lib3ds_mesh_calculate_normals(oracle->meshes, normals.data());
    Model model{};
    ASSERT_EQ(1, Load3ds(&model, path.c_str()));
    ASSERT_EQ(1, model.meshCount);
    const Mesh& m = model.meshes[0];
    ASSERT_EQ(20, m.faceCount);
    for (int f = 0; f < 20; ++f)
        EXPECT_EQ(oracle->meshes->faceL[f].smoothing, m.smoothing[f]);
    for (int c = 0; c < 60; ++c) {
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(normals[c][k], m.normals[3 * m.faces[c] + k], 1e-5) << c;
    }
    FreeModel(&model);
    lib3ds_file_free(oracle);
    remove(path.c_str());
}
