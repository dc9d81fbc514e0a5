#include "app/shell/file_choice.h"

#include <cstring>

#include "app/app_state.h"
#include "app/view_framing.h"
#include "image/texture.h"
#include "model/model.h"
#include "model/model_placement.h"
#include "render/model_textures.h"

int ReplaceModel(const char* path) {
    // Read into a model of its own, so a file that fails leaves the one on
    // screen (and its arrays) untouched; Load3ds releases what it read then.
    Model loaded = {};
    if (!Load3ds(&loaded, path)) return 0;
    PlaceModel(&loaded);
    FreeModel(&model);
    model = loaded;
    modelLoaded = 1;
    // The old model's material textures go, the new one's come from its folder.
    UpdateModelTextures(path);
    // Front on and framed, the view key F comes back to; a model that cannot
    // be framed gets the view of the start.
    ResetView();
    FrameModelInView();
    return 1;
}

void OpenBasePicture(const char* path) {
    ReplaceTexture(&baseTexture, LoadTexture, path);
    // The user asked for this picture: it covers the materials' own.
    SetChosenBaseTexture(path);
}

void OpenBumpPicture(const char* path) {
    ReplaceTexture(&normalMapTexture, LoadNormalMapTexture, path);
}

void ReplaceTexture(GLuint* texture, GLuint (*load)(const char*), const char* path) {
    glDeleteTextures(1, texture);
    *texture = load(path);
}

int SettleDialogPath(int chosen, char* path, const char* saved) {
    if (chosen) {
        path[kDialogPathSize - 1] = '\0';
        return 1;
    }
    std::memcpy(path, saved, kDialogPathSize);
    return 0;
}
