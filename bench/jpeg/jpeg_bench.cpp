// Decoding speed of our JPEG reader against stb_image and libjpeg-turbo (its
// default integer transform and its float one), side by side, on 4096 x 2048
// photo-like pictures (smooth colour waves with grain and sharp-edged
// shapes) that cjpeg writes at quality 90 as 4:2:0, 4:4:4 and grey when the
// benchmark starts, and on a 4000 x 3000 one written as a progressive
// 4:2:0 file. Every decoder reads from memory; our reader and stb_image are
// also timed reading the file. Throughput is in megapixels a second.
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <unistd.h>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "image/image.h"
#include "image/jpeg/jpeg.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#include <stb/stb_image.h>

namespace {

struct BenchFile {
    const char* name;
    const char* options;
    int width, height;
    std::string path;
    std::vector<uint8_t> bytes;
};

BenchFile benchFiles[] = {
    {"420", "-quality 90 -sample 2x2", 4096, 2048, {}, {}},
    {"444", "-quality 90 -sample 1x1", 4096, 2048, {}, {}},
    {"grey", "-quality 90 -grayscale", 4096, 2048, {}, {}},
    {"progressive420", "-quality 90 -sample 2x2 -progressive", 4000, 3000, {}, {}},
};

std::string benchDirectory;

// Smooth waves of colour with a little grain, crossed by hard-edged bands
// and discs: roughly what a photograph asks of a decoder.
std::vector<uint8_t> MakePhotoLikePicture(int width, int height) {
    std::vector<uint8_t> rgb(size_t(width) * height * 3);
    std::mt19937 random(42);
    std::vector<float> waveX(width * 3);
    std::vector<float> waveY(height * 3);
    for (int x = 0; x < width; ++x) {
        for (int c = 0; c < 3; ++c)
            waveX[x * 3 + c] = 60 * std::sin(x * (0.004f + c * 0.002f) + c);
    }
    for (int y = 0; y < height; ++y) {
        for (int c = 0; c < 3; ++c)
            waveY[y * 3 + c] = 50 * std::cos(y * (0.006f - c * 0.001f) + 2 * c);
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool band = (x / 200 + y / 300) % 5 == 0;
            int dx = x % 512 - 256;
            int dy = y % 512 - 256;
            bool disc = dx * dx + dy * dy < 90 * 90;
            for (int c = 0; c < 3; ++c) {
                float value = 128 + waveX[x * 3 + c] + waveY[y * 3 + c] + float(random() % 13) - 6;
                if (band) value = 30 + 70 * c;
                if (disc) value = 240 - 90 * c;
                rgb[(size_t(y) * width + x) * 3 + c] = uint8_t(value < 0     ? 0
                                                               : value > 255 ? 255
                                                                             : value);
            }
        }
    }
    return rgb;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return bytes;
    fseek(file, 0, SEEK_END);
    bytes.resize(size_t(ftell(file)));
    fseek(file, 0, SEEK_SET);
    if (fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) bytes.clear();
    fclose(file);
    return bytes;
}

bool WriteBenchFiles() {
    char pattern[] = "/tmp/jpeg_bench_XXXXXX";
    if (!mkdtemp(pattern)) return false;
    benchDirectory = pattern;
    std::string ppm = benchDirectory + "/picture.ppm";
    for (BenchFile& bench : benchFiles) {
        std::vector<uint8_t> rgb = MakePhotoLikePicture(bench.width, bench.height);
        FILE* file = fopen(ppm.c_str(), "wb");
        if (!file) return false;
        fprintf(file, "P6\n%d %d\n255\n", bench.width, bench.height);
        fwrite(rgb.data(), 1, rgb.size(), file);
        fclose(file);
        bench.path = benchDirectory + "/" + bench.name + ".jpg";
        std::string command =
            std::string("cjpeg ") + bench.options + " -outfile " + bench.path + " " + ppm;
        if (system(command.c_str()) != 0) return false;
        bench.bytes = ReadBytes(bench.path);
        if (bench.bytes.empty()) return false;
    }
    remove(ppm.c_str());
    return true;
}

