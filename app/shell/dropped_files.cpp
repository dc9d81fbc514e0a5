#include "app/shell/dropped_files.h"

#include "app/app_state.h"
#include "app/shell/file_choice.h"
#include "image/texture.h"
#include "render/file_names.h"

DroppedKind KindOfDroppedFile(const std::string& path) {
    if (EndsWithIgnoringAsciiCase(path, ".3ds")) return kDroppedModel;
    for (const char* ending : {".tga", ".jpg", ".jpeg"}) {
        if (EndsWithIgnoringAsciiCase(path, ending)) return kDroppedPicture;
    }
    return kDroppedOther;
}

DroppedFiles PickDroppedFiles(const std::vector<std::string>& paths) {
    DroppedFiles files;
    for (const std::string& path : paths) {
        const DroppedKind kind = KindOfDroppedFile(path);
        if (kind == kDroppedModel && files.model.empty()) files.model = path;
        if (kind == kDroppedPicture && files.picture.empty()) files.picture = path;
    }
    return files;
}

void OpenDroppedFiles(const DroppedFiles& files, int shiftHeld) {
    // The model first: a new model ends a chosen base picture's cover over its
    // materials, so a picture dropped with it must come after.
    if (!files.model.empty()) ReplaceModel(files.model.c_str());
    if (files.picture.empty()) return;
    if (shiftHeld) {
        OpenBumpPicture(files.picture.c_str());
    } else {
        OpenBasePicture(files.picture.c_str());
    }
}
