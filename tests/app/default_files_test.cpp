#include "render/default_files.h"
#include "render/file_names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Each case runs in a directory of its own, the working directory.
TEST(DefaultFiles, TheWorkingDirectoryFirstThenTheProgramsFolder) {
    std::filesystem::create_directories("program/cubemap");
    for (const char* path :
         {"program/sphere.3ds", "program/cubemap/sky.jpg", "font.tga", "program/font.tga"})
        std::ofstream(path) << "x";
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

    // The program's folder: its path up to the last separator.
    const struct {
        const char* path;
        const char* folder;
    } folders[] = {
        {"C:\\Program Files\\Viewer\\bump_viewer.exe", "C:\\Program Files\\Viewer\\"},
        {"/opt/viewer/bump_viewer.exe", "/opt/viewer/"},
        {"C:viewer.exe", "C:"},
        {"Z:\\tmp\\Модели\\模型\\Café.exe", "Z:\\tmp\\Модели\\模型\\"},
        {"viewer.exe", ""},
    };
    for (const auto& c : folders)
        EXPECT_EQ(FolderOfPath(c.path), c.folder) << c.path;
    EXPECT_EQ(FolderOfPath(nullptr), "");
}

}  // namespace
