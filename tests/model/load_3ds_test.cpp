// Reading rules of the 3DS reader on files built chunk by chunk, with values
// worked out by hand, and the files it refuses or partly drops. Under the
// sanitizers the bad files also show that nothing is read out of bounds or
// leaked.
#include <gtest/gtest.h>

#include <string>

#include "model/model.h"
#include "model/model_memory.h"
#include "tests/model/chunk_writer.h"

namespace {

bool ModelIsEmpty(const Model& m) {
    return !m.meshCount && !m.meshes && !m.materialCount && !m.materials && !m.lightCount &&
           !m.lights && !m.cameraCount && !m.cameras;
}

// Master scale: a chunk every scan steps over.
const Bytes kFiller = MakeChunk(0x0100, {F32({1})});
const std::vector<float> kTri = {0, 0, 0, 1, 0, 0, 0, 1, 0};

Bytes Repeat(const Bytes& part, int times) {
    Bytes out;
    for (int i = 0; i < times; ++i)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

Bytes PointMeshes(int count) {
    Bytes out;
    for (int i = 0; i < count; ++i)
        out = Cat({out, MeshObject({"m" + std::to_string(i), {1, 2, 3}, {}, {}, ""})});
    return out;
}

Bytes BadMesh(std::initializer_list<Bytes> children) {
    return Object("bad", {MakeChunk(0x4100, children)});
}

// Good meshes "first" and "last" around what is under test.
Bytes Sandwich(const Bytes& middle) {
    return ModelFile({MeshObject(QuadMesh("first")), middle, MeshObject(QuadMesh("last"))});
}

}  // namespace

TEST(Load3ds, ScanLimitsAndFileLevelRefusals) {
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
        {"300 meshes", MakeChunk(0x4D4D, {MakeChunk(0x3D3D, {PointMeshes(300)})}), 300},
        {"301 meshes", MakeChunk(0x4D4D, {MakeChunk(0x3D3D, {PointMeshes(301)})}), 300},
        {"editor without objects", ModelFile({}), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Model model{};
        model.meshCount = 3;
        EXPECT_EQ(c.meshes >= 0, LoadWritten(c.file, &model));
        EXPECT_EQ(c.meshes >= 0 ? c.meshes : 0, model.meshCount);
        EXPECT_TRUE(c.meshes >= 0 || ModelIsEmpty(model));
        EXPECT_TRUE(c.meshes != 300 || std::string("m299") == model.meshes[299].name);
        FreeModel(&model);
    }
    Model model{};
    EXPECT_EQ(0, Load3ds(&model, "no/such/file.3ds"));
    EXPECT_TRUE(ModelIsEmpty(model));
}

TEST(Load3ds, BrokenFilesFailWholeAndUndrawableMeshesAreLeftOut) {
    typedef std::pair<const char*, Bytes> Case;
    const Case refused[] = {
        {"chunk of length 0", WithLength(kFiller, 0)},
        {"chunk of length 5", WithLength(kFiller, 5)},
        {"chunk past the editor", WithLength(kFiller, 400)},
        {"length wrapping 32 bits", WithLength(kFiller, 0xFFFFFFFAu)},
        {"mesh child of length 0", BadMesh({WithLength(kFiller, 0)})},
        {"mesh child past the mesh", BadMesh({VertexList(kTri), WithLength(kFiller, 11)})},
        {"stray bytes short of a header", BadMesh({VertexList(kTri), U16({0x4150})})},
        {"vertex list without its count", BadMesh({MakeChunk(0x4110, {Bytes{1}})})},
        {"vertices past the chunk", BadMesh({MakeChunk(0x4110, {U16({2}), F32({1, 1, 1, 1, 1})})})},
        {"faces past the chunk",
         BadMesh({VertexList(kTri), MakeChunk(0x4120, {U16({2, 0, 1, 2, 0, 0, 1, 2})})})},
        {"mapping past the chunk",
         BadMesh({VertexList(kTri), MakeChunk(0x4140, {U16({3}), F32({1, 1, 1, 1, 1})})})},
        {"group past the face list",
         BadMesh({VertexList(kTri), MakeChunk(0x4120, {U16({0}), WithLength(kFiller, 11)})})},
        {"object's first child past it", Object("o", {WithLength(MakeChunk(0x4100), 12)})},
        {"light with two coordinates", Object("l", {MakeChunk(0x4600, {F32({1, 2})})})},
        {"camera with seven values",
         Object("c", {MakeChunk(0x4700, {F32({1, 1, 1, 1, 1, 1, 1})})})},
        {"24-bit colour of two bytes", MakeChunk(0xAFFF, {Wrapped(0xA010, 0x11, {1, 2})})},
        {"percentage of one byte", MakeChunk(0xAFFF, {Wrapped(0xA040, 0x30, {50})})},
        {"material child past it", MakeChunk(0xAFFF, {WithLength(kFiller, 100)})},
        {"texture map child of length 2",
         MakeChunk(0xAFFF, {MakeChunk(0xA200, {WithLength(kFiller, 2)})})},
    };
    const Case leftOut[] = {
        {"no vertex list", BadMesh({FaceList({0, 1, 2})})},
        {"no vertex list nor faces", BadMesh({})},
        {"face index equal to vertex count",
         BadMesh({VertexList(kTri), FaceList({0, 1, 2, 1, 3, 2})})},
        {"face index 65535", BadMesh({VertexList(kTri), FaceList({65535, 1, 2})})},
        {"faces over no vertices", BadMesh({VertexList({}), FaceList({0, 0, 0})})},
        {"fewer mapping pairs than vertices", BadMesh({VertexList(kTri), Mapping({0, 0, 1, 1})})},
        {"more mapping pairs than vertices",
         BadMesh({VertexList(kTri), Mapping({0, 0, 1, 1, 0, 1, 1, 0})})},
        {"name without a zero in 20 bytes",
         MakeChunk(0x4000, {Bytes(20, 'a'), MakeChunk(0x4100, {VertexList(kTri)})})},
        {"name cut by the object's end", MakeChunk(0x4000, {Bytes{'a', 'b', 'c'}})},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.first);
        Model model{};
        EXPECT_EQ(0, LoadWritten(Sandwich(c.second), &model));
        EXPECT_TRUE(ModelIsEmpty(model));
    }
    for (const Case& c : leftOut) {
        SCOPED_TRACE(c.first);
        Model model{};
        EXPECT_EQ(1, LoadWritten(Sandwich(c.second), &model));
        EXPECT_EQ(2, model.meshCount);
        EXPECT_EQ(8, model.vertexTotal);
        EXPECT_EQ(4, model.faceTotal);
        FreeModel(&model);
    }
}

