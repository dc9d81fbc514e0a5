// Key F12: the frame as an uncompressed 24-bit TGA in the working directory,
// named screenshot-001.tga, screenshot-002.tga, ... never over a file that is
// already there.
#pragma once

#include <cstdint>
#include <string>

// The first name "screenshot-NNN.tga" (at least three digits, from 001) under
// which no file exists in folder ("" for the working directory, else ending
// in a separator); "" when every number up to 99999 is taken.
std::string NextScreenshotName(const std::string& folder);

// Writes width x height pixels of 3 bytes each, blue, green, red, bottom row
// first (OpenGL's order read as GL_BGR), as a TGA of type 2 (uncompressed
// true colour), 24 bits, origin at the bottom left. 1 on success; a file
// that could not be written whole is removed.
int WriteTga24(const char* path, int width, int height, const uint8_t* pixels);

// Reads the colour buffer that the frame was drawn into (the back buffer of a
// double-buffered context, before it is presented) and writes it under
// NextScreenshotName(""). Leaves no GL error and the pack alignment as it
// was. Returns the file's name, or "" when nothing was written (an empty
// client area, or the file could not be written).
std::string SaveScreenshot(int width, int height);
