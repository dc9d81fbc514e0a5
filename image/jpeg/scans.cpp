// JPEG reader, files of several scans: progressive frames, and sequential
// ones whose components come in separate scans. Every scan adds to a store
// of quantised coefficients (per component, per block, 64 in zig-zag
// order); when the file ends, every block of the store goes through the
// same dequantisation, inverse DCT and colour conversion as a block of a
// single-scan file, so both give the same bytes for the same coefficients.
//
// Each scan's entropy-coded data is found first (up to the next marker that
// is not a restart marker) and the bit reader is held inside it. A scan the
// end of the file cuts short is left out: a cut file gives the picture of
// the scans before the cut, or 0 when no scan is whole.
#include <cstdlib>
#include <cstring>

#include "image/jpeg/coefficients.h"
#include "image/jpeg/state.h"

namespace {

// The whole store may take this much; a picture needing more is refused
// before anything is allocated.
constexpr uint64_t kMaxStoreBytes = uint64_t(512) << 20;

// Fewest bits a block takes in a scan that allocates its components: a
// sequential block needs a DC and an end-of-block code, a progressive DC
// scan a DC code. Later scans may skip thousands of blocks in one run, but
// never come before that first one.
constexpr uint64_t kMinBitsPerSequentialBlock = 2;
constexpr uint64_t kMinBitsPerDcBlock = 1;

const int16_t zeroCoefficients[64] = {};

// The first 0xFF of the marker that ends the entropy-coded data from
// `cursor` on (stuffed zeros and restart markers belong to the data), or
// null when the file ends first.
const uint8_t* FindEndOfScanData(const uint8_t* cursor, const uint8_t* end) {
    for (;;) {
        cursor = static_cast<const uint8_t*>(memchr(cursor, 0xFF, size_t(end - cursor)));
        if (!cursor) return nullptr;
        const uint8_t* code = cursor + 1;
        while (code < end && *code == 0xFF)
            ++code;  // fill bytes
        if (code == end) return nullptr;
        if (*code != 0x00 && (*code < 0xD0 || *code > 0xD7)) return cursor;
        cursor = code + 1;
    }
}

inline int ReadBit(JpegInput& input) {
    int bit = static_cast<int>(input.bitBuffer >> 63);
    ConsumeBits(input, 1);
    return bit;
}

// n bits (1 <= n <= 16) as an unsigned number.
inline int ReadBits(JpegInput& input, int n) {
    int bits = static_cast<int>(input.bitBuffer >> (64 - n));
    ConsumeBits(input, n);
    return bits;
}

inline int16_t Shifted(int value, int shift) {
    return static_cast<int16_t>(unsigned(value) << shift);
}

// The scan's kind, from its header.
struct ScanKind {
    int start, end, high, low;
    bool dc() const { return start == 0; }
    bool refinement() const { return high != 0; }
};

// The rules a scan must keep: first those of its header, then those of
// what earlier scans have coded.
int CheckScan(const ScanKind& scan) {
    JpegState& s = jpegState;
    if (!s.progressive) {
        if (scan.start != 0 || scan.end != 63) return 0;  // not a sequential scan
    } else {
        if (scan.start > scan.end || scan.end > 63) return 0;   // no such spectral band
        if (scan.dc() && scan.end != 0) return 0;               // DC scan with AC coefficients
        if (!scan.dc() && s.scanComponentCount != 1) return 0;  // AC scan of several components
        if (scan.low > 13) return 0;                            // point transform past 8-bit values
        if (scan.refinement() && scan.low != scan.high - 1) return 0;  // refinement by several bits
    }
    for (int i = 0; i < s.scanComponentCount; ++i) {
        const JpegComponent& component = s.components[s.scanComponents[i]];
        if (!s.progressive) {
            if (!component.dcTable || !component.acTable) return 0;  // Huffman table never defined
            if (component.knownFromBit[0] >= 0) return 0;            // component in two scans
            continue;
        }
        if (!scan.dc() && component.knownFromBit[0] < 0) return 0;  // AC scan before the DC scan
        if (scan.dc() && !scan.refinement() && !component.dcTable) return 0;  // no DC table
        if (!scan.dc() && !component.acTable) return 0;                       // no AC table
        for (int k = scan.start; k <= scan.end; ++k) {
            int known = component.knownFromBit[k];
            if (!scan.refinement() && known >= 0) return 0;  // coefficient coded a second time
            if (scan.refinement() && known != scan.high) return 0;  // refines bits never sent
        }
    }
    return 1;
}

// The DC coefficient's first bits: the difference to the predictor, scaled.
inline void DecodeDcFirst(JpegInput& input, JpegComponent& component, int16_t* block, int low) {
    int category = DecodeHuffman(input, component.dcTable);
    int difference = ReceiveExtend(input, category);
    component.dcPredictor = jpeg_coefficients::WrappingAdd(component.dcPredictor, difference);
    block[0] = Shifted(component.dcPredictor, low);
}

// One block of an AC first scan over coefficients start..end. Returns 0
// for a run of zeros past the band's end.
inline int DecodeAcFirst(JpegInput& input, const HuffmanTable* table, int16_t* block,
                         const ScanKind& scan, int& endOfBandRun) {
    if (endOfBandRun > 0) {
        --endOfBandRun;
        return 1;
    }
    for (int k = scan.start; k <= scan.end;) {
        int fast = table->runAndValue[input.bitBuffer >> 55];
        if (fast != 0) {
            k += (fast >> 4) & 0x0F;
            ConsumeBits(input, fast & 0x0F);
            if (k > scan.end) return 0;  // run past the band's end
            block[k] = Shifted(fast >> 8, scan.low);
            ++k;
            continue;
        }
        int rs = DecodeHuffman(input, table);
        int run = rs >> 4;
        int size = rs & 0x0F;
        if (size == 0) {
            if (run == 15) {  // sixteen zeros
                k += 16;
                if (k > scan.end + 1) return 0;  // run past the band's end
                continue;
            }
            // End of band here and in the next 2^run - 1 + bits blocks.
            endOfBandRun = (1 << run) - 1;
            if (run != 0) endOfBandRun += ReadBits(input, run);
            return 1;
        }
        k += run;
        if (k > scan.end) return 0;  // run past the band's end
        block[k] = Shifted(ReceiveExtend(input, size), scan.low);
        ++k;
    }
    return 1;
}

// A correction bit for each nonzero coefficient of `passed`, lowest first:
// 1 adds the scan's bit to its magnitude, unless an earlier correction did.
// The bits come straight from the buffer, which always holds at least 32,
// without a branch on their values.
inline void Correct(JpegInput& input, int16_t* block, uint64_t passed, int bit) {
    while (passed != 0) {
        uint64_t bits = input.bitBuffer;
        int available = 64 - input.emptyBits;
        int taken = 0;
        for (; passed != 0 && taken < available; passed &= passed - 1, ++taken) {
            int16_t* coefficient = block + jpeg_coefficients::LowestBit(passed);
            int value = *coefficient;
            int magnitude = -int(bits >> 63) & bit & ~value;
            int sign = value >> 15;  // -1 for a negative coefficient
            *coefficient = static_cast<int16_t>(value + ((magnitude ^ sign) - sign));
            bits <<= 1;
        }
        input.bitBuffer = bits;
        input.emptyBits += taken;
        if (input.emptyBits > 32) RefillBits(input);
    }
}

// One block of an AC refinement scan: new coefficients of magnitude 1 << low
// among the zero ones, a correction bit for every nonzero one passed. The
// coefficients are found through a mask of the nonzero ones, so a block
// costs its nonzero coefficients, not its band. Returns 0 for a corrupt
// block.
inline int DecodeAcRefinement(JpegInput& input, const HuffmanTable* table, int16_t* block,
                              const ScanKind& scan, int& endOfBandRun) {
    const int bit = 1 << scan.low;
    uint64_t nonzero = jpeg_coefficients::NonzeroMask(block);
    // Coefficients k.. of the band: band & (~0 << k), with k <= end.
    const uint64_t band = (~uint64_t(0) >> (63 - scan.end)) & (~uint64_t(0) << scan.start);
    int k = scan.start;
    if (endOfBandRun == 0) {
        while (k <= scan.end) {
            int rs = DecodeHuffman(input, table);
            int run = rs >> 4;
            int size = rs & 0x0F;
            int value = 0;
            if (size == 1) {
                value = ReadBit(input) ? bit : -bit;
            } else if (size != 0) {
                return 0;  // a new coefficient larger than one step
            } else if (run != 15) {
                endOfBandRun = 1 << run;
                if (run != 0) endOfBandRun += ReadBits(input, run);
                break;
            }
            // Pass `run` zero coefficients and stop at the next one (for
            // sixteen zeros, the sixteenth ends the run), correcting the
            // nonzero ones passed.
            uint64_t zeros = ~nonzero & band & (~uint64_t(0) << k);
            for (int i = 0; i < run; ++i)
                zeros &= zeros - 1;
            if (zeros == 0) return 0;  // run past the band's end
            int target = jpeg_coefficients::LowestBit(zeros);
            Correct(input, block, nonzero & ((uint64_t(1) << target) - 1) & (~uint64_t(0) << k),
                    bit);
            if (value != 0) {
                block[target] = static_cast<int16_t>(value);
                nonzero |= uint64_t(1) << target;
            }
            k = target + 1;
        }
    }
    if (endOfBandRun > 0) {
        if (k <= scan.end) Correct(input, block, nonzero & band & (~uint64_t(0) << k), bit);
        --endOfBandRun;
    }
    return 1;
}

int16_t* BlockAt(JpegComponent& component, int column, int row) {
    return component.coefficients +
           (size_t(row) * size_t(component.blocksPerLine) + size_t(column)) * 64;
}

// At the end of an interval: the restart marker, read through the state's
// own input. 0 when it is missing.
inline int RestartIfDue(JpegInput& input, int& count, int& endOfBandRun, bool last) {
    JpegState& s = jpegState;
    if (++count != s.restartInterval || last) return 1;
    count = 0;
    endOfBandRun = 0;
    s.input = input;
    int found = ReadRestartMarker();
    input = s.input;
    return found;
}

// Calls decodeBlock(input, component, block, endOfBandRun) for each block of
// the scan in coding order: one block of its lone component per MCU, or for
// several components their blocks of one MCU of the frame. The input and
// the end-of-band run are local, so they stay in registers.
template <typename DecodeBlockFn>
int ForEachScanBlock(DecodeBlockFn decodeBlock) {
    JpegState& s = jpegState;
    JpegInput input = s.input;
    int endOfBandRun = 0;
    int count = 0;
    int result = 1;
    if (s.scanComponentCount == 1) {
        JpegComponent& component = s.components[s.scanComponents[0]];
        for (int row = 0; row < component.scanBlockRows && result; ++row) {
            int16_t* block = BlockAt(component, 0, row);
            for (int column = 0; column < component.scanBlocksPerLine; ++column, block += 64) {
                if (!decodeBlock(input, component, block, endOfBandRun)) {
                    result = 0;  // corrupt block
                    break;
                }
                bool last =
                    row == component.scanBlockRows - 1 && column == component.scanBlocksPerLine - 1;
                if (!RestartIfDue(input, count, endOfBandRun, last)) {
                    result = 0;  // restart marker missing
                    break;
                }
            }
        }
        s.input = input;
        return result;
    }
    for (int row = 0; row < s.mcuRows && result; ++row) {
        for (int column = 0; column < s.mcusPerRow && result; ++column) {
            for (int i = 0; i < s.scanComponentCount && result; ++i) {
                JpegComponent& component = s.components[s.scanComponents[i]];
                for (int v = 0; v < component.vSampling; ++v) {
                    for (int h = 0; h < component.hSampling; ++h) {
                        int16_t* block = BlockAt(component, column * component.hSampling + h,
                                                 row * component.vSampling + v);
                        if (!decodeBlock(input, component, block, endOfBandRun)) result = 0;
                    }
                }
            }
            bool last = row == s.mcuRows - 1 && column == s.mcusPerRow - 1;
            if (result && !RestartIfDue(input, count, endOfBandRun, last))
                result = 0;  // restart marker missing
        }
    }
    s.input = input;
    return result;
}

// Every block of the scan, by its kind.
int DecodeScanBlocks(const ScanKind& scan) {
    JpegState& s = jpegState;
    if (!s.progressive) {
        return ForEachScanBlock(
            [](JpegInput& input, JpegComponent& component, int16_t* block, int&) {
                jpeg_coefficients::DecodeCoefficients<true>(
                    input, component, [&](int n, int value) { block[n] = int16_t(value); });
                return 1;
            });
    }
    if (scan.dc() && scan.refinement()) {
        const int bit = 1 << scan.low;
        return ForEachScanBlock([bit](JpegInput& input, JpegComponent&, int16_t* block, int&) {
            if (ReadBit(input)) block[0] = static_cast<int16_t>(block[0] | bit);
            return 1;
        });
    }
    if (scan.dc()) {
        const int low = scan.low;
        return ForEachScanBlock(
            [low](JpegInput& input, JpegComponent& component, int16_t* block, int&) {
                DecodeDcFirst(input, component, block, low);
                return 1;
            });
    }
    if (scan.refinement()) {
        return ForEachScanBlock(
            [scan](JpegInput& input, JpegComponent& component, int16_t* block, int& endOfBandRun) {
                return DecodeAcRefinement(input, component.acTable, block, scan, endOfBandRun);
            });
    }
    return ForEachScanBlock(
        [scan](JpegInput& input, JpegComponent& component, int16_t* block, int& endOfBandRun) {
            return DecodeAcFirst(input, component.acTable, block, scan, endOfBandRun);
        });
}

uint64_t BlocksOf(const JpegComponent& component) {
    return uint64_t(component.blocksPerLine) * uint64_t(component.blockRows);
}

// Allocates the store of the scan's components that have none yet, once
// the whole store is known to fit the limit and the scan's data to be
// large enough for their blocks: a small file cannot claim a huge store.
int AllocateStore(uint64_t dataBytes) {
    JpegState& s = jpegState;
    uint64_t storeBytes = 0;
    for (int k = 0; k < s.componentCount; ++k)
        storeBytes += BlocksOf(s.components[k]) * 64 * sizeof(int16_t);
    if (storeBytes > kMaxStoreBytes) return 0;  // picture too large for the store
    uint64_t newBlocks = 0;
    for (int i = 0; i < s.scanComponentCount; ++i) {
        const JpegComponent& component = s.components[s.scanComponents[i]];
        if (!component.coefficients)
            newBlocks += uint64_t(component.scanBlocksPerLine) * component.scanBlockRows;
    }
    uint64_t minBits = s.progressive ? kMinBitsPerDcBlock : kMinBitsPerSequentialBlock;
    if (newBlocks * minBits > dataBytes * 8) return 0;  // far less data than the blocks need
    for (int i = 0; i < s.scanComponentCount; ++i) {
        JpegComponent& component = s.components[s.scanComponents[i]];
        if (component.coefficients) continue;
        int quant = static_cast<int>((component.quantTable - s.quantTables[0]) / 64);
        if (!s.quantDefined[quant]) return 0;  // quantisation table never defined
        memcpy(component.latchedQuant, component.quantTable, sizeof component.latchedQuant);
        component.coefficients =
            static_cast<int16_t*>(calloc(size_t(BlocksOf(component)) * 64, sizeof(int16_t)));
        if (!component.coefficients) return 0;
    }
    return 1;
}

}  // namespace

