// Loaded meshes against their source corner by corner (normals against a
// brute-force sum in double precision), also on files lib3ds, an independent
// writer, made; frames and bounds against values worked out by hand; placement
// against the same model turned, centred and scaled by hand before writing.
#include <gtest/gtest.h>
#include <lib3ds/file.h>
#include <lib3ds/mesh.h>

#include <array>
#include <cmath>

#include "model/model.h"
#include "model/model_placement.h"
#include "tests/model/chunk_writer.h"

namespace {

void ExpectNear(const float* actual, const std::vector<float>& expected, float tolerance = 1e-6f) {
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_NEAR(expected[i], actual[i], tolerance) << i;
}

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
TestMesh Cube(const char* name, std::vector<uint32_t> masks) {
    return {name,
            {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0, 0, 0, 1, 1, 0, 1, 0, 1, 1, 1, 1, 1},
            {0, 2, 3, 0, 3, 1, 4, 5, 7, 4, 7, 6, 0, 1, 5, 0, 5, 4,
             2, 6, 7, 2, 7, 3, 0, 4, 6, 0, 6, 2, 1, 3, 7, 1, 7, 5},
            {},
            "",
            masks};
}

// Three faces round the origin O = 0 in the planes z = 0 (A), x = 0 (B) and
// y = 0 (C) through X = 1, Y = 2, Z = 3.
TestMesh Corner(const char* name, std::vector<uint32_t> masks) {
    return {name, {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 1, 2, 0, 2, 3, 0, 3, 1}, {}, "", masks};
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

// The model's meshes hold the sources' faces in order, each corner where it
// was with its mapping (a mesh split at 65,535 vertices in pieces of its name,
// one after another); with normals, each corner's normal is Reference's.
void ExpectSourceCorners(const std::vector<TestMesh>& sources, const Model& model, bool normals) {
    size_t s = 0, i = 0;  // the source mesh, the corner in it
    for (const Mesh* m = model.meshes; m != model.meshes + model.meshCount; ++m) {
        if (sources[s].name != m->name) {
            EXPECT_EQ(sources[s].faces.size(), i) << sources[s].name;
            ASSERT_LT(++s, sources.size());
            i = 0;
        }
        const TestMesh& c = sources[s];
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.name, m->name);
        ASSERT_EQ(c.texCoords.empty(), m->texCoords == nullptr);
        for (const uint16_t* v = m->faces; v != m->faces + 3 * m->faceCount; ++v, ++i) {
            ASSERT_LT(i, c.faces.size());
            const uint16_t source = c.faces[i];
            for (int k = 0; k < 3; ++k)
                ASSERT_EQ(c.positions[3 * source + k], m->positions[3 * *v + k]) << i;
            for (int k = 0; m->texCoords && k < 2; ++k)
                ASSERT_EQ(c.texCoords[2 * source + k], m->texCoords[2 * *v + k]) << i;
            const Vec n = normals ? Reference(c, i) : Vec{};
            for (int k = 0; normals && k < 3; ++k)
                ASSERT_NEAR(n[k], m->normals[3 * *v + k], 1e-6) << i;
        }
    }
    EXPECT_EQ(sources.size(), s + 1);
    EXPECT_EQ(sources.back().faces.size(), i);
}

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

}  // namespace

TEST(Smoothing, CornerNormalsFollowTheGroupsAndVerticesSplitPerNormal) {
    const std::vector<TestMesh> meshes = {
        Cube("no_list", {}),
        Cube("short_list", std::vector<uint32_t>(11, 1)),  // shorter than the faces: as none
        Cube("six_groups", {1, 1, 2, 2, 4, 4, 8, 8, 16, 16, 32, 32}),
        // A (3) and B (6) share bit 2, B and C (4) bit 4; A and C share none.
        Corner("one_bit", {3, 6, 4}), Corner("top_bit", {0x80000001u, 2, 0x80000000u}),
        Corner("a_flat_face", {3, 6, 0}), Seam(),
        Helix(),  // split past 65,535 vertices
    };
    Model model{};
    ASSERT_EQ(1, LoadMeshes(meshes, &model));
    const int vertexCounts[] = {8, 8, 24, 7, 7, 7, 8, 65535, 24475};
    ASSERT_EQ(9, model.meshCount);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(vertexCounts[i], model.meshes[i].vertexCount) << model.meshes[i].name;
    ExpectSourceCorners(meshes, model, true);
    // The vertices no face uses come last.
    const Mesh& last = model.meshes[8];
    for (int k = 0; k < 30; ++k)
        EXPECT_EQ(meshes[7].positions[3 * 30002 + k],
                  last.positions[3 * (last.vertexCount - 10) + k]);
    FreeModel(&model);
}

