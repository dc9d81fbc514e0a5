// What the layer costs per frame beyond the driver's own ARB program: one
// draw of a 65,535-vertex mesh with the bump vertex shader recorded through
// the layer, and the same draw with that program written by hand as ARB
// text, side by side. Each iteration is the frame's sequence: set the two
// per-frame values, bind, enable, draw, disable, and wait for the driver.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "render/shader_programs.h"
#include "render/vertex_shader_layer/layer.h"
#include "tests/support/offscreen_gl.h"

namespace {

// A 255 x 257 grid bent into a wave: 65,535 vertices, the most 16-bit
// indices reach.
constexpr int kColumns = 255;
constexpr int kRows = 257;

struct Mesh {
    std::vector<float> positions, normals, texCoords, tangents, binormals;
    std::vector<GLushort> indices;
};

Mesh MakeMesh() {
    Mesh mesh;
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            float s = static_cast<float>(column) / (kColumns - 1);
            float t = static_cast<float>(row) / (kRows - 1);
            float x = 2.0f * s - 1.0f, y = 2.0f * t - 1.0f;
            float z = 0.1f * std::sin(6.0f * x) * std::cos(5.0f * y);
            mesh.positions.insert(mesh.positions.end(), {x, y, z});
            mesh.normals.insert(mesh.normals.end(), {0.0f, 0.0f, 1.0f});
            mesh.texCoords.insert(mesh.texCoords.end(), {s, t});
            mesh.tangents.insert(mesh.tangents.end(), {1.0f, 0.0f, 0.0f});
            mesh.binormals.insert(mesh.binormals.end(), {0.0f, -1.0f, 0.0f});
        }
    }
    for (int row = 0; row + 1 < kRows; ++row) {
        for (int column = 0; column + 1 < kColumns; ++column) {
            GLushort corner = static_cast<GLushort>(row * kColumns + column);
            GLushort up = static_cast<GLushort>(corner + kColumns);
            mesh.indices.insert(mesh.indices.end(),
                                {corner, static_cast<GLushort>(corner + 1), up, up,
                                 static_cast<GLushort>(corner + 1), static_cast<GLushort>(up + 1)});
        }
    }
    return mesh;
}

// The bump vertex shader as someone would write it in ARB text, with the eye
// in local 0 and the bump scale in local 1.
const char kHandWritten[] =
    "!!ARBvp1.0\n"
    "PARAM modelview[4] = { state.matrix.modelview };\n"
    "PARAM projection[4] = { state.matrix.projection };\n"
    "PARAM eye = program.local[0];\n"
    "PARAM bumpScale = program.local[1];\n"
    "TEMP eyeSpace, tangent, binormal, view, inverseLength;\n"
    "DP4 eyeSpace.x, modelview[0], vertex.position;\n"
    "DP4 eyeSpace.y, modelview[1], vertex.position;\n"
    "DP4 eyeSpace.z, modelview[2], vertex.position;\n"
    "DP4 eyeSpace.w, modelview[3], vertex.position;\n"
    "DP4 result.position.x, projection[0], eyeSpace;\n"
    "DP4 result.position.y, projection[1], eyeSpace;\n"
    "DP4 result.position.z, projection[2], eyeSpace;\n"
    "DP4 result.position.w, projection[3], eyeSpace;\n"
    "MOV result.color, vertex.color;\n"
    "MOV result.texcoord[0], vertex.texcoord[0];\n"
    "MUL tangent, vertex.texcoord[1], bumpScale.x;\n"
    "MUL binormal, vertex.texcoord[2], bumpScale.x;\n"
    "MOV result.texcoord[1].x, tangent.x;\n"
    "MOV result.texcoord[1].y, binormal.x;\n"
    "MOV result.texcoord[1].z, vertex.normal.x;\n"
    "MOV result.texcoord[2].x, tangent.y;\n"
    "MOV result.texcoord[2].y, binormal.y;\n"
    "MOV result.texcoord[2].z, vertex.normal.y;\n"
    "MOV result.texcoord[3].x, tangent.z;\n"
    "MOV result.texcoord[3].y, binormal.z;\n"
    "MOV result.texcoord[3].z, vertex.normal.z;\n"
    "SUB view, eye, vertex.position;\n"
    "DP3 inverseLength.x, view, view;\n"
    "RSQ inverseLength.x, inverseLength.x;\n"
    "MUL result.texcoord[4], view, inverseLength.x;\n"
    "END\n";

// The renderer's shader (BuildVertexShader) and its two invariants.
struct BumpVertexShader {
    GLuint shader = 0;
    GLuint eyePositionInvariant = 0;
    GLuint bumpScaleInvariant = 0;
};

struct Scene {
    Mesh mesh;
    BumpVertexShader layered;
    GLuint handWritten = 0;
    PFNGLGENPROGRAMSARBPROC genPrograms;
    PFNGLBINDPROGRAMARBPROC bindProgram;
    PFNGLPROGRAMSTRINGARBPROC programString;
    PFNGLPROGRAMLOCALPARAMETER4FVARBPROC programLocalParameter;
};

