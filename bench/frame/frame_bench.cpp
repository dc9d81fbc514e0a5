// The default scene (assets/) at the program's first window size, 800 x 600,
// on Mesa's llvmpipe through OSMesa: the mean time of a frame with and without
// the model, and of a start-up up to its first finished frame. Every timed
// frame ends with glFinish, so the time covers the drawing, not its queueing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/app_state.h"
#include "bench/support/default_scene.h"
#include "render/renderer.h"

namespace {

// Everything a start-up made, the font too, so the next one starts afresh.
void ReleaseScene() {
    ReleaseRenderer();
    if (fontTexture != 0) glDeleteTextures(1, &fontTexture);
    fontTexture = 0;
}

void BM_Frame(benchmark::State& state) {
    if (!MakeDefaultSceneContext() || !InitRenderer()) {
        state.SkipWithError("no context or no start-up");
        return;
    }
    const int loaded = modelLoaded;
    modelLoaded = state.range(0) != 0 ? loaded : 0;
    RenderFrame();  // the first frame builds what the driver builds lazily
    glFinish();
    for (auto _ : state) {
        RenderFrame();
        glFinish();
    }
    modelLoaded = loaded;
    ReleaseScene();
}
BENCHMARK(BM_Frame)->ArgName("model")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StartUpToFirstFrame(benchmark::State& state) {
    if (!MakeDefaultSceneContext()) {
        state.SkipWithError("no context");
        return;
    }
    for (auto _ : state) {
        if (!InitRenderer()) {
            state.SkipWithError("start-up failed");
            break;
        }
        RenderFrame();
        glFinish();
        state.PauseTiming();
        ReleaseScene();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpToFirstFrame)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
