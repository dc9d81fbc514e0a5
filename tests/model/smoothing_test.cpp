// Normals from smoothing groups: values worked out by hand, every corner
// against a brute-force sum in double precision, vertices split per normal
// and meshes split at 65,535 vertices with nothing dropped.
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

bool SamePosition(const TestMesh& m, uint16_t a, uint16_t b) {
    for (int k = 0; k < 3; ++k)
        if (m.positions[3 * a + k] != m.positions[3 * b + k]) return false;
    return true;
}

// The face's own normal for mask 0; otherwise every face with a corner at the
// corner's position and a shared bit counts, by its area.
Vec Reference(const TestMesh& m, size_t corner) {
    const size_t f = corner / 3;
    Vec n = m.smoothing[f] == 0 ? Cross(m, f) : Vec{0, 0, 0};
    for (size_t g = 0; m.smoothing[f] != 0 && g < m.faces.size() / 3; ++g) {
        bool counts = (m.smoothing[f] & m.smoothing[g]) != 0 &&
                      (SamePosition(m, m.faces[corner], m.faces[3 * g]) ||
                       SamePosition(m, m.faces[corner], m.faces[3 * g + 1]) ||
                       SamePosition(m, m.faces[corner], m.faces[3 * g + 2]));
        for (int k = 0; counts && k < 3; ++k)
            n[k] += Cross(m, g)[k];
    }
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    return {n[0] / length, n[1] / length, n[2] / length};
}

struct Case {
    const char* what;
    TestMesh mesh;
    std::vector<int> vertexCounts;            // of the meshes it becomes
    std::vector<std::pair<int, Vec>> byHand;  // corner, normal
};

const double r2 = 1 / std::sqrt(2.0), r3 = 1 / std::sqrt(3.0), r10 = 1 / std::sqrt(10.0);

// Corners of the unit cube, vertex x + 2 y + 4 z; two faces per side.
const std::vector<float> kCube = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0,
                                  0, 0, 1, 1, 0, 1, 0, 1, 1, 1, 1, 1};
const std::vector<uint16_t> kCubeFaces = {0, 2, 3, 0, 3, 1, 4, 5, 7, 4, 7, 6, 0, 1, 5, 0, 5, 4,
                                          2, 6, 7, 2, 7, 3, 0, 4, 6, 0, 6, 2, 1, 3, 7, 1, 7, 5};

// Three faces round the origin O = 0 in the planes z = 0 (A: +z), x = 0 (B:
// +x) and y = 0 (C: +y) through X = 1, Y = 2, Z = 3, each of area 1/2.
TestMesh Corner(std::vector<uint32_t> masks) {
    return {"corner", {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 1, 2, 0, 2, 3, 0, 3, 1}, {}, "",
            masks};
}

// A cylinder of 8 sides: top ring 0-7 at z = 1, bottom ring 8-15, centres 16
// and 17; smooth sides (group 1), flat caps.
TestMesh Cylinder() {
    TestMesh m = {"cylinder", {}, {}, {}, ""};
    for (int z = 1; z >= 0; --z)
        for (int i = 0; i < 8; ++i)
            m.positions.insert(m.positions.end(), {float(std::cos(i * M_PI / 4)),
                                                   float(std::sin(i * M_PI / 4)), float(z)});
    m.positions.insert(m.positions.end(), {0, 0, 1, 0, 0, 0});
    for (uint16_t i = 0; i < 8; ++i) {
        const uint16_t j = (i + 1) % 8;
        m.faces.insert(m.faces.end(), {uint16_t(8 + i), uint16_t(8 + j), j, uint16_t(8 + i), j, i,
                                       16, i, j, 17, uint16_t(8 + j), uint16_t(8 + i)});
        m.smoothing.insert(m.smoothing.end(), {1, 1, 0, 0});
    }
    return m;
}

// Two roof faces of one group meeting at a ridge whose vertices are stored
// twice, with other mapping: the ridge must not crease. At (1, 1, 1) both
// halves of side A and one of side B meet: 2 (0, -1, 1) + (0, 1, 1).
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

// Every mesh's corners in face order, as the loaded meshes hold them.
struct Corners {
    std::vector<float> positions, texCoords, normals;
};

Corners CornersOf(const Mesh* meshes, int count) {
    Corners c;
    for (const Mesh* m = meshes; m != meshes + count; ++m)
        for (int i = 0; i < 3 * m->faceCount; ++i) {
            const uint16_t v = m->faces[i];
            c.positions.insert(c.positions.end(), m->positions + 3 * v, m->positions + 3 * v + 3);
            c.normals.insert(c.normals.end(), m->normals + 3 * v, m->normals + 3 * v + 3);
            if (m->texCoords != nullptr)
                c.texCoords.insert(c.texCoords.end(), m->texCoords + 2 * v,
                                   m->texCoords + 2 * v + 2);
        }
    return c;
}

}  // namespace