TEST(Load3ds, FileEndingEarlyIsRefusedAtEveryLength) {
    Bytes full = SampleModelFile();
    Model model{};
    for (size_t size = 0; size < full.size(); ++size) {
        SCOPED_TRACE(size);
        EXPECT_EQ(0, LoadWritten(Bytes(full.begin(), full.begin() + size), &model));
        EXPECT_TRUE(ModelIsEmpty(model));
    }
    // Bytes after the main chunk are not the model's business.
    EXPECT_EQ(1, LoadWritten(Cat({full, U32(0xDEADBEEF)}), &model));
    FreeModel(&model);
}

TEST(Load3ds, FailedAllocationAtEveryStepLeavesEmptyModel) {
    std::string path = TempPath("alloc.3ds");
    ASSERT_TRUE(WriteChunkFile(SampleModelFile(), path));
    int failures = 0;
    for (int budget = 0; budget < 100; ++budget, ++failures) {
        SetModelAllocationBudget(budget);
        Model model{};
        int result = Load3ds(&model, path.c_str());
        SetModelAllocationBudget(-1);
        EXPECT_EQ(result, model.meshCount);
        EXPECT_EQ(result == 0, ModelIsEmpty(model));
        FreeModel(&model);
        if (result == 1) break;
    }
    // Mesh table, positions, faces, mapping, material, light and camera
    // tables, normals, tangents, binormals.
    EXPECT_EQ(10, failures);
    remove(path.c_str());
}

TEST(Load3ds, RepeatedListsInOneMeshReplaceEachOther) {
    Bytes twice = BadMesh({VertexList({9, 9, 9}), FaceList({0, 0, 0}), Mapping({0, 0}),
                           VertexList(kTri), FaceList({0, 1, 2}), Mapping({0, 0, 1, 0, 0, 1})});
    Model model{};
    ASSERT_EQ(1, LoadWritten(Sandwich(twice), &model));
    ASSERT_EQ(3, model.meshCount);
    const Mesh& m = model.meshes[1];
    EXPECT_TRUE(m.vertexCount == 3 && m.positions[3] == 1 && m.faces[2] == 2 &&
                m.texCoords[2] == 1);
    FreeModel(&model);
}

