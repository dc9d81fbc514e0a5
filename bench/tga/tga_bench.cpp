// Decoding speed of LoadTga against stb_image, side by side, on 4096 x 2048
// photo-like pictures (smooth colour with noise, a flat band and a flat disc)
// as 24- and 32-bit, raw and run-length TGA files. Both read from the file.
// Before timing, every file is checked to decode to the same pixels in both.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "image/image.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#include <stb/stb_image.h>

namespace {

constexpr int kWidth = 4096;
constexpr int kHeight = 2048;

struct BenchFile {
    const char* name;
    const char* options;
};

const BenchFile kBenchFiles[] = {
    {"24_raw", "-type TrueColor -compress None"},
    {"24_rle", "-type TrueColor -compress RLE"},
    {"32_raw", "ALPHA -type TrueColorAlpha -compress None"},
    {"32_rle", "ALPHA -type TrueColorAlpha -compress RLE"},
};

std::string benchDirectory;

std::string BenchPath(const char* name) {
    return benchDirectory + "/" + name + ".tga";
}

bool Run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

bool WriteBenchFiles() {
    char pattern[] = "/tmp/tga_bench_XXXXXX";
    if (!mkdtemp(pattern)) return false;
    benchDirectory = pattern;
    std::string size = std::to_string(kWidth) + "x" + std::to_string(kHeight);
    std::string base = benchDirectory + "/base.miff";
    if (!Run("convert -seed 5 -size 1024x512 plasma: -resize " + size +
             "! -attenuate 0.4 +noise Gaussian -fill '#2a6fb0' -draw 'rectangle 0,0 4095,300' "
             "-fill '#f0f0f0' -draw 'circle 3000,1500 3300,1700' -depth 8 " +
             base)) {
        return false;
    }
    for (const BenchFile& file : kBenchFiles) {
        std::string options = file.options;
        std::string alpha;
        if (options.compare(0, 5, "ALPHA") == 0) {
            alpha = "\\( -size " + size +
                    " gradient:white-gray20 \\) -alpha off -compose CopyOpacity -composite ";
            options = options.substr(5);
        }
        if (!Run("convert " + base + " " + alpha + options + " " + BenchPath(file.name))) {
            return false;
        }
    }
    return true;
}

void RemoveBenchFiles() {
    for (const BenchFile& file : kBenchFiles)
        std::remove(BenchPath(file.name).c_str());
    std::remove((benchDirectory + "/base.miff").c_str());
    rmdir(benchDirectory.c_str());
}

// stb_image turns rows upright by the origin bit and channels to red first; our
// reader keeps stored rows (bottom first here) and blue first.
bool SameAsStb(const char* name) {
    std::string path = BenchPath(name);
    Image image{};
    if (!LoadTga(path.c_str(), &image)) return false;
    int width = 0, height = 0, channels = 0;
    unsigned char* theirs = stbi_load(path.c_str(), &width, &height, &channels, 0);
    bool same = theirs && width == image.width && height == image.height &&
                channels * 8 == image.bitsPerPixel;
    for (int row = 0; same && row < height; ++row) {
        const unsigned char* ours = image.pixels + size_t(row) * width * channels;
        const unsigned char* upright = theirs + size_t(height - 1 - row) * width * channels;
        for (int i = 0; same && i < width * channels; i += channels) {
            same = ours[i] == upright[i + 2] && ours[i + 1] == upright[i + 1] &&
                   ours[i + 2] == upright[i] && (channels == 3 || ours[i + 3] == upright[i + 3]);
        }
    }
    stbi_image_free(theirs);
    std::free(image.pixels);
    return same;
}

void CountMegapixels(benchmark::State& state) {
    state.counters["MP/s"] = benchmark::Counter(double(kWidth) * kHeight / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
}

void DecodeWithOurs(benchmark::State& state, const char* name) {
    std::string path = BenchPath(name);
    for (auto _ : state) {
        Image image{};
        if (!LoadTga(path.c_str(), &image)) state.SkipWithError("LoadTga failed");
        benchmark::DoNotOptimize(image.pixels);
        std::free(image.pixels);
    }
    CountMegapixels(state);
}

void DecodeWithStb(benchmark::State& state, const char* name) {
    std::string path = BenchPath(name);
    for (auto _ : state) {
        int width, height, channels;
        unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &channels, 0);
        if (!pixels) state.SkipWithError("stbi_load failed");
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    CountMegapixels(state);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!WriteBenchFiles()) {
        std::fprintf(stderr, "tga_bench: could not write the test pictures\n");
        return 1;
    }
    int status = 0;
    for (const BenchFile& file : kBenchFiles) {
        if (!SameAsStb(file.name)) {
            std::fprintf(stderr, "tga_bench: %s decodes differently from stb_image\n", file.name);
            status = 1;
        }
        benchmark::RegisterBenchmark((std::string("Ours/") + file.name).c_str(), DecodeWithOurs,
                                     file.name)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("Stb/") + file.name).c_str(), DecodeWithStb,
                                     file.name)
            ->Unit(benchmark::kMillisecond);
    }
    if (status == 0) benchmark::RunSpecifiedBenchmarks();
    RemoveBenchFiles();
    benchmark::Shutdown();
    return status;
}