// lib3ds writes a smoothing list of flat faces, whose vertices split.
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
    ExpectSourceCorners(meshes, model, false);
    FreeModel(&model);
}

// The tangent points where s grows, the binormal where t falls; tiny and huge
// scales take squared lengths out of the normal float range. A face of
// degenerate mapping carries the last computed frame; where there is none,
// and where sums vanish, the vectors are still finite and of unit length.
TEST(MeshPrep, FrameFollowsWindingAndMappingAndStaysFinite) {
    std::vector<TestMesh> meshes;
    for (float s : {1.0f, 1e-20f, 1e-10f, 3e-10f, 1e10f}) {
        meshes.push_back({"ccw", {0, 0, 0, s, 0, 0, 0, s, 0}, {0, 1, 2}, {0, 0, 1, 0, 0, 1}, ""});
        meshes.push_back({"cw", {0, 0, 0, 0, s, 0, s, 0, 0}, {0, 1, 2}, {0, 0, 0, 2, 2, 0}, ""});
    }
    // Face 0 maps s along -y and t along +x: det = 1, tangent -e2 = (0, -1, 0),
    // binormal -e1 = (-1, 0, 0). Face 1 has its own vertices and all three
    // mapping pairs alike.
    const TestMesh frameFirst = {"frame first",
                                 {0, 0, 0, 1, 0, 0, 0, 1, 0, 5, 5, 1, 6, 5, 1, 5, 6, 1},
                                 {0, 1, 2, 3, 4, 5},
                                 {0, 0, 0, 1, -1, 0, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f},
                                 ""};
    TestMesh degenerateFirst = frameFirst;
    degenerateFirst.faces = {3, 4, 5, 0, 1, 2};
    meshes.insert(meshes.end(),
                  {frameFirst,
                   degenerateFirst,
                   {"unused vertex", {0, 0, 0, 1, 0, 0, 0, 1, 0, 9, 9, 9}, {0, 1, 2}, {}, ""},
                   {"faces that cancel", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2, 0, 2, 1}, {}, ""},
                   {"collapsed face", {1, 1, 1, 1, 1, 1, 1, 1, 1}, {0, 1, 2}, {}, ""},
                   {"not a number", {NAN, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}, {}, ""},
                   {"infinity", {INFINITY, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}, {}, ""}});
    for (TestMesh& m : meshes)
        if (m.texCoords.empty()) m.texCoords.assign(m.positions.size() / 3 * 2, 0.25f);
    Model model{};
    ASSERT_EQ(1, LoadMeshes(meshes, &model));
    ASSERT_EQ(17, model.meshCount);
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        for (int v = 0; v < 9; v += 3) {
            ExpectNear(model.meshes[i].normals + v, {0, 0, i % 2 == 1 ? -1.0f : 1.0f});
            ExpectNear(model.meshes[i].tangents + v, {1, 0, 0});
            ExpectNear(model.meshes[i].binormals + v, {0, -1, 0});
        }
    }
    for (int v = 0; v < 18; v += 3) {
        ExpectNear(model.meshes[10].tangents + v, {0, -1, 0});
        ExpectNear(model.meshes[10].binormals + v, {-1, 0, 0});
    }
    for (const Mesh* m = model.meshes; m != model.meshes + model.meshCount; ++m) {
        SCOPED_TRACE(m->name);
        for (const float* frame : {m->normals, m->tangents, m->binormals})
            for (const float* v = frame; v != frame + 3 * m->vertexCount; v += 3)
                EXPECT_NEAR(1.0f, std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]), 1e-6f);
    }
    FreeModel(&model);
}

