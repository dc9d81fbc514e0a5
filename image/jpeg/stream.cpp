// JPEG reader, stream half: the file, the marker segments, the tables, the
// entropy-coded scan and its restart intervals.
//
// Decodes what JFIF and Exif encoders write with Huffman coding and 8-bit
// samples: sequential frames (baseline SOF0, and SOF1 which encoders write
// for 16-bit quantisation tables at low quality) and progressive ones
// (SOF2: DC and AC scans, spectral selection, successive approximation),
// one component (grey) or three (YCbCr numbered 1, 2, 3), sampling factors
// 1 or 2 with chroma never denser than luma, optional restart intervals.
// A sequential file whose first scan holds every component is decoded
// straight into the picture; any other file scan by scan into a store of
// coefficients (jpeg/scans.cpp), from which the picture is made at the end
// through the same transform and colour conversion. It refuses lossless,
// hierarchical and arithmetic-coded frames, 12-bit samples, a frame height
// left to a DNL marker, and scans that break the rules of the format.
//
// JPEG is big-endian. Pixels come out bottom row first, blue-green-red.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "image/jpeg/jpeg.h"
#include "image/jpeg/pixels_sse.h"
#include "image/jpeg/state.h"

JpegState jpegState;

namespace {

// Largest pixel block a frame may ask for: far beyond any texture, small
// enough to allocate on every machine the viewer runs on.
constexpr uint64_t kMaxPixelBytes = uint64_t(1) << 30;

// Fewest bits an entropy-coded block can take: a 1-bit DC code for a zero
// difference and a 1-bit end-of-block code.
constexpr uint64_t kMinBitsPerBlock = 2;

int ReadWord(JpegInput& input) {
    int high = NextByte(input);
    return (high << 8) | NextByte(input);
}

void ResetForNewFile() {
    JpegState& s = jpegState;
    s.input.cursor = s.fileData;
    s.input.end = s.fileData + s.fileSize;
    s.input.endOfData = 0;
    s.restartInterval = -1;
    s.frameSeen = 0;
    s.progressive = 0;
    s.storeHasScans = 0;
    for (JpegComponent& component : s.components) {
        component.dcPredictor = 0;
        component.coefficients = nullptr;
        memset(component.knownFromBit, -1, sizeof component.knownFromBit);
    }
    memset(s.quantDefined, 0, sizeof s.quantDefined);
    memset(s.dcDefined, 0, sizeof s.dcDefined);
    memset(s.acDefined, 0, sizeof s.acDefined);
}

// Canonical codes as the format assigns them: shortest first, each length's
// codes consecutive, the next length continuing from the doubled code.
int BuildHuffmanTable(HuffmanTable* table, const uint8_t counts[16], const uint8_t* symbols) {
    memset(table, 0, sizeof *table);
    unsigned code = 0;
    int k = 0;
    for (int length = 1; length <= 16; ++length) {
        for (int i = 0; i < counts[length - 1]; ++i, ++k, ++code) {
            if (code >= (1u << length)) return 0;  // over-subscribed code lengths
            HuffmanEntry entry{static_cast<uint8_t>(length), symbols[k]};
            unsigned aligned = code << (16 - length);
            if (length <= 9) {
                unsigned first = aligned >> 7;
                for (unsigned j = 0; j < (1u << (9 - length)); ++j) {
                    table->shortCodes[first + j] = entry;
                }
            } else {
                table->shortCodes[aligned >> 7].length = kLongCode;
                for (unsigned j = 0; j < (1u << (16 - length)); ++j) {
                    table->longCodes[aligned + j] = entry;
                }
            }
        }
        code <<= 1;
    }
    return 1;
}

// Codes whose symbol and value bits fit in 9 bits decode with one look-up.
// In an AC table, end of block and sixteen zeros (size 0) do not; in a DC
// table the symbol is the size, and category 0 is simply the value 0.
void BuildRunAndValues(HuffmanTable* table, bool dc) {
    for (int index = 0; index < 512; ++index) {
        HuffmanEntry entry = table->shortCodes[index];
        int size = entry.symbol & 0x0F;
        if (entry.length == 0 || entry.length == kLongCode) continue;
        if (size == 0 && !dc) continue;
        int taken = entry.length + size;
        if (taken > 9) continue;
        int bits = (index >> (9 - taken)) & ((1 << size) - 1);
        int value = 0;
        if (size > 0) value = (bits >> (size - 1)) ? bits : bits - ((1 << size) - 1);
        table->runAndValue[index] = value * 256 + (entry.symbol >> 4) * 16 + taken;
    }
}

void ForgetPicture(Image* image) {
    free(image->pixels);
    *image = Image{};
}

}  // namespace

