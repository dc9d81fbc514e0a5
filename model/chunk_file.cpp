#include "model/chunk_file.h"

#include <cstring>

namespace {

constexpr uint64_t kUnknownPos = UINT64_MAX;

int SeekTo(FILE* file, uint64_t pos) {
#ifdef _WIN32
    return _fseeki64(file, static_cast<__int64>(pos), SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(pos), SEEK_SET) == 0;
#endif
}

int64_t TellPos(FILE* file) {
#ifdef _WIN32
    return _ftelli64(file);
#else
    return ftello(file);
#endif
}

float FloatFromBits(uint32_t bits) {
    float value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

int OpenChunkFile(ChunkFile* file, const char* fileName) {
    *file = ChunkFile{};
    file->file = fopen(fileName, "rb");
    if (file->file == nullptr) return 0;
    int64_t size =
        SeekTo(file->file, 0) && fseek(file->file, 0, SEEK_END) == 0 ? TellPos(file->file) : -1;
    if (size < 0) {
        fclose(file->file);
        file->file = nullptr;
        return 0;
    }
    file->size = size > int64_t{UINT32_MAX} ? UINT32_MAX : static_cast<uint32_t>(size);
    file->streamPos = kUnknownPos;
    return 1;
}

void CloseChunkFile(ChunkFile* file) {
    if (file->file != nullptr) fclose(file->file);
    file->file = nullptr;
}

ChunkCursor ChunkData(ChunkFile* file, const Chunk& chunk) {
    return ChunkCursor{file, chunk.start + kChunkHeaderSize, chunk.end};
}

int ReadBytes(ChunkCursor* cursor, void* bytes, uint32_t count) {
    ChunkFile* file = cursor->file;
    if (count > cursor->end - cursor->pos) return 0;
    if (file->streamPos != cursor->pos && !SeekTo(file->file, cursor->pos)) {
        file->streamPos = kUnknownPos;
        return 0;
    }
    file->streamPos = kUnknownPos;
    if (fread(bytes, 1, count, file->file) != count) return 0;
    cursor->pos += count;
    file->streamPos = cursor->pos;
    return 1;
}

int ReadU16(ChunkCursor* cursor, uint16_t* value) {
    uint8_t bytes[2];
    if (!ReadBytes(cursor, bytes, sizeof bytes)) return 0;
    *value = LoadU16(bytes);
    return 1;
}

int ReadF32(ChunkCursor* cursor, float* value) {
    uint8_t bytes[4];
    if (!ReadBytes(cursor, bytes, sizeof bytes)) return 0;
    *value = FloatFromBits(LoadU32(bytes));
    return 1;
}

int ReadF32Array(ChunkCursor* cursor, float* values, uint32_t count) {
    if (count > (cursor->end - cursor->pos) / 4) return 0;
    if (!ReadBytes(cursor, values, count * 4)) return 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t bytes[4];
        memcpy(bytes, &values[i], sizeof bytes);
        values[i] = FloatFromBits(LoadU32(bytes));
    }
    return 1;
}

int ReadChunk(ChunkCursor* cursor, Chunk* chunk) {
    ChunkCursor header = *cursor;
    uint8_t bytes[kChunkHeaderSize];
    if (!ReadBytes(&header, bytes, sizeof bytes)) return 0;
    uint32_t length = LoadU32(bytes + 2);
    if (length < kChunkHeaderSize) return 0;
    if (length > cursor->end - cursor->pos) return 0;
    chunk->id = LoadU16(bytes);
    chunk->start = cursor->pos;
    chunk->end = cursor->pos + length;
    cursor->pos = chunk->end;
    return 1;
}

int ReadString(ChunkCursor* cursor, char* text, uint32_t maxBytes) {
    uint32_t available = cursor->end - cursor->pos;
    uint32_t count = maxBytes < available ? maxBytes : available;
    ChunkCursor peek = *cursor;
    if (!ReadBytes(&peek, text, count)) count = 0;
    text[count] = '\0';
    const void* zero = memchr(text, '\0', count);
    uint32_t taken =
        zero != nullptr ? static_cast<uint32_t>(static_cast<const char*>(zero) - text) + 1 : count;
    cursor->pos += taken;
    return zero != nullptr;
}
