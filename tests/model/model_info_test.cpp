// The model_info tool: its JSON, string escaping, null for non-finite values,
// the summary form and the exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "tests/model/chunk_writer.h"
#include "tests/model/model_test_util.h"

namespace {

struct ToolRun {
    std::string output;
    int status;
};

ToolRun RunModelInfo(const std::string& arguments) {
    std::string command = std::string(VIEWER_TOOLS_DIR) + "/model/model_info " + arguments;
    ToolRun run = {"", -1};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) != 0)
        run.output.append(buffer, got);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

ChunkWriter InfoFile() {
    ChunkWriter w;
    BeginModelFile(&w);
    BeginChunk(&w, 0xAFFF);
    PutMaterialName(&w, "m");
    PutColor24Chunk(&w, 0xA020, 255, 0, 0);
    PutPercentFloatChunk(&w, 0xA040, 0.5f);
    PutPercentIntChunk(&w, 0xA050, 0);
    PutTextureMap(&w, "a\"b\\c\x01\xe9.tga");
    EndChunk(&w);
    TestMesh tri;
    tri.name = "tri";
    tri.positions = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    tri.faces = {0, 1, 2};
    tri.texCoords = {0, 0, 1, 0, 0, 1};
    tri.materialName = "m";
    PutMeshObject(&w, tri);
    tri.name = "nan";
    tri.positions[0] = NAN;
    tri.texCoords.clear();
    tri.materialName.clear();
    PutMeshObject(&w, tri);
    PutLightObject(&w, "lamp", 1, 2, 3);
    const float camera[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    PutCameraObject(&w, "cam", camera);
    EndModelFile(&w);
    return w;
}

}  // namespace

TEST(ModelInfo, PrintsTheModelAsJson) {
    std::string tool = std::string(VIEWER_TOOLS_DIR) + "/model/model_info";
    ASSERT_EQ(0, access(tool.c_str(), X_OK)) << "model_info not built";
    std::string path = TempPath("info.3ds");
    ASSERT_TRUE(WriteChunkFile(InfoFile(), path));
    const std::string head = R"({"result":1,"vertexTotal":6,"faceTotal":2,"center":[0.5,0.5,0],)"
                             R"("boundsMin":[0,0,0],"boundsMax":[1,1,0],"meshes":[)";
    const std::string tri =
        R"({"name":"tri","materialName":"m","materialIndex":0,"vertexCount":3,"faceCount":1,)"
        R"("texCoordCount":3,"center":[0.5,0.5,0],"boundsMin":[0,0,0],"boundsMax":[1,1,0])";
    const std::string triArrays =
        R"(,"positions":[0,0,0,1,0,0,0,1,0],"faces":[0,1,2],"texCoords":[0,0,1,0,0,1],)"
        R"("normals":[0,0,1,0,0,1,0,0,1],"tangents":[1,0,0,1,0,0,1,0,0],)"
        R"("binormals":[0,-1,0,0,-1,0,0,-1,0])";
    const std::string nan =
        R"({"name":"nan","materialName":"","materialIndex":-1,"vertexCount":3,"faceCount":1,)"
        R"("texCoordCount":0,"center":[null,0.5,0],"boundsMin":[null,0,0],)"
        R"("boundsMax":[null,1,0])";
    const std::string nanArrays =
        R"(,"positions":[null,0,0,1,0,0,0,1,0],"faces":[0,1,2],"texCoords":[],)"
        R"("normals":[0,0,1,0,0,1,0,0,1],"tangents":[],"binormals":[])";
    const std::string tail =
        R"(],"materials":[{"name":"m","textureFile":"a\"b\\c\u0001\u00e9.tga",)"
        R"("ambient":[0,0,0],"diffuse":[1,0,0],"specular":[0,0,0],"shininess":0.5,)"
        R"("transparency":0}],"lights":[{"position":[1,3,2],"color":[1,0.501960814,0]}],)"
        R"("cameras":[{"position":[1,3,2],"target":[4,6,5],"bank":7,"lens":8}]})"
        "\n";

    ToolRun full = RunModelInfo(path);
    EXPECT_EQ(0, full.status);
    EXPECT_EQ(head + tri + triArrays + "}," + nan + nanArrays + "}" + tail, full.output);
    ToolRun summary = RunModelInfo(path + " --summary");
    EXPECT_EQ(0, summary.status);
    const std::string faces = R"(,"faces":[0,1,2])";
    EXPECT_EQ(head + tri + faces + "}," + nan + faces + "}" + tail, summary.output);
    remove(path.c_str());

    ToolRun missing = RunModelInfo(TempPath("missing.3ds"));
    EXPECT_EQ(1, missing.status);
    EXPECT_EQ("{\"result\":0}\n", missing.output);
}
