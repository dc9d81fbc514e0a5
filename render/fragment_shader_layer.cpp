#include "render/fragment_shader_layer.h"

// For now only the driver's own extension is used; the layer's entry points
// are not there yet.

namespace {

ExtensionSource fragmentShaderSource = kExtensionMissing;

}  // namespace

int ChooseFragmentShaderExtension() {
    fragmentShaderSource = kExtensionMissing;
    if (!IsExtensionSupported("GL_ATI_fragment_shader")) return 0;
    FetchFragmentShaderEntryPoints(GetGlProcAddress);
    fragmentShaderSource = kExtensionNative;
    return 1;
}

ExtensionSource FragmentShaderExtensionSource() {
    return fragmentShaderSource;
}

GlProc LookUpFragmentShaderLayerProc(const char*) {
    return nullptr;
}

void SetFragmentShaderEnabled(int enabled) {
    if (enabled)
        glEnable(GL_FRAGMENT_SHADER_ATI);
    else
        glDisable(GL_FRAGMENT_SHADER_ATI);
}

void PrepareFragmentShaderForDraw() {}