int DecodeStoredScan() {
    JpegState& s = jpegState;
    ScanKind scan{s.spectralStart, s.spectralEnd, s.approximation >> 4, s.approximation & 0x0F};
    if (!s.progressive) scan.high = scan.low = 0;  // sequential scans have no point transform
    if (!CheckScan(scan)) return 0;
    const uint8_t* fileEnd = s.input.end;
    const uint8_t* dataEnd = FindEndOfScanData(s.input.cursor, fileEnd);
    if (!dataEnd) return kScanCut;
    if (!AllocateStore(uint64_t(dataEnd - s.input.cursor))) return 0;

    for (int i = 0; i < s.scanComponentCount; ++i)
        s.components[s.scanComponents[i]].dcPredictor = 0;
    s.input.end = dataEnd;
    s.input.bitBuffer = 0;
    s.input.emptyBits = 64;
    RefillBits(s.input);
    int result = DecodeScanBlocks(scan);
    s.input.cursor = dataEnd;
    s.input.end = fileEnd;
    s.input.endOfData = 0;
    if (!result) return 0;

    for (int i = 0; i < s.scanComponentCount; ++i) {
        JpegComponent& component = s.components[s.scanComponents[i]];
        for (int k = scan.start; k <= scan.end; ++k)
            component.knownFromBit[k] = int8_t(scan.low);
    }
    return 1;
}

