// Damaged input: cut files and flipped bytes must give 0 or a sane picture,
// never a read or write outside a block (the sanitizer build checks that),
// never a partly filled block.
#include <gtest/gtest.h>

#include <random>

#include "tga_test_files.h"

namespace {

// One small well-formed file of every decoded type and depth, built by hand so
// that each has raw and run packets, a colour map or an unused one, and an ID.
std::vector<Bytes> WellFormedFiles() {
    std::vector<Bytes> files;
    struct Case {
        uint8_t type, depth, bytesPerValue;
    } cases[] = {{1, 8, 1},   {9, 8, 1},  {2, 16, 2},  {10, 16, 2}, {2, 24, 3},
                 {10, 24, 3}, {2, 32, 4}, {10, 32, 4}, {3, 8, 1},   {11, 8, 1}};
    for (const Case& c : cases) {
        TgaFields fields;
        fields.imageType = c.type;
        fields.depth = c.depth;
        fields.width = 5;
        fields.height = 3;
        fields.idLength = 3;
        fields.colourMapType = 1;
        fields.colourMapLength = 4;
        fields.colourMapEntryBits = 24;
        Bytes rest = {'i', 'd', '!'};
        for (int entry = 0; entry < 4 * 3; ++entry)
            rest.push_back(uint8_t(40 + entry));
        bool mapped = c.type == 1 || c.type == 9;
        auto value = [&](int k) {
            for (int b = 0; b < c.bytesPerValue; ++b) {
                rest.push_back(uint8_t(mapped ? k % 4 : 17 * k + b));
            }
        };
        if (c.type < 9) {
            for (int k = 0; k < 15; ++k)
                value(k);
        } else {
            rest.push_back(0x86);  // run of 7, across the first row end
            value(1);
            rest.push_back(0x03);  // raw 4
            for (int k = 0; k < 4; ++k)
                value(k + 2);
            rest.push_back(0x83);  // run of 4 to the end
            value(3);
        }
        files.push_back(BuildTga(fields, rest));
    }
    return files;
}

void ExpectRefusedOrSane(const Bytes& file, const DecodedTga& decoded) {
    if (decoded.result == 0) {
        EXPECT_TRUE(IsSentinelImage(decoded.image));
        return;
    }
    ASSERT_EQ(1, decoded.result);
    ASSERT_GE(file.size(), 18u);
    EXPECT_EQ(file[12] | (file[13] << 8), decoded.image.width);
    EXPECT_EQ(file[14] | (file[15] << 8), decoded.image.height);
    EXPECT_GT(decoded.image.width, 0);
    EXPECT_GT(decoded.image.height, 0);
    uint8_t bits = decoded.image.bitsPerPixel;
    EXPECT_TRUE(bits == 8 || bits == 24 || bits == 32);
    EXPECT_EQ(size_t{decoded.image.width} * decoded.image.height * (bits / 8u),
              decoded.pixels.size());
}

TEST(TgaDamage, WellFormedFilesDecodeAlikeFromFileAndMemory) {
    // LoadTga reads raw 8-, 24- and 32-bit pixel data straight from the file
    // and decodes everything else from memory; both must agree.
    for (const Bytes& file : WellFormedFiles()) {
        SCOPED_TRACE(testing::Message() << "type " << int(file[2]) << " depth " << int(file[16]));
        DecodedTga decoded = DecodeTgaBytes(file);
        ASSERT_EQ(1, decoded.result);
        EXPECT_EQ(15u * (decoded.image.bitsPerPixel / 8), decoded.pixels.size());
        WriteBytes("damage_whole.tga", file);
        DecodedTga loaded = LoadTgaFile("damage_whole.tga");
        ASSERT_EQ(1, loaded.result);
        EXPECT_EQ(decoded.image.bitsPerPixel, loaded.image.bitsPerPixel);
        EXPECT_EQ(decoded.pixels, loaded.pixels);
    }
}

TEST(TgaDamage, EveryCutShortFileIsRefused) {
    for (const Bytes& file : WellFormedFiles()) {
        for (size_t length = 0; length < file.size(); ++length) {
            Bytes prefix(file.begin(), file.begin() + length);
            DecodedTga decoded = DecodeTgaBytes(prefix);
            SCOPED_TRACE(testing::Message() << "type " << int(file[2]) << " cut at " << length);
            EXPECT_EQ(0, decoded.result);
            EXPECT_TRUE(IsSentinelImage(decoded.image));
        }
    }
}

TEST(TgaDamage, EveryCutShortFileOnDiskIsRefused) {
    for (const Bytes& file : WellFormedFiles()) {
        for (size_t length = 0; length < file.size(); ++length) {
            WriteBytes("damage_cut.tga", Bytes(file.begin(), file.begin() + length));
            DecodedTga decoded = LoadTgaFile("damage_cut.tga");
            SCOPED_TRACE(testing::Message() << "type " << int(file[2]) << " cut at " << length);
            EXPECT_EQ(0, decoded.result);
            EXPECT_TRUE(IsSentinelImage(decoded.image));
        }
    }
}

TEST(TgaDamage, FlippedBytesGiveRefusalOrSanePicture) {
    for (const Bytes& file : WellFormedFiles()) {
        for (size_t at = 0; at < file.size(); ++at) {
            for (uint8_t mask : {0x01, 0x80, 0xFF}) {
                Bytes damaged = file;
                damaged[at] ^= mask;
                SCOPED_TRACE(testing::Message()
                             << "type " << int(file[2]) << " byte " << at << " mask " << int(mask));
                ExpectRefusedOrSane(damaged, DecodeTgaBytes(damaged));
            }
        }
    }
}

TEST(TgaDamage, RandomlyDamagedFilesGiveRefusalOrSanePicture) {
    std::mt19937 random(20240607);
    std::vector<Bytes> files = WellFormedFiles();
    for (int round = 0; round < 20000; ++round) {
        Bytes damaged = files[round % files.size()];
        int changes = 1 + int(random() % 6);
        for (int k = 0; k < changes; ++k)
            damaged[random() % damaged.size()] = uint8_t(random());
        if (random() % 4 == 0) damaged.resize(random() % damaged.size());
        ExpectRefusedOrSane(damaged, DecodeTgaBytes(damaged));
        if (HasFailure()) {
            ADD_FAILURE() << "round " << round;
            return;
        }
    }
}

}  // namespace