const float kEye[4] = {0.2f, 0.5f, 3.0f, 1.0f};
const float kBumpScale = 0.5f;

void SetArrays(const Mesh& mesh) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, mesh.positions.data());
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, mesh.normals.data());
    const float* sets[3] = {mesh.texCoords.data(), mesh.tangents.data(), mesh.binormals.data()};
    for (int set = 0; set < 3; ++set) {
        ext::glClientActiveTextureARB(GL_TEXTURE0_ARB + set);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(set == 0 ? 2 : 3, GL_FLOAT, 0, sets[set]);
    }
    ext::glClientActiveTextureARB(GL_TEXTURE0_ARB);
}

void Draw(const Mesh& mesh) {
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.indices.size()), GL_UNSIGNED_SHORT,
                   mesh.indices.data());
}

// One draw with each program first, so that neither timing pays for the
// driver compiling its code on first use.
void WarmUp(const Scene& scene) {
    ext::glBindVertexShaderEXT(scene.layered.shader);
    SetVertexShaderEnabled(1);
    Draw(scene.mesh);
    SetVertexShaderEnabled(0);
    scene.bindProgram(GL_VERTEX_PROGRAM_ARB, scene.handWritten);
    glEnable(GL_VERTEX_PROGRAM_ARB);
    Draw(scene.mesh);
    glDisable(GL_VERTEX_PROGRAM_ARB);
    glFinish();
}

Scene* SharedScene() {
    static Scene* scene = nullptr;
    if (scene != nullptr) return scene;
    if (!MakeOffscreenGlCurrent()) return nullptr;
    FetchMultitextureEntryPoints();
    if (!ChooseVertexShaderExtension() || VertexShaderExtensionSource() != kExtensionLayer)
        return nullptr;
    scene = new Scene;
    scene->mesh = MakeMesh();
    BuildVertexShader(&scene->layered.shader);
    scene->layered.eyePositionInvariant = eyePositionInvariant;
    scene->layered.bumpScaleInvariant = bumpScaleInvariant;
    scene->genPrograms =
        reinterpret_cast<PFNGLGENPROGRAMSARBPROC>(GetGlProcAddress("glGenProgramsARB"));
    scene->bindProgram =
        reinterpret_cast<PFNGLBINDPROGRAMARBPROC>(GetGlProcAddress("glBindProgramARB"));
    scene->programString =
        reinterpret_cast<PFNGLPROGRAMSTRINGARBPROC>(GetGlProcAddress("glProgramStringARB"));
    scene->programLocalParameter = reinterpret_cast<PFNGLPROGRAMLOCALPARAMETER4FVARBPROC>(
        GetGlProcAddress("glProgramLocalParameter4fvARB"));
    scene->genPrograms(1, &scene->handWritten);
    scene->bindProgram(GL_VERTEX_PROGRAM_ARB, scene->handWritten);
    scene->programString(GL_VERTEX_PROGRAM_ARB, GL_PROGRAM_FORMAT_ASCII_ARB,
                         static_cast<GLsizei>(sizeof kHandWritten - 1), kHandWritten);
    GLint errorPosition = 0;
    glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &errorPosition);
    if (errorPosition != -1) {
        std::fprintf(stderr, "hand-written program refused at %d\n", errorPosition);
        return nullptr;
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.6, 0.6, -0.6, 0.6, 1.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -2.5f);
    SetArrays(scene->mesh);
    WarmUp(*scene);
    return scene;
}

void BM_ThroughTheLayer(benchmark::State& state) {
    Scene* scene = SharedScene();
    if (scene == nullptr) return state.SkipWithError("no layer on this driver");
    for (auto _ : state) {
        ext::glSetInvariantEXT(scene->layered.eyePositionInvariant, GL_FLOAT, kEye);
        ext::glSetInvariantEXT(scene->layered.bumpScaleInvariant, GL_FLOAT, &kBumpScale);
        ext::glBindVertexShaderEXT(scene->layered.shader);
        SetVertexShaderEnabled(1);
        Draw(scene->mesh);
        SetVertexShaderEnabled(0);
        glFinish();
    }
    state.counters["vertices"] = kColumns * kRows;
}
BENCHMARK(BM_ThroughTheLayer)->Unit(benchmark::kMillisecond);

void BM_HandWrittenArb(benchmark::State& state) {
    Scene* scene = SharedScene();
    if (scene == nullptr) return state.SkipWithError("no ARB vertex program");
    const float scale[4] = {kBumpScale, kBumpScale, kBumpScale, kBumpScale};
    for (auto _ : state) {
        scene->bindProgram(GL_VERTEX_PROGRAM_ARB, scene->handWritten);
        scene->programLocalParameter(GL_VERTEX_PROGRAM_ARB, 0, kEye);
        scene->programLocalParameter(GL_VERTEX_PROGRAM_ARB, 1, scale);
        glEnable(GL_VERTEX_PROGRAM_ARB);
        Draw(scene->mesh);
        glDisable(GL_VERTEX_PROGRAM_ARB);
        glFinish();
    }
    state.counters["vertices"] = kColumns * kRows;
}
BENCHMARK(BM_HandWrittenArb)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
