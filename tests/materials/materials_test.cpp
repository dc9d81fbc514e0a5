// The model's own materials: each mesh drawn with its material's texture or
// colour, texture files found next to the model whatever the case of their
// names, and each file and colour made once.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "render/extensions.h"
#include "render/model_textures.h"
#include "render/renderer.h"
#include "tests/materials/materials_scene.h"
#include "tests/model/chunk_writer.h"
#include "tests/renderer/scene_files.h"

namespace {

constexpr uint8_t kRed[3] = {200, 20, 10};
constexpr uint8_t kGreen[3] = {30, 180, 60};
using Texel = std::vector<uint8_t>;

// Material with a 24-bit diffuse colour and, when textureFile is not empty, a
// texture map (integer percentage, then the map file name).
Bytes MaterialChunk(const std::string& name, const uint8_t (&diffuse)[3],
                    const std::string& textureFile) {
    const Bytes map =
        MakeChunk(0xA200, {MakeChunk(0x0030, {U16({100})}), MakeChunk(0xA300, {Str(textureFile)})});
    return MakeChunk(0xAFFF, {MakeChunk(0xA000, {Str(name)}),
                              Wrapped(0xA020, 0x0011, {diffuse[0], diffuse[1], diffuse[2]}),
                              textureFile.empty() ? Bytes{} : map});
}

// An 80 x 80 square facing the eye at x = centreX, mapped once over.
Bytes Square(const std::string& name, float centreX, const std::string& material,
             bool mapped = true) {
    const float l = centreX - 40, r = centreX + 40;
    return MeshObject({name,
                       {l, -40, 0, r, -40, 0, r, 40, 0, l, 40, 0},
                       {0, 1, 2, 0, 2, 3},
                       mapped ? std::vector<float>{0, 0, 1, 0, 1, 1, 0, 1} : std::vector<float>{},
                       material});
}

bool WriteFlatTga(const std::string& path, const uint8_t (&rgb)[3]) {
    return WriteTga(path, 1, 1, 24, {rgb[2], rgb[1], rgb[0]});
}

// Texture names the context holds (names are small integers on Mesa).
int CountTextureNames() {
    int count = 0;
    for (GLuint name = 1; name < 4096; ++name)
        count += glIsTexture(name) ? 1 : 0;
    return count;
}

// The texels of a texture; those the tests make are of one texel.
Texel Texels(GLuint texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    return ReadTexImage(GL_TEXTURE_2D, GL_RGB, 3);
}

// What the shell does after a model was chosen.
bool LoadModel(const std::string& path) {
    FreeModel(&model);
    modelLoaded = Load3ds(&model, path.c_str());
    UpdateModelTextures(path.c_str());
    return modelLoaded == 1;
}

// A frame's centre pixels of the squares at x = -150, 0 and 150 (a 90-degree
// view from 250 away: the plane z = 0 spans -250..250) against their colours.
void ExpectSquareColours(const uint8_t (&a)[3], const uint8_t (&b)[3], const uint8_t (&c)[3]) {
    RenderFrame();
    const Frame frame = ReadFrame();
    const uint8_t* expected[3] = {a, b, c};
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(frame.At(19 + 29 * (i / 3), kSize / 2)[i % 3], expected[i / 3][i % 3], 2)
            << "square " << i / 3 << " channel " << i % 3;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// Through the driver's GL_ATI_fragment_shader and through the layer (the
// driver's extension hidden, a process of its own under CTest), whose program
// is chosen before the model is drawn and must sample whatever each mesh binds.
class MaterialsThrough : public testing::TestWithParam<const char*> {};

// Three squares: textured (name stored in upper case, file in lower case, in a
// folder other than the working directory), coloured, and without material.
TEST_P(MaterialsThrough, EachMeshShowsItsOwnColourUntilTheUserChoosesABasePicture) {
    std::filesystem::create_directories("models");
    ASSERT_TRUE(StartFlatScene(GetParam()) && WriteFlatTga("models/red.tga", kRed));
    ASSERT_TRUE(WriteChunkFile(
        ModelFile({MaterialChunk("tex", kGreen, "RED.TGA"), MaterialChunk("green", kGreen, ""),
                   Square("a", -150, "tex"), Square("c", 150, ""), Square("b", 0, "green")}),
        "models/three.3ds"));
    ASSERT_TRUE(LoadModel("models/three.3ds"));
    ExpectSquareColours(kRed, kGreen, kBase);
    // The frame gives unit 4 back with the base texture bound (the last mesh
    // drawn bound its own).
    ext::glActiveTextureARB(GL_TEXTURE4_ARB);
    EXPECT_EQ(IntegerState(GL_TEXTURE_BINDING_2D), GLint(baseTexture));
    ext::glActiveTextureARB(GL_TEXTURE0_ARB);
    // Key T: the chosen base picture on every mesh, until the next model load.
    SetChosenBaseTexture("chosen.tga");
    ExpectSquareColours(kBase, kBase, kBase);
    ASSERT_TRUE(LoadModel("models/three.3ds"));
    ExpectSquareColours(kRed, kGreen, kBase);
    ReleaseAll();
}

INSTANTIATE_TEST_SUITE_P(Shader, MaterialsThrough,
                         testing::Values(nullptr, "-GL_ATI_fragment_shader"),
                         [](const auto& info) { return info.param ? "Layer" : "Driver"; });

TEST(Materials, TextureFilesAreFoundBesideTheModelWhateverTheCaseOfTheirNames) {
    const struct {
        const char* folder;       // the model's, "" for the working directory
        const char* stored;       // the name the material holds
        const char* onDisk;       // the file written, null for none
        bool garbage;             // the file holds no picture
        bool mapped;              // the mesh has mapping coordinates
        const uint8_t* expected;  // the texture's colour, null for the base texture
    } cases[] = {
        {"mixed", "Red.Tga", "RED.TGA", false, true, kRed},
        {"", "RED.TGA", "red.tga", false, true, kRed},
        // UTF-8 folders and names: ASCII letters fold, all others keep case.
        {"Модели", "RED.TGA", "red.tga", false, true, kRed},
        {"模型", "模型.TGA", "模型.tga", false, true, kRed},
        {"Café", "CAFÉ.TGA", "cafÉ.tga", false, true, kRed},
        {"Crème", "CAFÉ.TGA", "café.tga", false, true, nullptr},
        {"missing", "red.tga", nullptr, false, true, nullptr},
        {"other", "red.tga", "blue.tga", false, true, nullptr},
        {"garbage", "red.tga", "red.tga", true, true, nullptr},
        // Without mapping coordinates the picture cannot show: the colour.
        {"unmapped", "red.tga", "red.tga", false, false, kGreen},
    };
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "folder '" << c.folder << "' stored " << c.stored);
        const std::string folder = c.folder[0] ? std::string(c.folder) + "/" : "";
        if (!folder.empty()) std::filesystem::create_directories(folder);  // one per case
        const std::string path = folder + (c.onDisk ? c.onDisk : "");
        ASSERT_TRUE(!c.onDisk ||
                    (c.garbage ? WriteBytes(path, Bytes(40, 0xEE)) : WriteFlatTga(path, kRed)));
        const std::string modelPath = folder + "one.3ds";
        ASSERT_TRUE(WriteChunkFile(
            ModelFile({MaterialChunk("m", kGreen, c.stored), Square("a", 0, "m", c.mapped)}),
            modelPath));
        Model one = {};
        ASSERT_EQ(Load3ds(&one, modelPath.c_str()), 1);
        ModelTextures textures;
        LoadModelTextures(one, modelPath.c_str(), "quarzilbase.tga", &textures);
        ASSERT_EQ(textures.meshTextures.size(), 1u);
        const Texel expected = c.expected ? Texel(c.expected, c.expected + 3) : Texel{};
        const GLuint texture = textures.meshTextures[0];
        EXPECT_EQ(texture ? Texels(texture) : Texel{}, expected);
        EXPECT_EQ(textures.textures.size(), expected.size() / 3);
        ReleaseModelTextures(&textures);
        FreeModel(&one);
    }
}

