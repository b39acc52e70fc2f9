#pragma once
// The engine's only contact with the operating system's file functions.
// Paths are narrow texts in the Windows conventions: on Windows each byte is
// widened to the character of the same value (so names in U+0001..U+00FF
// reach the right file whatever the code page); elsewhere "\" becomes "/".

#include <cstdint>
#include <cstdio>
#include <string>

namespace NBEngine::Platform {

enum class OpenMode {
    Read,     // read only; the file must exist
    Truncate, // read and write; created if absent, cut to length 0
    Append,   // read and write; created if absent; writes go to the end
};

// Null when the file cannot be opened.
std::FILE* OpenFile(const std::string& path, OpenMode mode);
bool SeekTo(std::FILE* file, std::int64_t offset);

bool PathExists(const std::string& path);
// The size of a regular file; false when there is no status or it is a folder.
bool RegularFileSize(const std::string& path, std::int64_t& size);
// Removes a file, never a folder.
bool RemoveFile(const std::string& path);

// True when both paths name one existing file (or folder): same volume and
// file index on Windows, same device and inode elsewhere.
bool SameFile(const std::string& first, const std::string& second);

enum class CreateResult { Created, Exists, Failed };
// Creates an empty file that did not exist before; never opens an existing one.
CreateResult CreateNewFile(const std::string& path);

// The path as the system is handed it.
std::string SystemPath(const std::string& path);

} // namespace NBEngine::Platform
