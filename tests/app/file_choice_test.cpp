// The files the viewer opens: from the command line, dropped on it, chosen in
// its dialogs, its default files.
#include "app/shell/file_choice.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/shell/dropped_files.h"
#include "app/view_framing.h"
#include "model/model.h"
#include "render/default_files.h"
#include "render/file_names.h"
#include "render/model_textures.h"
#include "tests/support/offscreen_gl.h"

namespace {

// Under ASan this also proves that every model is released exactly once.
// The material textures follow the model on screen: replaced with it, kept
// when a file fails. A new model, placed about the origin at radius 100,
// opens framed, 100 sqrt(1.64) / 0.8 from the eye; a file that fails keeps
// the view too.
TEST(ReplaceModel, AFileThatFailsKeepsTheModelAndItsView) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    model = Model{};
    modelLoaded = 0;
    // The sphere's material names quarzilbase.tga beside it, not the base
    // picture (none here): one texture of its own.
    baseTextureFile.clear();
    const char* sphere = VIEWER_SOURCE_DIR "/assets/sphere.3ds";
    const char* notAModel = VIEWER_SOURCE_DIR "/assets/font.tga";
    int loaded = 0;  // a file that fails first leaves nothing loaded
    for (const char* path : {"missing.3ds", sphere, notAModel, "missing.3ds", sphere}) {
        const int result = path == sphere;
        loaded |= result;
        SCOPED_TRACE(path);
        const Mesh* before = model.meshes;
        const std::vector<GLuint> texturesBefore = modelTextures.textures;
        baseTextureOverridesMaterials = 1;
        yawDegrees = pitchDegrees = 30.0f;
        zoomOffset = 12.0f;
        EXPECT_EQ(ReplaceModel(path), result);
        EXPECT_EQ(modelLoaded, loaded);
        EXPECT_EQ(model.meshes == before, result == 0);
        if (result == 0) {
            EXPECT_EQ(modelTextures.textures, texturesBefore);
            EXPECT_EQ(baseTextureOverridesMaterials, 1);
            EXPECT_EQ(yawDegrees + pitchDegrees + zoomOffset, 72.0f);
            continue;
        }
        ASSERT_EQ(modelTextures.textures.size(), 1u);
        EXPECT_NE(modelTextures.textures, texturesBefore);
        for (GLuint name : texturesBefore)
            EXPECT_FALSE(glIsTexture(name));
        EXPECT_EQ(modelTextures.meshTextures[0], modelTextures.textures[0]);
        EXPECT_EQ(baseTextureOverridesMaterials, 0);
        EXPECT_EQ(viewFramed, 1);
        EXPECT_NEAR(zoomOffset, 250.0 - 160.0781, 1e-3);
    }
    ReleaseModelTextures(&modelTextures);
    FreeModel(&model);
    modelLoaded = 0;
    ResetView();
}

// A picture, one that fails, the picture again: each time the old texture
// goes, so a file that fails leaves none.
TEST(OpenBumpPicture, TheOldTextureGoesEvenWhenTheNewFileFails) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    const char* picture = VIEWER_SOURCE_DIR "/assets/font.tga";
    for (const char* path : {picture, "missing.tga", picture}) {
        const GLuint old = normalMapTexture;
        OpenBumpPicture(path);
        EXPECT_EQ(normalMapTexture != 0 && glIsTexture(normalMapTexture), path == picture);
        EXPECT_TRUE(old == 0 || !glIsTexture(old));
    }
    glDeleteTextures(1, &normalMapTexture);
    normalMapTexture = 0;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(SettleDialogPath, AChosenPathIsCutAndAFailedDialogLeavesTheBufferAsShown) {
    char saved[kDialogPathSize] = "C:\\models\\first.3ds";
    char path[kDialogPathSize];
    // A dialog that filled the whole buffer: the last byte becomes the end.
    memset(path, 'a', sizeof path);
    EXPECT_EQ(SettleDialogPath(1, path, saved), 1);
    EXPECT_EQ(strlen(path), kDialogPathSize - 1);
    // A path too long for the buffer: the dialog fails and leaves the size it
    // needed in the first bytes; the next dialog must not start with those.
    memset(path, 0, sizeof path);
    path[0] = 0x2c;
    path[1] = 0x01;
    EXPECT_EQ(SettleDialogPath(0, path, saved), 0);
    EXPECT_STREQ(path, "C:\\models\\first.3ds");
}

