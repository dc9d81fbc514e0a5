// What the fragment layer costs per frame: the default scene (assets/) at
// 800 x 600 on Mesa's llvmpipe, drawn with the bump fragment program through
// Mesa's own GL_ATI_fragment_shader and through the layer on
// GL_ARB_fragment_program, in one process and one context. Both programs are
// recorded by the same BuildFragmentShader; only the provider of the
// extension's entry points changes between the two. Every timed frame ends
// with glFinish. On a busy machine, compare the least times of several runs;
// with LP_NUM_THREADS=0 llvmpipe draws in the calling thread, so the CPU time
// column holds the whole frame's work.
#include <benchmark/benchmark.h>

#include <vector>

#include "app/app_state.h"
#include "bench/support/default_scene.h"
#include "render/fragment_shader_layer/layer.h"
#include "render/renderer.h"
#include "render/shader_programs.h"

namespace {

GLuint nativeShader = 0;
GLuint layerShader = 0;

// One context and one start-up for the whole run; the layer's copy of the
// program is recorded once beside the driver's.
bool StartScene() {
    static bool ready = false;
    if (ready) return true;
    if (!MakeDefaultSceneContext()) return false;
    if (!InitRenderer() || FragmentShaderExtensionSource() != kExtensionNative) return false;
    nativeShader = fragmentShader;
    if (!UseFragmentShaderLayer()) return false;
    BuildFragmentShader(&layerShader);
    ready = true;
    return true;
}

void BM_DefaultSceneFrame(benchmark::State& state) {
    if (!StartScene()) {
        state.SkipWithError("no context, no start-up or no GL_ATI_fragment_shader");
        return;
    }
    const bool throughLayer = state.range(0) != 0;
    if (throughLayer) {
        UseFragmentShaderLayer();
        fragmentShader = layerShader;
    } else {
        ChooseFragmentShaderExtension();
        fragmentShader = nativeShader;
    }
    RenderFrame();  // the first frame builds what the driver builds lazily
    glFinish();
    for (auto _ : state) {
        RenderFrame();
        glFinish();
    }
}
BENCHMARK(BM_DefaultSceneFrame)
    ->ArgName("layer")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
