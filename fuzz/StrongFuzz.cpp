// Any bytes as a strong container, read past the key derivation with a fixed
// key: the header's limits, the sealed metadata and the body. The input holds
// the metadata and the body in the plain (the tag spaces are ignored); this
// fuzzer seals them, so that every mutation reaches the metadata's checks
// instead of failing at a tag. What the reader accepts must hold what the
// body relies on, and a body sealed as the metadata says must open whole.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "StrongBody.h"

using namespace NBEngine;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

const fs::path& Folder() {
    static const fs::path folder = [] {
        fs::path made =
            fs::temp_directory_path() / ("nbnx-strong-fuzz-" + std::to_string(getpid()));
        fs::create_directories(made);
        return made;
    }();
    return folder;
}

void Check(bool holds) {
    if (!holds) {
        __builtin_trap();
    }
}

const Crypto::SecretKey& FixedKey() {
    static const Crypto::SecretKey key = [] {
        Crypto::SecretKey made;
        std::memset(made.Data(), 0x4b, Crypto::keySize);
        return made;
    }();
    return key;
}

bool WriteFile(const fs::path& path, const Bytes& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// An accepted header encodes back to exactly its bytes: nothing it ignores.
void CheckHeaderFields(const Bytes& input) {
    if (input.size() < headerFieldsSize) {
        return;
    }
    StrongHeader header;
    if (DecodeHeaderFields(input.data(), header) != ReadFault::None) {
        return;
    }
    Check(CostWithinLimits(header.cost));
    std::uint8_t encoded[headerFieldsSize];
    EncodeHeaderFields(header, encoded);
    Check(std::memcmp(encoded, input.data(), headerFieldsSize) == 0);
}

// Metadata against any container size, the largest included: accepted fields
// describe exactly that size and a storable-length name.
void CheckMetadata(const std::uint8_t* bytes, std::uint64_t containerSize) {
    StrongMetadata metadata;
    if (DecodeMetadata(bytes, containerSize, metadata) != ReadFault::None) {
        return;
    }
    Check(!metadata.name.empty() && metadata.name.size() <= maxStrongNameSize);
    Check(metadata.name.find('\0') == std::string::npos);
    Check(metadata.plainLength <= containerSize - smallestStrongContainer);
    Check(StrongContainerSize(metadata.plainLength) == containerSize);
}

std::uint64_t SizeFrom(const Bytes& input, std::size_t at) {
    std::uint64_t size = 0;
    for (std::size_t i = 0; i < 8 && at + i < input.size(); ++i) {
        size |= std::uint64_t{input[at + i]} << (8 * i);
    }
    return size;
}

// Seals the body's pieces in place as plainLength says; their digest.
Crypto::Digest SealBody(Bytes& container, const StrongKeys& keys, std::uint64_t plainLength) {
    Crypto::Aead aead;
    Crypto::Sha256 digest;
    Check(aead.SetKey(keys.payload) && digest.Ready());
    const std::uint64_t chunks = ChunkCount(plainLength);
    std::size_t at = strongBodyOffset;
    std::uint64_t left = plainLength;
    for (std::uint64_t index = 1; index <= chunks; ++index) {
        const std::size_t piece = left < strongPieceSize ? left : strongPieceSize;
        digest.Update(container.data() + at, piece);
        Crypto::Tag tag;
        Check(aead.Seal(ChunkNonce(index, index == chunks), nullptr, 0, container.data() + at,
                        piece, tag));
        std::memcpy(container.data() + at + piece, tag.data(), tag.size());
        at += piece + Crypto::tagSize;
        left -= piece;
    }
    return digest.Final();
}

// The input with its header MAC, metadata and (when the metadata holds) body
// sealed under the fixed key, then read from a file as a decryption reads it.
void CheckReading(const Bytes& input) {
    Bytes container = input;
    StrongKeys keys;
    FileNonce fileNonce{};
    if (container.size() >= headerFieldsSize) {
        std::memcpy(fileNonce.data(), container.data() + 96, fileNonce.size());
    }
    Check(DeriveSubkeys(FixedKey(), fileNonce, keys));
    if (container.size() >= strongHeaderSize) {
        Crypto::Digest mac;
        Check(HeaderMac(keys, container.data(), mac));
        std::memcpy(container.data() + headerFieldsSize, mac.data(), mac.size());
    }
    ReadFault metadataFault = ReadFault::Damaged;
    StrongMetadata expected;
    Crypto::Digest plainDigest{};
    if (container.size() >= strongBodyOffset) {
        std::uint8_t* metadata = container.data() + strongHeaderSize;
        metadataFault = DecodeMetadata(metadata, container.size(), expected);
        if (metadataFault == ReadFault::None) {
            plainDigest = SealBody(container, keys, expected.plainLength);
        }
        Crypto::Aead aead;
        Crypto::Tag tag;
        Check(aead.SetKey(keys.payload) &&
              aead.Seal(ChunkNonce(0, false), container.data(), strongHeaderSize, metadata,
                        metadataSize, tag));
        std::memcpy(metadata + metadataSize, tag.data(), tag.size());
    }
    const fs::path path = Folder() / "box.nbnx";
    Check(WriteFile(path, container));

    const StrongOpening opening = ReadStrongHeader(path.string());
    if (opening.fault != ReadFault::None) {
        Check(opening.fault != ReadFault::WrongPassword && opening.fault != ReadFault::System);
        return;
    }
    Check(container.size() >= smallestStrongContainer);
    StrongKeys opened;
    StrongMetadata metadata;
    std::string reason;
    const ReadFault fault =
        OpenStrongMetadata(path.string(), opening, FixedKey(), opened, metadata, reason);
    Check(fault == metadataFault);
    if (fault != ReadFault::None) {
        return;
    }
    Check(metadata.plainLength == expected.plainLength && metadata.name == expected.name);
    Crypto::Digest digest{};
    const StrongPass pass =
        OpenStrongBody(path.string(), opened, metadata, std::string(), PassWork(), &digest);
    Check(pass.result.ok && digest == plainDigest);
}

Bytes ReadFile(const fs::path& path) {
    Bytes bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        std::uint8_t buffer[65536];
        std::size_t read = 0;
        while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            bytes.insert(bytes.end(), buffer, buffer + read);
        }
        std::fclose(file);
    }
    return bytes;
}

