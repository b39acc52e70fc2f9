#pragma once
// The container: a 216-byte header (plain signature, then the scrambled name,
// checksum text and size text of the plain file) followed by the body.

#include <cstddef>
#include <cstdint>
#include <string>

#include "JobState.h"

namespace NBEngine {

constexpr char containerSignature[] = "NBNimbraFile Vexal Edition sealed header v1";
constexpr int signatureFieldSize = 44;
constexpr int nameFieldSize = 129;
constexpr int checksumFieldSize = 33;
constexpr int sizeFieldSize = 10;
constexpr int maxPlainNameLength = nameFieldSize - 1;
constexpr int headerSize = signatureFieldSize + nameFieldSize + checksumFieldSize + sizeFieldSize;
static_assert(sizeof containerSignature == signatureFieldSize);
static_assert(headerSize == 216);

// Writes the header from state.plainName, checksumText and plainSize and sets
// state.writeOffset. A name over 128 bytes, a checksum text over 32 or a size
// text over 10 characters fail before the file is touched.
bool WriteHeader(const std::string& containerPath, JobState& state);

// Checks the first size bytes of a container (those a file of that length
// holds, at most headerSize) with state.keyTable, storing plainName,
// checksumText, plainSize and readOffset. Fields the end cuts short read as
// zeros; a file that ends before the size field fails. False for a wrong key
// as well as for bytes that are not a container.
bool ParseHeader(const std::uint8_t* bytes, std::size_t size, JobState& state);

// ParseHeader over the start of the file; false also when it cannot be read.
bool ReadHeader(const std::string& containerPath, JobState& state);

// The leading decimal number of a size field, as atoi reads it but never past
// the field and saturated at the 32-bit bounds.
std::int32_t ParseSizeText(const std::uint8_t* text, std::size_t length);

} // namespace NBEngine