int MakePictureFromStore(Image* image) {
    JpegState& s = jpegState;
    int count = s.componentCount;
    size_t bytes = size_t(s.frameWidth) * size_t(s.frameHeight) * size_t(count);
    image->pixels = static_cast<uint8_t*>(malloc(bytes));
    if (!image->pixels) return 0;
    image->width = static_cast<uint16_t>(s.frameWidth);
    image->height = static_cast<uint16_t>(s.frameHeight);
    image->bitsPerPixel = static_cast<uint8_t>(8 * count);

    // The colour conversion reads the frame's components as one scan.
    s.scanComponentCount = count;
    const JpegComponent& luma = s.components[0];
    for (int k = 0; k < count; ++k) {
        s.hStep[k] = s.components[k].hSampling - luma.hSampling + 2;
        s.vStep[k] = s.components[k].vSampling - luma.vSampling + 2;
    }
    bool interleaved = count > 1;
    for (int r = 0; r < s.mcuRows; ++r) {
        int y0 = r * s.mcuHeight;
        int y1 = y0 + s.mcuHeight < s.frameHeight ? y0 + s.mcuHeight : s.frameHeight;
        for (int c = 0; c < s.mcusPerRow; ++c) {
            int x0 = c * s.mcuWidth;
            int x1 = x0 + s.mcuWidth < s.frameWidth ? x0 + s.mcuWidth : s.frameWidth;
            for (int k = 0; k < count; ++k) {
                JpegComponent& component = s.components[k];
                int vBlocks = interleaved ? component.vSampling : 1;
                int hBlocks = interleaved ? component.hSampling : 1;
                for (int v = 0; v < vBlocks; ++v) {
                    for (int h = 0; h < hBlocks; ++h) {
                        // A component no scan has coded keeps zero coefficients.
                        const int16_t* block =
                            component.coefficients
                                ? BlockAt(component, c * hBlocks + h, r * vBlocks + v)
                                : zeroCoefficients;
                        TransformStoredBlock(block, component.latchedQuant,
                                             component.samples + 8 * v * 16 + 8 * h);
                    }
                }
            }
            WriteMcuPixels(image, x0, x1, y0, y1);
        }
    }
    return 1;
}

void ReleaseStore() {
    for (JpegComponent& component : jpegState.components) {
        free(component.coefficients);
        component.coefficients = nullptr;
    }
}
