#include "render/vertex_shader_layer.h"

// For now only the driver's own extension is used; the layer's entry points
// are not there yet.

namespace {

ExtensionSource vertexShaderSource = kExtensionMissing;

}  // namespace

int ChooseVertexShaderExtension() {
    vertexShaderSource = kExtensionMissing;
    if (!IsExtensionSupported("GL_EXT_vertex_shader")) return 0;
    FetchVertexShaderEntryPoints(GetGlProcAddress);
    vertexShaderSource = kExtensionNative;
    return 1;
}

ExtensionSource VertexShaderExtensionSource() {
    return vertexShaderSource;
}

GlProc LookUpVertexShaderLayerProc(const char*) {
    return nullptr;
}

void SetVertexShaderEnabled(int enabled) {
    if (enabled)
        glEnable(GL_VERTEX_SHADER_EXT);
    else
        glDisable(GL_VERTEX_SHADER_EXT);
}
