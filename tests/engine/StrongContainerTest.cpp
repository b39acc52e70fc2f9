// The strong container's building blocks against the format's own test
// vectors, and the reader's limits.
#include <gtest/gtest.h>

#include <cstring>

#include "Sha256.h"
#include "StrongBody.h"
#include "StrongKeys.h"
#include "TestSupport.h"

namespace {

using namespace NBEngine;

std::string Hex(const std::uint8_t* bytes, std::size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

const Crypto::Argon2Cost vectorCost = {8192, 1, 1};

StrongHeader VectorHeader() {
    StrongHeader header;
    header.cost = vectorCost;
    for (int i = 0; i < 32; ++i) {
        header.salt[i] = static_cast<std::uint8_t>(1 + i);
        header.fileNonce[i] = static_cast<std::uint8_t>(0x21 + i);
    }
    return header;
}

// The vector's container, written from typed as the password.
std::string VectorContainer(const NBTest::TempDir& dir, const std::string& typed) {
    const StrongHeader header = VectorHeader();
    std::string password;
    EXPECT_EQ(StrongPasswordBytes(typed, password), StrongPasswordFault::None);
    Crypto::SecretKey derived;
    std::string reason;
    EXPECT_TRUE(DeriveArgon2id(password, header.salt.data(), 32, vectorCost, derived, reason))
        << reason;
    StrongKeys keys;
    EXPECT_TRUE(DeriveSubkeys(derived, header.fileNonce, keys));
    NBTest::WriteBytes(dir.File("report.txt"), {'a', 'b', 'c'});
    const std::string container = dir.File("report.nbnx");
    NBTest::WriteBytes(container, {});
    Crypto::Digest digest;
    const StrongPass pass = WriteStrongContainer(dir.File("report.txt"), 3, container, header, keys,
                                                 "report.txt", PassWork(), &digest);
    EXPECT_TRUE(pass.result.ok) << pass.result.reason;
    return container;
}

TEST(StrongVectors, KeysMacAndContainerMatchTheFormat) {
    const StrongHeader header = VectorHeader();
    Crypto::SecretKey derived;
    std::string reason;
    ASSERT_TRUE(DeriveArgon2id("Lantern-882", header.salt.data(), 32, vectorCost, derived, reason));
    EXPECT_EQ(Hex(derived.Data(), 32),
              "16509527ace31ea693e7038634c34840d7dc2b812c0f2b897d0ba591d8dc5dd2");
    StrongKeys keys;
    ASSERT_TRUE(DeriveSubkeys(derived, header.fileNonce, keys));
    EXPECT_EQ(Hex(keys.header.Data(), 32),
              "6b805218034afbd006b572bdbeb29188a83f7ac64bed4d441bef05dbfdeb630e");
    EXPECT_EQ(Hex(keys.payload.Data(), 32),
              "a83a0da0bfb7a10356d3c2ca4643f57b9db019ed9cfcb82001fa38240e4eb2b9");
    std::uint8_t fields[headerFieldsSize];
    EncodeHeaderFields(header, fields);
    Crypto::Digest mac;
    ASSERT_TRUE(HeaderMac(keys, fields, mac));
    EXPECT_EQ(Hex(mac.data(), mac.size()),
              "8213e75d53b93030534f3cbc4e7a467da8be38e462bc1b318587192b626658d7");

    NBTest::TempDir dir;
    const NBTest::Bytes container = NBTest::ReadBytes(VectorContainer(dir, "Lantern-882"));
    EXPECT_EQ(container.size(), 1219u);
    EXPECT_EQ(NBTest::Sha256Hex(container),
              "f863c95aafc4bcdc921be8bd2d136437cc0e70b061c75336f3d1ebdefb69a31c");
}

TEST(StrongVectors, DecomposedPasswordGivesTheComposedContainer) {
    NBTest::TempDir dir;
    // "pässwörd-Ω-42" with the umlauts as base letter + U+0308.
    const std::string decomposed = "pa\xcc\x88sswo\xcc\x88rd-\xce\xa9-42";
    const NBTest::Bytes container = NBTest::ReadBytes(VectorContainer(dir, decomposed));
    EXPECT_EQ(NBTest::Sha256Hex(container),
              "4995e4b2e58645ca795011e6a17ed557377ddc507324a8034569ec609730ce09");
}

TEST(StrongVectors, ChunkNonceCountsBigEndianAndFlagsTheLast) {
    const Crypto::Nonce first = ChunkNonce(0, false);
    const Crypto::Nonce last = ChunkNonce(0x0102, true);
    EXPECT_EQ(Hex(first.data(), 12), "000000000000000000000000");
    EXPECT_EQ(Hex(last.data(), 12), "000000000000000000010201");
}

TEST(StrongLimits, CostsOutsideTheLimitsAreUnsupported) {
    struct Case {
        const char* what;
        Crypto::Argon2Cost cost;
        bool accepted;
    };
    const Case cases[] = {
        {"the default", defaultStrongCost, true},
        {"the smallest", {8192, 1, 1}, true},
        {"the largest memory", {1048576, 4, 16}, true},
        {"memory below 8 MiB", {8191, 1, 1}, false},
        {"memory above 1 GiB", {1048577, 1, 1}, false},
        {"no passes", {8192, 0, 1}, false},
        {"17 passes", {8192, 17, 1}, false},
        {"no lanes", {8192, 1, 0}, false},
        {"17 lanes", {262144, 1, 17}, false},
        {"memory times passes too high", {1048576, 5, 1}, false},
    };
    for (const Case& c : cases) {
        StrongHeader header = VectorHeader();
        header.cost = c.cost;
        std::uint8_t fields[headerFieldsSize];
        EncodeHeaderFields(header, fields);
        StrongHeader decoded;
        EXPECT_EQ(DecodeHeaderFields(fields, decoded),
                  c.accepted ? ReadFault::None : ReadFault::Unsupported)
            << c.what;
    }
}

TEST(StrongLimits, ReservedBytesAndAlgorithmsAreUnsupported) {
    for (const int offset : {44, 45, 46, 47, 60, 63}) {
        std::uint8_t fields[headerFieldsSize];
        EncodeHeaderFields(VectorHeader(), fields);
        fields[offset] ^= 2;
        StrongHeader decoded;
        EXPECT_EQ(DecodeHeaderFields(fields, decoded), ReadFault::Unsupported) << offset;
    }
}

TEST(StrongPasswords, LimitsCountCharactersAndBytes) {
    struct Case {
        std::string typed;
        StrongPasswordFault fault;
    };
    const Case cases[] = {
        {"   ", StrongPasswordFault::Empty},
        {"seven77", StrongPasswordFault::TooShort},
        {"  seven77  ", StrongPasswordFault::TooShort},
        {"\xce\xa9\xce\xa9\xce\xa9\xce\xa9\xce\xa9\xce\xa9\xce\xa9\xce\xa9",
         StrongPasswordFault::None}, // 8 characters, 16 bytes
        {std::string(1024, 'x'), StrongPasswordFault::None},
        {std::string(1025, 'x'), StrongPasswordFault::TooLong},
        {"broken\xff utf8", StrongPasswordFault::NotText},
    };
    for (const Case& c : cases) {
        std::string bytes;
        EXPECT_EQ(StrongPasswordBytes(c.typed, bytes), c.fault) << c.typed;
    }
}

TEST(StrongKeyCache, OneSaltPerJobAndOneDerivationPerHeader) {
    NBTest::TempDir dir;
    StrongKeyCache cache;
    Salt firstSalt;
    Salt secondSalt;
    Crypto::SecretKey firstKey;
    Crypto::SecretKey secondKey;
    std::string reason;
    ASSERT_TRUE(cache.WritingKey("password-one", vectorCost, firstSalt, firstKey, reason));
    ASSERT_TRUE(cache.WritingKey("password-one", vectorCost, secondSalt, secondKey, reason));
    EXPECT_EQ(firstSalt, secondSalt);
    EXPECT_TRUE(firstKey == secondKey);
    EXPECT_EQ(cache.Derivations(), 1);

    ASSERT_TRUE(cache.WritingKey("password-two", vectorCost, secondSalt, secondKey, reason));
    EXPECT_NE(firstSalt, secondSalt) << "a salt is never used with another password";
    EXPECT_EQ(cache.Derivations(), 2);

    StrongHeader header = VectorHeader();
    header.salt = firstSalt;
    Crypto::SecretKey readKey;
    StrongKeyCache reader;
    ASSERT_TRUE(reader.ReadingKey("password-one", header, readKey, reason));
    ASSERT_TRUE(reader.ReadingKey("password-one", header, readKey, reason));
    EXPECT_TRUE(readKey == firstKey);
    EXPECT_EQ(reader.Derivations(), 1);
}

} // namespace
