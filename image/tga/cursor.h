// The one way the TGA reader looks at its input: a bounded cursor over the
// bytes of the whole file. A read past the end yields zero (or no span), leaves
// the cursor at the end and raises `overrun`; nothing ever reads outside the
// buffer. The caller checks `overrun` once a section is read.
#pragma once

#include <cstddef>
#include <cstdint>

struct TgaCursor {
    const uint8_t* data;
    size_t size;
    size_t position;
    bool overrun;
};

inline size_t TgaBytesLeft(const TgaCursor* cursor) {
    return cursor->size - cursor->position;
}

inline uint8_t ReadTgaByte(TgaCursor* cursor) {
    if (cursor->position >= cursor->size) {
        cursor->overrun = true;
        return 0;
    }
    return cursor->data[cursor->position++];
}

// TGA stores every multi-byte field little-endian.
inline uint16_t ReadTgaU16(TgaCursor* cursor) {
    uint16_t low = ReadTgaByte(cursor);
    uint16_t high = ReadTgaByte(cursor);
    return static_cast<uint16_t>(low | (high << 8));
}

// Hands out the next `count` bytes in place, or nullptr when fewer are left.
inline const uint8_t* TakeTgaBytes(TgaCursor* cursor, size_t count) {
    if (count > TgaBytesLeft(cursor)) {
        cursor->position = cursor->size;
        cursor->overrun = true;
        return nullptr;
    }
    const uint8_t* bytes = cursor->data + cursor->position;
    cursor->position += count;
    return bytes;
}

inline void SkipTgaBytes(TgaCursor* cursor, size_t count) {
    TakeTgaBytes(cursor, count);
}