// A mesh without vertices gets a zero box and leaves the model's alone (y from
// 0.5).
TEST(MeshPrep, BoundsEncloseMeshesAndModel) {
    Model model{};
    ASSERT_EQ(1, LoadMeshes({{"a", {-1, 4, 0, 3, 2, 5}, {}, {}, ""},
                             {"empty", {}, {}, {}, ""},
                             {"b", {-2, 0.5f, 0, 0, 3, 0.5f}, {}, {}, ""}},
                            &model));
    ASSERT_EQ(3, model.meshCount);
    const Mesh &a = model.meshes[0], &empty = model.meshes[1];
    ExpectNear(a.boundsMin, {-1, 2, 0});
    ExpectNear(a.center, {1, 3, 2.5f});
    ExpectNear(empty.boundsMin, {0, 0, 0});
    ExpectNear(empty.boundsMax, {0, 0, 0});
    ExpectNear(model.boundsMin, {-2, 0.5f, 0});
    ExpectNear(model.boundsMax, {3, 4, 5});
    ExpectNear(model.center, {0.5f, 2.25f, 2.5f});
    EXPECT_EQ(4, model.vertexTotal);
    FreeModel(&model);
}

// The Z-up box as a file in units of 1 mm, of 17 and of 10 km height would
// hold it: placed, it is the box placed by hand, its normals, tangents and
// binormals and its bounds those a pre-placed file gives.
TEST(PlaceModel, AZUpBoxStandsUprightFacingTheViewerAtTheSphereSize) {
    for (float height : {0.001f, 17.0f, 10000.0f}) {
        SCOPED_TRACE(height);
        const ZUpBox box = MakeZUpBox(height / 8.0);
        Model placed{}, expected{};
        ASSERT_EQ(1, LoadMeshes({box.file}, &placed));
        ASSERT_EQ(1, LoadMeshes({box.placedByHand}, &expected));
        PlaceModel(&placed);
        ASSERT_EQ(placed.meshCount, 1);
        const Mesh &p = placed.meshes[0], &e = expected.meshes[0];
        ASSERT_EQ(p.vertexCount, 24);
        ExpectNear(p.positions, {e.positions, e.positions + 3 * 24}, 1e-3f);
        ExpectNear(p.normals, {e.normals, e.normals + 3 * 24});
        ExpectNear(p.tangents, {e.tangents, e.tangents + 3 * 24});
        ExpectNear(p.binormals, {e.binormals, e.binormals + 3 * 24});
        ExpectNear(placed.boundsMin, {e.boundsMin, e.boundsMin + 3}, 1e-3f);
        ExpectNear(placed.boundsMax, {e.boundsMax, e.boundsMax + 3}, 1e-3f);
        ExpectNear(placed.center, {e.center, e.center + 3}, 1e-3f);
        ExpectNear(p.center, {e.center, e.center + 3}, 1e-3f);
        EXPECT_NEAR(BoundingSphereRadius(placed, placed.center), 100.0, 1e-3);
        FreeModel(&placed);
        FreeModel(&expected);
    }
}

// Lights and cameras (held as the file's (x, z, y)) go where the model goes.
// The sample's quad (0, 0, 0)-(1, 1, 0) has centre (0.5, 0.5, 0) and radius
// sqrt(0.5); light a and the camera stand at (1, 2, 3) of the file, the
// camera looks at (4, 5, 6).
TEST(PlaceModel, LightsAndCamerasComeAlong) {
    Model model{};
    ASSERT_EQ(1, LoadWritten(SampleModelFile(), &model));
    PlaceModel(&model);
    const float k = float(100 / std::sqrt(0.5));
    const std::vector<float> at = {0.5f * k, 3 * k, -1.5f * k},
                             target = {3.5f * k, 6 * k, -4.5f * k};
    ASSERT_EQ(model.lightCount, 2);
    ASSERT_EQ(model.cameraCount, 1);
    ExpectNear(model.lights[0].position, at, 1e-3f);
    ExpectNear(model.cameras[0].position, at, 1e-3f);
    ExpectNear(model.cameras[0].target, target, 1e-3f);
    FreeModel(&model);
}

// Nothing to scale: a model whose vertices coincide is only turned.
TEST(PlaceModel, APointSizedModelIsOnlyTurned) {
    Model point{};
    ASSERT_EQ(1, LoadMeshes({{"point", {5, 6, 7, 5, 6, 7, 5, 6, 7}, {0, 1, 2}, {}, ""}}, &point));
    PlaceModel(&point);
    ExpectNear(point.meshes[0].positions, {5, 7, -6, 5, 7, -6, 5, 7, -6}, 0.0f);
    ExpectNear(point.center, {5, 7, -6}, 0.0f);
    FreeModel(&point);
}
