#pragma once
// How long a password may be, for every part of the program: the jobs, the
// window's boxes and nbnx.

#include <cstddef>

namespace NBEngine {

// Characters after trimming, for either container.
constexpr std::size_t leastPasswordCharacters = 8;
// Version 1 takes one byte per character; no container of it ever held more.
constexpr std::size_t longestVersion1Password = 15;
// The strong container: its password's NFC form in UTF-8.
constexpr std::size_t mostStrongPasswordBytes = 1024;

} // namespace NBEngine
