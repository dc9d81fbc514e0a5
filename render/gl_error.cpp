#include "render/gl_error.h"

namespace {

GLenum pendingLayerError = GL_NO_ERROR;

}  // namespace

void RaiseLayerError(GLenum error) {
    if (pendingLayerError == GL_NO_ERROR) pendingLayerError = error;
}

GLenum FetchGlError() {
    GLenum error = pendingLayerError;
    if (error == GL_NO_ERROR) return glGetError();
    pendingLayerError = GL_NO_ERROR;
    return error;
}
