// File names as the program compares them: bytes of UTF-8 (the code page the
// Windows program runs in, set by its manifest), with the case of ASCII
// letters ignored and every other byte compared as it is. Locale-free on
// purpose: std::tolower depends on the C locale and takes a negative char as
// undefined, and a single-byte locale would fold bytes inside a UTF-8
// sequence, so "КОРАБЛЬ" and "корабль" stay different names here, as the
// letters of any script but ASCII do.
#pragma once

#include <string>

// c with 'A'..'Z' turned into 'a'..'z'; every other byte as it is.
inline char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// a and b are the same bytes but for the case of ASCII letters.
bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b);

// text ends in ending, the case of ASCII letters ignored.
bool EndsWithIgnoringAsciiCase(const std::string& text, const std::string& ending);

// text is well-formed UTF-8 (no stray continuation bytes, no overlong forms,
// no surrogates, nothing above U+10FFFF), the only kind that std::filesystem
// can turn into a wide name on Windows without failing.
bool IsUtf8(const std::string& text);
