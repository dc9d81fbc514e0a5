#include "app/shell/dropped_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(KindOfDroppedFile, ByExtensionWithCaseIgnored) {
    const struct {
        const char* path;
        DroppedKind kind;
    } cases[] = {
        {"C:\\m\\ship.3ds", kDroppedModel},
        {"SHIP.3DS", kDroppedModel},
        {"a.Tga", kDroppedPicture},
        {"b.JPG", kDroppedPicture},
        {"c.jpeg", kDroppedPicture},
        {"d.JPEG", kDroppedPicture},
        {"e.png", kDroppedOther},
        {"f.3ds.txt", kDroppedOther},
        {"3ds", kDroppedOther},
        {".3ds", kDroppedModel},
        {"g.jpe", kDroppedOther},
        {"", kDroppedOther},
        {"C:\\x.tga\\readme", kDroppedOther},
        {"Z:\\Модели\\КОРАБЛЬ.3DS", kDroppedModel},
        {"D:\\模型\\图.JpEg", kDroppedPicture},
        {"Café.TGA", kDroppedPicture},
        {"ship.3dѕ", kDroppedOther},  // a Cyrillic dze, not an s
    };
    for (const auto& c : cases)
        EXPECT_EQ(KindOfDroppedFile(c.path), c.kind) << c.path;
}

TEST(PickDroppedFiles, TheFirstModelAndTheFirstPicture) {
    const struct {
        std::vector<std::string> paths;
        const char* model;
        const char* picture;
    } cases[] = {
        {{}, "", ""},
        {{"notes.txt"}, "", ""},
        {{"a.3ds"}, "a.3ds", ""},
        {{"p.jpg"}, "", "p.jpg"},
        {{"x.doc", "b.TGA", "a.3ds", "c.3ds", "d.jpeg"}, "a.3ds", "b.TGA"},
        {{"one.JPEG", "two.tga", "m.3DS"}, "m.3DS", "one.JPEG"},
    };
    for (const auto& c : cases) {
        const DroppedFiles files = PickDroppedFiles(c.paths);
        EXPECT_EQ(files.model, c.model);
        EXPECT_EQ(files.picture, c.picture);
    }
}

}  // namespace
