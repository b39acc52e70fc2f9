#include <cstring>

#include <gtest/gtest.h>

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
        {"a", 1, abcChecksum},
        {std::string(128, 'n'), 3, abcChecksum}, // fills the name field
        {"big.iso", 1000000000, abcChecksum},    // ten digits, no terminator
        {"max.bin", 2147483647, abcChecksum},
        {"\xE9t\xE9.txt", 42, abcChecksum}, // bytes above 0x7F kept as they are
        // characters between '9' and 'A' pass the range test
        {"abc.txt", 3, "0123456789:;<=>?@ABCDEF000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JobState written = StateFor("s3cret pass", c.name, c.size, c.checksum);
        ASSERT_TRUE(WriteHeader(path, written));
        EXPECT_EQ(written.writeOffset, 216);
        JobState read = StateFor("s3cret pass");
        ASSERT_TRUE(ReadHeader(path, read));
        EXPECT_EQ(read.plainName, c.name);
        EXPECT_EQ(read.checksumText, c.checksum);
        EXPECT_EQ(read.plainSize, c.size);
        EXPECT_EQ(read.readOffset, 216);
    }
}

TEST_F(ContainerTest, FieldsThatDoNotFitFailBeforeTheFileIsTouched) {
    const Bytes kept = {'k', 'e', 'e', 'p'};
    NBTest::WriteBytes(path, kept);
    JobState longName = StateFor("password", std::string(129, 'n'), 3);
    EXPECT_FALSE(WriteHeader(path, longName));
    JobState negative = StateFor("password", "a", INT32_MIN); // 11 characters
    EXPECT_FALSE(WriteHeader(path, negative));
    JobState longChecksum = StateFor("password", "a", 3, abcChecksum + "0");
    EXPECT_FALSE(WriteHeader(path, longChecksum));
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

    const NBEngine::KeyTable& k = written.keyTable;
    struct Damage {
        const char* what;
        std::size_t offset;
        int stored;
    };
    const Damage damages[] = {
        {"signature byte 43 not zero", 43, 'x'},
        {"signature letter changed", 0, 'M'},
        {"empty name", 44, k[0]},
        {"checksum character G", 173 + 5, 'G' ^ k[5]},
        {"checksum character /", 173 + 5, '/' ^ k[5]},
        {"checksum with a terminator inside", 173 + 31, k[31]},
        {"checksum not terminated", 205, '0'},
        {"size zero", 206, '0' ^ k[2]},
        {"size without digits", 206, 'x' ^ k[2]},
    };
    for (const Damage& d : damages) {
        Bytes bytes = whole;
        bytes[d.offset] = static_cast<std::uint8_t>(d.stored);
        EXPECT_TRUE(Rejected(bytes)) << d.what;
    }
}

TEST(ParseSizeText, ReadsLikeAtoiWithinTenBytesAndSaturates) {
    struct Case {
        const char* text; // ten bytes, zero padded
        std::int32_t value;
    };
    const Case cases[] = {
        {"217", 217},
        {"  \t42", 42},
        {"+7", 7},
        {"-5", -5},
        {"12ab34", 12},
        {"abc", 0},
        {"-", 0},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},
        {"9999999999", INT32_MAX},
        {"-999999999", -999999999},
    };
    for (const Case& c : cases) {
        std::uint8_t field[10] = {};
        std::memcpy(field, c.text, std::strlen(c.text));
        EXPECT_EQ(NBEngine::ParseSizeText(field, sizeof field), c.value) << c.text;
    }
    // Digits beyond the field are never read.
    const std::uint8_t longer[] = "12345678901234";
    EXPECT_EQ(NBEngine::ParseSizeText(longer, 10), 1234567890);
    const std::uint8_t negativeFull[] = "-2147483649";
    EXPECT_EQ(NBEngine::ParseSizeText(negativeFull, 11), INT32_MIN);
}

} // namespace
