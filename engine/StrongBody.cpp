#include "StrongBody.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "Paths.h"
#include "PlatformFiles.h"
#include "TextConversion.h"

namespace NBEngine {

namespace {

// Sixteen chunks a read or a write: few system calls, little memory.
constexpr std::size_t chunksPerBatch = 16;

// A file read or written from start to end, with the system's reason for the
// first failure.
class SequentialFile {
public:
    SequentialFile(const std::string& path, Platform::OpenMode mode) : path(path) {
        stream = Platform::OpenFile(path, mode, reason);
    }
    ~SequentialFile() { Close(); }
    SequentialFile(const SequentialFile&) = delete;
    SequentialFile& operator=(const SequentialFile&) = delete;

    bool IsOpen() const { return stream != nullptr; }
    // Reads up to count bytes; fewer only at the end or on a failure.
    std::size_t Read(std::uint8_t* bytes, std::size_t count) {
        const std::size_t done = stream ? std::fread(bytes, 1, count, stream) : 0;
        if (done < count && stream && std::ferror(stream)) {
            NoteFailure(errno);
        }
        return done;
    }
    bool Write(const std::uint8_t* bytes, std::size_t count) {
        if (!stream || std::fwrite(bytes, 1, count, stream) != count) {
            NoteFailure(errno);
            return false;
        }
        return true;
    }
    bool Failed() const { return failed; }
    bool Close() {
        if (stream && std::fclose(stream) != 0) {
            NoteFailure(errno);
        }
        stream = nullptr;
        return !failed && reason.empty();
    }
    PassResult FailureResult() const {
        PassResult result;
        result.ok = false;
        result.reason = reason.empty() ? "input/output error" : reason;
        result.path = path;
        return result;
    }

private:
    void NoteFailure(int errorNumber) {
        if (!failed && reason.empty() && errorNumber != 0) {
            reason = Platform::ReasonOfErrorNumber(errorNumber);
        }
        failed = true;
    }

    std::string path;
    std::FILE* stream = nullptr;
    std::string reason;
    bool failed = false;
};

StrongPass Failure(const PassResult& result, ReadFault fault = ReadFault::System) {
    StrongPass pass;
    pass.result = result;
    pass.fault = fault;
    return pass;
}

StrongPass Stopped() {
    StrongPass pass;
    pass.result.stopped = true;
    return pass;
}

StrongPass Damaged(const std::string& path) {
    PassResult result;
    result.ok = false;
    result.path = path;
    return Failure(result, ReadFault::Damaged);
}

// The source no longer has the length the container stores.
StrongPass SourceChanged(const std::string& path) {
    PassResult result;
    result.ok = false;
    result.path = path;
    StrongPass pass = Failure(result);
    pass.sourceChanged = true;
    return pass;
}

// Moves the bar in proportion to the bytes done, from start to end.
void ShowProgress(const PassWork& work, std::uint64_t done, std::uint64_t total, int& shown) {
    if (!work.showProgress) {
        return;
    }
    const std::uint64_t span = static_cast<std::uint64_t>(work.progressEnd - work.progressStart);
    const int value =
        work.progressStart + static_cast<int>(total == 0 ? span : span * done / total);
    if (value != shown) {
        shown = value;
        work.showProgress(value);
    }
}

// The size of the piece that starts after done of length bytes.
std::size_t PieceAfter(std::uint64_t done, std::uint64_t length) {
    const std::uint64_t left = length - done;
    return static_cast<std::size_t>(left < strongPieceSize ? left : strongPieceSize);
}

bool MayGoOn(const PassWork& work) {
    return !work.keepGoing || work.keepGoing();
}

// One batch of pieces read from the source and sealed in place as chunks.
class Sealer {
public:
    Sealer(Crypto::Aead& aead, std::uint64_t chunks) : aead(aead), chunks(chunks) {}