// A kit container in this fuzzer's input form: the metadata and the pieces
// in the plain, each where its sealed form stood. False when it does not open.
bool OpenIntoSeed(const fs::path& path, const std::string& password, StrongKeyCache& cache) {
    bool stopped = false;
    const StrongReading reading = ReadStrongContainer(path.string(), password, cache, stopped);
    const fs::path plainPath = Folder() / "seed.plain";
    fs::remove(plainPath);
    Check(WriteFile(plainPath, Bytes()));
    Crypto::Digest digest;
    if (reading.fault != ReadFault::None ||
        !OpenStrongBody(path.string(), reading.keys, reading.metadata, plainPath.string(),
                        PassWork(), &digest)
             .result.ok) {
        return false;
    }
    Bytes seed = ReadFile(path);
    std::uint8_t* metadata = seed.data() + strongHeaderSize;
    Crypto::Aead aead;
    Check(aead.SetKey(reading.keys.payload) &&
          aead.Open(ChunkNonce(0, false), seed.data(), strongHeaderSize, metadata, metadataSize,
                    metadata + metadataSize));
    const Bytes plain = ReadFile(plainPath);
    for (std::size_t done = 0, at = strongBodyOffset; done < plain.size();) {
        const std::size_t piece = std::min(plain.size() - done, strongPieceSize);
        std::memcpy(seed.data() + at, plain.data() + done, piece);
        done += piece;
        at += piece + Crypto::tagSize;
    }
    return WriteFile(path, seed);
}

} // namespace

// With NB_STRONG_FUZZ_SEEDS naming a folder of kit containers, those that open
// with the kit's password are turned into this fuzzer's input form before the
// corpus is read.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* seeds = std::getenv("NB_STRONG_FUZZ_SEEDS");
    if (!seeds) {
        return 0;
    }
    std::string reason;
    Check(Crypto::Initialize(reason));
    StrongKeyCache cache;
    int opened = 0;
    for (const auto& entry : fs::directory_iterator(seeds)) {
        opened += OpenIntoSeed(entry.path(), "kit-password", cache);
    }
    std::fprintf(stderr, "strong fuzz: %d seeds opened into the plain form\n", opened);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes input(data, data + size);
    CheckHeaderFields(input);
    if (size >= metadataSize) {
        CheckMetadata(data, SizeFrom(input, metadataSize));
    }
    CheckReading(input);
    return 0;
}
