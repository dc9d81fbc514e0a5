// libFuzzer target for Load3ds. The reader works on a file by name, so each
// input is written to a temporary file of this process first. A loaded model
// must satisfy what the renderer relies on; anything else traps.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/model.h"
#include "tests/support/bytes.h"

namespace {

std::string inputPath;

void RemoveInput() {
    unlink(inputPath.c_str());
}

// False for NaN and infinite components too: the length is then not near 1.
bool FiniteUnit(const float* v) {
    return std::fabs(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]) - 1.0f) < 1e-3f;
}

void CheckMesh(const Mesh& mesh) {
    for (uint32_t i = 0; i < uint32_t{mesh.faceCount} * 3; ++i)
        if (mesh.faces[i] >= mesh.vertexCount) __builtin_trap();
    if (mesh.texCoordCount != 0 && mesh.texCoordCount != mesh.vertexCount) __builtin_trap();
    if (mesh.vertexCount != 0 && (mesh.positions == nullptr || mesh.normals == nullptr))
        __builtin_trap();
    bool mapped = mesh.texCoordCount != 0;
    if (mapped != (mesh.tangents != nullptr) || mapped != (mesh.binormals != nullptr))
        __builtin_trap();
    for (const float* frame : {mesh.normals, mesh.tangents, mesh.binormals})
        for (uint32_t i = 0; frame != nullptr && i < mesh.vertexCount; ++i)
            if (!FiniteUnit(frame + 3 * i)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* dir = getenv("TMPDIR");
    inputPath = std::string(dir != nullptr ? dir : "/tmp") + "/fuzz_3ds_" +
                std::to_string(getpid()) + ".3ds";
    atexit(RemoveInput);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!WriteBytes(inputPath, Bytes(data, data + size))) abort();
    Model model{};
    if (Load3ds(&model, inputPath.c_str()) == 1) {
        for (int32_t i = 0; i < model.meshCount; ++i)
            CheckMesh(model.meshes[i]);
    } else if (model.meshCount != 0 || model.meshes != nullptr || model.materials != nullptr) {
        __builtin_trap();
    }
    FreeModel(&model);
    return 0;
}
