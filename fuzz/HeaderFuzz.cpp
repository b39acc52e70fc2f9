// Any bytes as the start of a container: parsing must not crash or read past
// the bytes, and a header it accepts must hold what the decryption relies on.

#include <cstdint>
#include <string>

#include "Checksum.h"
#include "Container.h"

namespace {

// The password of the container kit and of golden/abc.nbnx; the other seeds
// then stand for containers sealed with another key.
const NBEngine::KeyTable& SeedKey() {
    static const NBEngine::KeyTable key = [] {
        NBEngine::KeyTable derived{};
        NBEngine::DeriveKey("password", derived);
        return derived;
    }();
    return key;
}

bool IsChecksumText(const std::string& text) {
    if (text.size() != static_cast<std::size_t>(NBEngine::checksumTextLength)) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > 'F') {
            return false;
        }
    }
    return true;
}

// The body starts where the header ends; the header is never longer than its
// fields, and the size field at least starts inside the bytes. A name may
// fill all 129 bytes of its field: its last byte is stored as is and only a
// zero ends the name.
bool IsSoundHeader(const NBEngine::JobState& state, std::size_t size) {
    const std::size_t headerEnd = size < NBEngine::headerSize ? size : NBEngine::headerSize;
    const std::size_t sizeFieldStart = NBEngine::headerSize - NBEngine::sizeFieldSize;
    return !state.plainName.empty() &&
           state.plainName.size() <= static_cast<std::size_t>(NBEngine::nameFieldSize) &&
           state.plainName.find('\0') == std::string::npos && IsChecksumText(state.checksumText) &&
           state.plainSize != 0 && static_cast<std::size_t>(state.readOffset) == headerEnd &&
           headerEnd >= sizeFieldStart;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    NBEngine::JobState state;
    state.keyTable = SeedKey();
    if (NBEngine::ParseHeader(data, size, state) && !IsSoundHeader(state, size)) {
        __builtin_trap();
    }
    return 0;
}
