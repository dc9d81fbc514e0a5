#include "app/shell/dropped_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// By extension, its case ignored: .3ds is a model; .tga, .jpg and .jpeg are
// pictures; of each the first dropped counts.
TEST(PickDroppedFiles, TheFirstModelAndTheFirstPicture) {
    const struct {
        std::vector<std::string> paths;
        const char* model;
        const char* picture;
    } cases[] = {
        {{}, "", ""},
        // None of these; the last ends in a Cyrillic dze, not an s.
        {{"e.png", "f.3ds.txt", "3ds", "g.jpe", "", "C:\\x.tga\\readme", "ship.3dѕ"}, "", ""},
        {{".3ds"}, ".3ds", ""},
        {{"x.doc", "b.TGA", "C:\\m\\a.3ds", "c.3ds", "d.jpeg"}, "C:\\m\\a.3ds", "b.TGA"},
        {{"one.JPEG", "two.tga", "SHIP.3DS"}, "SHIP.3DS", "one.JPEG"},
        {{"b.JPG", "c.jpeg"}, "", "b.JPG"},
        {{"D:\\图.JpEg", "Z:\\КОРАБЛЬ.3DS"}, "Z:\\КОРАБЛЬ.3DS", "D:\\图.JpEg"},
        {{"Café.Tga"}, "", "Café.Tga"},
    };
    for (const auto& c : cases) {
        const DroppedFiles files = PickDroppedFiles(c.paths);
        EXPECT_EQ(files.model, c.model);
        EXPECT_EQ(files.picture, c.picture);
    }
}

}  // namespace
