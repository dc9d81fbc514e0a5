// Who provides GL_EXT_vertex_shader. This program stands in for a driver that
// offers the extension: it shadows glGetString to add the name, resolves the
// group to an entry point of its own, and watches glEnable and glDisable.
#include <GL/osmesa.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/vertex_shader_layer/layer.h"
#include "tests/support/offscreen_gl.h"

namespace {

bool offerExtension = false;
std::vector<GLenum> switched;  // caps passed to glEnable (+) and glDisable (-)

void APIENTRY DriverEntryPoint() {}

template <typename Function>
Function Driver(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" const GLubyte* GLAPIENTRY glGetString(GLenum name) {
    static auto driver = Driver<const GLubyte*(GLAPIENTRY*)(GLenum)>("glGetString");
    static std::string withExtension;
    if (name != GL_EXTENSIONS || !offerExtension) return driver(name);
    withExtension = reinterpret_cast<const char*>(driver(name));
    withExtension += " GL_EXT_vertex_shader";
    return reinterpret_cast<const GLubyte*>(withExtension.c_str());
}

// The driver would refuse GL_VERTEX_SHADER_EXT, so that one is only noted.
extern "C" void GLAPIENTRY glEnable(GLenum cap) {
    static auto driver = Driver<void(GLAPIENTRY*)(GLenum)>("glEnable");
    switched.push_back(cap);
    if (cap != GL_VERTEX_SHADER_EXT) driver(cap);
}

extern "C" void GLAPIENTRY glDisable(GLenum cap) {
    static auto driver = Driver<void(GLAPIENTRY*)(GLenum)>("glDisable");
    switched.push_back(~cap);
    if (cap != GL_VERTEX_SHADER_EXT) driver(cap);
}

// The platform's resolver: the driver's own group when it offers the extension.
GlProc GetGlProcAddress(const char* name) {
    if (offerExtension && LookUpVertexShaderLayerProc(name) != nullptr)
        return reinterpret_cast<GlProc>(&DriverEntryPoint);
    return reinterpret_cast<GlProc>(OSMesaGetProcAddress(name));
}

void ShowStartupMessage(const char*, const char*) {}

namespace {

// A few entries from the start, middle and end of the group.
const char* const kSampleNames[] = {"glBeginVertexShaderEXT", "glSetInvariantEXT",
                                    "glVariantPointerEXT", "glGetLocalConstantFloatvEXT"};
const void* GroupSample(int i) {
    const void* sample[] = {reinterpret_cast<const void*>(ext::glBeginVertexShaderEXT),
                            reinterpret_cast<const void*>(ext::glSetInvariantEXT),
                            reinterpret_cast<const void*>(ext::glVariantPointerEXT),
                            reinterpret_cast<const void*>(ext::glGetLocalConstantFloatvEXT)};
    return sample[i];
}

// Enables and disables the shader; the caps that reached glEnable/glDisable.
std::vector<GLenum> SwitchShaderOnAndOff() {
    switched.clear();
    SetVertexShaderEnabled(1);
    SetVertexShaderEnabled(0);
    return switched;
}

TEST(VertexShaderChoice, DriverExtensionWinsOverTheLayer) {
    ASSERT_TRUE(MakeOffscreenGlCurrent());
    ASSERT_TRUE(IsExtensionSupported("GL_ARB_vertex_program"));
    offerExtension = true;
    ASSERT_EQ(ChooseVertexShaderExtension(), 1);
    EXPECT_EQ(VertexShaderExtensionSource(), kExtensionNative);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(GroupSample(i), reinterpret_cast<const void*>(&DriverEntryPoint))
            << kSampleNames[i];
    const GLenum cap = GL_VERTEX_SHADER_EXT;
    EXPECT_EQ(SwitchShaderOnAndOff(), (std::vector<GLenum>{cap, ~cap}));
    offerExtension = false;
}

}  // namespace