// By extension, its case ignored: .3ds is a model; .tga, .jpg and .jpeg are
// pictures; of each the first dropped counts.
TEST(PickDroppedFiles, TheFirstModelAndTheFirstPicture) {
    const struct {
        std::vector<std::string> paths;
        const char* model;
        const char* picture;
    } cases[] = {
        {{}, "", ""},
        // None of these; the last ends in a Cyrillic dze, not an s.
        {{"e.png", "f.3ds.txt", "3ds", "g.jpe", "", "C:\\x.tga\\readme", "ship.3dѕ"}, "", ""},
        {{".3ds"}, ".3ds", ""},
        {{"x.doc", "b.TGA", "C:\\m\\a.3ds", "c.3ds", "d.jpeg"}, "C:\\m\\a.3ds", "b.TGA"},
        {{"one.JPEG", "two.tga", "SHIP.3DS"}, "SHIP.3DS", "one.JPEG"},
        {{"b.JPG", "c.jpeg"}, "", "b.JPG"},
        {{"D:\\图.JpEg", "Z:\\КОРАБЛЬ.3DS"}, "Z:\\КОРАБЛЬ.3DS", "D:\\图.JpEg"},
        {{"Café.Tga"}, "", "Café.Tga"},
    };
    for (const auto& c : cases) {
        const DroppedFiles files = PickDroppedFiles(c.paths);
        EXPECT_EQ(files.model, c.model);
        EXPECT_EQ(files.picture, c.picture);
    }
}

using Arguments = std::vector<std::string>;

// Worked out from the C runtime's documented rules, one rule per line.
TEST(SplitCommandLine, FollowsTheRuntimesRules) {
    const struct {
        const char* line;
        Arguments arguments;
    } cases[] = {
        {"viewer.exe   ", {"viewer.exe"}},
        {"viewer.exe\tmodel.3ds", {"viewer.exe", "model.3ds"}},
        {"\"C:\\Program Files\\v\\viewer.exe\" \"C:\\My Models\\a b.3ds\"",
         {"C:\\Program Files\\v\\viewer.exe", "C:\\My Models\\a b.3ds"}},
        // Quotes may start mid-argument and glue parts together.
        {"v C:\\My\" \"Models\\x.3ds", {"v", "C:\\My Models\\x.3ds"}},
        // Backslashes not before a quote stay as they are.
        {"v a\\\\b\\c", {"v", "a\\\\b\\c"}},
        // 2n backslashes and a quote: n backslashes, quoting toggles.
        {"v \"a\\\\\" b", {"v", "a\\", "b"}},
        // 2n + 1 backslashes and a quote: n backslashes and a literal quote.
        {"v a\\\\\\\"b", {"v", "a\\\"b"}},
        {"v a\\\"b c", {"v", "a\"b", "c"}},
        // Two quotes inside quotes: one literal quote, still quoted.
        {"v \"a\"\"b c\"", {"v", "a\"b c"}},
        // An empty pair of quotes is an empty argument.
        {"v \"\" x", {"v", "", "x"}},
        // An unclosed quote runs to the end.
        {"v \"a b", {"v", "a b"}},
        // Backslashes at the end of the line.
        {"v a\\\\", {"v", "a\\\\"}},
        // The program's name knows no escapes.
        {"\"C:\\dir\\\"x y", {"C:\\dir\\x", "y"}},
        {"", {""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitCommandLine(c.line), c.arguments) << c.line;
    EXPECT_TRUE(SplitCommandLine(nullptr).empty());
    // The model to open is the first argument after the program's name.
    EXPECT_EQ(ModelPathFromCommandLine("\"viewer.exe\" "), "");
    EXPECT_EQ(ModelPathFromCommandLine("viewer.exe \"D:\\a b\\c.3ds\" extra"), "D:\\a b\\c.3ds");
    EXPECT_EQ(ModelPathFromCommandLine(nullptr), "");
}

// Each case runs in a directory of its own, the working directory.
TEST(DefaultFiles, TheWorkingDirectoryFirstThenTheProgramsFolder) {
    std::filesystem::create_directories("program/cubemap");
    for (const char* path :
         {"program/sphere.3ds", "program/cubemap/sky.jpg", "font.tga", "program/font.tga"})
        std::ofstream(path) << "x";
    const std::string folder = "program/";
    const struct {
        const char* name;
        std::string found;
    } cases[] = {
        {"font.tga", "font.tga"},                            // both: the working directory wins
        {"sphere.3ds", "program/sphere.3ds"},                // only beside the program
        {"./cubemap/sky.jpg", "program/./cubemap/sky.jpg"},  // in a folder of its own
        {"missing.tga", "missing.tga"},                      // nowhere: fails as before
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindDefaultFile(c.name, folder), c.found) << c.name;
    // No folder known: the working directory only.
    EXPECT_EQ(FindDefaultFile("sphere.3ds", ""), "sphere.3ds");
    programFolder = folder;
    EXPECT_EQ(DefaultFilePath("sphere.3ds"), "program/sphere.3ds");
    programFolder.clear();

    // The program's folder: its path up to the last separator.
    const struct {
        const char* path;
        const char* folder;
    } folders[] = {
        {"C:\\Program Files\\Viewer\\bump_viewer.exe", "C:\\Program Files\\Viewer\\"},
        {"/opt/viewer/bump_viewer.exe", "/opt/viewer/"},
        {"C:viewer.exe", "C:"},
        {"Z:\\tmp\\Модели\\模型\\Café.exe", "Z:\\tmp\\Модели\\模型\\"},
        {"viewer.exe", ""},
    };
    for (const auto& c : folders)
        EXPECT_EQ(FolderOfPath(c.path), c.folder) << c.path;
    EXPECT_EQ(FolderOfPath(nullptr), "");
}

}  // namespace