TEST(Load3ds, ObjectNamesAreCleanedAndLeadingDigitBecomesN) {
    const char* cases[][2] = {
        {"12 box", "N2_box"},
        {"a-b.c", "a_b_c"},
        {"Box01", "Box01"},
        {"0", "N"},
        {":;@[^`z", ":;@[^`z"},  // all inside '0'..'z'
        {"x{|}~/", "x_____"},
        {"\x80q\xff", "_q_"},
        {"nineteen_chars_long", "nineteen_chars_long"},
    };
    Bytes objects;
    for (const auto& c : cases)
        objects = Cat({objects, MeshObject(QuadMesh(c[0]))});
    Model model{};
    ASSERT_EQ(1, LoadWritten(ModelFile({objects}), &model));
    ASSERT_EQ(8, model.meshCount);
    for (int i = 0; i < 8; ++i)
        EXPECT_STREQ(cases[i][1], model.meshes[i].name);
    FreeModel(&model);
}

// Material names are cleaned too but keep a leading digit and take 16 bytes;
// the last material of a name wins; no face-material group or no match: -1.
TEST(Load3ds, MeshesBindTheLastMaterialOfTheirName) {
    Bytes objects = MakeChunk(0xAFFF);  // a material without a name
    for (const char* name : {"1 red", "abcdefghijklmnopqrst", "shared", "other", "shared"})
        objects = Cat({objects, MakeChunk(0xAFFF, {MakeChunk(0xA000, {Str(name)})})});
    const struct {
        const char *name, *stored, *cleaned;
        int index;
    } meshes[] = {{"digit", "1 red", "1_red", 1},
                  {"long", "abcdefghijklmnopqrst", "abcdefghijklmnop", 2},
                  {"shared", "shared", "shared", 5},
                  {"unmatched", "missing", "missing", -1},
                  {"bare", "", "", -1}};
    for (const auto& m : meshes) {
        TestMesh mesh = QuadMesh(m.name);
        mesh.materialName = m.stored;
        objects = Cat({objects, MeshObject(mesh)});
    }
    // Only the first child of a face list names the material ("smooth"), and
    // only the first child of an object decides its kind.
    Bytes smoothFirst =
        MakeChunk(0x4120, {U16({0}), MakeChunk(0x4150), MakeChunk(0x4130, {Str("shared")})});
    objects = Cat({objects, Object("smooth", {MakeChunk(0x4100, {VertexList(kTri), smoothFirst})}),
                   Object("hidden", {MakeChunk(0x4010), MakeChunk(0x4100, {VertexList(kTri)})}),
                   Object("childless", {})});
    Model model{};
    ASSERT_EQ(1, LoadWritten(ModelFile({objects}), &model));
    EXPECT_EQ(6, model.materialCount);
    ASSERT_EQ(6, model.meshCount);
    for (int i = 0; i < 5; ++i) {
        EXPECT_STREQ(meshes[i].name, model.meshes[i].name);
        EXPECT_STREQ(meshes[i].cleaned, model.meshes[i].materialName);
        EXPECT_EQ(meshes[i].index, model.meshes[i].materialIndex) << meshes[i].name;
    }
    EXPECT_STREQ("", model.meshes[5].materialName);
    EXPECT_EQ(-1, model.meshes[5].materialIndex);
    FreeModel(&model);
}

// The name comes from the map-file-name chunk wherever it lies in the map,
// uncleaned, at most 20 bytes.
TEST(Load3ds, TextureFileComesFromTheMapFileNameChunk) {
    Bytes percent = MakeChunk(0x30, {U16({75})});
    const struct {
        Bytes percentage;
        const char *stored, *expected;
    } cases[] = {
        {percent, "base.tga", "base.tga"},
        {MakeChunk(0x31, {F32({75})}), "bump map.tga", "bump map.tga"},
        {{}, "x.jpg", "x.jpg"},
        {percent, "a b-c\x01.TGA", "a b-c\x01.TGA"},
        {percent, "abcdefghijklmnopqrstuvwxyz", "abcdefghijklmnopqrst"},
    };
    Bytes materials, parameters = MakeChunk(0xA351, {U16({0})});
    for (const auto& c : cases) {
        Bytes name = MakeChunk(0xA300, {Str(c.stored)});
        materials = Cat(
            {materials, MakeChunk(0xAFFF, {MakeChunk(0xA200, {c.percentage, name, parameters})})});
    }
    Model model{};
    ASSERT_EQ(1, LoadWritten(ModelFile({materials}), &model));
    ASSERT_EQ(5, model.materialCount);
    for (int i = 0; i < 5; ++i)
        EXPECT_STREQ(cases[i].expected, model.materials[i].textureFile);
    FreeModel(&model);
}
