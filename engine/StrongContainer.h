#pragma once
// The strong container (version 2): a 160-byte header whose MAC commits to
// the key, a sealed 1,024-byte metadata chunk, then the body sealed with
// ChaCha20-Poly1305 in chunks of 65,536 bytes. This file holds the layout;
// the files are read and written by StrongBody.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "ReadFault.h"
#include "StrongCrypto.h"

namespace NBEngine {

constexpr char strongSignature[] = "NBNimbraFile Vexal Edition sealed header v2";
constexpr std::size_t strongSignatureSize = 44;
static_assert(sizeof strongSignature == strongSignatureSize);

constexpr std::size_t headerFieldsSize = 128; // what the header MAC covers
constexpr std::size_t strongHeaderSize = 160; // with the MAC
constexpr std::size_t metadataSize = 1024;
constexpr std::size_t sealedMetadataSize = metadataSize + Crypto::tagSize;
constexpr std::size_t strongBodyOffset = strongHeaderSize + sealedMetadataSize;
constexpr std::size_t strongPieceSize = 65536;
constexpr std::size_t sealedChunkSize = strongPieceSize + Crypto::tagSize;
constexpr std::size_t maxStrongNameSize = 1014;
constexpr std::uint64_t smallestStrongContainer = strongBodyOffset + Crypto::tagSize;
static_assert(strongBodyOffset == 1200 && smallestStrongContainer == 1216);

// What this version writes unless told otherwise: 256 MiB, 3 passes, 4 lanes.
constexpr Crypto::Argon2Cost defaultStrongCost = {262144, 3, 4};

using Salt = std::array<std::uint8_t, 32>;
using FileNonce = std::array<std::uint8_t, 32>;

struct StrongHeader {
    Crypto::Argon2Cost cost;
    Salt salt{};
    FileNonce fileNonce{};
};

enum class ContainerVersion { Unknown, Version1, Version2 };
// The version a container's first bytes announce.
ContainerVersion VersionOfSignature(const std::uint8_t* bytes, std::size_t size);

// True when a reader accepts this cost before deriving anything.
bool CostWithinLimits(const Crypto::Argon2Cost& cost);

void EncodeHeaderFields(const StrongHeader& header, std::uint8_t* fields);
// Unsupported for a field outside what this reader accepts.
ReadFault DecodeHeaderFields(const std::uint8_t* fields, StrongHeader& header);

// The header key and the payload key, by HKDF-SHA-256 over the derived key
// with the file nonce as salt.
struct StrongKeys {
    Crypto::SecretKey header;
    Crypto::SecretKey payload;
};
bool DeriveSubkeys(const Crypto::SecretKey& derived, const FileNonce& fileNonce, StrongKeys& keys);

bool HeaderMac(const StrongKeys& keys, const std::uint8_t* fields, Crypto::Digest& mac);
bool HeaderMacMatches(const StrongKeys& keys, const std::uint8_t* fields, const std::uint8_t* mac);

// Chunk index as 11 big-endian bytes, then 1 for the container's last chunk.
Crypto::Nonce ChunkNonce(std::uint64_t index, bool last);

// Body chunks for a plain length (an empty file has one), and the whole
// container's size.
std::uint64_t ChunkCount(std::uint64_t plainLength);
std::uint64_t StrongContainerSize(std::uint64_t plainLength);

// The name a writer may store: valid UTF-8, 1 to 1,014 bytes, no zero byte,
// separator or control character, not "." or "..".
bool IsStorableStrongName(const std::string& name);

struct StrongMetadata {
    std::uint64_t plainLength = 0;
    std::string name;
};
// False for a name that cannot be stored.
bool EncodeMetadata(const StrongMetadata& metadata, std::uint8_t* bytes);
// Damaged when the fields do not hold or disagree with the container's size.
ReadFault DecodeMetadata(const std::uint8_t* bytes, std::uint64_t containerSize,
                         StrongMetadata& metadata);

} // namespace NBEngine
