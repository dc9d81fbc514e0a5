// snapshot: draws frames of the viewer's scene offscreen on Mesa (OSMesa) and
// writes the last one as a PNG (or a PAM when the name ends in .pam).
//
//   snapshot [--scene DIR] [--out FILE] [--width W] [--height H] [--yaw DEG]
//            [--pitch DEG] [--zoom OFFSET] [--bump SCALE] [--frames N]
//
// DIR is the working directory the renderer loads its default files from
// (default: the repository's assets/). N frames are drawn and timed (default
// 1); from 21 frames on, the overlay's frame rate is measured over blocks of
// 21 frames as the program does. Prints the start-up time (start-up call to
// the first finished frame) and the mean frame time.
#include <GL/osmesa.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/projection.h"
#include "render/renderer.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#endif
#include <stb/stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    std::string scene = VIEWER_DEFAULT_SCENE;
    std::string out = "snapshot.png";
    int width = 800;
    int height = 600;
    float yaw = 0.0f;
    float pitch = 0.0f;
    float zoom = 0.0f;
    float bump = 0.5f;
    int frames = 1;
};

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (name == "--scene") {
            options->scene = value;
        } else if (name == "--out") {
            options->out = value;
        } else if (name == "--width") {
            options->width = std::atoi(value);
        } else if (name == "--height") {
            options->height = std::atoi(value);
        } else if (name == "--yaw") {
            options->yaw = std::strtof(value, nullptr);
        } else if (name == "--pitch") {
            options->pitch = std::strtof(value, nullptr);
        } else if (name == "--zoom") {
            options->zoom = std::strtof(value, nullptr);
        } else if (name == "--bump") {
            options->bump = std::strtof(value, nullptr);
        } else if (name == "--frames") {
            options->frames = std::atoi(value);
        } else {
            return false;
        }
    }
    return options->width > 0 && options->height > 0 && options->width <= 8192 &&
           options->height <= 8192 && options->frames > 0;
}

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

// Rows top first, red-green-blue.
std::vector<unsigned char> UprightRgb(const std::vector<unsigned char>& rgba, int width,
                                      int height) {
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const unsigned char* source = &rgba[static_cast<size_t>(height - 1 - y) * width * 4];
        unsigned char* destination = &rgb[static_cast<size_t>(y) * width * 3];
        for (int x = 0; x < width; ++x) {
            std::memcpy(destination + 3 * x, source + 4 * x, 3);
        }
    }
    return rgb;
}

bool WritePam(const std::string& path, const std::vector<unsigned char>& rgb, int width,
              int height) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    std::fprintf(file, "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\n",
                 width, height);
    const bool written = std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
    return std::fclose(file) == 0 && written;
}

bool EndsWith(const std::string& text, const char* suffix) {
    const size_t length = std::strlen(suffix);
    return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: snapshot [--scene DIR] [--out FILE.png|FILE.pam] [--width W] "
                     "[--height H] [--yaw DEG] [--pitch DEG] [--zoom OFFSET] [--bump SCALE] "
                     "[--frames N]\n");
        return 2;
    }
    // The output name is taken relative to where the tool was started.
    const std::string out = std::filesystem::absolute(options.out).string();
    if (chdir(options.scene.c_str()) != 0) {
        std::fprintf(stderr, "snapshot: cannot enter %s\n", options.scene.c_str());
        return 1;
    }

    std::vector<unsigned char> rgba(static_cast<size_t>(options.width) * options.height * 4);
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 0, nullptr);
    if (context == nullptr ||
        !OSMesaMakeCurrent(context, rgba.data(), GL_UNSIGNED_BYTE, options.width, options.height)) {
        std::fprintf(stderr, "snapshot: no offscreen GL context\n");
        return 1;
    }
    windowWidth = options.width;
    windowHeight = options.height;
    ResizeScene(windowWidth, windowHeight);
    yawDegrees = options.yaw;
    pitchDegrees = options.pitch;
    zoomOffset = options.zoom;
    bumpScale = options.bump;

    const Clock::time_point startUp = Clock::now();
    if (!InitRenderer()) {
        ReleaseRenderer();
        OSMesaDestroyContext(context);
        return 1;
    }
    // Frames as the main loop draws them; the frame rate shown is measured
    // over blocks of 21, as the program measures it.
    Clock::time_point firstFrameDone;
    Clock::time_point blockStart = Clock::now();
    double frameSeconds = 0.0;
    for (int frame = 0; frame < options.frames; ++frame) {
        const Clock::time_point begin = Clock::now();
        RenderFrame();
        glFinish();
        const Clock::time_point end = Clock::now();
        if (frame == 0) firstFrameDone = end;
        frameSeconds += Seconds(end - begin);
        if (++fpsFrameCount > 20) {
            framesPerSecond = static_cast<float>(fpsFrameCount / Seconds(end - blockStart));
            fpsFrameCount = 0;
            blockStart = Clock::now();
        }
    }
    std::printf("start-up to first frame: %.1f ms\n", 1000.0 * Seconds(firstFrameDone - startUp));
    std::printf("mean frame time: %.2f ms over %d frame%s (%dx%d, model %s)\n",
                1000.0 * frameSeconds / options.frames, options.frames,
                options.frames == 1 ? "" : "s", options.width, options.height,
                modelLoaded ? "drawn" : "not loaded");

    const std::vector<unsigned char> rgb = UprightRgb(rgba, options.width, options.height);
    const bool written = EndsWith(out, ".pam")
                             ? WritePam(out, rgb, options.width, options.height)
                             : stbi_write_png(out.c_str(), options.width, options.height, 3,
                                              rgb.data(), options.width * 3) != 0;
    ReleaseRenderer();
    OSMesaDestroyContext(context);
    if (!written) {
        std::fprintf(stderr, "snapshot: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
