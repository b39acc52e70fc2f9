#include <cstring>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "Checksum.h"
#include "Container.h"
#include "TestSupport.h"

using NBTest::Bytes;

namespace {

TEST(Container, FieldsThatDoNotFitFailBeforeTheFileIsTouched) {
    NBTest::TempDir dir;
    NBTest::WriteBytes(dir.File("box.nbnx"), {'k'});
    // A name of 129 characters, a size of 11 characters, a checksum of 33.
    for (const auto& [name, size, checksumLength] :
         {std::tuple{std::string(129, 'n'), 3, 32}, {"a", INT32_MIN, 32}, {"a", 3, 33}}) {
        NBEngine::JobState state;
        ASSERT_TRUE(NBEngine::DeriveKey("password", state.keyTable));
        state.plainName = name;
        state.plainSize = size;
        state.checksumText = std::string(checksumLength, '0');
        EXPECT_FALSE(NBEngine::WriteHeader(dir.File("box.nbnx"), state)) << size;
    }
    EXPECT_EQ(NBTest::ReadBytes(dir.File("box.nbnx")), Bytes{'k'});
}

TEST(ParseSizeText, ReadsLikeAtoiWithinTenBytesAndSaturates) {
    // Digits beyond the ten bytes are never read.
    for (const auto& [text, value] : {std::pair{"  \t42", 42},
                                      {"12ab34", 12},
                                      {"-5", -5},
                                      {"2147483648", INT32_MAX},
                                      {"12345678901234", 1234567890}}) {
        std::uint8_t field[16] = {};
        std::memcpy(field, text, std::strlen(text));
        EXPECT_EQ(NBEngine::ParseSizeText(field, 10), value) << text;
    }
    const std::uint8_t negativeFull[] = "-2147483649";
    EXPECT_EQ(NBEngine::ParseSizeText(negativeFull, 11), INT32_MIN);
}

// Across a read chunk and with a short tail, byte k lands in lane k mod 16; an
// unreadable file is told apart from one that folds to zero.
TEST(FoldChecksum, EveryByteLandsInItsLaneAndAnUnreadableFileIsToldApart) {
    NBTest::TempDir dir;
    Bytes data(NBEngine::checksumChunkSize + 37);
    std::uint8_t lanes[16] = {};
    for (std::size_t k = 0; k < data.size(); ++k) {
        data[k] = static_cast<std::uint8_t>((k * 2654435761u) >> 13);
        lanes[k % 16] ^= data[k];
    }
    NBTest::WriteBytes(dir.File("data"), data);
    std::string expected;
    for (std::uint8_t lane : lanes) {
        expected += "0123456789ABCDEF"[lane >> 4];
        expected += "0123456789ABCDEF"[lane & 15];
    }
    EXPECT_EQ(NBEngine::FoldChecksum(dir.File("data")).text, expected);

    NBTest::WriteBytes(dir.File("zeros"), Bytes(4096, 0));
    const NBEngine::Checksum zeros = NBEngine::FoldChecksum(dir.File("zeros"));
    const NBEngine::Checksum missing = NBEngine::FoldChecksum(dir.File("missing"));
    EXPECT_EQ(zeros.text, std::string(32, '0'));
    EXPECT_EQ(missing.text, zeros.text);
    EXPECT_TRUE(zeros.readable);
    EXPECT_FALSE(missing.readable);
}

} // namespace
