#pragma once
// The container's integrity check: a 16-byte XOR fold of a file's bytes,
// written as 32 uppercase hexadecimal characters.

#include <cstddef>
#include <string>

namespace NBEngine {

constexpr int checksumTextLength = 32;
// Bytes read in one go.
constexpr std::size_t checksumChunkSize = std::size_t{1} << 20;

struct Checksum {
    std::string text;      // always 32 characters
    bool readable = false; // the whole file was read without an error
};

// An unreadable file folds to 32 zeros with readable false; a read error
// midway gives the fold of what was read, also with readable false.
Checksum FoldChecksum(const std::string& path);

// The sum of the text's byte values; it seeds the body generator.
int ChecksumSeed(const std::string& checksumText);

} // namespace NBEngine