// The aligned byte after an interval must be the 0xFF of its restart
// marker; the refill has already dropped the marker's second byte.
int ReadRestartMarker() {
    JpegState& s = jpegState;
    int partial = (64 - s.input.emptyBits) & 7;
    if (partial != 0) ConsumeBits(s.input, partial);
    if (ReceiveExtend(s.input, 8) != 255) return 0;
    for (int k = 0; k < s.scanComponentCount; ++k)
        s.components[s.scanComponents[k]].dcPredictor = 0;
    return 1;
}

uint8_t ReadWholeFile(const char* fileName) {
    JpegState& s = jpegState;
    s.fileData = nullptr;
    s.ownedFileData = nullptr;
    s.fileSize = 0;
    FILE* file = fopen(fileName, "rb");
    if (!file) return 0;
    long size = -1;
    if (fseek(file, 0, SEEK_END) == 0) size = ftell(file);
    if (size < 0 || size > INT_MAX || fseek(file, 0, SEEK_SET) != 0) {
        fclose(file);
        return 0;
    }
    uint8_t* data = static_cast<uint8_t*>(malloc(size > 0 ? size_t(size) : 1));
    if (!data || fread(data, 1, size_t(size), file) != size_t(size)) {
        free(data);
        fclose(file);
        return 0;
    }
    fclose(file);
    s.ownedFileData = data;
    s.fileData = data;
    s.fileSize = static_cast<int>(size);
    return 1;
}

void ReleaseFileData() {
    JpegState& s = jpegState;
    free(s.ownedFileData);
    s.ownedFileData = nullptr;
    s.fileData = nullptr;
    s.fileSize = 0;
}

int LoadJpeg(const char* fileName, Image* image) {
    if (!ReadWholeFile(fileName)) return 0;
    int result = ParseJpeg(image);
    ReleaseFileData();
    return result ? 1 : 0;
}

int LoadJpegFromMemory(const uint8_t* data, size_t size, Image* image) {
    JpegState& s = jpegState;
    if (size > size_t(INT_MAX)) return 0;
    s.ownedFileData = nullptr;
    s.fileData = data;
    s.fileSize = static_cast<int>(size);
    int result = ParseJpeg(image);
    s.fileData = nullptr;
    s.fileSize = 0;
    return result ? 1 : 0;
}

const uint8_t* SkipFillBytes(const uint8_t* cursor, const uint8_t* end) {
    while (cursor < end && *cursor == 0xFF)
        ++cursor;
    return cursor;
}

