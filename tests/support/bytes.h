// Byte strings for the files the tests build: joined, written out from hex
// digits, and to and from disk.
#pragma once

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// Bytes from pairs of hex digits; spaces are ignored.
inline Bytes Hex(const std::string& text) {
    Bytes bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != ' ') bytes.push_back(uint8_t(std::stoi(text.substr(i++, 2), nullptr, 16)));
    }
    return bytes;
}

inline bool WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary);
    return bool(file.write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size())));
}

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}
