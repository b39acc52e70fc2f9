#pragma once
// SHA-256 (the crypto library's), for naming a file's expected contents in test data.

#include <cstdint>
#include <string>
#include <vector>

namespace NBTest {

// 64 lowercase hexadecimal characters, as sha256sum prints them.
std::string Sha256Hex(const std::vector<std::uint8_t>& bytes);

} // namespace NBTest