TEST(Smoothing, CornerNormalsFollowTheGroupsAndVerticesSplitPerNormal) {
    std::vector<uint32_t> sixGroups;
    for (uint32_t side = 0; side < 6; ++side)
        sixGroups.insert(sixGroups.end(), {1u << side, 1u << side});
    const Case cases[] = {
        {"cube of six groups",
         {"cube", kCube, kCubeFaces, {}, "", sixGroups},
         {24},
         {{0, {0, 0, -1}},
          {6, {0, 0, 1}},
          {12, {0, -1, 0}},
          {18, {0, 1, 0}},
          {24, {-1, 0, 0}},
          {30, {1, 0, 0}}}},
        {"cylinder", Cylinder(), {34}, {{7, {0, 0, 1}}, {10, {0, 0, -1}}}},
        // A (3) and B (6) share bit 2, B and C (4) bit 4; A and C share none.
        {"masks sharing one bit",
         Corner({3, 6, 4}),
         {7},
         {{0, {r2, 0, r2}}, {3, {r3, r3, r3}}, {6, {r2, r2, 0}}, {1, {0, 0, 1}}}},
        {"a flat face among smooth ones",
         Corner({3, 6, 0}),
         {7},
         {{3, {r2, 0, r2}}, {6, {0, 1, 0}}, {5, {1, 0, 0}}}},
        {"mapping seam",
         Seam(),
         {8},
         {{2, {0, -r10, 3 * r10}}, {7, {0, -r10, 3 * r10}}, {5, {0, r10, 3 * r10}}}},
        {"split past 65,535 vertices", Helix(), {65535, 24475}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Model model{};
        ASSERT_EQ(1, LoadWritten(ModelFile({MeshObject(c.mesh)}), &model));
        ASSERT_EQ(int(c.vertexCounts.size()), model.meshCount);
        for (int i = 0; i < model.meshCount; ++i) {
            EXPECT_EQ(c.vertexCounts[i], model.meshes[i].vertexCount);
            EXPECT_STREQ(c.mesh.name.c_str(), model.meshes[i].name);
        }
        // Faces in order, each corner where it was with its mapping.
        const Corners got = CornersOf(model.meshes, model.meshCount);
        ASSERT_EQ(3 * c.mesh.faces.size(), got.positions.size());
        ASSERT_EQ(c.mesh.texCoords.empty() ? 0 : 2 * c.mesh.faces.size(), got.texCoords.size());
        for (size_t i = 0; i < c.mesh.faces.size(); ++i) {
            const uint16_t v = c.mesh.faces[i];
            for (int k = 0; k < 3; ++k)
                ASSERT_EQ(c.mesh.positions[3 * v + k], got.positions[3 * i + k]) << i;
            for (int k = 0; k < 2 && !c.mesh.texCoords.empty(); ++k)
                ASSERT_EQ(c.mesh.texCoords[2 * v + k], got.texCoords[2 * i + k]) << i;
            const Vec n = Reference(c.mesh, i);
            for (int k = 0; k < 3; ++k)
                ASSERT_NEAR(n[k], got.normals[3 * i + k], 1e-6) << i;
        }
        for (const auto& corner : c.byHand)
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(corner.second[k], got.normals[3 * corner.first + k], 1e-6)
                    << corner.first;
        // The vertices no face uses come last.
        const Mesh& last = model.meshes[model.meshCount - 1];
        for (int k = 0; c.mesh.positions.size() == 3 * 30012 && k < 30; ++k)
            EXPECT_EQ(c.mesh.positions[3 * 30002 + k],
                      last.positions[3 * (last.vertexCount - 10) + k]);
        FreeModel(&model);
    }
}

// A list shorter than the faces is as none: normals by vertex index, bit for bit.
TEST(Smoothing, AShortListIsIgnored) {
    TestMesh plain = {"cube", kCube, kCubeFaces, {}, ""}, shortList = plain;
    shortList.smoothing.assign(11, 1);
    Model a{}, b{};
    ASSERT_EQ(1, LoadWritten(ModelFile({MeshObject(plain)}), &a));
    ASSERT_EQ(1, LoadWritten(ModelFile({MeshObject(shortList)}), &b));
    ASSERT_EQ(8, b.meshes[0].vertexCount);
    EXPECT_EQ(nullptr, b.meshes[0].smoothing);
    EXPECT_EQ(0, memcmp(a.meshes[0].normals, b.meshes[0].normals, 8 * 3 * sizeof(float)));
    FreeModel(&a);
    FreeModel(&b);
}
