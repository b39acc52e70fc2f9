#pragma once
// Reading and writing whole strong containers: the header, the sealed
// metadata and the body, chunk by chunk. Nothing unauthenticated leaves the
// reader: a caller publishes an output only when the whole body opened.

#include <cstdint>
#include <string>

#include "BodyCipher.h"
#include "StrongContainer.h"
#include "StrongKeys.h"

namespace NBEngine {

// A pass's outcome with the kind of what went wrong while reading a container.
struct StrongPass {
    PassResult result;
    ReadFault fault = ReadFault::None; // Damaged or System when the container failed
    bool sourceChanged = false;        // the source's length is not the one stored
};

// Writes header, metadata and the exactly length bytes of source into output
// (an empty file already created), folding the plain bytes into plainDigest
// when one is asked for (SHA-256 costs more than the cipher: only Check needs it).
// A source that ends early or holds more than length bytes fails.
StrongPass WriteStrongContainer(const std::string& sourcePath, std::uint64_t length,
                                const std::string& outputPath, const StrongHeader& header,
                                const StrongKeys& keys, const std::string& storedName,
                                const PassWork& work, Crypto::Digest* plainDigest);

// The first steps of reading, before any derivation: the signature, the
// header's limits and the smallest size.
struct StrongOpening {
    ReadFault fault = ReadFault::None;
    std::string reason; // the system's, for ReadFault::System
    StrongHeader header;
    std::uint8_t headerBytes[strongHeaderSize] = {};
    std::uint64_t containerSize = 0;
};
StrongOpening ReadStrongHeader(const std::string& containerPath);

// With the derived key: the header MAC (WrongPassword), then the metadata
// chunk and its fields (Damaged).
ReadFault OpenStrongMetadata(const std::string& containerPath, const StrongOpening& opening,
                             const Crypto::SecretKey& derived, StrongKeys& keys,
                             StrongMetadata& metadata, std::string& reason);

// Opens chunks 1 … n in order, writing each piece to outputPath (an empty
// file already created) or, when outputPath is empty, only folding it into
// plainDigest (when not null). Fails Damaged on a tag that does not match or a
// length that disagrees.
StrongPass OpenStrongBody(const std::string& containerPath, const StrongKeys& keys,
                          const StrongMetadata& metadata, const std::string& outputPath,
                          const PassWork& work, Crypto::Digest* plainDigest);

// Reading steps 1 to 5 in their order, the key derived through keys: what a
// decryption knows before its body.
struct StrongReading {
    ReadFault fault = ReadFault::None;
    std::string reason; // the system's, for ReadFault::System
    StrongKeys keys;
    StrongMetadata metadata;
};
// keepGoing is asked once the derivation returns; a stop answers
// ReadFault::None with stopped set.
StrongReading ReadStrongContainer(const std::string& containerPath, const std::string& password,
                                  StrongKeyCache& cache, bool& stopped,
                                  const std::function<bool()>& keepGoing = {});

// The local file name for a stored name, when it is a plain name that this
// system can create; false: the reader asks for an output name instead.
bool LocalStrongName(const std::string& storedName, std::string& localName);

} // namespace NBEngine
