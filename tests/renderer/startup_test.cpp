// Start-up with the default files and extensions, without one file, or
// without one of the three extensions, and the release after it; a frame on a
// zero-size client area. Mesa cannot hide GL_ARB_multitexture alone, so this
// program shadows glGetString with the driver's extension list minus the names
// a case takes away, and gluErrorString to see which code a frame shows; its
// platform keeps start-up messages for the test to read. Each case runs as a
// process of its own under CTest (Mesa reads MESA_EXTENSION_OVERRIDE once, and
// entry points fetched by an earlier case would stay).
#include <GL/osmesa.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/projection.h"
#include "render/gl_error.h"
#include "render/platform.h"
#include "render/renderer.h"
#include "tests/renderer/scene_files.h"

namespace {

std::vector<std::string> hiddenExtensions;  // left out of GL_EXTENSIONS while not empty
std::vector<GLenum> errorCodesAsked;        // of gluErrorString, oldest first
std::vector<std::string> startupMessages;   // "caption: text", oldest first

}  // namespace

GlProc GetGlProcAddress(const char* name) {
    return reinterpret_cast<GlProc>(OSMesaGetProcAddress(name));
}

void ShowStartupMessage(const char* text, const char* caption) {
    startupMessages.push_back(std::string(caption) + ": " + text);
}

extern "C" const GLubyte* GLAPIENTRY glGetString(GLenum name) {
    typedef const GLubyte*(GLAPIENTRY * GetString)(GLenum);
    static GetString driver = reinterpret_cast<GetString>(dlsym(RTLD_NEXT, "glGetString"));
    static std::string shadow;
    const GLubyte* value = driver(name);
    if (name != GL_EXTENSIONS || hiddenExtensions.empty() || value == nullptr) return value;
    std::istringstream words(reinterpret_cast<const char*>(value));
    shadow.clear();
    for (std::string word; words >> word;) {
        bool hidden = false;
        for (const std::string& hiddenName : hiddenExtensions)
            hidden = hidden || word == hiddenName;
        if (!hidden) shadow += word + " ";
    }
    return reinterpret_cast<const GLubyte*>(shadow.c_str());
}

extern "C" const GLubyte* GLAPIENTRY gluErrorString(GLenum error) {
    typedef const GLubyte*(GLAPIENTRY * ErrorString)(GLenum);
    static ErrorString glu = reinterpret_cast<ErrorString>(dlsym(RTLD_NEXT, "gluErrorString"));
    errorCodesAsked.push_back(error);
    return glu(error);
}

namespace {

struct StartUpCase {
    const char* name;
    int missingFile;                  // index into kSceneFiles, or -1
    std::vector<std::string> hidden;  // by the glGetString shadow
    const char* mesaOverride;         // MESA_EXTENSION_OVERRIDE
    const char* message;              // the one message of a start-up that stops
};

// Without GL_ARB_vertex_program (or GL_ARB_fragment_program) no layer can
// stand in for the driver's missing extension.
// clang-format off
const StartUpCase kCases[] = {
    {"Everything", -1, {}, nullptr, nullptr},
    {"NoFont", 0, {}, nullptr, nullptr},
    {"NoBase", 1, {}, nullptr, nullptr},
    {"NoBump", 2, {}, nullptr, nullptr},
    {"NoCubeMap", 3, {}, nullptr, nullptr},
    {"NoDiffuseCubeMap", 4, {}, nullptr, nullptr},
    {"NoModel", 5, {}, nullptr, nullptr},
    {"NoMultitexture", -1, {"GL_ARB_multitexture"}, nullptr, "GL_ARB_multitexture not found!"},
    {"NoVertexShader", -1, {"GL_EXT_vertex_shader", "GL_ARB_vertex_program"}, nullptr,
     "GL_EXT_vertex_shader not found!"},
    {"VertexProgramHiddenByMesa", -1, {}, "-GL_ARB_vertex_program", "GL_EXT_vertex_shader not found!"},
    {"NoFragmentShader", -1, {"GL_ATI_fragment_shader", "GL_ARB_fragment_program"}, nullptr,
     "GL_ATI_fragment_shader not found!"},
};
// clang-format on

void PrintTo(const StartUpCase& c, std::ostream* out) {
    *out << c.name;
}

class StartUp : public testing::TestWithParam<StartUpCase> {};

// A missing file leaves its texture or the model out and still starts; a
// missing extension stops with exactly its message, having loaded nothing.
// The release after either leaves nothing, and a second one is safe.
TEST_P(StartUp, LoadsWhatIsThereOrStopsWithItsMessage) {
    const StartUpCase& c = GetParam();
    const bool stops = c.message != nullptr;
    ASSERT_TRUE(UseOffscreenSize(32, 32, c.mesaOverride));
    ASSERT_TRUE(WriteSceneFiles(c.missingFile));
    hiddenExtensions = c.hidden;
    EXPECT_EQ(InitRenderer(), stops ? 0 : 1);
    hiddenExtensions.clear();
    const std::vector<std::string> shown = {std::string("OpenGL: ") + (stops ? c.message : "")};
    EXPECT_EQ(startupMessages, stops ? shown : std::vector<std::string>());
    const GLuint textures[5] = {fontTexture, baseTexture, normalMapTexture, environmentCubeMap,
                                diffuseCubeMap};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(textures[i] == 0, stops || i == c.missingFile) << kSceneFiles[i];
    EXPECT_EQ(modelLoaded, stops || c.missingFile == 5 ? 0 : 1);
    EXPECT_EQ(vertexShader != 0 && fragmentShader != 0, !stops);
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_CULL_FACE), !stops);
    if (!stops) RenderFrame();  // with whatever is there
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    ReleaseAll();
    EXPECT_EQ(baseTexture | normalMapTexture | environmentCubeMap | diffuseCubeMap | vertexShader |
                  fragmentShader,
              0u);
    EXPECT_EQ(modelLoaded + model.meshCount, 0);
    ReleaseRenderer();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(Files, StartUp, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A minimised window (0 x 0 from WM_SIZE): the overlay's orthographic set-up
// is invalid, and the frame's own error fetch, which comes after it, shows
// that error's text; nothing is left for the next frame.
TEST(ZeroSizeFrame, ShowsTheInvalidValueTextAndLeavesNoErrorBehind) {
    ASSERT_TRUE(UseOffscreenSize(64, 64));
    ASSERT_EQ(InitRenderer(), 1);
    errorCodesAsked.clear();
    for (int size : {64, 0, 64}) {
        windowWidth = windowHeight = size;
        ResizeScene(size, size);
        RenderFrame();
    }
    const std::vector<GLenum> shown = {GL_NO_ERROR, GL_INVALID_VALUE, GL_NO_ERROR};
    EXPECT_EQ(errorCodesAsked, shown);
    EXPECT_EQ(FetchGlError(), GLenum(GL_NO_ERROR));
    ReleaseAll();
}

}  // namespace
