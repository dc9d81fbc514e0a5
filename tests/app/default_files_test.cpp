#include "render/default_files.h"
#include "render/file_names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

void Touch(const std::string& path) {
    std::ofstream(path) << "x";
}

// Each case runs in a directory of its own, the working directory.
TEST(FindDefaultFile, TheWorkingDirectoryFirstThenTheProgramsFolder) {
    std::filesystem::create_directories("program/cubemap");
    Touch("program/sphere.3ds");
    Touch("program/cubemap/sky.jpg");
    Touch("font.tga");
    Touch("program/font.tga");
    const std::string folder = "program/";
    const struct {
        const char* name;
        std::string found;
    } cases[] = {
        {"font.tga", "font.tga"},                            // both: the working directory wins
        {"sphere.3ds", "program/sphere.3ds"},                // only beside the program
        {"./cubemap/sky.jpg", "program/./cubemap/sky.jpg"},  // in a folder of its own
        {"missing.tga", "missing.tga"},                      // nowhere: fails as before
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindDefaultFile(c.name, folder), c.found) << c.name;
    // No folder known: the working directory only.
    EXPECT_EQ(FindDefaultFile("sphere.3ds", ""), "sphere.3ds");
    programFolder = folder;
    EXPECT_EQ(DefaultFilePath("sphere.3ds"), "program/sphere.3ds");
    programFolder.clear();
}

TEST(FolderOfPath, UpToTheLastSeparator) {
    const struct {
        const char* path;
        const char* folder;
    } cases[] = {
        {"C:\\Program Files\\Viewer\\bump_viewer.exe", "C:\\Program Files\\Viewer\\"},
        {"/opt/viewer/bump_viewer.exe", "/opt/viewer/"},
        {"C:viewer.exe", "C:"},
        {"Z:\\tmp\\Модели\\模型\\Café.exe", "Z:\\tmp\\Модели\\模型\\"},
        {"viewer.exe", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FolderOfPath(c.path), c.folder) << c.path;
    EXPECT_EQ(FolderOfPath(nullptr), "");
}

// Folding touches ASCII letters only; UTF-8 bytes are compared whole.
TEST(FileNames, AsciiCaseIgnoredEveryOtherByteKept) {
    const struct {
        const char* a;
        const char* b;
        bool equal;
        bool utf8;  // of a
    } cases[] = {
        {"Ship.3DS", "sHIP.3ds", true, true},    {"Модели.TGA", "Модели.tga", true, true},
        {"МОДЕЛИ", "модели", false, true},       {"CAFÉ.jpg", "cafÉ.JPG", true, true},
        {"CAFÉ", "café", false, true},           {"模型.Tga", "模型.tGA", true, true},
        {"\xC3\x89", "\xC3\xA9", false, true},   {"\xC0\xAF", "\xE0\x8F", false, false},
        {"\xED\xA0\x80", "", false, false},      {"\xF4\x90\x80\x80", "", false, false},
        {"a\xE6\xA8", "A\xE6\xA8", true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EqualIgnoringAsciiCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(IsUtf8(c.a), c.utf8) << c.a;
    }
    EXPECT_TRUE(EndsWithIgnoringAsciiCase("Z:\\Модели\\КОРАБЛЬ.3DS", ".3ds"));
}

}  // namespace
