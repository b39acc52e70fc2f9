#pragma once
// The 128-byte key table that a password yields.

#include <array>
#include <cstdint>
#include <string>

namespace NBEngine {

constexpr int keyTableSize = 128;
using KeyTable = std::array<std::uint8_t, keyTableSize>;

// The sum that seeds the generator filling the free slots of the table.
std::int32_t WeightedPasswordSum(const std::string& password);

// False for a password whose table cannot be derived: its filling generator
// would start in the one state that never yields a value, or (far beyond the
// 15 characters a password may have) one of its characters finds no free slot.
bool IsUsablePassword(const std::string& password);

// Derives the table of a usable password. For an unusable one it returns
// false and the table holds what could be placed.
bool DeriveKey(const std::string& password, KeyTable& table);

} // namespace NBEngine
