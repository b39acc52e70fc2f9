#include "StrongContainer.h"

#include <algorithm>
#include <cstring>

#include "TextConversion.h"

namespace NBEngine {

namespace {

constexpr std::uint8_t argon2idByte = 1;
constexpr std::uint8_t chachaPolyByte = 1;
constexpr char headerInfo[] = "NBNimbraFile v2 header";
constexpr char payloadInfo[] = "NBNimbraFile v2 payload";

constexpr std::uint32_t leastMemoryKiB = 8192;
constexpr std::uint32_t mostMemoryKiB = 1048576;
constexpr std::uint32_t mostPasses = 16;
constexpr std::uint32_t mostLanes = 16;
constexpr std::uint64_t mostMemoryTimesPasses = 4194304;

void PutU32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t GetU32(const std::uint8_t* at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | at[i];
    }
    return value;
}

void PutU64(std::uint8_t* at, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint64_t GetU64(const std::uint8_t* at) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) {
        value = (value << 8) | at[i];
    }
    return value;
}

bool AllZero(const std::uint8_t* bytes, std::size_t size) {
    return std::all_of(bytes, bytes + size, [](std::uint8_t b) { return b == 0; });
}

// HKDF's expand step for one 32-byte block: HMAC(PRK, info || 0x01).
bool ExpandOneBlock(const Crypto::Digest& pseudoRandomKey, const char* info,
                    Crypto::SecretKey& subkey) {
    std::string message(info);
    message.push_back('\x01');
    Crypto::Digest block;
    const bool ok = Crypto::HmacSha256(pseudoRandomKey.data(), pseudoRandomKey.size(),
                                       reinterpret_cast<const std::uint8_t*>(message.data()),
                                       message.size(), block);
    std::copy(block.begin(), block.end(), subkey.Data());
    Crypto::Wipe(block.data(), block.size());
    return ok;
}

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7f;
}

} // namespace

ContainerVersion VersionOfSignature(const std::uint8_t* bytes, std::size_t size) {
    constexpr char version1[] = "NBNimbraFile Vexal Edition sealed header v1";
    static_assert(sizeof version1 == strongSignatureSize);
    if (size < strongSignatureSize) {
        return ContainerVersion::Unknown;
    }
    if (std::memcmp(bytes, version1, sizeof version1) == 0) {
        return ContainerVersion::Version1;
    }
    if (std::memcmp(bytes, strongSignature, sizeof strongSignature) == 0) {
        return ContainerVersion::Version2;
    }
    return ContainerVersion::Unknown;
}

bool CostWithinLimits(const Crypto::Argon2Cost& cost) {
    if (cost.lanes < 1 || cost.lanes > mostLanes || cost.passes < 1 || cost.passes > mostPasses) {
        return false;
    }
    if (cost.memoryKiB < leastMemoryKiB || cost.memoryKiB > mostMemoryKiB ||
        cost.memoryKiB < std::uint64_t{8} * cost.lanes) {
        return false;
    }
    return std::uint64_t{cost.memoryKiB} * cost.passes <= mostMemoryTimesPasses;
}

void EncodeHeaderFields(const StrongHeader& header, std::uint8_t* fields) {
    std::memset(fields, 0, headerFieldsSize);
    std::memcpy(fields, strongSignature, strongSignatureSize);
    fields[44] = argon2idByte;
    fields[45] = chachaPolyByte;
    PutU32(fields + 48, header.cost.memoryKiB);
    PutU32(fields + 52, header.cost.passes);
    PutU32(fields + 56, header.cost.lanes);
    std::copy(header.salt.begin(), header.salt.end(), fields + 64);
    std::copy(header.fileNonce.begin(), header.fileNonce.end(), fields + 96);
}

ReadFault DecodeHeaderFields(const std::uint8_t* fields, StrongHeader& header) {
    if (VersionOfSignature(fields, headerFieldsSize) != ContainerVersion::Version2) {
        return ReadFault::NotContainer;
    }
    if (fields[44] != argon2idByte || fields[45] != chachaPolyByte || !AllZero(fields + 46, 2) ||
        !AllZero(fields + 60, 4)) {
        return ReadFault::Unsupported;
    }
    header.cost.memoryKiB = GetU32(fields + 48);
    header.cost.passes = GetU32(fields + 52);
    header.cost.lanes = GetU32(fields + 56);
    if (!CostWithinLimits(header.cost)) {
        return ReadFault::Unsupported;
    }
    std::copy(fields + 64, fields + 96, header.salt.begin());
    std::copy(fields + 96, fields + 128, header.fileNonce.begin());
    return ReadFault::None;
}

