#include <gtest/gtest.h>

#include "KeyTable.h"
#include "TestSupport.h"

namespace {

TEST(DeriveKey, PasswordsThatWouldHangAreRefusedAndSignedBytesWeigh) {
    // Weighted sum 4322 starts the filler at state 0; 129 characters exceed the slots.
    for (const auto& [password, usable] : {std::pair<std::string, bool>{"hhhhhhhggg", false},
                                           {"hhhhhhhhgf", false},
                                           {"hhhhhhhggh", true},
                                           {std::string(8, '\xE9'), true},
                                           {std::string(129, 'q'), false}}) {
        NBEngine::KeyTable table;
        EXPECT_EQ(NBEngine::IsUsablePassword(password), usable) << password;
        EXPECT_EQ(NBEngine::DeriveKey(password, table), usable) << password;
    }
    EXPECT_EQ(NBEngine::WeightedPasswordSum("\xE9z"), -23 + 122 + 73) << "0xE9 counts as -23";
}

TEST(DeriveKey, EveryPasswordOfUpTo15CharactersPlacesAllItsCharacters) {
    // Fifteen copies of one character is the longest probe any password needs.
    for (int c = 1; c < 256; ++c) {
        const std::string password(15, static_cast<char>(c));
        NBEngine::KeyTable table;
        if (NBEngine::WeightedPasswordSum(password) == 4322) {
            continue;
        }
        ASSERT_TRUE(NBEngine::DeriveKey(password, table)) << c;
        EXPECT_GE(std::count(table.begin(), table.end(), c), 15) << c;
    }
}

TEST(RootSequence, StateZeroReturnsInsteadOfSpinning) {
    NBEngine::RootSequence generator = NBTest::Seeded(4322); // 4322 + 5678 = 10000
    ASSERT_EQ(generator.state, 0);
    generator.Next(1, 255); // must return
    EXPECT_EQ(generator.state, 0) << "state 0 has no root to step from";
}

} // namespace
