// Process-wide application state shared by the shell, the input handling, the
// renderer's start-up and the frame. One instance each; single-threaded, so no
// locking. Portable: the Windows handles live in app/win32/window_state.h, so the
// renderer, the native tests and the tools build without <windows.h>.
#pragma once

#include <cstdint>

#include "app/rotation_math.h"
#include "model/model.h"
#include "render/gl_api.h"

// A point in screen coordinates (the layout of a Win32 POINT).
struct ScreenPoint {
    int32_t x;
    int32_t y;
};

// Client-area size in pixels; the initial values size the first window.
extern int windowWidth;   // 800
extern int windowHeight;  // 600
extern int quitRequested;
// Screen pixels per overlay pixel: 1 at 96 DPI, the whole DPI / 96 above.
extern int overlayScale;

// View state, changed by the input handling and read by every frame.
extern float bumpScale;     // 0.5, kept in [0, 2]
extern float yawDegrees;    // turn about the Y axis
extern float pitchDegrees;  // turn about the X axis
extern float zoomOffset;    // added to the eye distance of -250
// While viewFramed is 1 the view turns about viewCentre (model space) rather
// than the model's origin: set by key F and by every newly opened model.
extern int viewFramed;
extern float viewCentre[3];
extern Quaternion rotationQuaternion;
extern Matrix4 rotationMatrix;

// The model on screen; drawn only while modelLoaded is 1.
extern Model model;
extern int modelLoaded;

// GL texture names; 0 when the file did not yield a texture.
extern GLuint baseTexture;
extern GLuint normalMapTexture;
extern GLuint environmentCubeMap;
extern GLuint diffuseCubeMap;
extern GLuint fontTexture;

// The bump-mapping shader objects and the vertex shader's two invariants.
extern GLuint vertexShader;
extern GLuint fragmentShader;
extern GLuint eyePositionInvariant;
extern GLuint bumpScaleInvariant;

// Frame-rate measurement over blocks of 21 frames.
extern float framesPerSecond;
extern int fpsFrameCount;
extern int64_t fpsCounterFrequency;
extern int64_t fpsLastCounter;

// Where the hidden cursor is held during a drag.
extern ScreenPoint dragAnchor;
