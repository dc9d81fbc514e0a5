// Normals, tangent frames and bounds, checked against values worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "model/mesh_prep.h"

namespace {

// A mesh over caller-owned vectors; only the arrays preparation creates are
// released by ReleasePrepared.
struct MeshData {
    std::vector<float> positions;
    std::vector<uint16_t> faces;
    std::vector<float> texCoords;
    Mesh mesh;
};

Mesh* Prepare(MeshData* d) {
    d->mesh = Mesh{};
    d->mesh.vertexCount = static_cast<uint16_t>(d->positions.size() / 3);
    d->mesh.positions = d->positions.data();
    d->mesh.faceCount = static_cast<uint16_t>(d->faces.size() / 3);
    d->mesh.faces = d->faces.data();
    d->mesh.texCoordCount = static_cast<uint16_t>(d->texCoords.size() / 2);
    d->mesh.texCoords = d->texCoords.empty() ? nullptr : d->texCoords.data();
    EXPECT_EQ(1, ComputeNormals(&d->mesh));
    EXPECT_EQ(1, ComputeTangentSpace(&d->mesh));
    return &d->mesh;
}

void ReleasePrepared(Mesh* mesh) {
    free(mesh->normals);
    free(mesh->tangents);
    free(mesh->binormals);
}

void ExpectVector(const float* actual, float x, float y, float z) {
    EXPECT_FLOAT_EQ(x, actual[0]);
    EXPECT_FLOAT_EQ(y, actual[1]);
    EXPECT_FLOAT_EQ(z, actual[2]);
}

void ExpectFiniteUnit(const float* v) {
    ASSERT_TRUE(std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]));
    EXPECT_NEAR(1.0f, std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]), 1e-6f);
}

}  // namespace

TEST(MeshPrep, SingleFaceNormalFollowsTheWinding) {
    const struct {
        float scale;
        std::vector<float> positions;
        float z;
    } cases[] = {
        {1.0f, {0, 0, 0, 1, 0, 0, 0, 1, 0}, 1.0f},
        {1.0f, {0, 0, 0, 0, 1, 0, 1, 0, 0}, -1.0f},
        {1e-30f, {0, 0, 0, 1, 0, 0, 0, 1, 0}, 1.0f},  // squared length underflows
        {1e-10f, {0, 0, 0, 1, 0, 0, 0, 1, 0}, 1.0f},  // squared length subnormal
        {3e-10f, {0, 0, 0, 0, 1, 0, 1, 0, 0}, -1.0f},
        {1e30f, {0, 0, 0, 1, 0, 0, 0, 1, 0}, 1.0f},  // squared length overflows
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scale);
        MeshData d;
        for (float v : c.positions)
            d.positions.push_back(v * c.scale);
        d.faces = {0, 1, 2};
        Mesh* mesh = Prepare(&d);
        for (int i = 0; i < 3; ++i)
            ExpectVector(mesh->normals + 3 * i, 0, 0, c.z);
        EXPECT_EQ(nullptr, mesh->tangents);  // no mapping coordinates
        EXPECT_EQ(nullptr, mesh->binormals);
        ReleasePrepared(mesh);
    }
}

TEST(MeshPrep, TangentPointsAlongSAndBinormalAgainstT) {
    for (float scale : {1.0f, 2.0f}) {
        SCOPED_TRACE(scale);
        MeshData d;
        d.positions = {0, 0, 0, 1, 0, 0, 0, 1, 0};
        d.faces = {0, 1, 2};
        d.texCoords = {0, 0, scale, 0, 0, scale};
        Mesh* mesh = Prepare(&d);
        for (int i = 0; i < 3; ++i) {
            ExpectVector(mesh->tangents + 3 * i, 1, 0, 0);
            ExpectVector(mesh->binormals + 3 * i, 0, -1, 0);
        }
        ReleasePrepared(mesh);
    }
}

TEST(MeshPrep, LargerFacesWeighMoreInTheVertexNormal) {
    // Vertex 0 is shared by a big face in the xy plane (normal +z, area 50)
    // and a small one in the xz plane (normal -y, area 0.5).
    MeshData d;
    d.positions = {0, 0, 0, 10, 0, 0, 0, 10, 0, 1, 0, 0, 0, 0, 1};
    d.faces = {0, 1, 2, 0, 3, 4};
    Mesh* mesh = Prepare(&d);
    const float* n = mesh->normals;
    // Sum (0, 0, 100) + (0, -1, 0), normalised.
    float length = std::sqrt(100.0f * 100.0f + 1.0f);
    ExpectVector(n, 0, -1 / length, 100 / length);
    EXPECT_GT(n[2], std::sqrt(0.5f));  // the plain average would give 0.7071
    ReleasePrepared(mesh);
}

