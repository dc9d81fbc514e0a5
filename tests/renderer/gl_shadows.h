// Shadows of two library functions for the program that links gl_shadows.cpp:
// glGetString, whose extension list can lose names, and gluErrorString,
// which notes the codes the overlay asks about. Both forward to the real
// functions otherwise.
#pragma once

#include <string>
#include <vector>

#include "render/gl_api.h"

// Names glGetString(GL_EXTENSIONS) leaves out while not empty.
std::vector<std::string>& HiddenExtensions();

// Every code gluErrorString was asked about, oldest first.
std::vector<GLenum>& ErrorCodesAsked();
