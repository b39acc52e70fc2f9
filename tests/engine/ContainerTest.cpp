#include <cstring>

#include <gtest/gtest.h>

#include "Container.h"
#include "TestFiles.h"

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

    Bytes WriteAndRead(JobState state) {
        EXPECT_TRUE(WriteHeader(path, state));
        EXPECT_EQ(state.writeOffset, 216);
        return NBTest::ReadBytes(path);
    }
};

TEST_F(ContainerTest, HeaderLayoutAndTheThreeScramblings) {
    const JobState state = StateFor("password", "abc.txt", 3);
    const Bytes file = WriteAndRead(state);
    ASSERT_EQ(file.size(), 216u);
    const NBEngine::KeyTable& k = state.keyTable;

    EXPECT_EQ(std::string(file.begin(), file.begin() + 43), NBEngine::containerSignature);
    EXPECT_EQ(file[43], 0);
    const std::string name = "abc.txt";
    for (int i = 0; i < 128; ++i) {
        const int plain = i < static_cast<int>(name.size()) ? name[i] : 0;
        EXPECT_EQ(file[44 + i] ^ ((k[i] + i) & 0xFF), plain) << "name byte " << i;
    }
    EXPECT_EQ(file[172], 0) << "name terminator stays plain";
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(file[173 + i] ^ k[i], abcChecksum[i]) << "checksum byte " << i;
    }
    EXPECT_EQ(file[205], 0);
    for (int i = 0; i < 10; ++i) {
        const int plain = i == 0 ? '3' : 0;
        EXPECT_EQ(file[206 + i] ^ ((k[i + 2] + i) & 0xFF), plain) << "size byte " << i;
    }
}

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
        EXPECT_EQ(WriteAndRead(StateFor("s3cret pass", c.name, c.size, c.checksum))[172], 0);
        JobState read = StateFor("s3cret pass");
        ASSERT_TRUE(ReadHeader(path, read));
        EXPECT_EQ(read.plainName, c.name);
        EXPECT_EQ(read.checksumText, c.checksum);
        EXPECT_EQ(read.plainSize, c.size);
        EXPECT_EQ(read.readOffset, 216);
    }
}

TEST_F(ContainerTest, FieldsThatDoNotFitFailBeforeTheFileIsTouched) {
    NBTest::WriteText(path, "keep me");
    JobState longName = StateFor("password", std::string(129, 'n'), 3);
    EXPECT_FALSE(WriteHeader(path, longName));
    JobState negative = StateFor("password", "a", INT32_MIN); // 11 characters
    EXPECT_FALSE(WriteHeader(path, negative));
    JobState longChecksum = StateFor("password", "a", 3, abcChecksum + "0");
    EXPECT_FALSE(WriteHeader(path, longChecksum));
    EXPECT_EQ(NBTest::ReadBytes(path), (Bytes{'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
}

TEST_F(ContainerTest, WrongPasswordsTruncatedAndDamagedHeadersAreRejected) {
    const JobState written = StateFor("password", "abc.txt", 3);
    const Bytes whole = WriteAndRead(written);
    for (const char* wrong : {"Password", "passw0rd", "password1", "12345678", "pass word"}) {
        JobState read = StateFor(wrong);
        EXPECT_FALSE(ReadHeader(path, read)) << wrong;
    }
    const auto rejected = [&](const Bytes& bytes) {
        NBTest::WriteBytes(path, bytes);
        JobState read = StateFor("password");
        return !ReadHeader(path, read);
    };
    for (std::size_t length : {0u, 10u, 43u, 44u, 100u, 172u, 173u, 205u, 206u}) {
        EXPECT_TRUE(rejected(Bytes(whole.begin(), whole.begin() + length))) << length;
    }
    EXPECT_FALSE(rejected(whole));

    const NBEngine::KeyTable& k = written.keyTable;
    struct Damage {
        const char* what;
        std::size_t offset;
        std::uint8_t stored;
    };
    const Damage damages[] = {
        {"signature byte 43 not zero", 43, 'x'},
        {"signature letter changed", 0, 'M'},
        {"empty name", 44, static_cast<std::uint8_t>(k[0])},
        {"checksum character G", 173 + 5, static_cast<std::uint8_t>('G' ^ k[5])},
        {"checksum character /", 173 + 5, static_cast<std::uint8_t>('/' ^ k[5])},
        {"checksum with a terminator inside", 173 + 31, static_cast<std::uint8_t>(k[31])},
        {"checksum not terminated", 205, '0'},
        {"size zero", 206, static_cast<std::uint8_t>('0' ^ k[2])},
        {"size without digits", 206, static_cast<std::uint8_t>('x' ^ k[2])},
    };
    for (const Damage& d : damages) {
        Bytes bytes = whole;
        bytes[d.offset] = d.stored;
        EXPECT_TRUE(rejected(bytes)) << d.what;
    }
}

TEST(ParseSizeText, ReadsLikeAtoiWithinTenBytesAndSaturates) {
    struct Case {
        const char* text; // ten bytes, zero padded
        std::int32_t value;
    };
    const Case cases[] = {
        {"1", 1},
        {"217", 217},
        {"  \t42", 42},
        {"+7", 7},
        {"-5", -5},
        {"12ab34", 12},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"9999999999", 2147483647},
        {"-999999999", -999999999},
        {" -99999999", -99999999},
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
