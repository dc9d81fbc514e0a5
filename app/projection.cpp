#include "app/projection.h"

#include "render/gl_api.h"

void ResizeScene(int width, int height) {
    if (height == 0) height = 1;  // a minimised window: no division by zero
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A zero width would make the aspect 0, which gluPerspective refuses
    // silently, leaving an identity projection; 1 keeps a perspective.
    const double aspect = static_cast<double>(width > 0 ? width : 1) / static_cast<double>(height);
    // The near plane is the float 0.1 widened, as the program has always used.
    gluPerspective(90.0, aspect, static_cast<double>(0.1f), 4096.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
