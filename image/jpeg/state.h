// Internal state of the JPEG decoder, shared by the stream half
// (jpeg/stream.cpp: file, markers, tables, bit reader, scan loop) and the
// pixel half (jpeg/pixels.cpp: coefficients, inverse DCT, colour output).
// One decode runs at a time: everything lives in the static jpegState.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "image/image.h"

struct HuffmanEntry {
    uint8_t length;  // code length in bits; kLongCode in shortCodes sends the look-up on
    uint8_t symbol;
};

// Codes of up to 9 bits decode with one look-up of the next 9 bits; longer
// ones with a second look-up of the next 16. Entries no code covers stay
// (0, 0): they consume nothing and decode as symbol 0.
//
// runAndValue speeds decoding up: indexed like shortCodes, it holds, where a
// code and the value bits after it fit in 9 bits together, the decoded
// value as value * 256 + run * 16 + bits taken; 0 elsewhere (and for AC end
// of block and sixteen zeros). It gives exactly what DecodeHuffman followed
// by ReceiveExtend gives.
struct HuffmanTable {
    HuffmanEntry shortCodes[512];
    HuffmanEntry longCodes[65536];
    int32_t runAndValue[512];
};

constexpr uint8_t kLongCode = 0xFF;

struct JpegComponent {
    HuffmanTable* acTable;
    HuffmanTable* dcTable;
    uint16_t* quantTable;
    int dcPredictor;
    int hSampling;
    int vSampling;
    // This component's reconstructed samples of the current MCU, 16 per row,
    // level-shifted but neither rounded nor clamped.
    alignas(16) float samples[16 * 16];

    // Files of several scans: the quantised coefficients of every block, 64
    // a block in zig-zag order, block rows of blocksPerLine blocks padded to
    // whole MCUs; null until the component's first scan.
    int16_t* coefficients;
    int blocksPerLine;
    int blockRows;
    // Blocks a scan of this component alone covers (the picture, not the MCUs).
    int scanBlocksPerLine;
    int scanBlockRows;
    // For each coefficient the low bit its last scan gave (the point
    // transform Al), -1 while no scan has given it.
    int8_t knownFromBit[64];
    // The quantisation table as it was at the component's first scan.
    uint16_t latchedQuant[64];
};

// The read position and the bit reader. Every read goes through NextByte,
// which never reads at or past end: there it returns 0 and raises
// endOfData. The most significant bit of bitBuffer is the next bit of the
// entropy-coded data; emptyBits counts its unfilled low-order bits, and after
// every refill at least 32 bits are valid. The scan loop works on a local
// copy, which the compiler can keep in registers.
struct JpegInput {
    const uint8_t* cursor;
    const uint8_t* end;
    uint64_t bitBuffer;
    int emptyBits;
    uint8_t endOfData;
};

struct JpegState {
    // The file: fileData and fileSize, and the block ReadWholeFile allocated.
    const uint8_t* fileData;
    int fileSize;
    uint8_t* ownedFileData;

    JpegInput input;

    // Frame.
    uint8_t precision;
    int frameHeight;
    int frameWidth;
    uint8_t componentCount;
    uint8_t frameSeen;    // this file's frame header has been read
    uint8_t progressive;  // a progressive (SOF2) frame

    // Files of several scans decode every scan into the coefficient store
    // and make the picture from it at the end; storeHasScans says that at
    // least one scan has gone in whole.
    uint8_t storeHasScans;

    // Scan.
    uint8_t spectralStart;
    uint8_t spectralEnd;
    uint8_t approximation;
    int scanComponentCount;
    uint8_t scanComponents[4];  // frame indices of the scan's components, in order
    int hStep[4];               // chroma steps in half samples, by component index 0..3
    int vStep[4];

    int restartInterval;  // MCUs per interval; -1 or 0: none

    int mcuWidth;
    int mcuHeight;
    int mcusPerRow;
    int mcuRows;

    // Table slots by identifier; the *Defined flags say which ones this
    // file has loaded, so nothing of an earlier file is ever used.
    uint16_t quantTables[4][64];  // zig-zag order, as the segment holds them
    HuffmanTable dcTables[4];
    HuffmanTable acTables[4];
    uint8_t quantDefined[4];
    uint8_t dcDefined[4];
    uint8_t acDefined[4];

    JpegComponent components[4];  // identifiers 1 to 4

    alignas(16) float block[64];  // work block of the scalar path, row-major

    // Tests set this to run the straightforward scalar transform and colour
    // conversion instead of the vectorised ones; both give the same bytes.
    uint8_t useScalarPath;
};

