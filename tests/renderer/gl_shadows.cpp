#include "tests/renderer/gl_shadows.h"

#include <dlfcn.h>

#include <sstream>

std::vector<std::string>& HiddenExtensions() {
    static std::vector<std::string> names;
    return names;
}

std::vector<GLenum>& ErrorCodesAsked() {
    static std::vector<GLenum> codes;
    return codes;
}

extern "C" const GLubyte* GLAPIENTRY glGetString(GLenum name) {
    typedef const GLubyte*(GLAPIENTRY * GetString)(GLenum);
    static GetString driver = reinterpret_cast<GetString>(dlsym(RTLD_NEXT, "glGetString"));
    static std::string shadow;
    const GLubyte* value = driver(name);
    if (name != GL_EXTENSIONS || HiddenExtensions().empty() || value == nullptr) return value;
    std::istringstream words(reinterpret_cast<const char*>(value));
    shadow.clear();
    for (std::string word; words >> word;) {
        bool hidden = false;
        for (const std::string& hiddenName : HiddenExtensions())
            hidden = hidden || word == hiddenName;
        if (!hidden) shadow += word + " ";
    }
    return reinterpret_cast<const GLubyte*>(shadow.c_str());
}

extern "C" const GLubyte* GLAPIENTRY gluErrorString(GLenum error) {
    typedef const GLubyte*(GLAPIENTRY * ErrorString)(GLenum);
    static ErrorString glu = reinterpret_cast<ErrorString>(dlsym(RTLD_NEXT, "gluErrorString"));
    ErrorCodesAsked().push_back(error);
    return glu(error);
}