TEST(Materials, HundredsOfMaterialsMakeOneTexturePerFileAndPerColour) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    const uint8_t red[3] = {255, 0, 0}, blue[3] = {0, 0, 255};
    ASSERT_TRUE(WriteFlatTga("a.tga", kRed) && WriteFlatTga("b.tga", kGreen));
    // 120 materials and as many meshes (the reader examines 300 chunks at
    // most). By i % 8: a.tga under two spellings (0, 4), b.tga (1, 5), a
    // missing file (2, 6), the colours red (3) and blue (7).
    const char* files[8] = {"A.TGA", "b.tga", "missing.tga", "",
                            "a.tga", "b.tga", "missing.tga", ""};
    Bytes editor;
    for (int i = 0; i < 120; ++i) {
        const std::string name = "m" + std::to_string(i);
        editor = Cat({editor, MaterialChunk(name, i % 8 == 3 ? red : blue, files[i % 8]),
                      Square("s" + std::to_string(i), 0, name)});
    }
    ASSERT_TRUE(WriteChunkFile(ModelFile({editor}), "many.3ds"));
    Model many = {};
    ASSERT_EQ(Load3ds(&many, "many.3ds"), 1);
    ASSERT_EQ(many.materialCount + many.meshCount, 240);

    const int before = CountTextureNames();
    ModelTextures textures;
    LoadModelTextures(many, "many.3ds", "quarzilbase.tga", &textures);
    EXPECT_EQ(textures.textures.size(), 4u);
    EXPECT_EQ(CountTextureNames(), before + 4);
    const std::vector<GLuint>& mesh = textures.meshTextures;
    ASSERT_EQ(mesh.size(), 120u);
    const std::pair<int, const uint8_t*> colours[] = {{0, kRed}, {1, kGreen}, {3, red}, {7, blue}};
    for (auto [i, rgb] : colours)
        EXPECT_EQ(Texels(mesh[i]), Texel(rgb, rgb + 3)) << i;
    for (int i = 4; i < 120; ++i)
        EXPECT_EQ(mesh[i], mesh[i % 4 == 3 ? i % 8 : i % 4]) << i;
    ReleaseModelTextures(&textures);
    EXPECT_EQ(CountTextureNames(), before);
    FreeModel(&many);
}

}  // namespace