extern JpegState jpegState;

// Natural (row-major) 8x8 position of the i-th coefficient in zig-zag order.
extern const uint8_t zigZag[64];

uint8_t ReadWholeFile(const char* fileName);
void ReleaseFileData();
int ParseJpeg(Image* image);
int ReadFrameHeader(int length);
int ReadHuffmanTables(int length);
int ReadQuantTables(int length);
int ReadScanHeader(int length);
// After an interval: the restart marker, then fresh predictors. 0 when the
// marker is missing.
int ReadRestartMarker();
int DecodeScan(Image* image);

// Files of several scans (jpeg/scans.cpp). DecodeStoredScan returns 1 for
// a scan decoded into the store, 0 for a refused file, kScanCut for a scan
// the end of the file cuts short, which is left out.
constexpr int kScanCut = 2;
int DecodeStoredScan();
int MakePictureFromStore(Image* image);
void ReleaseStore();
// One block of the store dequantised and transformed into its place of a
// component's samples (16 floats a row), as DecodeMcu does for a coded block.
void TransformStoredBlock(const int16_t* coefficients, const uint16_t* quant, float* samples);

void DecodeMcu();
void InverseDct8x8(float* block);
void WriteMcuPixels(Image* image, int x0, int x1, int y0, int y1);

inline uint8_t NextByte(JpegInput& s) {
    if (s.cursor < s.end) return *s.cursor++;
    s.endOfData = 1;
    return 0;
}

inline uint64_t LoadBigEndian64(const uint8_t* bytes) {
#if defined(__GNUC__)
    uint64_t word;
    memcpy(&word, bytes, 8);
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    word = __builtin_bswap64(word);
#endif
    return word;
#else
    uint64_t word = 0;
    for (int i = 0; i < 8; ++i)
        word = (word << 8) | bytes[i];
    return word;
#endif
}

// The first byte from cursor on that is not 0xFF, or end. Defined apart from
// the refill below, which is inlined into the decoding loops: fill bytes are
// rare, and their loop there slows the common case down.
const uint8_t* SkipFillBytes(const uint8_t* cursor, const uint8_t* end);

// Loads whole bytes until fewer than 8 bits are empty. A 0xFF byte is data
// and the byte after it is dropped unseen: the 0xFF 0x00 stuffing of the
// format, and the second byte of a restart marker. A marker may come after
// any number of 0xFF fill bytes; a run of them and the byte that ends it
// load as one 0xFF, as a lone marker does.
inline void RefillBits(JpegInput& s) {
    int count = s.emptyBits >> 3;
    if (count > 0 && s.end - s.cursor >= 8) {
        // Usually none of the bytes wanted is 0xFF: take them in one go.
        uint64_t word = LoadBigEndian64(s.cursor);
        uint64_t inverted = ~word;
        uint64_t ffBytes = (inverted - 0x0101010101010101ull) & ~inverted & 0x8080808080808080ull;
        // Flags may be false alarms above a real 0xFF, never missed ones.
        if ((ffBytes >> (64 - 8 * count)) == 0) {
            s.bitBuffer |= (word >> (64 - 8 * count)) << (s.emptyBits - 8 * count);
            s.cursor += count;
            s.emptyBits -= 8 * count;
            return;
        }
    }
    while (s.emptyBits >= 8) {
        s.emptyBits -= 8;
        uint64_t b = NextByte(s);
        if (b == 0xFF && NextByte(s) == 0xFF) {
            s.cursor = SkipFillBytes(s.cursor, s.end);
            NextByte(s);
        }
        s.bitBuffer |= b << s.emptyBits;
    }
}

inline void ConsumeBits(JpegInput& s, int n) {
    s.bitBuffer <<= n;
    s.emptyBits += n;
    if (s.emptyBits > 32) RefillBits(s);
}

inline int DecodeHuffman(JpegInput& s, const HuffmanTable* table) {
    HuffmanEntry e = table->shortCodes[s.bitBuffer >> 55];
    if (e.length == kLongCode) e = table->longCodes[s.bitBuffer >> 48];
    ConsumeBits(s, e.length);
    return e.symbol;
}

// The EXTEND procedure of the format: n bits (n <= 16) as a signed value,
// where a leading 0 bit marks a negative one.
inline int ReceiveExtend(JpegInput& s, int n) {
    if (n == 0) return 0;
    int v = static_cast<int>(s.bitBuffer >> (64 - n));
    ConsumeBits(s, n);
    if (v >> (n - 1)) return v;
    return v - ((1 << n) - 1);
}
