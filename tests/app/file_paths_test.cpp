// Where the files come from: the command line's model, the default files.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "render/default_files.h"
#include "render/file_names.h"

namespace {

using Arguments = std::vector<std::string>;

// Worked out from the C runtime's documented rules, one rule per line.
TEST(SplitCommandLine, FollowsTheRuntimesRules) {
    const struct {
        const char* line;
        Arguments arguments;
    } cases[] = {
        {"viewer.exe   ", {"viewer.exe"}},
        {"viewer.exe\tmodel.3ds", {"viewer.exe", "model.3ds"}},
        {"\"C:\\Program Files\\v\\viewer.exe\" \"C:\\My Models\\a b.3ds\"",
         {"C:\\Program Files\\v\\viewer.exe", "C:\\My Models\\a b.3ds"}},
        // Quotes may start mid-argument and glue parts together.
        {"v C:\\My\" \"Models\\x.3ds", {"v", "C:\\My Models\\x.3ds"}},
        // Backslashes not before a quote stay as they are.
        {"v a\\\\b\\c", {"v", "a\\\\b\\c"}},
        // 2n backslashes and a quote: n backslashes, quoting toggles.
        {"v \"a\\\\\" b", {"v", "a\\", "b"}},
        // 2n + 1 backslashes and a quote: n backslashes and a literal quote.
        {"v a\\\\\\\"b", {"v", "a\\\"b"}},
        {"v a\\\"b c", {"v", "a\"b", "c"}},
        // Two quotes inside quotes: one literal quote, still quoted.
        {"v \"a\"\"b c\"", {"v", "a\"b c"}},
        // An empty pair of quotes is an empty argument.
        {"v \"\" x", {"v", "", "x"}},
        // An unclosed quote runs to the end.
        {"v \"a b", {"v", "a b"}},
        // Backslashes at the end of the line.
        {"v a\\\\", {"v", "a\\\\"}},
        // The program's name knows no escapes.
        {"\"C:\\dir\\\"x y", {"C:\\dir\\x", "y"}},
        {"", {""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitCommandLine(c.line), c.arguments) << c.line;
    EXPECT_TRUE(SplitCommandLine(nullptr).empty());
    // The model to open is the first argument after the program's name.
    EXPECT_EQ(ModelPathFromCommandLine("\"viewer.exe\" "), "");
    EXPECT_EQ(ModelPathFromCommandLine("viewer.exe \"D:\\a b\\c.3ds\" extra"), "D:\\a b\\c.3ds");
    EXPECT_EQ(ModelPathFromCommandLine(nullptr), "");
}

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
