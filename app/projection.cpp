#include "app/projection.h"

#include "render/gl_api.h"

void ResizeScene(int width, int height) {
    if (height == 0) height = 1;  // a minimised window: no division by zero
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // The near plane is the float 0.1 widened, as the program has always used.
    gluPerspective(90.0, static_cast<double>(width) / static_cast<double>(height),
                   static_cast<double>(0.1f), 4096.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
