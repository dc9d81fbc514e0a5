#include "app/command_line.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The program's name: no escapes, a quote only toggles quoting.
const char* SplitProgramName(const char* p, std::vector<std::string>* arguments) {
    std::string name;
    bool quoted = false;
    for (; *p != '\0'; ++p) {
        if (*p == '"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && IsBlank(*p)) break;
        name += *p;
    }
    arguments->push_back(name);
    return p;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const char* line) {
    std::vector<std::string> arguments;
    if (line == nullptr) return arguments;
    const char* p = SplitProgramName(line, &arguments);
    for (;;) {
        while (IsBlank(*p))
            ++p;
        if (*p == '\0') break;
        std::string argument;
        bool quoted = false;
        while (*p != '\0' && (quoted || !IsBlank(*p))) {
            size_t backslashes = 0;
            while (*p == '\\') {
                ++backslashes;
                ++p;
            }
            if (*p != '"') {
                argument.append(backslashes, '\\');
                if (*p != '\0' && (quoted || !IsBlank(*p))) argument += *p++;
                continue;
            }
            argument.append(backslashes / 2, '\\');
            if (backslashes % 2 == 1) {
                argument += '"';
            } else if (quoted && p[1] == '"') {
                argument += '"';
                ++p;
            } else {
                quoted = !quoted;
            }
            ++p;
        }
        arguments.push_back(argument);
    }
    return arguments;
}

std::string ModelPathFromCommandLine(const char* line) {
    const std::vector<std::string> arguments = SplitCommandLine(line);
    return arguments.size() > 1 ? arguments[1] : std::string();
}
