// Draws the frames of frame_scenes.h through Mesa's own GL_ATI_fragment_shader
// and writes each as raw RGBA bytes to <directory>/<view name>.rgba. The
// frame test runs it beside its own drawing through the layer, because Mesa
// reads its extension override once per process.
#include <cstdio>
#include <cstdlib>

#include "render/fragment_shader_layer/layer.h"
#include "tests/render/fragment_shader_layer/frame_scenes.h"

int main(int argc, char** argv) {
    using namespace fragment_layer_test;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s directory\n", argv[0]);
        return 2;
    }
    unsetenv("MESA_EXTENSION_OVERRIDE");
    std::vector<std::vector<uint8_t>> frames;
    if (!DrawFrameViews(nullptr, argv[1], &frames)) return 1;
    if (FragmentShaderExtensionSource() != kExtensionNative) return 1;
    for (size_t i = 0; i < frames.size(); ++i) {
        const std::string path = std::string(argv[1]) + "/" + kFrameViews[i].name + ".rgba";
        FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr) return 1;
        const size_t written = std::fwrite(frames[i].data(), 1, frames[i].size(), file);
        if (std::fclose(file) != 0 || written != frames[i].size()) return 1;
    }
    return 0;
}
