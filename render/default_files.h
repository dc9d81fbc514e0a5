// Where the default files are read from: the working directory first, then
// the program's own folder, so the viewer also starts from a shortcut or from
// another folder. The shell sets the folder before the renderer starts.
#pragma once

#include <string>

// The program's folder, ending in a separator, or "" when unknown.
extern std::string programFolder;

// name itself when it opens for reading in the working directory; otherwise
// folder + name when that opens; otherwise name (which then fails as before).
std::string FindDefaultFile(const char* name, const std::string& folder);

// FindDefaultFile with programFolder.
std::string DefaultFilePath(const char* name);

// The folder of a file's path, up to and including its last separator ('\\',
// '/' or a drive's ':'); "" when the path has none.
std::string FolderOfPath(const char* path);
