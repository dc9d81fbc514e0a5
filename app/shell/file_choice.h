// The portable half of keys M and T: what a file chosen in a dialog does to
// the model and the textures, and how the dialogs' shared path buffer is kept
// sound. The dialogs themselves are in app/win32/file_dialogs.cpp.
#pragma once

#include <cstddef>

#include "render/gl_api.h"

// The dialogs' file-name buffer, in bytes, terminator included: room for a
// path of 260 UTF-16 units (MAX_PATH), each up to three bytes in UTF-8, the
// code page of the narrow dialog calls.
constexpr size_t kDialogPathSize = 3 * 260 + 1;

// Loads the model at path. On success the old model and its material textures
// are released (once) and the new one, placed upright about the origin at the
// default sphere's size (PlaceModel), is drawn with its own materials (which
// also ends a base picture's override) in the view of key F; on
// failure the partly read file is released and the old model, loaded or not,
// stays as it was with its textures. Returns 1 on success. Needs a current GL
// context.
int ReplaceModel(const char* path);

// Key T's two pictures, also dropped pictures: the base picture (baseTexture
// from LoadTexture, then drawn on every mesh until the next model) and the
// bump picture (normalMapTexture from LoadNormalMapTexture), each through
// ReplaceTexture.
void OpenBasePicture(const char* path);
void OpenBumpPicture(const char* path);

// Deletes *texture (one name; 0 is ignored by GL) and stores what load makes
// of path, 0 included: the old texture is gone even if the file is unreadable.
void ReplaceTexture(GLuint* texture, GLuint (*load)(const char*), const char* path);

// After a dialog that shared path (kDialogPathSize bytes) with earlier ones:
// a chosen file keeps the path, cut to the buffer if need be; a cancelled or
// failed dialog gets back the path it was shown with (saved), since a failing
// dialog may have written into the buffer, e.g. the needed size when the
// chosen path was too long. Returns 1 when a file was chosen.
int SettleDialogPath(int chosen, char* path, const char* saved);
