// The model_info tool: its JSON, string escaping, null for non-finite values,
// the summary form and the exit status.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/model/chunk_writer.h"
#include "tests/support/command_output.h"

const std::string kModelInfo = VIEWER_TOOLS_DIR "/model/model_info ";

TEST(ModelInfo, PrintsTheModelAsJson) {
    TestMesh nan = {"nan", {NAN, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}, {}, "", {5}};
    // Float percentage kept, integer one / 100, colour of an unknown kind ignored.
    Bytes other =
        MakeChunk(0xAFFF, {Wrapped(0xA040, 0x31, F32({0.125f})), Wrapped(0xA050, 0x30, U16({100})),
                           Wrapped(0xA010, 0x12, {9})});
    ASSERT_TRUE(WriteChunkFile(SampleModelFile(Cat({MeshObject(nan), other})), "info.3ds"));
    const std::string head =
        R"({"result":1,"vertexTotal":7,"faceTotal":3,"center":[0.5,0.5,0],"boundsMin":[0,0,0],)"
        R"("boundsMax":[1,1,0],"meshes":[{"name":"quad","materialName":"red","materialIndex":0,)"
        R"("vertexCount":4,"faceCount":2,"texCoordCount":4,"center":[0.5,0.5,0],)"
        R"("boundsMin":[0,0,0],"boundsMax":[1,1,0])";
    const std::string quadArrays =
        R"(,"positions":[0,0,0,1,0,0,1,1,0,0,1,0],"faces":[0,1,2,0,2,3],)"
        R"("texCoords":[0,0,1,0,1,1,0,1],"normals":[0,0,1,0,0,1,0,0,1,0,0,1],)"
        R"("tangents":[1,0,0,1,0,0,1,0,0,1,0,0],"binormals":[0,-1,0,0,-1,0,0,-1,0,0,-1,0]},)";
    const std::string nanMesh =
        R"({"name":"nan","materialName":"","materialIndex":-1,"vertexCount":3,"faceCount":1,)"
        R"("texCoordCount":0,"center":[null,0.5,0],"boundsMin":[null,0,0],)"
        R"("boundsMax":[null,1,0])";
    const std::string nanArrays =
        R"(,"positions":[null,0,0,1,0,0,0,1,0],"faces":[0,1,2],"smoothing":[5],"texCoords":[],)"
        R"("normals":[0,0,1,0,0,1,0,0,1],"tangents":[],"binormals":[]})";
    // 24-bit colours are bytes times the single-precision 1/255: 51 gives
    // 0.200000018 where 51 / 255 would give 0.2. Lights and cameras swap y and z.
    const std::string tail =
        R"(],"materials":[{"name":"red","textureFile":"a\"b\\c\u0001\u00e9.tga",)"
        R"("ambient":[1,0.501960814,0],"diffuse":[0.25,2.5,-1],)"
        R"("specular":[0.00392156886,0.200000018,0.800000072],"shininess":0.5,)"
        R"("transparency":37.5},{"name":"","textureFile":"","ambient":[0,0,0],)"
        R"("diffuse":[0,0,0],"specular":[0,0,0],"shininess":0.125,"transparency":1}],)"
        R"("lights":[{"position":[1,3,2],"color":[1,0.501960814,0]},)"
        R"({"position":[-4,-6,5],"color":[0.25,0.5,2]}],)"
        R"("cameras":[{"position":[1,3,2],"target":[4,6,5],"bank":7,"lens":8}]})"
        "\n";
    bool full, summary;
    EXPECT_EQ(head + quadArrays + nanMesh + nanArrays + tail,
              CommandOutput(kModelInfo + "info.3ds", &full));
    EXPECT_EQ(head + R"(,"faces":[0,1,2,0,2,3]},)" + nanMesh +
                  R"(,"faces":[0,1,2],"smoothing":[5]})" + tail,
              CommandOutput(kModelInfo + "info.3ds --summary", &summary));
    EXPECT_TRUE(full && summary);
    // The exit status of a failed load is 1.
    EXPECT_EQ("{\"result\":0}\n1\n", CommandOutput(kModelInfo + "missing.3ds; echo $?"));
}
