#include "Sha256.h"

#include "StrongCrypto.h"

#include <cstdio>

namespace NBTest {

std::string Sha256Hex(const std::vector<std::uint8_t>& bytes) {
    NBEngine::Crypto::Sha256 hash;
    if (!hash.Ready()) {
        return "the hash could not be started";
    }
    hash.Update(bytes.data(), bytes.size());
    std::string hex;
    for (const std::uint8_t byte : hash.Final()) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", byte);
        hex += pair;
    }
    return hex;
}

} // namespace NBTest
