#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

}  // namespace
