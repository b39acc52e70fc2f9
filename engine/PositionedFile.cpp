#include "PositionedFile.h"

#include <algorithm>
#include <cerrno>

#include "PlatformFiles.h"

namespace NBEngine {

std::size_t ReadBufferSize(const std::string& path, std::int64_t offset, std::size_t limit,
                           std::size_t unit) {
    std::int64_t size = 0;
    if (!Platform::RegularFileSize(path, size)) {
        return limit;
    }
    const std::int64_t rest = (size > offset ? size - offset : 0) + 1;
    if (rest >= static_cast<std::int64_t>(limit)) {
        return limit;
    }
    const auto units = (static_cast<std::size_t>(rest) + unit - 1) / unit;
    return std::min(units * unit, limit);
}

void PositionedFile::Open(const std::string& path, Platform::OpenMode mode) {
    Close();
    failed = false;
    closed = false;
    notOpen = false;
    endReached = false;
    streamError = false;
    reason.clear();
    stream = Platform::OpenFile(path, mode, reason);
    if (stream == nullptr) {
        failed = true;
        closed = true;
        notOpen = true;
    }
}

void PositionedFile::NoteFailure(int errorNumber) {
    if (reason.empty() && errorNumber != 0) {
        reason = Platform::ReasonOfErrorNumber(errorNumber);
    }
    streamError = true;
    failed = true;
}

void PositionedFile::OpenRead(const std::string& path) {
    Open(path, Platform::OpenMode::Read);
}

void PositionedFile::OpenTruncate(const std::string& path) {
    Open(path, Platform::OpenMode::Truncate);
}

void PositionedFile::OpenAppend(const std::string& path) {
    Open(path, Platform::OpenMode::Append);
}

std::size_t PositionedFile::ReadAt(std::int64_t offset, void* buffer, std::size_t count) {
    if (failed || closed) {
        return 0;
    }
    // A stream that has reached its end stays in that state: seeking fails.
    if (endReached || streamError || !Platform::SeekTo(stream, offset)) {
        failed = true;
        return 0;
    }
    const std::size_t done = std::fread(buffer, 1, count, stream);
    if (done < count) {
        if (std::feof(stream)) {
            endReached = true;
        } else {
            NoteFailure(errno);
        }
    }
    return done;
}

bool PositionedFile::WriteAt(std::int64_t offset, const void* buffer, std::size_t count) {
    if (closed) {
        return false;
    }
    if (endReached || streamError || !Platform::SeekTo(stream, offset)) {
        failed = true;
        return false;
    }
    if (std::fwrite(buffer, 1, count, stream) < count) {
        NoteFailure(errno);
    }
    return !failed && !closed;
}

bool PositionedFile::Close() {
    if (closed || notOpen || stream == nullptr) {
        return !streamError;
    }
    if (std::fclose(stream) != 0) {
        NoteFailure(errno);
    }
    stream = nullptr;
    closed = true;
    return !streamError;
}

} // namespace NBEngine