namespace {

// The file ends before its end-of-image marker. A file of several scans
// gives the picture of the scans it holds whole; any other such file is
// refused.
int EndOfDataReached(Image* image) {
    return jpegState.storeHasScans ? MakePictureFromStore(image) : 0;
}

int ParseMarkers(Image* image) {
    JpegState& s = jpegState;
    if (NextByte(s.input) != 0xFF || NextByte(s.input) != 0xD8)
        return 0;  // no start-of-image marker
    bool firstApp0 = true;
    for (;;) {
        if (s.input.cursor == s.input.end) return EndOfDataReached(image);
        if (NextByte(s.input) != 0xFF) return 0;  // a marker must come next
        uint8_t code = NextByte(s.input);
        while (code == 0xFF)
            code = NextByte(s.input);  // fill bytes before the marker code
        if (s.input.endOfData) return EndOfDataReached(image);
        if (code == 0xD9) {
            if (!s.storeHasScans) return 0;  // end of image before any scan
            return MakePictureFromStore(image);
        }
        int length = ReadWord(s.input);
        if (s.input.endOfData) return EndOfDataReached(image);  // cut inside a marker
        if (length < 2) return 0;                               // length below its own two bytes
        if (length - 2 > s.input.end - s.input.cursor)
            return EndOfDataReached(image);  // segment runs past the end of the file
        const uint8_t* segmentEnd = s.input.cursor + (length - 2);
        switch (code) {
            case 0xC0:
            case 0xC1:
            case 0xC2:
                if (s.storeHasScans) return 0;  // a second frame after scans of the first
                s.progressive = code == 0xC2;
                if (!ReadFrameHeader(length)) return 0;
                break;
            case 0xC3:
            case 0xC5:
            case 0xC6:
            case 0xC7:
            case 0xC9:
            case 0xCA:
            case 0xCB:
            case 0xCD:
            case 0xCE:
            case 0xCF:
                return 0;  // lossless, hierarchical or arithmetic frame
            case 0xC4:
                if (!ReadHuffmanTables(length)) return 0;
                break;
            case 0xDB:
                if (!ReadQuantTables(length)) return 0;
                break;
            case 0xDD:
                if (length != 4) return 0;  // restart interval segment of the wrong size
                s.restartInterval = ReadWord(s.input);
                break;
            case 0xDA: {
                if (!ReadScanHeader(length)) return 0;
                if (!s.progressive && !s.storeHasScans &&
                    s.scanComponentCount == s.componentCount) {
                    // One scan holds the whole sequential frame: decoded
                    // straight into the picture; nothing after it is read.
                    int result = DecodeScan(image);
                    s.input.endOfData = 1;
                    return result;
                }
                int result = DecodeStoredScan();
                if (result == kScanCut) return EndOfDataReached(image);
                if (result == 0) return 0;
                s.storeHasScans = 1;
                segmentEnd = s.input.cursor;  // after the scan's entropy-coded data
                break;
            }
            case 0xE0:
                if (firstApp0) {
                    firstApp0 = false;
                    if (length < 6) return 0;  // APP0 too short for its identifier
                    if (NextByte(s.input) != 'J' || NextByte(s.input) != 'F' ||
                        NextByte(s.input) != 'I' || NextByte(s.input) != 'F') {
                        return 0;  // first APP0 is not JFIF
                    }
                }
                s.input.cursor = segmentEnd;
                break;
            default:
                s.input.cursor = segmentEnd;
                break;
        }
        if (s.input.cursor != segmentEnd) return 0;  // segment length disagrees with its content
    }
}

}  // namespace

int ParseJpeg(Image* image) {
    ResetForNewFile();
    int result = ParseMarkers(image);
    ReleaseStore();
    return result;
}

int ReadFrameHeader(int length) {
    JpegState& s = jpegState;
    s.frameSeen = 0;
    s.precision = NextByte(s.input);
    s.frameHeight = ReadWord(s.input);
    s.frameWidth = ReadWord(s.input);
    s.componentCount = NextByte(s.input);
    if (s.precision != 8) return 0;                                // only 8-bit samples
    if (s.componentCount != 1 && s.componentCount != 3) return 0;  // only grey or YCbCr
    if (length != 8 + 3 * s.componentCount) return 0;              // frame header size
    if (s.frameWidth == 0 || s.frameHeight == 0) return 0;         // empty or DNL-sized frame
    unsigned seen = 0;
    for (int i = 0; i < s.componentCount; ++i) {
        int id = NextByte(s.input);
        int sampling = NextByte(s.input);
        int quant = NextByte(s.input);
        if (id < 1 || id > s.componentCount) return 0;  // components must be numbered 1 to Nf
        if (seen & (1u << id)) return 0;                // component listed twice
        seen |= 1u << id;
        int h = sampling >> 4;
        int v = sampling & 0x0F;
        if (h < 1 || h > 2 || v < 1 || v > 2) return 0;  // sampling factor not 1 or 2
        if (quant > 3) return 0;                         // no such quantisation table
        JpegComponent& component = s.components[id - 1];
        component.quantTable = s.quantTables[quant];
        component.hSampling = h;
        component.vSampling = v;
    }
    const JpegComponent& luma = s.components[0];
    for (int k = 1; k < s.componentCount; ++k) {
        const JpegComponent& chroma = s.components[k];
        if (chroma.hSampling > luma.hSampling || chroma.vSampling > luma.vSampling) {
            return 0;  // chroma sampled more densely than luma
        }
    }
    // A single component is coded non-interleaved: one block per MCU,
    // whatever its sampling factors say.
    bool grey = s.componentCount == 1;
    s.mcuWidth = (grey || luma.hSampling == 1) ? 8 : 16;
    s.mcuHeight = (grey || luma.vSampling == 1) ? 8 : 16;
    s.mcusPerRow = (s.frameWidth + s.mcuWidth - 1) / s.mcuWidth;
    s.mcuRows = (s.frameHeight + s.mcuHeight - 1) / s.mcuHeight;
    uint64_t bytes = uint64_t(s.frameWidth) * uint64_t(s.frameHeight) * s.componentCount;
    if (bytes > kMaxPixelBytes) return 0;  // implausibly large picture
    // The store's blocks: whole MCUs, as interleaved scans cover them; a
    // scan of one component covers only the blocks its samples reach.
    for (int k = 0; k < s.componentCount; ++k) {
        JpegComponent& component = s.components[k];
        int h = grey ? 1 : component.hSampling;
        int v = grey ? 1 : component.vSampling;
        int hMax = grey ? 1 : luma.hSampling;
        int vMax = grey ? 1 : luma.vSampling;
        component.blocksPerLine = s.mcusPerRow * h;
        component.blockRows = s.mcuRows * v;
        int samplesPerLine = (s.frameWidth * h + hMax - 1) / hMax;
        int sampleRows = (s.frameHeight * v + vMax - 1) / vMax;
        component.scanBlocksPerLine = (samplesPerLine + 7) / 8;
        component.scanBlockRows = (sampleRows + 7) / 8;
    }
    s.frameSeen = 1;
    return 1;
}

