#include "app/shell/file_choice.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "model/model.h"
#include "render/model_textures.h"
#include "tests/support/offscreen_gl.h"

namespace {

const char kSphere[] = VIEWER_SOURCE_DIR "/assets/sphere.3ds";
const char kNotAModel[] = VIEWER_SOURCE_DIR "/assets/font.tga";

// Under ASan this also proves that every model is released exactly once.
// The material textures follow the model on screen: replaced with it, kept
// when a file fails.
TEST(ReplaceModel, AFileThatFailsKeepsTheModelOnScreen) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    model = Model{};
    modelLoaded = 0;
    // The sphere's material names quarzilbase.tga beside it, not the base
    // picture (none here): one texture of its own.
    baseTextureFile.clear();
    struct Step {
        const char* path;
        int result, loaded;
        bool sameArrays;  // the model on screen is still the one before
    } steps[] = {
        {"missing.3ds", 0, 0, true},  // nothing loaded yet: stays empty
        {kSphere, 1, 1, false},      {kNotAModel, 0, 1, true},
        {"missing.3ds", 0, 1, true}, {kSphere, 1, 1, false},
    };
    for (const Step& step : steps) {
        const Mesh* before = model.meshes;
        const std::vector<GLuint> texturesBefore = modelTextures.textures;
        baseTextureOverridesMaterials = 1;
        EXPECT_EQ(ReplaceModel(step.path), step.result) << step.path;
        EXPECT_EQ(modelLoaded, step.loaded) << step.path;
        EXPECT_EQ(model.meshes == before, step.sameArrays) << step.path;
        if (step.sameArrays) {
            EXPECT_EQ(modelTextures.textures, texturesBefore) << step.path;
            EXPECT_EQ(baseTextureOverridesMaterials, 1) << step.path;
        } else {
            ASSERT_EQ(modelTextures.textures.size(), 1u) << step.path;
            EXPECT_NE(modelTextures.textures, texturesBefore) << step.path;
            for (GLuint name : texturesBefore)
                EXPECT_FALSE(glIsTexture(name)) << step.path;
            EXPECT_EQ(modelTextures.meshTextures[0], modelTextures.textures[0]) << step.path;
            EXPECT_EQ(baseTextureOverridesMaterials, 0) << step.path;
        }
    }
    EXPECT_GT(model.meshCount, 0);
    ReleaseModelTextures(&modelTextures);
    FreeModel(&model);
    modelLoaded = 0;
}

GLuint loadedName = 0;
std::string loadedPath;
GLuint FakeLoad(const char* path) {
    loadedPath = path;
    return loadedName;
}

TEST(ReplaceTexture, TheOldTextureGoesEvenWhenTheNewFileFails) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    GLuint old = 0;
    glGenTextures(1, &old);
    glBindTexture(GL_TEXTURE_2D, old);
    glBindTexture(GL_TEXTURE_2D, 0);
    ASSERT_TRUE(glIsTexture(old));

    GLuint texture = old;
    loadedName = 0;
    ReplaceTexture(&texture, FakeLoad, "unreadable.tga");
    EXPECT_EQ(loadedPath, "unreadable.tga");
    EXPECT_EQ(texture, 0u);
    EXPECT_FALSE(glIsTexture(old));
    // Replacing the 0 deletes nothing and stores the new name.
    loadedName = 77;
    ReplaceTexture(&texture, FakeLoad, "good.tga");
    EXPECT_EQ(texture, 77u);
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

}  // namespace
