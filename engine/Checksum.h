#pragma once
// The container's integrity check: a 16-byte XOR fold of a file's bytes,
// written as 32 uppercase hexadecimal characters.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace NBEngine {

constexpr int checksumTextLength = 32;
// Bytes read in one go.
constexpr std::size_t checksumChunkSize = std::size_t{1} << 20;

constexpr int checksumLaneCount = 16;

struct Checksum {
    std::string text;        // always 32 characters
    bool readable = false;   // the whole file was read without an error
    bool stopped = false;    // the caller asked to stop before the end
    std::string reason;      // the system's, when not readable
    std::int64_t length = 0; // bytes folded
};

// Folds bytes as they come, in any pieces: byte k of the stream goes into
// lane k mod 16.
class ChecksumFold {
public:
    void Add(const std::uint8_t* data, std::size_t count);
    std::string Text() const;

private:
    std::uint8_t lanes[checksumLaneCount] = {};
    std::size_t position = 0; // of the next byte, mod 16
};

// Answers false to stop; asked after every chunk read.
using KeepGoing = std::function<bool()>;

// An unreadable file folds to 32 zeros with readable false; a read error
// midway gives the fold of what was read, also with readable false. Only a
// regular file is read.
Checksum FoldChecksum(const std::string& path, const KeepGoing& keepGoing = nullptr);

// The sum of the text's byte values; it seeds the body generator.
int ChecksumSeed(const std::string& checksumText);

} // namespace NBEngine
