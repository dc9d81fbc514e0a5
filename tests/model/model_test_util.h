// Helpers of the model tests: temporary files and loading what a ChunkWriter
// built.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "model/model.h"
#include "tests/model/chunk_writer.h"

// A path in the test's temporary directory, unique to this process.
inline std::string TempPath(const std::string& name) {
    return testing::TempDir() + "model_test_" + std::to_string(getpid()) + "_" + name;
}

// Writes the file, loads it into model and removes it again.
inline int LoadWritten(const ChunkWriter& w, Model* model) {
    std::string path = TempPath("load.3ds");
    EXPECT_TRUE(WriteChunkFile(w, path));
    int result = Load3ds(model, path.c_str());
    remove(path.c_str());
    return result;
}

inline bool ModelIsEmpty(const Model& model) {
    return model.meshCount == 0 && model.meshes == nullptr && model.materialCount == 0 &&
           model.materials == nullptr && model.lightCount == 0 && model.lights == nullptr &&
           model.cameraCount == 0 && model.cameras == nullptr;
}
