// The model's own materials: each mesh drawn with its material's texture or
// colour, texture files found next to the model whatever the case of their
// names, each file and colour made once, released once, and the default scene
// drawn as before.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "render/extensions.h"
#include "render/model_textures.h"
#include "render/renderer.h"
#include "tests/materials/materials_scene.h"
#include "tests/renderer/scene_files.h"

namespace {

TEST(Materials, EachMeshShowsItsMaterialsTextureOrColourUntilTheUserChoosesABasePicture) {
    ASSERT_TRUE(StartFlatScene());
    ASSERT_TRUE(WriteThreeSquares());
    ASSERT_TRUE(LoadModel("models/three.3ds"));
    std::vector<std::vector<uint8_t>> colours = SquareColours();
    ExpectColour(colours[0], kTextureRed, "textured");
    ExpectColour(colours[1], kMaterialGreen, "coloured");
    ExpectColour(colours[2], kBase, "without material");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // The frame gives unit 4 back with the base texture bound.
    ext::glActiveTextureARB(GL_TEXTURE4_ARB);
    EXPECT_EQ(IntegerState(GL_TEXTURE_BINDING_2D), static_cast<GLint>(baseTexture));
    ext::glActiveTextureARB(GL_TEXTURE0_ARB);

    // Key T: the chosen base picture on every mesh...
    SetChosenBaseTexture("chosen.tga");
    colours = SquareColours();
    for (const auto& colour : colours)
        ExpectColour(colour, kBase, "after T");
    // ...until the next model load.
    ASSERT_TRUE(LoadModel("models/three.3ds"));
    colours = SquareColours();
    ExpectColour(colours[0], kTextureRed, "textured after reload");
    ExpectColour(colours[1], kMaterialGreen, "coloured after reload");
    ReleaseAll();
}

TEST(Materials, TextureFilesAreFoundBesideTheModelWhateverTheCaseOfTheirNames) {
    struct Case {
        const char* folder;  // the model's, "" for the working directory
        const char* stored;  // the name the material holds
        const char* onDisk;  // the file written, null for none
        bool garbage;        // the file holds no picture
        bool mapped;         // the mesh has mapping coordinates
        bool ownTexture;     // expect the file's texture, else the base or the colour
    };
    const Case cases[] = {
        {"exact", "red.tga", "red.tga", false, true, true},
        {"upper", "RED.TGA", "red.tga", false, true, true},
        {"mixed", "Red.Tga", "RED.TGA", false, true, true},
        {"", "RED.TGA", "red.tga", false, true, true},
        {"missing", "red.tga", nullptr, false, true, false},
        {"other", "red.tga", "blue.tga", false, true, false},
        {"garbage", "red.tga", "red.tga", true, true, false},
        {"unmapped", "red.tga", "red.tga", false, false, false},
    };
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "folder '" << c.folder << "' stored " << c.stored);
        const std::string folder = c.folder[0] ? std::string(c.folder) + "/" : "";
        if (!folder.empty()) {
            std::filesystem::remove_all(c.folder);
            std::filesystem::create_directories(c.folder);
        }
        if (c.onDisk != nullptr) {
            const std::string path = folder + c.onDisk;
            ASSERT_TRUE(c.garbage ? WriteChunkFile(Bytes(40, 0xEE), path)
                                  : WriteFlatTga(path, kTextureRed));
        }
        const std::string modelPath = folder + "one.3ds";
        ASSERT_TRUE(WriteChunkFile(ModelFile({MaterialChunk("m", kMaterialGreen, c.stored),
                                              MeshObject(Square("a", 0, "m", c.mapped))}),
                                   modelPath));
        Model one = {};
        ASSERT_EQ(Load3ds(&one, modelPath.c_str()), 1);
        ModelTextures textures;
        LoadModelTextures(one, modelPath.c_str(), "quarzilbase.tga", &textures);
        ASSERT_EQ(textures.meshTextures.size(), 1u);
        const GLuint texture = textures.meshTextures[0];
        if (c.ownTexture) {
            ASSERT_NE(texture, 0u);
            EXPECT_EQ(FirstTexel(texture), std::vector<uint8_t>(kTextureRed, kTextureRed + 3));
        } else if (!c.mapped) {
            // Without mapping coordinates the picture cannot show: the colour.
            ASSERT_NE(texture, 0u);
            EXPECT_EQ(FirstTexel(texture),
                      std::vector<uint8_t>(kMaterialGreen, kMaterialGreen + 3));
        } else {
            EXPECT_EQ(texture, 0u);  // the base texture
            EXPECT_TRUE(textures.textures.empty());
        }
        ReleaseModelTextures(&textures);
        FreeModel(&one);
        if (c.onDisk != nullptr) std::filesystem::remove(folder + c.onDisk);
    }
}

