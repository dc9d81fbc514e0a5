// Start-up and release of the renderer.
#include <string>

#include "app/app_state.h"
#include "image/texture.h"
#include "render/default_files.h"
#include "render/extensions.h"
#include "render/fragment_shader_layer/layer.h"
#include "render/model_textures.h"
#include "render/platform.h"
#include "render/renderer.h"
#include "render/shader_programs.h"
#include "render/vertex_shader_layer/layer.h"

namespace {

constexpr const char* kDefaultBaseFile = "quarzilbase.tga";
constexpr const char* kDefaultModelFile = "sphere.3ds";

// The renderer cannot run without any of the three; each is reported once,
// in the order tested.
int ReportMissingExtension(const char* message) {
    ShowStartupMessage(message, "OpenGL");
    return 0;
}

void DeleteTexture(GLuint* texture) {
    if (*texture != 0) glDeleteTextures(1, texture);
    *texture = 0;
}

}  // namespace

int InitRenderer() {
    if (!IsExtensionSupported("GL_ARB_multitexture")) {
        return ReportMissingExtension("GL_ARB_multitexture not found!");
    }
    FetchMultitextureEntryPoints();
    // The driver's own GL_EXT_vertex_shader, or the layer on
    // GL_ARB_vertex_program; the choice fetches the group's entry points.
    if (!ChooseVertexShaderExtension()) {
        return ReportMissingExtension("GL_EXT_vertex_shader not found!");
    }
    if (!ChooseFragmentShaderExtension()) {
        return ReportMissingExtension("GL_ATI_fragment_shader not found!");
    }

    // Missing or unreadable files leave 0 (or no model); the program runs on.
    // Each is read from the working directory, or else from the program's folder.
    fontTexture = LoadTexture(DefaultFilePath("font.tga").c_str());
    // The overlay puts each font texel on a whole square of pixels (one pixel
    // at 96 DPI, 2 x 2 at 192): nearest keeps the glyphs' edges hard where a
    // linear filter would blend neighbouring texels into grey. At one pixel
    // per texel both filters give the same picture.
    if (fontTexture != 0) {
        glBindTexture(GL_TEXTURE_2D, fontTexture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    }
    baseTextureFile = DefaultFilePath(kDefaultBaseFile);
    baseTexture = LoadTexture(baseTextureFile.c_str());
    normalMapTexture = LoadNormalMapTexture(DefaultFilePath("quarzilbump.tga").c_str());
    environmentCubeMap = LoadCubeMap(DefaultFilePath("./cubemap/gracecubemap.jpg").c_str());
    diffuseCubeMap = LoadCubeMap(DefaultFilePath("./cubemap/gracediffusecubemap.tga").c_str());
    const std::string modelFile = DefaultFilePath(kDefaultModelFile);
    if (Load3ds(&model, modelFile.c_str())) modelLoaded = 1;
    // The default sphere's material names the base picture, so it draws with
    // the base texture itself.
    UpdateModelTextures(modelFile.c_str());

    BuildVertexShader(&vertexShader);
    BuildFragmentShader(&fragmentShader);

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    return 1;
}

void ReleaseRenderer() {
    FreeModel(&model);
    modelLoaded = 0;
    ReleaseModelTextures(&modelTextures);
    baseTextureOverridesMaterials = 0;
    DeleteTexture(&baseTexture);
    DeleteTexture(&normalMapTexture);
    DeleteTexture(&environmentCubeMap);
    DeleteTexture(&diffuseCubeMap);
    // A start-up that stopped at a missing extension fetched no deletion entry
    // point and made no shader object.
    if (fragmentShader != 0 && ext::glDeleteFragmentShaderATI != nullptr) {
        ext::glDeleteFragmentShaderATI(fragmentShader);
    }
    fragmentShader = 0;
    if (vertexShader != 0 && ext::glDeleteVertexShaderEXT != nullptr) {
        ext::glDeleteVertexShaderEXT(vertexShader);
    }
    vertexShader = 0;
}
