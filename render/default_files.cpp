#include "render/default_files.h"

#include <cstdio>

std::string programFolder;

namespace {

bool CanRead(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

}  // namespace

std::string FindDefaultFile(const char* name, const std::string& folder) {
    const std::string here = name;
    if (CanRead(here) || folder.empty()) return here;
    const std::string beside = folder + here;
    return CanRead(beside) ? beside : here;
}

std::string DefaultFilePath(const char* name) {
    return FindDefaultFile(name, programFolder);
}

std::string FolderOfPath(const char* path) {
    const std::string text = path != nullptr ? path : "";
    const size_t last = text.find_last_of("\\/:");
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}