TEST(MeshPrep, DegenerateMappingCarriesTheLastComputedFrame) {
    MeshData d;
    // Face 0: a mapping that makes s run along -y and t along +x.
    // Face 1 (own vertices): all three mapping coordinates coincide.
    d.positions = {0, 0, 0, 1, 0, 0, 0, 1, 0, 5, 5, 1, 6, 5, 1, 5, 6, 1};
    d.faces = {0, 1, 2, 3, 4, 5};
    d.texCoords = {0, 0, 0, 1, -1, 0, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f};
    Mesh* mesh = Prepare(&d);
    // ds1 = 0, dt1 = 1, ds2 = -1, dt2 = 0, det = 1:
    // ft = (0 * e1 - 1 * e2) = (0, -1, 0); fb = (-1 * e1 - 0 * e2) = (-1, 0, 0).
    for (int i = 0; i < 6; ++i) {
        ExpectVector(mesh->tangents + 3 * i, 0, -1, 0);
        ExpectVector(mesh->binormals + 3 * i, -1, 0, 0);
    }
    ReleasePrepared(mesh);

    // The degenerate face comes first: it adds zero vectors, so its vertices
    // fall back to a finite unit frame.
    d.faces = {3, 4, 5, 0, 1, 2};
    mesh = Prepare(&d);
    for (int i = 3; i < 6; ++i) {
        ExpectFiniteUnit(mesh->tangents + 3 * i);
        ExpectFiniteUnit(mesh->binormals + 3 * i);
    }
    ExpectVector(mesh->tangents, 0, -1, 0);
    ReleasePrepared(mesh);
}

TEST(MeshPrep, VanishingSumsGiveFiniteUnitVectors) {
    const struct {
        const char* what;
        std::vector<float> positions;
        std::vector<uint16_t> faces;
    } cases[] = {
        {"vertex used by no face", {0, 0, 0, 1, 0, 0, 0, 1, 0, 9, 9, 9}, {0, 1, 2}},
        {"faces that cancel", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2, 0, 2, 1}},
        {"collapsed face", {1, 1, 1, 1, 1, 1, 1, 1, 1}, {0, 1, 2}},
        {"not-a-number position", {NAN, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}},
        {"infinite position", {INFINITY, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MeshData d;
        d.positions = c.positions;
        d.faces = c.faces;
        d.texCoords.assign(d.positions.size() / 3 * 2, 0.25f);
        Mesh* mesh = Prepare(&d);
        for (int i = 0; i < mesh->vertexCount; ++i) {
            ExpectFiniteUnit(mesh->normals + 3 * i);
            ExpectFiniteUnit(mesh->tangents + 3 * i);
            ExpectFiniteUnit(mesh->binormals + 3 * i);
        }
        ReleasePrepared(mesh);
    }
}

TEST(MeshPrep, BoundsEncloseMeshesAndModel) {
    MeshData a, b, empty;
    a.positions = {-1, 2, 0, 3, -4, 5};
    b.positions = {0, 0, 0, 1, 1, 1};
    Mesh meshes[3] = {*Prepare(&a), *Prepare(&empty), *Prepare(&b)};
    Model model{};
    model.meshCount = 3;
    model.meshes = meshes;
    ComputeBounds(&model);
    ExpectVector(meshes[0].boundsMin, -1, -4, 0);
    ExpectVector(meshes[0].boundsMax, 3, 2, 5);
    ExpectVector(meshes[0].center, 1, -1, 2.5f);
    // A mesh without vertices gets a zero box and leaves the model box alone.
    ExpectVector(meshes[1].boundsMin, 0, 0, 0);
    ExpectVector(meshes[1].center, 0, 0, 0);
    ExpectVector(model.boundsMin, -1, -4, 0);
    ExpectVector(model.boundsMax, 3, 2, 5);
    EXPECT_EQ(4, model.vertexTotal);
    for (Mesh& mesh : meshes)
        ReleasePrepared(&mesh);

    // The two boxes of the worked example: (0,0,0)-(1,1,1) and (-2,0.5,0)-(0,3,0.5).
    MeshData c;
    c.positions = {-2, 0.5f, 0, 0, 3, 0.5f};
    Mesh pair[2] = {*Prepare(&b), *Prepare(&c)};
    model.meshCount = 2;
    model.meshes = pair;
    ComputeBounds(&model);
    ExpectVector(model.boundsMin, -2, 0, 0);
    ExpectVector(model.boundsMax, 1, 3, 1);
    ExpectVector(model.center, -0.5f, 1.5f, 0.5f);
    for (Mesh& mesh : pair)
        ReleasePrepared(&mesh);

    Model none{};
    none.center[0] = 7;  // stale values are overwritten
    ComputeBounds(&none);
    ExpectVector(none.boundsMin, 0, 0, 0);
    ExpectVector(none.boundsMax, 0, 0, 0);
    ExpectVector(none.center, 0, 0, 0);
}
