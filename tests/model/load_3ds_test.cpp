// Reading rules of the 3DS reader, checked on files built chunk by chunk with
// values worked out by hand.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/model.h"
#include "tests/model/chunk_writer.h"
#include "tests/model/model_test_util.h"

namespace {

ChunkWriter OneMeshFile(const TestMesh& mesh) {
    ChunkWriter w;
    BeginModelFile(&w);
    PutMeshObject(&w, mesh);
    EndModelFile(&w);
    return w;
}

// A filler chunk that every scan steps over.
void PutFiller(ChunkWriter* w) {
    BeginChunk(w, 0x0100);  // master scale
    PutF32(w, 1.0f);
    EndChunk(w);
}

}  // namespace

TEST(Load3ds, RejectedFilesLeaveModelEmpty) {
    struct Case {
        const char* what;
        std::function<void(ChunkWriter*)> build;
    };
    const Case cases[] = {
        {"empty file", [](ChunkWriter*) {}},
        {"first bytes not 4D 4D",
         [](ChunkWriter* w) {
             BeginChunk(w, 0x4D4C);
             BeginChunk(w, 0x3D3D);
             EndChunk(w);
             EndChunk(w);
         }},
        {"main length 6",
         [](ChunkWriter* w) {
             BeginChunk(w, 0x4D4D);
             EndChunk(w);
         }},
        {"no editor chunk",
         [](ChunkWriter* w) {
             BeginChunk(w, 0x4D4D);
             PutFiller(w);
             BeginChunk(w, 0xB000);
             EndChunk(w);
             EndChunk(w);
         }},
        {"editor after 199 other top-level chunks",
         [](ChunkWriter* w) {
             BeginChunk(w, 0x4D4D);
             for (int i = 0; i < 199; ++i)
                 PutFiller(w);
             BeginChunk(w, 0x3D3D);
             PutMeshObject(w, QuadMesh("box"));
             EndChunk(w);
             EndChunk(w);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChunkWriter w;
        c.build(&w);
        Model model{};
        model.meshCount = 3;
        EXPECT_EQ(0, LoadWritten(w, &model));
        EXPECT_TRUE(ModelIsEmpty(model));
        FreeModel(&model);
    }
    Model model{};
    EXPECT_EQ(0, Load3ds(&model, "no/such/file.3ds"));
    EXPECT_TRUE(ModelIsEmpty(model));
}

TEST(Load3ds, EditorAfter198TopLevelChunksIsFound) {
    ChunkWriter w;
    BeginChunk(&w, 0x4D4D);
    for (int i = 0; i < 198; ++i)
        PutFiller(&w);
    BeginChunk(&w, 0x3D3D);
    PutMeshObject(&w, QuadMesh("box"));
    EndChunk(&w);
    EndChunk(&w);
    Model model{};
    ASSERT_EQ(1, LoadWritten(w, &model));
    EXPECT_EQ(1, model.meshCount);
    FreeModel(&model);
}

TEST(Load3ds, ObjectNamesAreCleanedAndLeadingDigitBecomesN) {
    const struct {
        std::string stored;
        const char* expected;
    } cases[] = {
        {"12 box", "N2_box"},
        {"a-b.c", "a_b_c"},
        {"Box01", "Box01"},
        {"0", "N"},
        {":;@[^`z", ":;@[^`z"},  // all inside '0'..'z'
        {"x{|}~/", "x_____"},
        {"\x80q\xff", "_q_"},
        {"nineteen_chars_long", "nineteen_chars_long"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        Model model{};
        ASSERT_EQ(1, LoadWritten(OneMeshFile(QuadMesh(c.stored)), &model));
        ASSERT_EQ(1, model.meshCount);
        EXPECT_STREQ(c.expected, model.meshes[0].name);
        FreeModel(&model);
    }
}

TEST(Load3ds, MaterialNamesAreCleanedKeepTheirDigitAndStillMatch) {
    ChunkWriter w;
    BeginModelFile(&w);
    PutMaterial(&w, "1 red");
    PutMaterial(&w, "abcdefghijklmnopqrst");  // only 16 bytes are taken
    TestMesh first = QuadMesh("first");
    first.materialName = "1 red";
    TestMesh second = QuadMesh("second");
    second.materialName = "abcdefghijklmnopqrst";
    PutMeshObject(&w, first);
    PutMeshObject(&w, second);
    EndModelFile(&w);
    Model model{};
    ASSERT_EQ(1, LoadWritten(w, &model));
    ASSERT_EQ(2, model.materialCount);
    ASSERT_EQ(2, model.meshCount);
    EXPECT_STREQ("1_red", model.materials[0].name);
    EXPECT_STREQ("abcdefghijklmnop", model.materials[1].name);
    EXPECT_STREQ("1_red", model.meshes[0].materialName);
    EXPECT_STREQ("abcdefghijklmnop", model.meshes[1].materialName);
    EXPECT_EQ(0, model.meshes[0].materialIndex);
    EXPECT_EQ(1, model.meshes[1].materialIndex);
    FreeModel(&model);
}

TEST(Load3ds, MaterialBindingTakesTheLastMatchAndMinusOneOtherwise) {
    ChunkWriter w;
    BeginModelFile(&w);
    PutMaterial(&w, "shared");
    PutMaterial(&w, "other");
    PutMaterial(&w, "shared");
    BeginChunk(&w, 0xAFFF);  // a material without a name chunk
    EndChunk(&w);
    TestMesh named = QuadMesh("named");
    named.materialName = "shared";
    TestMesh unmatched = QuadMesh("unmatched");
    unmatched.materialName = "missing";
    PutMeshObject(&w, named);
    PutMeshObject(&w, unmatched);
    PutMeshObject(&w, QuadMesh("bare"));
    EndModelFile(&w);
    Model model{};
    ASSERT_EQ(1, LoadWritten(w, &model));
    ASSERT_EQ(4, model.materialCount);
    ASSERT_EQ(3, model.meshCount);
    EXPECT_EQ(2, model.meshes[0].materialIndex);
    EXPECT_EQ(-1, model.meshes[1].materialIndex);
    EXPECT_STREQ("", model.meshes[2].materialName);
    EXPECT_EQ(-1, model.meshes[2].materialIndex);  // no group names no material
    FreeModel(&model);
}

TEST(Load3ds, ColoursAndPercentagesBecomeFractions) {
    ChunkWriter w;
    BeginModelFile(&w);
    BeginChunk(&w, 0xAFFF);
    PutMaterialName(&w, "m");
    PutColor24Chunk(&w, 0xA010, 255, 128, 0);
    PutColorFloatChunk(&w, 0xA020, 0.25f, 2.5f, -1.0f);
    PutColor24Chunk(&w, 0xA030, 1, 51, 204);
    PutPercentIntChunk(&w, 0xA040, 50);
    PutPercentFloatChunk(&w, 0xA050, 37.5f);
    EndChunk(&w);
    BeginChunk(&w, 0xAFFF);
    PutPercentFloatChunk(&w, 0xA040, 0.125f);
    PutPercentIntChunk(&w, 0xA050, 100);
    BeginChunk(&w, 0xA010);  // a colour chunk of an unknown kind leaves zero
    BeginChunk(&w, 0x0012);
    PutU8(&w, 9);
    EndChunk(&w);
    EndChunk(&w);
    EndChunk(&w);
    EndModelFile(&w);
    Model model{};
    ASSERT_EQ(1, LoadWritten(w, &model));
    ASSERT_EQ(2, model.materialCount);
    const Material& m = model.materials[0];
    EXPECT_FLOAT_EQ(1.0f, m.ambient[0]);
    EXPECT_FLOAT_EQ(0.5019608f, m.ambient[1]);
    EXPECT_EQ(0.0f, m.ambient[2]);
    EXPECT_EQ(0.25f, m.diffuse[0]);
    EXPECT_EQ(2.5f, m.diffuse[1]);
    EXPECT_EQ(-1.0f, m.diffuse[2]);
    EXPECT_FLOAT_EQ(1.0f / 255.0f, m.specular[0]);
    EXPECT_FLOAT_EQ(0.2f, m.specular[1]);
    EXPECT_FLOAT_EQ(0.8f, m.specular[2]);
    EXPECT_EQ(0.5f, m.shininess);
    EXPECT_EQ(37.5f, m.transparency);  // a float percentage is stored unchanged
    const Material& n = model.materials[1];
    EXPECT_EQ(0.125f, n.shininess);
    EXPECT_FLOAT_EQ(1.0f, n.transparency);
    EXPECT_EQ(0.0f, n.ambient[0]);
    EXPECT_STREQ("", n.name);
    FreeModel(&model);
}

TEST(Load3ds, TextureFileComesFromTheMapFileNameChunk) {
    struct Case {
        const char* what;
        uint16_t percentId;  // 0: no percentage chunk before the name
        std::string stored;
        const char* expected;
    };
    const Case cases[] = {
        {"integer percentage", 0x0030, "base.tga", "base.tga"},
        {"float percentage", 0x0031, "bump map.tga", "bump map.tga"},
        {"no percentage", 0, "x.jpg", "x.jpg"},
        {"not cleaned", 0x0030, "a b-c\x01.TGA", "a b-c\x01.TGA"},
        {"cut at 20 bytes", 0x0030, "abcdefghijklmnopqrstuvwxyz", "abcdefghijklmnopqrst"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChunkWriter w;
        BeginModelFile(&w);
        BeginChunk(&w, 0xAFFF);
        PutMaterialName(&w, "m");
        BeginChunk(&w, 0xA200);
        if (c.percentId == 0x0030) {
            BeginChunk(&w, 0x0030);
            PutU16(&w, 75);
            EndChunk(&w);
        } else if (c.percentId == 0x0031) {
            BeginChunk(&w, 0x0031);
            PutF32(&w, 75.0f);
            EndChunk(&w);
        }
        BeginChunk(&w, 0xA300);
        PutString(&w, c.stored);
        EndChunk(&w);
        BeginChunk(&w, 0xA351);  // map parameters after the name
        PutU16(&w, 0);
        EndChunk(&w);
        EndChunk(&w);
        EndChunk(&w);
        EndModelFile(&w);
        Model model{};
        ASSERT_EQ(1, LoadWritten(w, &model));
        ASSERT_EQ(1, model.materialCount);
        EXPECT_STREQ(c.expected, model.materials[0].textureFile);
        FreeModel(&model);
    }
}

TEST(Load3ds, LightsAndCamerasExchangeYAndZButMeshesDoNot) {
    ChunkWriter w;
    BeginModelFile(&w);
    PutLightObject(&w, "lamp", 1, 2, 3);
    BeginChunk(&w, 0x4000);  // a light with a float colour
    PutString(&w, "lamp2");
    BeginChunk(&w, 0x4600);
    PutF32(&w, -4);
    PutF32(&w, 5);
    PutF32(&w, -6);
    BeginChunk(&w, 0x0010);
    PutF32(&w, 0.1f);
    PutF32(&w, 0.2f);
    PutF32(&w, 0.3f);
    EndChunk(&w);
    EndChunk(&w);
    EndChunk(&w);
    const float camera[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    PutCameraObject(&w, "cam", camera);
    TestMesh mesh = QuadMesh("m");
    mesh.positions[0] = 1;
    mesh.positions[1] = 2;
    mesh.positions[2] = 3;
    PutMeshObject(&w, mesh);
    EndModelFile(&w);
    Model model{};
    ASSERT_EQ(1, LoadWritten(w, &model));
    ASSERT_EQ(2, model.lightCount);
    ASSERT_EQ(1, model.cameraCount);
    const float lightPosition[3] = {1, 3, 2};
    const float lightColor[3] = {1.0f, 128 * (1.0f / 255.0f), 0.0f};
    const float light2Position[3] = {-4, -6, 5};
    const float light2Color[3] = {0.1f, 0.2f, 0.3f};
    const float cameraPosition[3] = {1, 3, 2};
    const float cameraTarget[3] = {4, 6, 5};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(lightPosition[k], model.lights[0].position[k]);
        EXPECT_EQ(lightColor[k], model.lights[0].color[k]);
        EXPECT_EQ(light2Position[k], model.lights[1].position[k]);
        EXPECT_EQ(light2Color[k], model.lights[1].color[k]);
        EXPECT_EQ(cameraPosition[k], model.cameras[0].position[k]);
        EXPECT_EQ(cameraTarget[k], model.cameras[0].target[k]);
        EXPECT_EQ(static_cast<float>(k + 1), model.meshes[0].positions[k]);
    }
    EXPECT_EQ(7.0f, model.cameras[0].bank);
    EXPECT_EQ(8.0f, model.cameras[0].lens);
    FreeModel(&model);
}

TEST(Load3ds, MeshArraysAreReadAsStored) {
    TestMesh mesh;
    mesh.name = "tri";
    mesh.positions = {-1.5f, 2.25f, 1e-30f, 3, -4, 5, 0.1f, 0.2f, 0.3f};
    mesh.faces = {2, 0, 1};
    mesh.texCoords = {0.5f, -0.5f, 1e10f, 3, 0, 1};
    Model model{};
    ASSERT_EQ(1, LoadWritten(OneMeshFile(mesh), &model));
    ASSERT_EQ(1, model.meshCount);
    const Mesh& m = model.meshes[0];
    ASSERT_EQ(3, m.vertexCount);
    ASSERT_EQ(1, m.faceCount);
    ASSERT_EQ(3, m.texCoordCount);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(mesh.positions[i], m.positions[i]);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(mesh.faces[i], m.faces[i]);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(mesh.texCoords[i], m.texCoords[i]);
    EXPECT_NE(nullptr, m.normals);
    EXPECT_NE(nullptr, m.tangents);
    EXPECT_NE(nullptr, m.binormals);
    EXPECT_EQ(3, model.vertexTotal);
    EXPECT_EQ(1, model.faceTotal);
    FreeModel(&model);

    mesh.texCoords.clear();  // without mapping: no tangent frame, still loaded
    ASSERT_EQ(1, LoadWritten(OneMeshFile(mesh), &model));
    ASSERT_EQ(1, model.meshCount);
    EXPECT_EQ(0, model.meshes[0].texCoordCount);
    EXPECT_EQ(nullptr, model.meshes[0].texCoords);
    EXPECT_EQ(nullptr, model.meshes[0].tangents);
    EXPECT_EQ(nullptr, model.meshes[0].binormals);
    EXPECT_NE(nullptr, model.meshes[0].normals);
    FreeModel(&model);
}

TEST(Load3ds, FileWithoutMeshesOrMaterialsStillLoads) {
    ChunkWriter w;
    BeginModelFile(&w);
    PutMaterial(&w, "only");
    EndModelFile(&w);
    Model model{};
    ASSERT_EQ(1, LoadWritten(w, &model));
    EXPECT_EQ(0, model.meshCount);
    EXPECT_EQ(1, model.materialCount);
    EXPECT_EQ(0, model.vertexTotal);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(0.0f, model.center[k]);
    FreeModel(&model);

    ChunkWriter bare;
    BeginModelFile(&bare);
    EndModelFile(&bare);
    ASSERT_EQ(1, LoadWritten(bare, &model));
    EXPECT_TRUE(ModelIsEmpty(model));
    FreeModel(&model);
}

TEST(Load3ds, OnlyTheFirstChildDecidesTheObjectKind) {
    ChunkWriter w;
    BeginModelFile(&w);
    BeginChunk(&w, 0x4000);
    PutString(&w, "hidden");
    BeginChunk(&w, 0x4010);  // object flag first: not catalogued
    EndChunk(&w);
    BeginChunk(&w, 0x4100);
    PutVertexList(&w, {0, 0, 0});
    EndChunk(&w);
    EndChunk(&w);
    BeginChunk(&w, 0x4000);  // a named object without children
    PutString(&w, "empty");
    EndChunk(&w);
    PutMeshObject(&w, QuadMesh("shown"));
    EndModelFile(&w);
    Model model{};
    ASSERT_EQ(1, LoadWritten(w, &model));
    ASSERT_EQ(1, model.meshCount);
    EXPECT_STREQ("shown", model.meshes[0].name);
    FreeModel(&model);
}

TEST(Load3ds, OnlyTheFirstChildOfAFaceListNamesTheMaterial) {
    TestMesh mesh = QuadMesh("m");
    ChunkWriter w;
    BeginModelFile(&w);
    PutMaterial(&w, "red");
    BeginChunk(&w, 0x4000);
    PutString(&w, "m");
    BeginChunk(&w, 0x4100);
    PutVertexList(&w, mesh.positions);
    BeginChunk(&w, 0x4120);
    PutU16(&w, 1);
    for (uint16_t v : {0, 1, 2, 0})
        PutU16(&w, v);
    BeginChunk(&w, 0x4150);  // smoothing groups first
    PutU32(&w, 1);
    EndChunk(&w);
    BeginChunk(&w, 0x4130);
    PutString(&w, "red");
    EndChunk(&w);
    EndChunk(&w);
    EndChunk(&w);
    EndChunk(&w);
    EndModelFile(&w);
    Model model{};
    ASSERT_EQ(1, LoadWritten(w, &model));
    ASSERT_EQ(1, model.meshCount);
    EXPECT_STREQ("", model.meshes[0].materialName);
    FreeModel(&model);
}

// The catalogue scan examines 300 chunks: the editor's children, then the
// top-level chunks after the editor at the same level.
TEST(Load3ds, CatalogueScanExaminesAtMost300Chunks) {
    const struct {
        int fillersInEditor;
        bool meshAfterEditor;
        int expectedMeshes;
    } cases[] = {
        {298, false, 1},  // mesh version + 298 fillers + mesh = 300 chunks
        {299, false, 0},
        {298, true, 1},  // the mesh after the editor is the 300th chunk
        {299, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fillersInEditor);
        ChunkWriter w;
        BeginModelFile(&w);
        for (int i = 0; i < c.fillersInEditor; ++i)
            PutFiller(&w);
        if (!c.meshAfterEditor) PutMeshObject(&w, QuadMesh("late"));
        EndChunk(&w);
        if (c.meshAfterEditor) PutMeshObject(&w, QuadMesh("late"));
        EndChunk(&w);
        Model model{};
        ASSERT_EQ(1, LoadWritten(w, &model));
        EXPECT_EQ(c.expectedMeshes, model.meshCount);
        FreeModel(&model);
    }
}

TEST(Load3ds, AtMost300MeshesAreRead) {
    for (int stored : {300, 301}) {
        SCOPED_TRACE(stored);
        ChunkWriter w;
        BeginChunk(&w, 0x4D4D);
        BeginChunk(&w, 0x3D3D);
        TestMesh mesh;
        mesh.positions = {1, 2, 3};
        for (int i = 0; i < stored; ++i) {
            mesh.name = "m" + std::to_string(i);
            PutMeshObject(&w, mesh);
        }
        EndChunk(&w);
        EndChunk(&w);
        Model model{};
        ASSERT_EQ(1, LoadWritten(w, &model));
        ASSERT_EQ(300, model.meshCount);
        EXPECT_STREQ("m0", model.meshes[0].name);
        EXPECT_STREQ("m299", model.meshes[299].name);
        EXPECT_EQ(300, model.vertexTotal);
        FreeModel(&model);
    }
}

TEST(Load3ds, FreeModelEmptiesAndReloadGivesTheSameModel) {
    ChunkWriter w;
    BeginModelFile(&w);
    PutMaterial(&w, "red");
    TestMesh mesh = QuadMesh("quad");
    mesh.materialName = "red";
    PutMeshObject(&w, mesh);
    PutLightObject(&w, "l", 1, 2, 3);
    EndModelFile(&w);
    std::string path = TempPath("reload.3ds");
    ASSERT_TRUE(WriteChunkFile(w, path));
    Model first{};
    ASSERT_EQ(1, Load3ds(&first, path.c_str()));
    Model model{};
    FreeModel(&model);  // on an empty model: nothing happens
    EXPECT_TRUE(ModelIsEmpty(model));
    ASSERT_EQ(1, Load3ds(&model, path.c_str()));
    FreeModel(&model);
    EXPECT_TRUE(ModelIsEmpty(model));
    ASSERT_EQ(1, Load3ds(&model, path.c_str()));
    ASSERT_EQ(first.meshCount, model.meshCount);
    const Mesh& a = first.meshes[0];
    const Mesh& b = model.meshes[0];
    EXPECT_STREQ(a.name, b.name);
    EXPECT_EQ(a.materialIndex, b.materialIndex);
    EXPECT_EQ(0, memcmp(a.positions, b.positions, a.vertexCount * 12));
    EXPECT_EQ(0, memcmp(a.normals, b.normals, a.vertexCount * 12));
    EXPECT_EQ(0, memcmp(a.tangents, b.tangents, a.vertexCount * 12));
    EXPECT_EQ(0, memcmp(first.lights, model.lights, sizeof(Light)));
    FreeModel(&model);
    FreeModel(&first);
    remove(path.c_str());
}
