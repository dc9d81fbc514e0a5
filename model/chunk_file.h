// Bounded little-endian access to a 3D Studio chunk file. A 3DS file is a tree
// of chunks, each opened by a 6-byte header (16-bit id, 32-bit length that
// counts the header, the chunk's data and its nested chunks). Every read here
// names the byte range it may touch and fails rather than leave it, so a file
// with lying lengths can never make the reader run past a chunk or the file.
#pragma once

#include <cstdint>
#include <cstdio>

struct ChunkFile {
    FILE* file;
    uint32_t size;       // file size, clamped to what 32-bit positions reach
    uint64_t streamPos;  // where the stream stands; UINT64_MAX when unknown
};

// Where a chunk lies: [start, end) holds the header, the data and the children.
struct Chunk {
    uint16_t id;
    uint32_t start;
    uint32_t end;
};

// A read position inside a byte range of the file; reads advance pos and
// never pass end.
struct ChunkCursor {
    ChunkFile* file;
    uint32_t pos;
    uint32_t end;
};

constexpr uint32_t kChunkHeaderSize = 6;

int OpenChunkFile(ChunkFile* file, const char* fileName);
void CloseChunkFile(ChunkFile* file);

// The range after the chunk's header: its own data, then its children.
ChunkCursor ChunkData(ChunkFile* file, const Chunk& chunk);

// Reads count bytes; fails when fewer remain in the cursor's range or the file
// cannot deliver them.
int ReadBytes(ChunkCursor* cursor, void* bytes, uint32_t count);
int ReadU16(ChunkCursor* cursor, uint16_t* value);
int ReadF32(ChunkCursor* cursor, float* value);
// Reads count little-endian floats straight into values.
int ReadF32Array(ChunkCursor* cursor, float* values, uint32_t count);

// Reads the chunk header at the cursor and steps the cursor over the whole
// chunk. Fails when the length is below the header size or the chunk would
// reach past the cursor's range (the parent chunk or the file).
int ReadChunk(ChunkCursor* cursor, Chunk* chunk);

// Reads a zero-terminated string of at most maxBytes bytes, the zero included,
// stopping early at the end of the cursor's range. text needs maxBytes + 1
// bytes and is always zero-terminated. The cursor ends after the bytes taken.
// Returns 1 when the zero was found, 0 when the string was cut off.
int ReadString(ChunkCursor* cursor, char* text, uint32_t maxBytes);

inline uint16_t LoadU16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

inline uint32_t LoadU32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}
