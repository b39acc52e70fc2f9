#include "KeyTable.h"

#include "RootSequence.h"

namespace NBEngine {

namespace {

// A seed whose generator state starts at 0 would never produce a value.
bool SeedStartsAtZero(std::int32_t seed) {
    return (static_cast<std::int64_t>(seed) + 5678) % 10000 == 0;
}

// Draws of one character's generator before its positions leave 0..127 for
// good: from call 1429 on the offset is at least 1.0.
constexpr int maxPlacementDraws = 1428;

bool PlaceCharacter(std::uint8_t character, KeyTable& table) {
    RootSequence generator;
    generator.Seed(static_cast<std::int8_t>(character));
    for (int draw = 0; draw < maxPlacementDraws; ++draw) {
        const std::int32_t position = generator.Next(0, 127);
        if (position >= 0 && position < keyTableSize && table[position] == 0) {
            table[position] = character;
            return true;
        }
    }
    return false;
}

} // namespace

std::int32_t WeightedPasswordSum(const std::string& password) {
    std::int64_t weighted = 0;
    for (std::size_t i = 0; i < password.size(); ++i) {
        weighted += static_cast<std::int8_t>(password[i]) + 73 * static_cast<std::int64_t>(i);
    }
    return static_cast<std::int32_t>(weighted);
}

bool IsUsablePassword(const std::string& password) {
    KeyTable table;
    return DeriveKey(password, table);
}

bool DeriveKey(const std::string& password, KeyTable& table) {
    table.fill(0);
    for (char character : password) {
        if (!PlaceCharacter(static_cast<std::uint8_t>(character), table)) {
            return false;
        }
    }
    const std::int32_t weighted = WeightedPasswordSum(password);
    if (SeedStartsAtZero(weighted)) {
        return false;
    }
    RootSequence filler;
    filler.Seed(weighted);
    for (std::uint8_t& slot : table) {
        if (slot == 0) {
            slot = static_cast<std::uint8_t>(filler.Next(1, 255) & 0xFF);
        }
    }
    return true;
}

} // namespace NBEngine
