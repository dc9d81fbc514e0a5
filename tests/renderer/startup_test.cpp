// Start-up with the default files present or one of them missing, and the
// release that follows it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/app_state.h"
#include "render/renderer.h"
#include "tests/renderer/recording_platform.h"
#include "tests/renderer/scene_files.h"

namespace {

TEST(StartUp, EachMissingFileLeavesItsTextureOrModelOutAndStillStarts) {
    ASSERT_TRUE(UseOffscreenSize(32, 32));
    for (int skip = -1; skip < 6; ++skip) {
        SCOPED_TRACE(skip < 0 ? "none missing" : kSceneFiles[skip]);
        const std::filesystem::path home = std::filesystem::current_path();
        std::filesystem::create_directories("skip" + std::to_string(skip));
        std::filesystem::current_path("skip" + std::to_string(skip));
        ASSERT_TRUE(WriteSceneFiles(skip));
        EXPECT_EQ(InitRenderer(), 1);
        EXPECT_TRUE(StartupMessages().empty());
        const GLuint textures[5] = {fontTexture, baseTexture, normalMapTexture, environmentCubeMap,
                                    diffuseCubeMap};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(textures[i] == 0, i == skip) << kSceneFiles[i];
        EXPECT_EQ(modelLoaded, skip == 5 ? 0 : 1);
        EXPECT_NE(vertexShader, 0u);
        EXPECT_NE(fragmentShader, 0u);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_CULL_FACE));
        // A frame is drawn with whatever is there, without a GL error.
        RenderFrame();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

        ReleaseAll();
        EXPECT_EQ(baseTexture | normalMapTexture | environmentCubeMap | diffuseCubeMap |
                      vertexShader | fragmentShader,
                  0u);
        EXPECT_EQ(modelLoaded + model.meshCount, 0);
        ReleaseRenderer();  // a second release finds nothing left to do
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        std::filesystem::current_path(home);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
    }
}

}  // namespace
