#include <cstdio>

#include <gtest/gtest.h>

#include "Checksum.h"
#include "TestFiles.h"

using NBEngine::FoldChecksum;
using NBTest::Bytes;

namespace {

const std::string zeros(32, '0');

TEST(FoldChecksum, KnownTexts) {
    NBTest::TempDir dir;
    struct Case {
        Bytes contents;
        std::string text;
    };
    Bytes lanes(32);
    for (int i = 0; i < 32; ++i) {
        lanes[i] = static_cast<std::uint8_t>(i < 16 ? 0xF0 + i % 16 : 0x0F);
    }
    const Case cases[] = {
        {{'a', 'b', 'c'}, "61626300000000000000000000000000"},
        {{}, zeros},
        {Bytes(4096, 0x00), zeros},
        {Bytes(17, 0xFF), "00FFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"},
        {lanes, "FFFEFDFCFBFAF9F8F7F6F5F4F3F2F1F0"},
    };
    for (const Case& c : cases) {
        NBTest::WriteBytes(dir.File("input"), c.contents);
        const NBEngine::Checksum checksum = FoldChecksum(dir.File("input"));
        EXPECT_EQ(checksum.text, c.text);
        EXPECT_TRUE(checksum.readable);
    }
}

TEST(FoldChecksum, UnreadableFileIsToldApartFromZeroFold) {
    NBTest::TempDir dir;
    for (const std::string& path : {dir.File("missing"), dir.Path()}) {
        const NBEngine::Checksum checksum = FoldChecksum(path);
        EXPECT_EQ(checksum.text, zeros) << path;
        EXPECT_FALSE(checksum.readable) << path;
    }
}

TEST(FoldChecksum, BlockBoundariesAndLanesAgreeWithAPlainFold) {
    NBTest::TempDir dir;
    // Around the 16-byte groups and the reads of the fold.
    const std::size_t chunk = NBEngine::checksumChunkSize;
    for (std::size_t length :
         {std::size_t{15}, std::size_t{16}, std::size_t{17}, std::size_t{10240}, std::size_t{65537},
          chunk - 1, chunk, chunk + 1, chunk + 15, 2 * chunk + 17}) {
        const Bytes contents = NBTest::PatternBytes(length, static_cast<unsigned>(length));
        std::uint8_t lanes[16] = {};
        for (std::size_t i = 0; i < contents.size(); ++i) {
            lanes[i % 16] ^= contents[i];
        }
        char expected[33];
        for (int i = 0; i < 16; ++i) {
            std::snprintf(expected + 2 * i, 3, "%02X", lanes[i]);
        }
        NBTest::WriteBytes(dir.File("input"), contents);
        EXPECT_EQ(FoldChecksum(dir.File("input")).text, expected) << length;
    }
}

TEST(ChecksumSeed, SumsTheCharacterValues) {
    EXPECT_EQ(NBEngine::ChecksumSeed("61626300000000000000000000000000"), 1560);
    EXPECT_EQ(NBEngine::ChecksumSeed(zeros), 1536);
    EXPECT_EQ(NBEngine::ChecksumSeed(std::string(32, 'F')), 2240);
}

} // namespace
