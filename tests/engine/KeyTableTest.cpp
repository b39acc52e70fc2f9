#include <gtest/gtest.h>

#include "KeyTable.h"
#include "TestSupport.h"

using NBEngine::DeriveKey;
using NBEngine::KeyTable;

namespace {

TEST(DeriveKey, PasswordsThatWouldHangAreRefusedAndSignedBytesWeigh) {
    struct Case {
        std::string password;
        bool usable;
    };
    const Case cases[] = {
        {"hhhhhhhggg", false}, // weighted sum 4322: the filler starts at state 0
        {"hhhhhhhhgf", false}, // same sum, other letters
        {"hhhhhhhggh", true},  // one more
        {"password", true},
        {"\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9", true},
        {std::string(129, 'q'), false}, // more characters than the table has slots
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NBEngine::IsUsablePassword(c.password), c.usable) << c.password;
        KeyTable table;
        EXPECT_EQ(DeriveKey(c.password, table), c.usable) << c.password;
    }
    EXPECT_EQ(NBEngine::WeightedPasswordSum("hhhhhhhggg"), 4322);
    EXPECT_EQ(NBEngine::WeightedPasswordSum("\xE9z"), -23 + 122 + 73) << "0xE9 counts as -23";
}

TEST(DeriveKey, EveryPasswordOfUpTo15CharactersPlacesAllItsCharacters) {
    // Fifteen copies of one character is the longest probe any password needs.
    for (int c = 1; c < 256; ++c) {
        const std::string password(15, static_cast<char>(c));
        if (NBEngine::WeightedPasswordSum(password) == 4322) {
            continue;
        }
        KeyTable table;
        ASSERT_TRUE(DeriveKey(password, table)) << c;
        int copies = 0;
        for (std::uint8_t b : table) {
            copies += b == c;
        }
        EXPECT_GE(copies, 15) << c;
    }
}

TEST(RootSequence, StateZeroReturnsInsteadOfSpinning) {
    NBEngine::RootSequence generator = NBTest::Seeded(4322); // 4322 + 5678 = 10000
    ASSERT_EQ(generator.state, 0);
    EXPECT_EQ(NBEngine::RootFraction(0), 0.0);
    generator.Next(1, 255); // must return
    EXPECT_EQ(generator.state, 0) << "state 0 has no root to step from";
}

} // namespace
