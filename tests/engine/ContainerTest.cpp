#include <cstdio>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "Checksum.h"
#include "Container.h"
#include "TestSupport.h"

using NBEngine::JobState;
using NBEngine::ReadHeader;
using NBEngine::WriteHeader;
using NBTest::Bytes;

namespace {

const std::string abcChecksum = "61626300000000000000000000000000";

JobState StateFor(const std::string& password, const std::string& name = "", std::int32_t size = 0,
                  const std::string& checksum = abcChecksum) {
    JobState state;
    EXPECT_TRUE(NBEngine::DeriveKey(password, state.keyTable));
    state.plainName = name;
    state.checksumText = checksum;
    state.plainSize = size;
    return state;
}

class ContainerTest : public testing::Test {
protected:
    NBTest::TempDir dir;
    std::string path = dir.File("box.nbnx");

    bool Rejected(const Bytes& bytes) {
        NBTest::WriteBytes(path, bytes);
        JobState read = StateFor("password");
        return !ReadHeader(path, read);
    }
};

TEST_F(ContainerTest, FieldsReadBackWithTheSamePassword) {
    struct Case {
        std::string name;
        std::int32_t size;
        std::string checksum;
    };
    const Case cases[] = {
        {std::string(128, 'n'), 3, abcChecksum}, // fills the name field
        {"big.iso", 1000000000, abcChecksum},    // ten digits, no terminator
                                              // characters between '9' and 'A' pass the range test
        {"abc.txt", 3, "0123456789:;<=>?@ABCDEF000000000"}};
    for (const Case& c : cases) {
        JobState written = StateFor("s3cret pass", c.name, c.size, c.checksum);
        ASSERT_TRUE(WriteHeader(path, written));
        EXPECT_EQ(written.writeOffset, 216);
        JobState read = StateFor("s3cret pass");
        ASSERT_TRUE(ReadHeader(path, read)) << c.name;
        EXPECT_EQ(read.plainName, c.name);
        EXPECT_EQ(read.checksumText, c.checksum);
        EXPECT_EQ(read.plainSize, c.size);
        EXPECT_EQ(read.readOffset, 216);
    }
}

TEST_F(ContainerTest, FieldsThatDoNotFitFailBeforeTheFileIsTouched) {
    const Bytes kept = {'k', 'e', 'e', 'p'};
    NBTest::WriteBytes(path, kept);
    for (JobState state : {StateFor("password", std::string(129, 'n'), 3),
                           StateFor("password", "a", INT32_MIN), // 11 characters
                           StateFor("password", "a", 3, abcChecksum + "0")}) {
        EXPECT_FALSE(WriteHeader(path, state));
    }
    EXPECT_EQ(NBTest::ReadBytes(path), kept);
}

TEST_F(ContainerTest, WrongPasswordsTruncatedAndDamagedHeadersAreRejected) {
    JobState written = StateFor("password", "abc.txt", 3);
    ASSERT_TRUE(WriteHeader(path, written));
    const Bytes whole = NBTest::ReadBytes(path);
    for (const char* wrong : {"Password", "passw0rd", "password1", "pass word"}) {
        JobState read = StateFor(wrong);
        EXPECT_FALSE(ReadHeader(path, read)) << wrong;
    }
    for (std::size_t length : {0u, 43u, 44u, 172u, 173u, 205u, 206u}) {
        EXPECT_TRUE(Rejected(Bytes(whole.begin(), whole.begin() + length))) << length;
    }
    EXPECT_FALSE(Rejected(whole));
    // Signature, empty name, checksum characters just outside 0-9 and A-F, a
    // checksum ended early or not at all, size zero and size without digits.
    const NBEngine::KeyTable& k = written.keyTable;
    const std::pair<std::size_t, int> damages[] = {
        {43, 'x'},    {0, 'M'},   {44, k[0]},        {178, 'G' ^ k[5]}, {178, '/' ^ k[5]},
        {204, k[31]}, {205, '0'}, {206, '0' ^ k[2]}, {206, 'x' ^ k[2]}};
    for (const auto& [offset, stored] : damages) {
        Bytes bytes = whole;
        bytes[offset] = static_cast<std::uint8_t>(stored);
        EXPECT_TRUE(Rejected(bytes)) << offset << " " << stored;
    }
}

TEST(ParseSizeText, ReadsLikeAtoiWithinTenBytesAndSaturates) {
    std::vector<std::pair<const char*, std::int32_t>> cases = {
        {"217", 217}, {"  \t42", 42}, {"+7", 7}, {"-5", -5}, {"12ab34", 12}, {"abc", 0}, {"-", 0}};
    cases.insert(cases.end(), {{"2147483647", INT32_MAX},
                               {"2147483648", INT32_MAX},
                               {"9999999999", INT32_MAX},
                               {"-999999999", -999999999}});
    for (const auto& [text, value] : cases) {
        std::uint8_t field[10] = {}; // zero padded
        std::memcpy(field, text, std::strlen(text));
        EXPECT_EQ(NBEngine::ParseSizeText(field, sizeof field), value) << text;
    }
    // Digits beyond the field are never read.
    const std::uint8_t longer[] = "12345678901234";
    EXPECT_EQ(NBEngine::ParseSizeText(longer, 10), 1234567890);
    const std::uint8_t negativeFull[] = "-2147483649";
    EXPECT_EQ(NBEngine::ParseSizeText(negativeFull, 11), INT32_MIN);
}

// The header's checksum text: the 16 lanes of the file XORed byte by byte, in
// uppercase hexadecimal.
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
        const NBEngine::Checksum checksum = NBEngine::FoldChecksum(dir.File("input"));
        EXPECT_EQ(checksum.text, PlainFold(c)) << c.size();
        EXPECT_TRUE(checksum.readable);
    }
    // An unreadable file is told apart from one that folds to zeros.
    for (const std::string& path : {dir.File("missing"), dir.Path()}) {
        const NBEngine::Checksum checksum = NBEngine::FoldChecksum(path);
        EXPECT_EQ(checksum.text, std::string(32, '0')) << path;
        EXPECT_FALSE(checksum.readable) << path;
    }
}

} // namespace
