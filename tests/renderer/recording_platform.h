// render/platform.h for the renderer tests: entry points from OSMesa, and
// start-up messages kept for the test to read instead of shown.
#pragma once

#include <string>
#include <vector>

struct StartupMessage {
    std::string text;
    std::string caption;
};

// Every message ShowStartupMessage was given, oldest first.
std::vector<StartupMessage>& StartupMessages();
