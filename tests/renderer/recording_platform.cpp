#include "tests/renderer/recording_platform.h"

#include <GL/osmesa.h>

#include "render/platform.h"

std::vector<StartupMessage>& StartupMessages() {
    static std::vector<StartupMessage> messages;
    return messages;
}

GlProc GetGlProcAddress(const char* name) {
    return reinterpret_cast<GlProc>(OSMesaGetProcAddress(name));
}

void ShowStartupMessage(const char* text, const char* caption) {
    StartupMessages().push_back({text, caption});
}