TEST(Materials, HundredsOfMaterialsMakeOneTexturePerFileAndPerColour) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    const uint8_t red[3] = {255, 0, 0}, blue[3] = {0, 0, 255};
    ASSERT_TRUE(WriteFlatTga("a.tga", kTextureRed) && WriteFlatTga("b.tga", kMaterialGreen));
    // 120 materials and as many meshes (the reader examines 300 chunks at
    // most). By i % 8: a.tga under two spellings (0, 4), b.tga (1, 5), a
    // missing file (2, 6), the colours red (3) and blue (7).
    const char* files[8] = {"A.TGA", "b.tga", "missing.tga", "",
                            "a.tga", "b.tga", "missing.tga", ""};
    Bytes editor;
    for (int i = 0; i < 120; ++i) {
        const std::string name = "m" + std::to_string(i);
        editor = Cat({editor, MaterialChunk(name, i % 8 == 3 ? red : blue, files[i % 8]),
                      MeshObject(Square("s" + std::to_string(i), 0, name))});
    }
    ASSERT_TRUE(WriteChunkFile(ModelFile({editor}), "many.3ds"));
    Model many = {};
    ASSERT_EQ(Load3ds(&many, "many.3ds"), 1);
    ASSERT_EQ(many.materialCount, 120);
    ASSERT_EQ(many.meshCount, 120);

    const int before = CountTextureNames();
    ModelTextures textures;
    LoadModelTextures(many, "many.3ds", "quarzilbase.tga", &textures);
    EXPECT_EQ(textures.textures.size(), 4u);
    EXPECT_EQ(CountTextureNames(), before + 4);
    const std::vector<GLuint>& mesh = textures.meshTextures;
    ASSERT_EQ(mesh.size(), 120u);
    EXPECT_EQ(mesh[0], mesh[4]);
    EXPECT_EQ(mesh[1], mesh[5]);
    EXPECT_EQ(mesh[2], 0u);  // missing: the base texture
    EXPECT_EQ(mesh[6], 0u);
    EXPECT_NE(mesh[3], mesh[7]);
    EXPECT_EQ(FirstTexel(mesh[3]), std::vector<uint8_t>(red, red + 3));
    EXPECT_EQ(FirstTexel(mesh[7]), std::vector<uint8_t>(blue, blue + 3));
    for (int i = 8; i < 120; ++i)
        EXPECT_EQ(mesh[i], mesh[i % 8]) << i;
    ReleaseModelTextures(&textures);
    EXPECT_EQ(CountTextureNames(), before);
    FreeModel(&many);
}

TEST(Materials, ReplacingTheModelReleasesTheOldTexturesExactlyOnce) {
    ASSERT_TRUE(StartFlatScene());
    ASSERT_TRUE(WriteThreeSquares());
    ASSERT_TRUE(WriteFlatTga("models/other.tga", kBase));
    ASSERT_TRUE(WriteChunkFile(ModelFile({MaterialChunk("o", kMaterialGreen, "other.tga"),
                                          MeshObject(Square("o", 0, "o"))}),
                               "models/other.3ds"));
    const int scene = CountTextureNames();
    ASSERT_TRUE(LoadModel("models/three.3ds"));
    const std::vector<GLuint> first = modelTextures.textures;
    EXPECT_EQ(first.size(), 2u);  // red.tga and the green colour
    EXPECT_EQ(CountTextureNames(), scene + 2);

    ASSERT_TRUE(LoadModel("models/other.3ds"));
    EXPECT_EQ(CountTextureNames(), scene + 1);
    for (GLuint name : first)
        EXPECT_FALSE(glIsTexture(name)) << name;

    // A released name may be handed out again (GL 1.1 even makes a texture of
    // any unused name that is bound); a second release must leave it alone.
    for (GLuint name : first)
        glBindTexture(GL_TEXTURE_2D, name);
    ASSERT_FALSE(LoadModel("models/none.3ds"));  // no model: its textures go
    EXPECT_EQ(CountTextureNames(), scene + 2);
    ReleaseModelTextures(&modelTextures);
    ReleaseAll();
    for (GLuint name : first)
        EXPECT_TRUE(glIsTexture(name)) << name;
    glDeleteTextures(static_cast<GLsizei>(first.size()), first.data());
}

TEST(Materials, DefaultSceneDrawsItsSphereWithTheBaseTextureItself) {
    // The sphere's material names "quarzilbase.tga", the base picture: no
    // second texture, no rebinding, the frame as before.
    ASSERT_TRUE(WriteSceneFiles());
    ASSERT_TRUE(UseOffscreenSize(kSize, kSize));
    ASSERT_EQ(InitRenderer(), 1);
    ASSERT_EQ(modelLoaded, 1);
    ASSERT_GT(model.materialCount, 0);
    EXPECT_STREQ(model.materials[model.meshes[0].materialIndex].textureFile, "quarzilbase.tga");
    EXPECT_TRUE(modelTextures.textures.empty());
    EXPECT_EQ(modelTextures.meshTextures, std::vector<GLuint>(model.meshCount, 0));
    EXPECT_EQ(CountTextureNames(), 5);  // font, base, bump, two cube maps
    yawDegrees = 30.0f;
    pitchDegrees = -20.0f;
    RenderFrame();
    const Frame withMaterials = ReadFrame();
    // As every mesh drew before materials were read.
    SetChosenBaseTexture("quarzilbase.tga");
    RenderFrame();
    EXPECT_TRUE(ReadFrame().rgba == withMaterials.rgba);
    ReleaseAll();
    EXPECT_EQ(baseTextureOverridesMaterials, 0);
}

}  // namespace
