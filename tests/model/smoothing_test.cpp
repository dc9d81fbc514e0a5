// Normals of loaded meshes, every corner against a brute-force sum in double
// precision: by vertex index without a smoothing list, by position and shared
// group bits with one; vertices split per normal and meshes split at 65,535
// vertices with nothing dropped.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "model/model.h"
#include "tests/model/chunk_writer.h"

namespace {

using Vec = std::array<double, 3>;

Vec Cross(const TestMesh& m, size_t face) {
    const float* a = &m.positions[3 * m.faces[3 * face]];
    const float* b = &m.positions[3 * m.faces[3 * face + 1]];
    const float* c = &m.positions[3 * m.faces[3 * face + 2]];
    const Vec e = {b[0] - a[0], b[1] - a[1], b[2] - a[2]},
              g = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    return {e[1] * g[2] - e[2] * g[1], e[2] * g[0] - e[0] * g[2], e[0] * g[1] - e[1] * g[0]};
}

// The area-weighted sum of the normals of the faces that count, made unit:
// without a list (or one shorter than the faces) those with a corner at the
// corner's vertex; with one, the face itself for mask 0, else those with a
// corner at the corner's position and a shared bit.
Vec Reference(const TestMesh& m, size_t corner) {
    const size_t f = corner / 3;
    const bool listed = m.smoothing.size() >= m.faces.size() / 3;
    const bool flat = listed && m.smoothing[f] == 0;
    const float* p = &m.positions[3 * m.faces[corner]];
    Vec n = {0, 0, 0};
    for (size_t g = flat ? f : 0; g < (flat ? f + 1 : m.faces.size() / 3); ++g) {
        bool counts = flat;
        for (int k = 0; k < 3 && !counts; ++k) {
            const uint16_t v = m.faces[3 * g + k];
            counts = listed ? std::equal(p, p + 3, &m.positions[3 * v]) : v == m.faces[corner];
        }
        if (listed && !flat) counts = counts && (m.smoothing[f] & m.smoothing[g]) != 0;
        for (int k = 0; counts && k < 3; ++k)
            n[k] += Cross(m, g)[k];
    }
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    return {n[0] / length, n[1] / length, n[2] / length};
}

// Corners of the unit cube, vertex x + 2 y + 4 z; two faces per side.
TestMesh Cube(std::vector<uint32_t> masks) {
    return {"cube",
            {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0, 0, 0, 1, 1, 0, 1, 0, 1, 1, 1, 1, 1},
            {0, 2, 3, 0, 3, 1, 4, 5, 7, 4, 7, 6, 0, 1, 5, 0, 5, 4,
             2, 6, 7, 2, 7, 3, 0, 4, 6, 0, 6, 2, 1, 3, 7, 1, 7, 5},
            {},
            "",
            masks};
}

// Three faces round the origin O = 0 in the planes z = 0 (A), x = 0 (B) and
// y = 0 (C) through X = 1, Y = 2, Z = 3.
TestMesh Corner(std::vector<uint32_t> masks) {
    return {"corner", {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 1, 2, 0, 2, 3, 0, 3, 1}, {}, "",
            masks};
}

// Two roof faces of one group meeting at a ridge whose vertices are stored
// twice, with other mapping: the ridge must not crease.
TestMesh Seam() {
    return {"seam",
            {0, 0, 0, 1, 0, 0, 1, 1, 1, 0, 1, 1, 0, 1, 1, 1, 1, 1, 1, 2, 0, 0, 2, 0},
            {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7},
            {0, 0, 1, 0, 1, 1, 0, 1, 0, 0.5f, 1, 0.5f, 1, 0.25f, 0, 0.25f},
            "",
            {1, 1, 1, 1}};
}

// A flat strip of 30,000 faces (i, i + 1, i + 2) round a helix: no two faces
// share a normal, so each face takes 3 vertices of its own, 90,000 in all,
// and 10 vertices that no face uses follow. 21,845 faces fill 65,535.
TestMesh Helix() {
    TestMesh m = {"helix", {}, {}, {}, "", std::vector<uint32_t>(30000, 0)};
    for (int i = 0; i < 30012; ++i) {
        m.positions.insert(m.positions.end(),
                           {float(std::cos(0.3 * i)), float(std::sin(0.3 * i)), 0.01f * i});
        m.texCoords.insert(m.texCoords.end(), {0.001f * i, 0.5f});
    }
    for (uint16_t i = 0; i < 30000; ++i)
        m.faces.insert(m.faces.end(), {i, uint16_t(i + 1), uint16_t(i + 2)});
    return m;
}

}  // namespace

TEST(Smoothing, CornerNormalsFollowTheGroupsAndVerticesSplitPerNormal) {
    std::vector<uint32_t> sixGroups;
    for (uint32_t side = 0; side < 6; ++side)
        sixGroups.insert(sixGroups.end(), {1u << side, 1u << side});
    const struct {
        const char* what;
        TestMesh mesh;
        std::vector<int> vertexCounts;  // of the meshes it becomes
    } cases[] = {
        {"no list", Cube({}), {8}},
        {"a list shorter than the faces is as none", Cube(std::vector<uint32_t>(11, 1)), {8}},
        {"cube of six groups", Cube(sixGroups), {24}},
        // A (3) and B (6) share bit 2, B and C (4) bit 4; A and C share none.
        {"masks sharing one bit", Corner({3, 6, 4}), {7}},
        {"masks sharing the top bit", Corner({0x80000001u, 2, 0x80000000u}), {7}},
        {"a flat face among smooth ones", Corner({3, 6, 0}), {7}},
        {"mapping seam", Seam(), {8}},
        {"split past 65,535 vertices", Helix(), {65535, 24475}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Model model{};
        ASSERT_EQ(1, LoadWritten(ModelFile({MeshObject(c.mesh)}), &model));
        ASSERT_EQ(int(c.vertexCounts.size()), model.meshCount);
        // Faces in order, each corner where it was with its mapping.
        size_t i = 0;
        for (const Mesh* m = model.meshes; m != model.meshes + model.meshCount; ++m) {
            EXPECT_EQ(c.vertexCounts[m - model.meshes], m->vertexCount);
            EXPECT_EQ(c.mesh.name, m->name);
            for (const uint16_t* v = m->faces; v != m->faces + 3 * m->faceCount; ++v, ++i) {
                ASSERT_LT(i, c.mesh.faces.size());
                const uint16_t source = c.mesh.faces[i];
                for (int k = 0; k < 3; ++k)
                    ASSERT_EQ(c.mesh.positions[3 * source + k], m->positions[3 * *v + k]) << i;
                ASSERT_EQ(c.mesh.texCoords.empty(), m->texCoords == nullptr);
                for (int k = 0; m->texCoords && k < 2; ++k)
                    ASSERT_EQ(c.mesh.texCoords[2 * source + k], m->texCoords[2 * *v + k]) << i;
                const Vec n = Reference(c.mesh, i);
                for (int k = 0; k < 3; ++k)
                    ASSERT_NEAR(n[k], m->normals[3 * *v + k], 1e-6) << i;
            }
        }
        EXPECT_EQ(c.mesh.faces.size(), i);
        // The vertices no face uses come last.
        const Mesh& last = model.meshes[model.meshCount - 1];
        for (int k = 0; c.mesh.positions.size() == 3 * 30012 && k < 30; ++k)
            EXPECT_EQ(c.mesh.positions[3 * 30002 + k],
                      last.positions[3 * (last.vertexCount - 10) + k]);
        FreeModel(&model);
    }
}
