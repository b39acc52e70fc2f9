#pragma once
// The strong container's cryptography, all of it from libgcrypt: Argon2id,
// HMAC-SHA-256, ChaCha20-Poly1305, SHA-256 and the strong random source.
// Nothing here is a primitive of our own; this file only adapts the calls.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace NBEngine::Crypto {

constexpr std::size_t keySize = 32;
constexpr std::size_t nonceSize = 12;
constexpr std::size_t tagSize = 16;
constexpr std::size_t digestSize = 32;

using Digest = std::array<std::uint8_t, digestSize>;
using Nonce = std::array<std::uint8_t, nonceSize>;
using Tag = std::array<std::uint8_t, tagSize>;

// Clears memory in a way the compiler may not drop.
void Wipe(void* bytes, std::size_t count);

// A 32-byte key that is wiped when it goes.
class SecretKey {
public:
    SecretKey() = default;
    ~SecretKey() { Wipe(bytes.data(), bytes.size()); }
    SecretKey(const SecretKey& other) = default;
    SecretKey& operator=(const SecretKey& other) = default;

    std::uint8_t* Data() { return bytes.data(); }
    const std::uint8_t* Data() const { return bytes.data(); }
    bool operator==(const SecretKey& other) const { return bytes == other.bytes; }

private:
    std::array<std::uint8_t, keySize> bytes{};
};

// Readies the library once per process; false with its reason when the
// installed library is too old or cannot start.
bool Initialize(std::string& reason);

struct Argon2Cost {
    std::uint32_t memoryKiB = 0;
    std::uint32_t passes = 0;
    std::uint32_t lanes = 0;
    bool operator==(const Argon2Cost& other) const {
        return memoryKiB == other.memoryKiB && passes == other.passes && lanes == other.lanes;
    }
};

// Argon2id (version 0x13), 32 bytes, the lanes computed in parallel.
bool DeriveArgon2id(const std::string& password, const std::uint8_t* salt, std::size_t saltSize,
                    const Argon2Cost& cost, SecretKey& key, std::string& reason);

bool HmacSha256(const std::uint8_t* key, std::size_t keySize, const std::uint8_t* message,
                std::size_t messageSize, Digest& mac);
// Compares in constant time, through the library's own verification.
bool HmacSha256Matches(const std::uint8_t* key, std::size_t keySize, const std::uint8_t* message,
                       std::size_t messageSize, const std::uint8_t* expected);

bool StrongRandom(std::uint8_t* bytes, std::size_t count);

// ChaCha20-Poly1305 with one key for many sealings, each under its own nonce.
class Aead {
public:
    Aead() = default;
    ~Aead();
    Aead(const Aead&) = delete;
    Aead& operator=(const Aead&) = delete;

    bool SetKey(const SecretKey& key);
    // In place: the plain bytes become the ciphertext.
    bool Seal(const Nonce& nonce, const std::uint8_t* associated, std::size_t associatedSize,
              std::uint8_t* bytes, std::size_t size, Tag& tag);
    // In place; false when the tag does not match (the bytes are then
    // garbage and must not be used).
    bool Open(const Nonce& nonce, const std::uint8_t* associated, std::size_t associatedSize,
              std::uint8_t* bytes, std::size_t size, const std::uint8_t* tag);

private:
    bool Start(const Nonce& nonce, const std::uint8_t* associated, std::size_t associatedSize);
    void* handle = nullptr; // gcry_cipher_hd_t
};

class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    bool Ready() const { return handle != nullptr; }
    void Update(const std::uint8_t* bytes, std::size_t size);
    Digest Final();

private:
    void* handle = nullptr; // gcry_md_hd_t
};

} // namespace NBEngine::Crypto
