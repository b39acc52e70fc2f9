#pragma once
// File access at explicit offsets with a sticky error flag that tells a real
// failure from reaching the end of the file.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "PlatformFiles.h"

namespace NBEngine {

// The buffer for reading path from offset to its end in chunks: what is left
// of the file plus one byte (so a single read already meets the end), rounded
// up to a multiple of unit, and at most limit. Small files then touch little
// memory; an unknown size gives limit.
std::size_t ReadBufferSize(const std::string& path, std::int64_t offset, std::size_t limit,
                           std::size_t unit);

class PositionedFile {
public:
    PositionedFile() = default;
    ~PositionedFile() { Close(); }
    PositionedFile(const PositionedFile&) = delete;
    PositionedFile& operator=(const PositionedFile&) = delete;

    void OpenRead(const std::string& path);
    void OpenTruncate(const std::string& path);
    void OpenAppend(const std::string& path);

    // Reaching the end is not a failure, but the next read after it fails.
    std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t count);
    // In append mode the bytes go to the end of the file whatever the offset.
    bool WriteAt(std::int64_t offset, const void* buffer, std::size_t count);
    // False when buffered bytes could not be written out.
    bool Close();

    bool Failed() const { return failed; }
    bool Closed() const { return closed; }
    bool NotOpen() const { return notOpen; }
    bool AtEnd() const { return endReached; }
    // The system's reason for the first failure; empty when none was given.
    const std::string& Reason() const { return reason; }

private:
    void Open(const std::string& path, Platform::OpenMode mode);
    void NoteFailure(int errorNumber);

    std::FILE* stream = nullptr;
    bool failed = false;
    bool closed = true;
    bool notOpen = false;
    bool endReached = false; // the stream's end-of-file state, kept until Close
    bool streamError = false;
    std::string reason;
};

} // namespace NBEngine
