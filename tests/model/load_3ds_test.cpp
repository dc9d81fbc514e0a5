// Reading rules of the 3DS reader with values worked out by hand, the files it
// refuses or partly drops (under the sanitizers: without stray reads or leaks),
// and the model_info tool's JSON, summary form and exit status.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "model/model.h"
#include "model/model_memory.h"
#include "tests/model/chunk_writer.h"
#include "tests/support/command_output.h"

namespace {

bool ModelIsEmpty(const Model& m) {
    return !m.meshCount && !m.meshes && !m.materialCount && !m.materials && !m.lightCount &&
           !m.lights && !m.cameraCount && !m.cameras;
}

// Master scale: a chunk every scan steps over.
const Bytes kFiller = MakeChunk(0x0100, {F32({1})});
const Bytes kVertices = VertexList({0, 0, 0, 1, 0, 0, 0, 1, 0});

Bytes Repeat(const Bytes& part, int times) {
    Bytes out;
    for (int i = 0; i < times; ++i)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// A file with good meshes "first" and "last" around what is under test.
Bytes Between(const Bytes& middle) {
    return ModelFile({MeshObject(QuadMesh("first")), middle, MeshObject(QuadMesh("last"))});
}

// A file with a mesh of the given children between good ones.
Bytes BadMesh(std::initializer_list<Bytes> children) {
    return Between(Object("bad", {MakeChunk(0x4100, children)}));
}

}  // namespace

// Chunk lengths below 6 or past the parent, or data cut short, fail the whole
// load; a mesh that cannot be drawn safely is left out.
TEST(Load3ds, FilesAreReadRefusedOrLoseTheirUndrawableMesh) {
    Bytes quad = MeshObject(QuadMesh("box"));
    const struct {
        const char* what;
        Bytes file;
        int meshes;  // -1: the load is refused
    } cases[] = {
        {"empty file", {}, -1},
        {"first bytes not 4D 4D", MakeChunk(0x4D4C, {MakeChunk(0x3D3D)}), -1},
        {"main chunk of length 6", MakeChunk(0x4D4D), -1},
        {"no editor chunk", MakeChunk(0x4D4D, {kFiller, MakeChunk(0xB000)}), -1},
        {"editor after 198 chunks",
         MakeChunk(0x4D4D, {Repeat(kFiller, 198), MakeChunk(0x3D3D, {quad})}), 1},
        {"editor after 199 chunks",
         MakeChunk(0x4D4D, {Repeat(kFiller, 199), MakeChunk(0x3D3D, {quad})}), -1},
        // The catalogue examines 300 chunks: mesh version, fillers, then the
        // chunks after the editor at the same level.
        {"mesh is 300th in the editor", ModelFile({Repeat(kFiller, 298), quad}), 1},
        {"mesh is 301st in the editor", ModelFile({Repeat(kFiller, 299), quad}), 0},
        {"mesh after the editor is 300th", ModelFile({Repeat(kFiller, 298)}, quad), 1},
        {"mesh after the editor is 301st", ModelFile({Repeat(kFiller, 299)}, quad), 0},
        {"300 meshes", MakeChunk(0x4D4D, {MakeChunk(0x3D3D, {Repeat(quad, 300)})}), 300},
        {"301 meshes", MakeChunk(0x4D4D, {MakeChunk(0x3D3D, {Repeat(quad, 301)})}), 300},
        {"chunk of length 5", Between(WithLength(kFiller, 5)), -1},
        {"chunk past the editor", Between(WithLength(kFiller, 400)), -1},
        {"length wrapping 32 bits", Between(WithLength(kFiller, 0xFFFFFFFAu)), -1},
        {"mesh child of length 0", BadMesh({WithLength(kFiller, 0)}), -1},
        {"mesh child past the mesh", BadMesh({kVertices, WithLength(kFiller, 11)}), -1},
        {"stray bytes short of a header", BadMesh({kVertices, U16({0x4150})}), -1},
        {"vertex list without its count", BadMesh({MakeChunk(0x4110, {Bytes{1}})}), -1},
        {"vertices cut short", BadMesh({MakeChunk(0x4110, {U16({2}), F32({1, 1, 1, 1, 1})})}), -1},
        {"faces cut short",
         BadMesh({kVertices, MakeChunk(0x4120, {U16({2, 0, 1, 2, 0, 0, 1, 2})})}), -1},
        {"mapping cut short",
         BadMesh({kVertices, MakeChunk(0x4140, {U16({3}), F32({1, 1, 1, 1, 1})})}), -1},
        {"group past the face list",
         BadMesh({kVertices, MakeChunk(0x4120, {U16({0}), WithLength(kFiller, 11)})}), -1},
        {"object child past it", Between(Object("o", {WithLength(MakeChunk(0x4100), 12)})), -1},
        {"light cut short", Between(Object("l", {MakeChunk(0x4600, {F32({1, 2})})})), -1},
        {"camera cut short",
         Between(Object("c", {MakeChunk(0x4700, {F32({1, 1, 1, 1, 1, 1, 1})})})), -1},
        {"colour cut short", Between(MakeChunk(0xAFFF, {Wrapped(0xA010, 0x11, {1, 2})})), -1},
        {"percentage of one byte", Between(MakeChunk(0xAFFF, {Wrapped(0xA040, 0x30, {50})})), -1},
        {"material child past it", Between(MakeChunk(0xAFFF, {WithLength(kFiller, 100)})), -1},
        {"map child of length 2",
         Between(MakeChunk(0xAFFF, {MakeChunk(0xA200, {WithLength(kFiller, 2)})})), -1},
        {"no vertex list", BadMesh({FaceList({0, 1, 2})}), 2},
        {"no vertex list nor faces", BadMesh({}), 2},
        {"face index = vertex count", BadMesh({kVertices, FaceList({0, 1, 2, 1, 3, 2})}), 2},
        {"face index 65535", BadMesh({kVertices, FaceList({65535, 1, 2})}), 2},
        {"faces over no vertices", BadMesh({VertexList({}), FaceList({0, 0, 0})}), 2},
        {"too few mapping pairs", BadMesh({kVertices, Mapping({0, 0, 1, 1})}), 2},
        {"too many mapping pairs", BadMesh({kVertices, Mapping({0, 0, 1, 1, 0, 1, 1, 0})}), 2},
        {"no zero in 20 name bytes",
         Between(MakeChunk(0x4000, {Bytes(20, 'a'), MakeChunk(0x4100, {kVertices})})), 2},
        {"name cut by the object's end", Between(MakeChunk(0x4000, {Bytes{'a', 'b', 'c'}})), 2},
        // Only if each later list replaces the earlier one are all indices valid.
        {"repeated lists",
         BadMesh({VertexList({9, 9, 9}), FaceList({0, 1, 5}), Mapping({0, 0}), kVertices,
                  FaceList({0, 1, 2}), Mapping({0, 0, 1, 0, 0, 1})}),
         3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Model model{};
        model.meshCount = 3;
        EXPECT_EQ(c.meshes >= 0, LoadWritten(c.file, &model));
        EXPECT_EQ(c.meshes >= 0 ? c.meshes : 0, model.meshCount);
        EXPECT_TRUE(c.meshes >= 0 || ModelIsEmpty(model));
        EXPECT_TRUE(c.meshes != 2 || std::string("last") == model.meshes[1].name);
        FreeModel(&model);
    }
}

TEST(Load3ds, FileEndingEarlyIsRefusedAtEveryLength) {
    Bytes full = SampleModelFile();
    Model model{};
    for (size_t size = 0; size < full.size(); ++size)
        EXPECT_TRUE(!LoadWritten(Bytes(full.begin(), full.begin() + size), &model) &&
                    ModelIsEmpty(model))
            << size;
    // Bytes after the main chunk are not the model's business.
    EXPECT_EQ(1, LoadWritten(Cat({full, U32({0xDEADBEEF})}), &model));
    FreeModel(&model);
}

TEST(Load3ds, FailedAllocationAtEveryStepLeavesEmptyModel) {
    // Every table and array of the sample; a bent quad whose two faces lie in
    // two groups, read and split into 6 vertices; and the quad in one group,
    // which keeps its own arrays.
    TestMesh bent = QuadMesh("bent"), one = QuadMesh("one");
    bent.positions[8] = 1;
    bent.smoothing = {1, 2};
    one.smoothing = {1, 1};
    const Bytes file = SampleModelFile(Cat({MeshObject(bent), MeshObject(one)}));
    int result = 0;
    for (int budget = 0; result == 0 && budget < 200; ++budget) {
        SetModelAllocationBudget(budget);
        Model model{};
        result = LoadWritten(file, &model);
        SetModelAllocationBudget(-1);
        EXPECT_EQ(result == 0, ModelIsEmpty(model)) << budget;
        EXPECT_TRUE(result == 0 || (model.meshCount == 3 && model.meshes[1].vertexCount == 6 &&
                                    model.meshes[2].vertexCount == 4));
        FreeModel(&model);
    }
    EXPECT_EQ(1, result);
}

// Names keep '0'..'z' and turn other bytes to '_'; an object name's leading
// digit becomes 'N'. Material names take 16 bytes. The last material of a name
// wins; no face-material group or no match gives -1. A texture file name is
// taken uncleaned, at most 20 bytes, from the map-file-name chunk wherever it
// lies in the map.
TEST(Load3ds, NameRulesAndLastMatchMaterialBinding) {
    Bytes map = MakeChunk(0xA200, {MakeChunk(0x31, {F32({75})}),
                                   MakeChunk(0xA300, {Str("abcdefghijklmnopqrstuvwxyz")}),
                                   MakeChunk(0xA351, {U16({0})})});
    Bytes objects = MakeChunk(0xAFFF, {map});  // a material without a name
    for (const char* name : {"1 red", "abcdefghijklmnopqrst", "shared", "other", "shared"})
        objects = Cat({objects, MakeChunk(0xAFFF, {MakeChunk(0xA000, {Str(name)})})});
    const struct {
        const char *stored, *cleaned, *storedMaterial, *material;
        int index;
    } meshes[] = {
        {"12 box", "N2_box", "1 red", "1_red", 1},
        {"a-b.c", "a_b_c", "abcdefghijklmnopqrst", "abcdefghijklmnop", 2},
        {"Box01", "Box01", "shared", "shared", 5},
        {"0", "N", "missing", "missing", -1},
        {":;@[^`z", ":;@[^`z", "", "", -1},
        {"x{|}~/", "x_____", "", "", -1},
        {"\x80q\xff", "_q_", "", "", -1},
        {"nineteen_chars_long", "nineteen_chars_long", "", "", -1},
    };
    for (const auto& m : meshes) {
        TestMesh mesh = QuadMesh(m.stored);
        mesh.materialName = m.storedMaterial;
        objects = Cat({objects, MeshObject(mesh)});
    }
    // Only the first child of a face list names the material ("smooth"), and
    // only the first child of an object decides its kind.
    Bytes smoothFirst =
        MakeChunk(0x4120, {U16({0}), MakeChunk(0x4150), MakeChunk(0x4130, {Str("shared")})});
    objects = Cat({objects, Object("smooth", {MakeChunk(0x4100, {kVertices, smoothFirst})}),
                   Object("hidden", {MakeChunk(0x4010), MakeChunk(0x4100, {kVertices})}),
                   Object("childless", {})});
    Model model{};
    ASSERT_EQ(1, LoadWritten(ModelFile({objects}), &model));
    ASSERT_EQ(6, model.materialCount);
    EXPECT_STREQ("abcdefghijklmnopqrst", model.materials[0].textureFile);
    ASSERT_EQ(9, model.meshCount);
    for (int i = 0; i < 8; ++i) {
        EXPECT_STREQ(meshes[i].cleaned, model.meshes[i].name);
        EXPECT_STREQ(meshes[i].material, model.meshes[i].materialName);
        EXPECT_EQ(meshes[i].index, model.meshes[i].materialIndex) << meshes[i].cleaned;
    }
    EXPECT_STREQ("", model.meshes[8].materialName);
    EXPECT_EQ(-1, model.meshes[8].materialIndex);
    FreeModel(&model);
}

const std::string kModelInfo = VIEWER_TOOLS_DIR "/model/model_info ";

TEST(ModelInfo, PrintsTheModelAsJson) {
    TestMesh nan = {"nan", {NAN, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}, {}, "", {5}};
    // Float percentage kept, integer one / 100, colour of an unknown kind ignored.
    Bytes other =
        MakeChunk(0xAFFF, {Wrapped(0xA040, 0x31, F32({0.125f})), Wrapped(0xA050, 0x30, U16({100})),
                           Wrapped(0xA010, 0x12, {9})});
    ASSERT_TRUE(WriteChunkFile(SampleModelFile(Cat({MeshObject(nan), other})), "info.3ds"));
    const std::string head =
        R"({"result":1,"vertexTotal":7,"faceTotal":3,"center":[0.5,0.5,0],"boundsMin":[0,0,0],)"
        R"("boundsMax":[1,1,0],"meshes":[{"name":"quad","materialName":"red","materialIndex":0,)"
        R"("vertexCount":4,"faceCount":2,"texCoordCount":4,"center":[0.5,0.5,0],)"
        R"("boundsMin":[0,0,0],"boundsMax":[1,1,0])";
    const std::string quadArrays =
        R"(,"positions":[0,0,0,1,0,0,1,1,0,0,1,0],"faces":[0,1,2,0,2,3],)"
        R"("texCoords":[0,0,1,0,1,1,0,1],"normals":[0,0,1,0,0,1,0,0,1,0,0,1],)"
        R"("tangents":[1,0,0,1,0,0,1,0,0,1,0,0],"binormals":[0,-1,0,0,-1,0,0,-1,0,0,-1,0]},)";
    const std::string nanMesh =
        R"({"name":"nan","materialName":"","materialIndex":-1,"vertexCount":3,"faceCount":1,)"
        R"("texCoordCount":0,"center":[null,0.5,0],"boundsMin":[null,0,0],)"
        R"("boundsMax":[null,1,0])";
    const std::string nanArrays =
        R"(,"positions":[null,0,0,1,0,0,0,1,0],"faces":[0,1,2],"smoothing":[5],"texCoords":[],)"
        R"("normals":[0,0,1,0,0,1,0,0,1],"tangents":[],"binormals":[]})";
    // 24-bit colours are bytes times the single-precision 1/255: 51 gives
    // 0.200000018 where 51 / 255 would give 0.2. Lights and cameras swap y and z.
    const std::string tail =
        R"(],"materials":[{"name":"red","textureFile":"a\"b\\c\u0001\u00e9.tga",)"
        R"("ambient":[1,0.501960814,0],"diffuse":[0.25,2.5,-1],)"
        R"("specular":[0.00392156886,0.200000018,0.800000072],"shininess":0.5,)"
        R"("transparency":37.5},{"name":"","textureFile":"","ambient":[0,0,0],)"
        R"("diffuse":[0,0,0],"specular":[0,0,0],"shininess":0.125,"transparency":1}],)"
        R"("lights":[{"position":[1,3,2],"color":[1,0.501960814,0]},)"
        R"({"position":[-4,-6,5],"color":[0.25,0.5,2]}],)"
        R"("cameras":[{"position":[1,3,2],"target":[4,6,5],"bank":7,"lens":8}]})"
        "\n";
    bool full, summary;
    EXPECT_EQ(head + quadArrays + nanMesh + nanArrays + tail,
              CommandOutput(kModelInfo + "info.3ds", &full));
    EXPECT_EQ(head + R"(,"faces":[0,1,2,0,2,3]},)" + nanMesh +
                  R"(,"faces":[0,1,2],"smoothing":[5]})" + tail,
              CommandOutput(kModelInfo + "info.3ds --summary", &summary));
    EXPECT_TRUE(full && summary);
    // The exit status of a failed load is 1.
    EXPECT_EQ("{\"result\":0}\n1\n", CommandOutput(kModelInfo + "missing.3ds; echo $?"));
}