    // Seals piece number index (from 1) of size bytes at bytes, its tag after it.
    bool Seal(std::uint64_t index, std::uint8_t* bytes, std::size_t size) {
        Crypto::Tag tag;
        if (!aead.Seal(ChunkNonce(index, index == chunks), nullptr, 0, bytes, size, tag)) {
            return false;
        }
        std::memcpy(bytes + size, tag.data(), tag.size());
        return true;
    }

private:
    Crypto::Aead& aead;
    std::uint64_t chunks;
};

bool WriteHeaderAndMetadata(SequentialFile& output, const StrongHeader& header,
                            const StrongKeys& keys, Crypto::Aead& aead, std::uint64_t length,
                            const std::string& storedName) {
    std::uint8_t prefix[strongBodyOffset] = {};
    EncodeHeaderFields(header, prefix);
    Crypto::Digest mac;
    if (!HeaderMac(keys, prefix, mac)) {
        return false;
    }
    std::memcpy(prefix + headerFieldsSize, mac.data(), mac.size());
    std::uint8_t* metadata = prefix + strongHeaderSize;
    if (!EncodeMetadata(StrongMetadata{length, storedName}, metadata)) {
        return false;
    }
    Crypto::Tag tag;
    if (!aead.Seal(ChunkNonce(0, false), prefix, strongHeaderSize, metadata, metadataSize, tag)) {
        return false;
    }
    std::memcpy(metadata + metadataSize, tag.data(), tag.size());
    return output.Write(prefix, sizeof prefix);
}

} // namespace

StrongPass WriteStrongContainer(const std::string& sourcePath, std::uint64_t length,
                                const std::string& outputPath, const StrongHeader& header,
                                const StrongKeys& keys, const std::string& storedName,
                                const PassWork& work, Crypto::Digest* plainDigest) {
    SequentialFile source(sourcePath, Platform::OpenMode::Read);
    SequentialFile output(outputPath, Platform::OpenMode::Append);
    if (!source.IsOpen()) {
        return Failure(source.FailureResult());
    }
    if (!output.IsOpen()) {
        return Failure(output.FailureResult());
    }
    Crypto::Aead aead;
    Crypto::Sha256 digest;
    if (!aead.SetKey(keys.payload) || !digest.Ready()) {
        return Failure(output.FailureResult());
    }
    if (!WriteHeaderAndMetadata(output, header, keys, aead, length, storedName)) {
        return Failure(output.FailureResult());
    }
    const std::uint64_t chunks = ChunkCount(length);
    Sealer sealer(aead, chunks);
    std::vector<std::uint8_t> batch(chunksPerBatch * sealedChunkSize);
    std::uint64_t done = 0;
    std::uint64_t index = 1;
    int shown = -1;
    while (index <= chunks) {
        if (!MayGoOn(work)) {
            return Stopped();
        }
        std::size_t batchSize = 0;
        for (std::size_t k = 0; k < chunksPerBatch && index <= chunks; ++k, ++index) {
            const std::size_t piece = PieceAfter(done, length);
            std::uint8_t* at = batch.data() + batchSize;
            if (source.Read(at, piece) != piece) {
                return source.Failed() ? Failure(source.FailureResult())
                                       : SourceChanged(sourcePath);
            }
            if (plainDigest) {
                digest.Update(at, piece);
            }
            if (!sealer.Seal(index, at, piece)) {
                return Failure(output.FailureResult());
            }
            batchSize += piece + Crypto::tagSize;
            done += piece;
        }
        if (!output.Write(batch.data(), batchSize)) {
            return Failure(output.FailureResult());
        }
        ShowProgress(work, done, length, shown);
    }
    std::uint8_t extra = 0;
    if (source.Read(&extra, 1) != 0) {
        return SourceChanged(sourcePath);
    }
    if (source.Failed()) {
        return Failure(source.FailureResult());
    }
    if (!output.Close()) {
        return Failure(output.FailureResult());
    }
    if (plainDigest) {
        *plainDigest = digest.Final();
    }
    return StrongPass();
}

StrongOpening ReadStrongHeader(const std::string& containerPath) {
    StrongOpening opening;
    SequentialFile file(containerPath, Platform::OpenMode::Read);
    if (!file.IsOpen()) {
        opening.fault = ReadFault::System;
        opening.reason = file.FailureResult().reason;
        return opening;
    }
    const std::size_t read = file.Read(opening.headerBytes, strongHeaderSize);
    if (file.Failed()) {
        opening.fault = ReadFault::System;
        opening.reason = file.FailureResult().reason;
        return opening;
    }
    if (VersionOfSignature(opening.headerBytes, read) != ContainerVersion::Version2) {
        opening.fault = ReadFault::NotContainer;
        return opening;
    }
    if (read < headerFieldsSize) {
        opening.fault = ReadFault::Damaged;
        return opening;
    }
    opening.fault = DecodeHeaderFields(opening.headerBytes, opening.header);
    if (opening.fault != ReadFault::None) {
        return opening;
    }
    std::int64_t size = 0;
    if (!Platform::RegularFileSize(containerPath, size)) {
        opening.fault = ReadFault::NotContainer;
        return opening;
    }
    opening.containerSize = static_cast<std::uint64_t>(size);
    if (opening.containerSize < smallestStrongContainer) {
        opening.fault = ReadFault::Damaged;
    }
    return opening;
}

ReadFault OpenStrongMetadata(const std::string& containerPath, const StrongOpening& opening,
                             const Crypto::SecretKey& derived, StrongKeys& keys,
                             StrongMetadata& metadata, std::string& reason) {
    if (!DeriveSubkeys(derived, opening.header.fileNonce, keys)) {
        reason = "the crypto library failed";
        return ReadFault::System;
    }
    if (!HeaderMacMatches(keys, opening.headerBytes, opening.headerBytes + headerFieldsSize)) {
        return ReadFault::WrongPassword;
    }
    SequentialFile file(containerPath, Platform::OpenMode::Read);
    std::uint8_t prefix[strongBodyOffset];
    if (file.Read(prefix, sizeof prefix) != sizeof prefix) {
        reason = file.FailureResult().reason;
        return file.Failed() ? ReadFault::System : ReadFault::Damaged;
    }
    // The header read now must be the one whose MAC was checked.
    if (std::memcmp(prefix, opening.headerBytes, strongHeaderSize) != 0) {
        return ReadFault::Damaged;
    }
    Crypto::Aead aead;
    std::uint8_t* sealed = prefix + strongHeaderSize;
    const bool opened =
        aead.SetKey(keys.payload) && aead.Open(ChunkNonce(0, false), prefix, strongHeaderSize,
                                               sealed, metadataSize, sealed + metadataSize);
    const ReadFault fault =
        opened ? DecodeMetadata(sealed, opening.containerSize, metadata) : ReadFault::Damaged;
    Crypto::Wipe(sealed, metadataSize);
    return fault;
}

StrongPass OpenStrongBody(const std::string& containerPath, const StrongKeys& keys,
                          const StrongMetadata& metadata, const std::string& outputPath,
                          const PassWork& work, Crypto::Digest* plainDigest) {
    SequentialFile container(containerPath, Platform::OpenMode::Read);
    if (!container.IsOpen()) {
        return Failure(container.FailureResult());
    }
    std::unique_ptr<SequentialFile> output;
    if (!outputPath.empty()) {
        output = std::make_unique<SequentialFile>(outputPath, Platform::OpenMode::Append);
        if (!output->IsOpen()) {
            return Failure(output->FailureResult());
        }
    }
    Crypto::Aead aead;
    Crypto::Sha256 digest;
    if (!aead.SetKey(keys.payload) || !digest.Ready()) {
        return Failure(container.FailureResult());
    }
    std::vector<std::uint8_t> prefix(strongBodyOffset);
    if (container.Read(prefix.data(), prefix.size()) != prefix.size()) {
        return container.Failed() ? Failure(container.FailureResult()) : Damaged(containerPath);
    }
    const std::uint64_t length = metadata.plainLength;
    const std::uint64_t chunks = ChunkCount(length);
    std::vector<std::uint8_t> batch(chunksPerBatch * sealedChunkSize);
    std::uint64_t done = 0;
    std::uint64_t index = 1;
    int shown = -1;
    while (index <= chunks) {
        if (!MayGoOn(work)) {
            return Stopped();
        }
        std::size_t plainInBatch = 0;
        std::size_t k = 0;
        for (; k < chunksPerBatch && index + k <= chunks; ++k) {
            plainInBatch += PieceAfter(done + plainInBatch, length);
        }
        const std::size_t sealedInBatch = plainInBatch + k * Crypto::tagSize;
        if (container.Read(batch.data(), sealedInBatch) != sealedInBatch) {
            return container.Failed() ? Failure(container.FailureResult()) : Damaged(containerPath);
        }
        std::uint8_t* at = batch.data();
        std::uint8_t* plain = batch.data();
        for (std::size_t j = 0; j < k; ++j, ++index) {
            const std::size_t piece = PieceAfter(done, length);
            if (!aead.Open(ChunkNonce(index, index == chunks), nullptr, 0, at, piece, at + piece)) {
                Crypto::Wipe(batch.data(), batch.size());
                return Damaged(containerPath);
            }
            std::memmove(plain, at, piece);
            if (plainDigest) {
                digest.Update(plain, piece);
            }
            at += piece + Crypto::tagSize;
            plain += piece;
            done += piece;
        }
        if (output && !output->Write(batch.data(), plainInBatch)) {
            return Failure(output->FailureResult());
        }
        ShowProgress(work, done, length, shown);
    }
    std::uint8_t extra = 0;
    if (container.Read(&extra, 1) != 0) {
        return Damaged(containerPath); // grown since its size was read
    }
    if (container.Failed()) {
        return Failure(container.FailureResult());
    }
    if (output && !output->Close()) {
        return Failure(output->FailureResult());
    }
    Crypto::Wipe(batch.data(), batch.size());
    if (plainDigest) {
        *plainDigest = digest.Final();
    }
    return StrongPass();
}

StrongReading ReadStrongContainer(const std::string& containerPath, const std::string& password,
                                  StrongKeyCache& cache, bool& stopped,
                                  const std::function<bool()>& keepGoing) {
    StrongReading reading;
    stopped = false;
    const StrongOpening opening = ReadStrongHeader(containerPath);
    if (opening.fault != ReadFault::None) {
        reading.fault = opening.fault;
        reading.reason = opening.reason;
        return reading;
    }
    Crypto::SecretKey derived;
    if (!cache.ReadingKey(password, opening.header, derived, reading.reason)) {
        reading.fault = ReadFault::System;
        return reading;
    }
    if (keepGoing && !keepGoing()) {
        stopped = true;
        return reading;
    }
    reading.fault = OpenStrongMetadata(containerPath, opening, derived, reading.keys,
                                       reading.metadata, reading.reason);
    return reading;
}

bool LocalStrongName(const std::string& storedName, std::string& localName) {
    // The longest name a common file system takes: 255 UTF-16 units on
    // Windows, 255 bytes elsewhere.
    constexpr std::size_t longestName = 255;
    std::u16string characters;
    if (!IsStorableStrongName(storedName) || !IsPlainFileName(storedName) ||
        !NBUtility::Utf8ToUtf16(storedName, characters)) {
        return false;
    }
#ifdef _WIN32
    const std::size_t length = characters.size();
#else
    const std::size_t length = storedName.size();
#endif
    if (length > longestName) {
        return false;
    }
    localName = storedName;
    return true;
}

} // namespace NBEngine
