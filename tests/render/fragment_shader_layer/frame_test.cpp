// Mesa with GL_ATI_fragment_shader hidden: start-up takes the layer, and the
// frames it draws match those of Mesa's own extension (drawn by the helper
// program native_frames in a process without the override) within 2 levels
// per channel at every pixel.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "render/fragment_shader_layer/layer.h"
#include "render/gl_error.h"
#include "tests/render/fragment_shader_layer/frame_scenes.h"

namespace {

using namespace fragment_layer_test;

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

TEST(LayerFrames, MatchTheDriversOwnExtensionWithinTwoLevels) {
    const std::string directory = std::filesystem::current_path().string();
    std::vector<std::vector<uint8_t>> layerFrames;
    ASSERT_TRUE(DrawFrameViews("-GL_ATI_fragment_shader", directory, &layerFrames));
    ASSERT_FALSE(IsExtensionSupported("GL_ATI_fragment_shader"));
    EXPECT_EQ(FragmentShaderExtensionSource(), kExtensionLayer);
    EXPECT_EQ(FetchGlError(), GLenum(GL_NO_ERROR));

    const std::string command = std::string(VIEWER_NATIVE_FRAMES) + " " + directory;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    ASSERT_EQ(layerFrames.size(), std::size(kFrameViews));
    for (size_t i = 0; i < layerFrames.size(); ++i) {
        const std::vector<uint8_t> native = ReadFile(kFrameViews[i].name + std::string(".rgba"));
        const std::vector<uint8_t>& layer = layerFrames[i];
        ASSERT_EQ(native.size(), layer.size()) << kFrameViews[i].name;
        int largest = 0;
        int modelPixels = 0;  // pixels that differ from the frame's corner: not all sky
        for (size_t p = 0; p < layer.size(); p += 4) {
            for (int c = 0; c < 3; ++c) {
                largest = std::max(largest, std::abs(int(layer[p + c]) - int(native[p + c])));
            }
            if (p > 0 && std::abs(int(layer[p]) - int(layer[0])) > 8) ++modelPixels;
        }
        EXPECT_LE(largest, 2) << kFrameViews[i].name;
        EXPECT_GT(modelPixels, 500) << kFrameViews[i].name;
    }
}

}  // namespace
