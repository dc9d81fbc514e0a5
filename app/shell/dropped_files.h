// Files dropped onto the window: which of them count. The first model
// (.3ds) loads as key M would; the first picture (.tga, .jpg, .jpeg) replaces
// the base picture, or the bump picture when Shift is held during the drop.
// Extensions are compared with the case of ASCII letters ignored; the rest
// of a path, in UTF-8, is never touched.
#pragma once

#include <string>
#include <vector>

enum DroppedKind { kDroppedOther, kDroppedModel, kDroppedPicture };

// The kind of a dropped file, by its extension.
DroppedKind KindOfDroppedFile(const std::string& path);

struct DroppedFiles {
    std::string model;    // "" when none was dropped
    std::string picture;  // "" when none was dropped
};

// The first model and the first picture among paths, in the order given.
DroppedFiles PickDroppedFiles(const std::vector<std::string>& paths);

// Opens what was picked: the model first (through ReplaceModel, as key M),
// then the picture as the base picture, or as the bump picture when
// shiftHeld. Needs a current GL context.
void OpenDroppedFiles(const DroppedFiles& files, int shiftHeld);
