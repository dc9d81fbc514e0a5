// The main of every test program. Each test case runs in an empty directory
// of its own below the program's working directory, so the cases that CTest
// runs side by side never share the files they write, and none finds what an
// earlier run left.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

struct PrivateDirectoryPerTest : testing::EmptyTestEventListener {
    const std::filesystem::path home = std::filesystem::current_path();

    void OnTestStart(const testing::TestInfo& test) override {
        std::string name = std::string(test.test_suite_name()) + "." + test.name();
        for (char& c : name)
            if (c == '/') c = '_';  // parameterised names hold slashes
        const std::filesystem::path directory = home / "work" / name;
        std::filesystem::remove_all(directory);
        std::filesystem::create_directories(directory);
        std::filesystem::current_path(directory);
    }

    void OnTestEnd(const testing::TestInfo&) override { std::filesystem::current_path(home); }
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new PrivateDirectoryPerTest);
    return RUN_ALL_TESTS();
}
