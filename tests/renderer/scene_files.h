// The six default files of a start-up, small and made in the test's own
// working directory, so each case can leave one out.
#pragma once

#include <filesystem>

#include "app/app_state.h"
#include "render/renderer.h"
#include "tests/renderer/test_font.h"

// The files in the order start-up loads them.
constexpr const char* kSceneFiles[6] = {"font.tga",
                                        "quarzilbase.tga",
                                        "quarzilbump.tga",
                                        "./cubemap/gracecubemap.jpg",
                                        "./cubemap/gracediffusecubemap.tga",
                                        "sphere.3ds"};

// Writes every default file but kSceneFiles[skip]. The cube maps are TGA
// crosses (start-up tries every picture as TGA first); the model is the
// default sphere.
inline bool WriteSceneFiles(int skip = -1) {
    std::filesystem::create_directories("cubemap");
    std::error_code error;
    if (skip != 5) {
        std::filesystem::copy_file(VIEWER_SOURCE_DIR "/assets/sphere.3ds", kSceneFiles[5],
                                   std::filesystem::copy_options::overwrite_existing, error);
    }
    return !error && (skip == 0 || WriteTestFont(kSceneFiles[0])) &&
           (skip == 1 || WriteTga(kSceneFiles[1], 4, 4, 24, PositionPicture(24, 4, 4))) &&
           (skip == 2 || WriteTga(kSceneFiles[2], 4, 4, 8, PositionPicture(8, 4, 4))) &&
           (skip == 3 || WriteTga(kSceneFiles[3], 6, 8, 24, PositionPicture(24, 6, 8))) &&
           (skip == 4 || WriteTga(kSceneFiles[4], 6, 8, 24, PositionPicture(24, 6, 8)));
}

// Releases what a start-up made, the font too (which the program leaves to
// the context), so the next case starts from nothing.
inline void ReleaseAll() {
    ReleaseRenderer();
    if (fontTexture != 0) glDeleteTextures(1, &fontTexture);
    fontTexture = 0;
}