int ReadHuffmanTables(int length) {
    JpegState& s = jpegState;
    int n = length - 2;
    while (n > 0) {
        if (n < 17) return 0;  // table header cut short by the segment
        int classAndId = NextByte(s.input);
        uint8_t counts[16];
        int total = 0;
        for (uint8_t& count : counts) {
            count = NextByte(s.input);
            total += count;
        }
        n -= 17;
        int tableClass = classAndId >> 4;
        int id = classAndId & 0x0F;
        if (tableClass > 1 || id > 3) return 0;  // no such table class or number
        if (total > 256) return 0;               // more symbols than a byte can name
        if (total > n) return 0;                 // symbols run past the segment
        uint8_t symbols[256];
        for (int i = 0; i < total; ++i) {
            symbols[i] = NextByte(s.input);
            // 8-bit samples need DC categories up to 11 and AC sizes up to 10.
            if (tableClass == 0 && symbols[i] > 11) return 0;           // DC category above 11
            if (tableClass == 1 && (symbols[i] & 0x0F) > 10) return 0;  // AC size above 10
        }
        n -= total;
        HuffmanTable* table = tableClass == 0 ? &s.dcTables[id] : &s.acTables[id];
        uint8_t* defined = tableClass == 0 ? &s.dcDefined[id] : &s.acDefined[id];
        *defined = 0;
        if (!BuildHuffmanTable(table, counts, symbols)) return 0;
        BuildRunAndValues(table, tableClass == 0);
        *defined = 1;
    }
    return 1;
}

int ReadQuantTables(int length) {
    JpegState& s = jpegState;
    int n = length - 2;
    while (n > 0) {
        int precisionAndId = NextByte(s.input);
        n -= 1;
        int wide = precisionAndId >> 4;
        int id = precisionAndId & 0x0F;
        if (wide > 1 || id > 3) return 0;  // no such table precision or number
        int bytes = wide ? 128 : 64;
        if (n < bytes) return 0;  // table cut short by the segment
        for (uint16_t& value : s.quantTables[id]) {
            value = static_cast<uint16_t>(wide ? ReadWord(s.input) : NextByte(s.input));
        }
        n -= bytes;
        s.quantDefined[id] = 1;
    }
    return 1;
}

