// The portable half of the input handling: bump-scale keys, mouse drags and
// the frame-rate count. The window procedure (app/win32/window_proc.cpp) reads the
// platform's messages and cursor and calls these; they change only the
// application state of app/app_state.h and this file's drag flag.
#pragma once

#include <cstdint>

#include "app/app_state.h"

// The mouse and modifier bits of a mouse message's key state (wParam), with
// the values of MK_LBUTTON, MK_RBUTTON, MK_SHIFT, MK_CONTROL and MK_MBUTTON.
constexpr uint32_t kKeyStateLeft = 0x0001;
constexpr uint32_t kKeyStateRight = 0x0002;
constexpr uint32_t kKeyStateShift = 0x0004;
constexpr uint32_t kKeyStateControl = 0x0008;
constexpr uint32_t kKeyStateMiddle = 0x0010;
constexpr uint32_t kKeyStateButtons = kKeyStateLeft | kKeyStateRight | kKeyStateMiddle;

// Numeric-keypad plus and minus: one step of 0.01 in single precision, held
// in [0, 2]; a result at or beyond an end becomes exactly that end.
float RaiseBumpScale(float scale);
float LowerBumpScale(float scale);

// A mouse button went down with the cursor at position: the drag measures from
// there. Returns 1 when this press starts the drag, so the caller hides the
// cursor once per drag however many buttons join it.
int PressDragButton(ScreenPoint position);

// What the release of a mouse button means for the drag.
enum DragRelease {
    kDragGoesOn,          // another button is still held
    kDragEnded,           // last button up: release the capture
    kDragEndedShowCursor  // ... and show the cursor that the drag hid
};
DragRelease ReleaseDragButton(uint32_t keyState);

// Mouse motion to position with the message's key state. Outside a drag the
// anchor follows the cursor. In a drag, a left drag alone turns the model
// (1 degree per pixel), a right drag alone moves it (1 unit per pixel of
// vertical motion, up is nearer, within LimitZoom), anything else only holds
// the cursor.
// Returns 1 when the caller must put the cursor back on dragAnchor.
int MoveMouse(uint32_t keyState, ScreenPoint position);

// The farthest the eye may go from the model's origin, where the sky box (a
// cube of half-edge 1024 about that origin) is centred: 24 units inside the
// largest sphere the box holds, so the eye stays inside it however the view
// is turned and the near plane (0.1) never reaches a wall. The farthest
// corner is then at most 1000 + 1024 sqrt 3 = 2774 away, well inside the far
// plane (4096): no frame shows the clear colour behind the sky.
constexpr float kFarthestEye = 1000.0f;

// zoom held where the eye, 250 - zoom from the turning point (and that point
// viewCentre from the origin while framed), stays within kFarthestEye of the
// origin: a right drag or the wheel going farther stops there, on either side
// of the model.
float LimitZoom(float zoom);

// One notch of the mouse wheel (WHEEL_DELTA) moves the model as far as a right
// drag over this many pixels: a few notches visibly change the default scene.
constexpr int kWheelNotchDelta = 120;
constexpr int kWheelNotchPixels = 25;

// zoom after a wheel turn of wheelDelta (WM_MOUSEWHEEL's signed amount, a
// multiple of kWheelNotchDelta on a notched wheel, finer on a smooth one):
// positive, away from the user, brings the model nearer as a drag upwards does;
// within LimitZoom.
float WheelZoom(float zoom, int wheelDelta);

// Whether the cursor is hidden by a drag under way.
int IsDragCursorHidden();

// Counts one presented frame; every 21st frame sets framesPerSecond from the
// counter reading now and returns 1, after which the caller stores a fresh
// counter reading in fpsLastCounter.
int CountPresentedFrame(int64_t now);
