// What a shell command writes to its standard output, byte for byte, and
// whether it ended well.
#pragma once

#include <cstdio>
#include <string>

inline std::string CommandOutput(const std::string& command, bool* succeeded = nullptr) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (size_t n; pipe != nullptr && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    const bool ok = pipe != nullptr && pclose(pipe) == 0;
    if (succeeded != nullptr) *succeeded = ok;
    return output;
}