int ReadScanHeader(int length) {
    JpegState& s = jpegState;
    int ns = NextByte(s.input);
    if (!s.frameSeen) return 0;                     // scan before this file's frame header
    if (ns < 1 || ns > s.componentCount) return 0;  // no such number of components
    if (length != 6 + 2 * ns) return 0;             // scan header size
    int previous = -1;
    for (int i = 0; i < ns; ++i) {
        int selector = NextByte(s.input);
        int tables = NextByte(s.input);
        if (selector < 1 || selector > s.componentCount) return 0;  // no such component
        if (selector - 1 <= previous) return 0;  // scan components out of frame order
        previous = selector - 1;
        int dc = tables >> 4;
        int ac = tables & 0x0F;
        if (dc > 3 || ac > 3) return 0;  // no such Huffman table
        JpegComponent& component = s.components[selector - 1];
        component.dcTable = s.dcDefined[dc] ? &s.dcTables[dc] : nullptr;
        component.acTable = s.acDefined[ac] ? &s.acTables[ac] : nullptr;
        s.scanComponents[i] = uint8_t(selector - 1);
    }
    s.scanComponentCount = ns;
    s.spectralStart = NextByte(s.input);
    s.spectralEnd = NextByte(s.input);
    s.approximation = NextByte(s.input);
    return 1;
}

int DecodeScan(Image* image) {
    JpegState& s = jpegState;
    int ns = s.scanComponentCount;
    for (int i = 0; i < ns; ++i) {
        JpegComponent& component = s.components[i];
        if (!component.dcTable || !component.acTable) return 0;  // Huffman table never defined
        int quant = static_cast<int>((component.quantTable - s.quantTables[0]) / 64);
        if (!s.quantDefined[quant]) return 0;  // quantisation table never defined
    }
    if (s.spectralStart != 0 || s.spectralEnd != 63) return 0;  // not a sequential scan
    const JpegComponent& luma = s.components[0];
    for (int k = 0; k < ns; ++k) {
        s.hStep[k] = s.components[k].hSampling - luma.hSampling + 2;
        s.vStep[k] = s.components[k].vSampling - luma.vSampling + 2;
    }

    int blocksPerMcu = 1;
    if (ns == 3) {
        blocksPerMcu = 0;
        for (int k = 0; k < 3; ++k) {
            blocksPerMcu += s.components[k].hSampling * s.components[k].vSampling;
        }
    }
    uint64_t blocks = uint64_t(s.mcusPerRow) * uint64_t(s.mcuRows) * blocksPerMcu;
    if (blocks * kMinBitsPerBlock > uint64_t(s.input.end - s.input.cursor) * 8) {
        return 0;  // far less data than the frame's blocks need
    }

    size_t bytes = size_t(s.frameWidth) * size_t(s.frameHeight) * size_t(ns);
    image->pixels = static_cast<uint8_t*>(malloc(bytes));
    if (!image->pixels) return 0;
    image->width = static_cast<uint16_t>(s.frameWidth);
    image->height = static_cast<uint16_t>(s.frameHeight);
    image->bitsPerPixel = static_cast<uint8_t>(8 * ns);

    s.input.bitBuffer = 0;
    s.input.emptyBits = 64;
    RefillBits(s.input);
    // A grey frame's MCUs are single blocks: the vectorised path takes
    // them a run at a time, up to the end of the row or of the interval.
#if JPEG_HAVE_SSE2
    bool greyRuns = ns == 1 && !s.useScalarPath;
#else
    bool greyRuns = false;
#endif
    int count = 0;
    for (int r = 0; r < s.mcuRows; ++r) {
        int y0 = r * s.mcuHeight;
        int y1 = y0 + s.mcuHeight < s.frameHeight ? y0 + s.mcuHeight : s.frameHeight;
        for (int c = 0; c < s.mcusPerRow;) {
            int x0 = c * s.mcuWidth;
            int x1 = x0 + s.mcuWidth < s.frameWidth ? x0 + s.mcuWidth : s.frameWidth;
            int run = 1;
            if (greyRuns) {
                run = s.mcusPerRow - c;
                if (s.restartInterval > 0 && s.restartInterval - count < run)
                    run = s.restartInterval - count;
#if JPEG_HAVE_SSE2
                DecodeGreyBlocksSse(image, c, run, y0);
#endif
            } else {
                DecodeMcu();
            }
            c += run;
            count += run;
            bool last = c == s.mcusPerRow && r == s.mcuRows - 1;
            if (count == s.restartInterval && !last) {
                count = 0;
                if (!ReadRestartMarker()) {
                    ForgetPicture(image);
                    return 0;  // restart marker missing
                }
            }
            if (!greyRuns) WriteMcuPixels(image, x0, x1, y0, y1);
        }
    }
    return 1;
}