bool DeriveSubkeys(const Crypto::SecretKey& derived, const FileNonce& fileNonce, StrongKeys& keys) {
    Crypto::Digest pseudoRandomKey;
    bool ok = Crypto::HmacSha256(fileNonce.data(), fileNonce.size(), derived.Data(),
                                 Crypto::keySize, pseudoRandomKey);
    ok = ok && ExpandOneBlock(pseudoRandomKey, headerInfo, keys.header) &&
         ExpandOneBlock(pseudoRandomKey, payloadInfo, keys.payload);
    Crypto::Wipe(pseudoRandomKey.data(), pseudoRandomKey.size());
    return ok;
}

bool HeaderMac(const StrongKeys& keys, const std::uint8_t* fields, Crypto::Digest& mac) {
    return Crypto::HmacSha256(keys.header.Data(), Crypto::keySize, fields, headerFieldsSize, mac);
}

bool HeaderMacMatches(const StrongKeys& keys, const std::uint8_t* fields, const std::uint8_t* mac) {
    return Crypto::HmacSha256Matches(keys.header.Data(), Crypto::keySize, fields, headerFieldsSize,
                                     mac);
}

Crypto::Nonce ChunkNonce(std::uint64_t index, bool last) {
    Crypto::Nonce nonce{};
    for (int i = 0; i < 8; ++i) {
        nonce[10 - i] = static_cast<std::uint8_t>(index >> (8 * i));
    }
    nonce[11] = last ? 1 : 0;
    return nonce;
}

std::uint64_t ChunkCount(std::uint64_t plainLength) {
    return plainLength == 0 ? 1 : (plainLength - 1) / strongPieceSize + 1;
}

std::uint64_t StrongContainerSize(std::uint64_t plainLength) {
    return strongBodyOffset + plainLength + Crypto::tagSize * ChunkCount(plainLength);
}

bool IsStorableStrongName(const std::string& name) {
    if (name.empty() || name.size() > maxStrongNameSize || name == "." || name == "..") {
        return false;
    }
    for (const char c : name) {
        if (c == '/' || c == '\\' || IsControl(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    std::u16string characters;
    return NBUtility::Utf8ToUtf16(name, characters);
}

bool EncodeMetadata(const StrongMetadata& metadata, std::uint8_t* bytes) {
    if (!IsStorableStrongName(metadata.name)) {
        return false;
    }
    std::memset(bytes, 0, metadataSize);
    PutU64(bytes, metadata.plainLength);
    bytes[8] = static_cast<std::uint8_t>(metadata.name.size());
    bytes[9] = static_cast<std::uint8_t>(metadata.name.size() >> 8);
    std::memcpy(bytes + 10, metadata.name.data(), metadata.name.size());
    return true;
}

ReadFault DecodeMetadata(const std::uint8_t* bytes, std::uint64_t containerSize,
                         StrongMetadata& metadata) {
    const std::uint64_t length = GetU64(bytes);
    const std::size_t nameSize = bytes[8] | (std::size_t{bytes[9]} << 8);
    if (nameSize < 1 || nameSize > maxStrongNameSize ||
        !AllZero(bytes + 10 + nameSize, metadataSize - 10 - nameSize)) {
        return ReadFault::Damaged;
    }
    std::string name(reinterpret_cast<const char*>(bytes + 10), nameSize);
    std::u16string characters;
    if (name.find('\0') != std::string::npos || !NBUtility::Utf8ToUtf16(name, characters)) {
        return ReadFault::Damaged;
    }
    // The length is bounded before any sum is made of it.
    if (containerSize < smallestStrongContainer ||
        length > containerSize - smallestStrongContainer ||
        StrongContainerSize(length) != containerSize) {
        return ReadFault::Damaged;
    }
    metadata.plainLength = length;
    metadata.name = std::move(name);
    return ReadFault::None;
}

} // namespace NBEngine