void RemoveBenchFiles() {
    for (BenchFile& bench : benchFiles)
        remove(bench.path.c_str());
    rmdir(benchDirectory.c_str());
}

void SetThroughput(benchmark::State& state, const BenchFile* bench) {
    state.counters["MP/s"] =
        benchmark::Counter(double(bench->width) * bench->height * 1e-6 * double(state.iterations()),
                           benchmark::Counter::kIsRate);
}

void BM_Ours(benchmark::State& state, const BenchFile* bench) {
    for (auto _ : state) {
        Image image{};
        if (!LoadJpegFromMemory(bench->bytes.data(), bench->bytes.size(), &image)) {
            state.SkipWithError("LoadJpegFromMemory failed");
        }
        benchmark::DoNotOptimize(image.pixels);
        free(image.pixels);
    }
    SetThroughput(state, bench);
}

void BM_OursFromFile(benchmark::State& state, const BenchFile* bench) {
    for (auto _ : state) {
        Image image{};
        if (!LoadJpeg(bench->path.c_str(), &image)) state.SkipWithError("LoadJpeg failed");
        benchmark::DoNotOptimize(image.pixels);
        free(image.pixels);
    }
    SetThroughput(state, bench);
}

void BM_StbImage(benchmark::State& state, const BenchFile* bench) {
    for (auto _ : state) {
        int width = 0;
        int height = 0;
        int channels = 0;
        unsigned char* pixels = stbi_load_from_memory(bench->bytes.data(), int(bench->bytes.size()),
                                                      &width, &height, &channels, 0);
        if (!pixels) state.SkipWithError("stbi_load_from_memory failed");
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    SetThroughput(state, bench);
}

void BM_StbImageFromFile(benchmark::State& state, const BenchFile* bench) {
    for (auto _ : state) {
        int width = 0;
        int height = 0;
        int channels = 0;
        unsigned char* pixels = stbi_load(bench->path.c_str(), &width, &height, &channels, 0);
        if (!pixels) state.SkipWithError("stbi_load failed");
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    SetThroughput(state, bench);
}

struct LibjpegError {
    jpeg_error_mgr manager;
    jmp_buf jump;
};

void ExitThroughJump(j_common_ptr info) {
    longjmp(reinterpret_cast<LibjpegError*>(info->err)->jump, 1);
}

bool DecodeWithLibjpeg(const std::vector<uint8_t>& bytes, J_DCT_METHOD method,
                       std::vector<uint8_t>* pixels) {
    jpeg_decompress_struct info;
    LibjpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = ExitThroughJump;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), bytes.size());
    jpeg_read_header(&info, TRUE);
    info.dct_method = method;
    jpeg_start_decompress(&info);
    size_t stride = size_t(info.output_width) * info.output_components;
    pixels->resize(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels->data() + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

void BM_Libjpeg(benchmark::State& state, const BenchFile* bench, J_DCT_METHOD method) {
    std::vector<uint8_t> pixels;
    for (auto _ : state) {
        if (!DecodeWithLibjpeg(bench->bytes, method, &pixels))
            state.SkipWithError("libjpeg failed");
        benchmark::DoNotOptimize(pixels.data());
    }
    SetThroughput(state, bench);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!WriteBenchFiles()) {
        fprintf(stderr, "jpeg_bench: could not write the pictures with cjpeg\n");
        return 1;
    }
    for (const BenchFile& bench : benchFiles) {
        std::string name = bench.name;
        benchmark::RegisterBenchmark(("ours/" + name).c_str(), BM_Ours, &bench)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("ours_file/" + name).c_str(), BM_OursFromFile, &bench)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("stb_image/" + name).c_str(), BM_StbImage, &bench)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("stb_image_file/" + name).c_str(), BM_StbImageFromFile,
                                     &bench)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("libjpeg_islow/" + name).c_str(), BM_Libjpeg, &bench,
                                     JDCT_ISLOW)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("libjpeg_float/" + name).c_str(), BM_Libjpeg, &bench,
                                     JDCT_FLOAT)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    RemoveBenchFiles();
    return 0;
}
