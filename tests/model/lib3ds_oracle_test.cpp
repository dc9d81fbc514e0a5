// lib3ds, an independent 3DS writer, checks our reader: on its files we agree
// with the source on vertices, faces and mapping.
#include <gtest/gtest.h>
#include <lib3ds/file.h>
#include <lib3ds/mesh.h>

#include <string>
#include <vector>

#include "model/model.h"
#include "tests/model/chunk_writer.h"

namespace {

// Meshes of 1 to 65,535 vertices from a fixed linear congruential sequence;
// only "Bravo" has no mapping. lib3ds writes them by name, and we keep the
// file's order.
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

// Each mesh's corners (position, then mapping) in face order, the pieces of
// a mesh split at 65,535 vertices joined again.
using Corners = std::vector<std::pair<std::string, std::vector<float>>>;
void AddCorners(const char* name, const float* p, const float* st, const uint16_t* faces,
                size_t count, Corners* corners) {
    if (corners->empty() || corners->back().first != name) corners->push_back({name, {}});
    std::vector<float>& c = corners->back().second;
    for (const uint16_t* v = faces; v != faces + count; ++v) {
        c.insert(c.end(), p + 3 * *v, p + 3 * *v + 3);
        if (st != nullptr) c.insert(c.end(), st + 2 * *v, st + 2 * *v + 2);
    }
}
Corners CornersOf(const std::vector<TestMesh>& meshes) {
    Corners c;
    for (const TestMesh& m : meshes)
        AddCorners(m.name.c_str(), m.positions.data(),
                   m.texCoords.empty() ? nullptr : m.texCoords.data(), m.faces.data(),
                   m.faces.size(), &c);
    return c;
}
Corners CornersOf(const Model& model) {
    Corners c;
    for (const Mesh* m = model.meshes; m != model.meshes + model.meshCount; ++m)
        AddCorners(m->name, m->positions, m->texCoords, m->faces, 3 * size_t(m->faceCount), &c);
    return c;
}

}  // namespace

// lib3ds writes a smoothing list of flat faces, whose vertices split: the
// meshes are compared corner by corner.
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
    ASSERT_TRUE(lib3ds_file_save(file, "lib3ds.3ds"));
    lib3ds_file_free(file);
    Model model{};
    EXPECT_EQ(1, Load3ds(&model, "lib3ds.3ds"));
    EXPECT_EQ(CornersOf(meshes), CornersOf(model));
    FreeModel(&model);
}
