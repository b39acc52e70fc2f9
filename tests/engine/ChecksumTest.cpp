#include <cstdio>

#include <gtest/gtest.h>

#include "Checksum.h"
#include "TestSupport.h"

using NBEngine::FoldChecksum;
using NBTest::Bytes;

namespace {

const std::string zeros(32, '0');

// The 16 lanes XORed byte by byte, in uppercase hexadecimal.
std::string PlainFold(const Bytes& contents) {
    std::uint8_t lanes[16] = {};
    for (std::size_t i = 0; i < contents.size(); ++i) {
        lanes[i % 16] ^= contents[i];
    }
    char text[33];
    for (int i = 0; i < 16; ++i) {
        std::snprintf(text + 2 * i, 3, "%02X", lanes[i]);
    }
    return text;
}

TEST(FoldChecksum, AgreesWithAPlainFoldAndKnowsWhenItCouldNotRead) {
    NBTest::TempDir dir;
    const std::size_t chunk = NBEngine::checksumChunkSize;
    std::vector<Bytes> contents = {{'a', 'b', 'c'}, {}, Bytes(4096, 0), Bytes(17, 0xFF)};
    for (std::size_t length : {std::size_t{15}, std::size_t{16}, std::size_t{17}, chunk - 1, chunk,
                               chunk + 1, chunk + 15, 2 * chunk + 17}) {
        contents.push_back(NBTest::PatternBytes(length, static_cast<unsigned>(length)));
    }
    for (const Bytes& c : contents) {
        NBTest::WriteBytes(dir.File("input"), c);
        const NBEngine::Checksum checksum = FoldChecksum(dir.File("input"));
        EXPECT_EQ(checksum.text, PlainFold(c)) << c.size();
        EXPECT_TRUE(checksum.readable);
    }
    // An unreadable file is told apart from one that folds to zeros.
    for (const std::string& path : {dir.File("missing"), dir.Path()}) {
        const NBEngine::Checksum checksum = FoldChecksum(path);
        EXPECT_EQ(checksum.text, zeros) << path;
        EXPECT_FALSE(checksum.readable) << path;
    }
}

} // namespace
