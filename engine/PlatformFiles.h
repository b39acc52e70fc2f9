#pragma once
// The engine's only contact with the operating system's file functions.
// Paths are narrow texts, UTF-8, in the platform's own conventions: on
// Windows they are widened to UTF-16 (so every name reaches the right file
// whatever the code page) and "\" or "/" separate; elsewhere they go to the
// system as they are and only "/" separates. Failures answer the system's own reason as text.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace NBEngine::Platform {

// The characters of a path as this platform's narrow text holds it, and back;
// false when the characters have no narrow form here.
std::u16string CharactersOfPath(const std::string& path);
bool PathOfCharacters(const std::u16string& characters, std::string& path);

enum class OpenMode {
    Read,     // read only; the file must exist
    Truncate, // read and write; created if absent, cut to length 0
    Append,   // read and write; created if absent; writes go to the end
};

// Null when the file cannot be opened; reason then says why. Writing never
// goes through a symbolic link.
std::FILE* OpenFile(const std::string& path, OpenMode mode, std::string& reason);
bool SeekTo(std::FILE* file, std::int64_t offset);

// The system's words for the C library's last error number.
std::string ReasonOfErrorNumber(int errorNumber);

bool IsSeparator(char c);
#ifdef _WIN32
constexpr char preferredSeparator = '\\';
constexpr bool drivesInPaths = true; // "C:name" names a file on drive C
#else
constexpr char preferredSeparator = '/';
constexpr bool drivesInPaths = false;
#endif

bool PathExists(const std::string& path);
// The size of a regular file; false when there is no status or it is a folder.
bool RegularFileSize(const std::string& path, std::int64_t& size);
// Removes a file, never a folder.
bool RemoveFile(const std::string& path);

enum class FileKind { Missing, Regular, Folder, Link, Other };
// What the path names; a link is followed only when asked. Other: a device,
// FIFO or socket.
FileKind KindOf(const std::string& path, bool followLinks);

// What tells one existing file (or folder) from every other: the volume and
// file index on Windows, the device and inode elsewhere. Links are followed.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FileIdentity& other) const {
        return volume == other.volume && index == other.index;
    }
};
// False when the path names nothing that can be asked.
bool IdentityOf(const std::string& path, FileIdentity& identity);

// True when both paths name one existing file (or folder).
bool SameFile(const std::string& first, const std::string& second);

// A regular file held open while a job works on it: its length and identity
// come from this handle, not from a second look at the path, and before
// anything is published the path must still name this file at that length.
// On Windows the handle also keeps others from renaming or deleting it.
class HeldFile {
public:
    HeldFile();
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    // True when path names a regular file, now held; nothing else is opened
    // (a FIFO or a device would block or answer).
    bool Hold(const std::string& path);
    bool Held() const { return held; }
    std::int64_t Size() const { return size; }
    bool StillNamedBy(const std::string& path) const;

private:
    bool CurrentSize(std::int64_t& now) const;

    bool held = false;
    std::int64_t size = 0;
    FileIdentity identity;
#ifdef _WIN32
    struct Handle; // the owner of the CreateFileW handle
    std::unique_ptr<Handle> handle;
#else
    int descriptor = -1;
#endif
};

// True when two names in one folder name one entry: letter case is ignored on
// Windows (as its file systems do), names are compared byte for byte elsewhere.
bool SameNameInFolder(const std::string& first, const std::string& second);
// Two whole paths written alike, by the same rule.
inline bool SamePathSpelling(const std::string& first, const std::string& second) {
    return SameNameInFolder(first, second);
}

enum class CreateResult { Created, Exists, Failed };
// Creates an empty file that did not exist before, readable and writable by
// its owner alone; never opens an existing file or follows a link.
CreateResult CreateNewFile(const std::string& path, std::string& reason);

// Bytes the caller may still write on the volume that holds folder (empty:
// the current folder); false when the system cannot tell.
bool FreeSpace(const std::string& folder, std::int64_t& bytes);

// Writes the file's data through to the device.
bool FlushToDevice(const std::string& path, std::string& reason);
// Gives path the permission bits of model (nothing to do on Windows).
void CopyPermissions(const std::string& model, const std::string& path);

enum class MoveResult { Moved, TargetExists, Failed };
// Renames from over to in one step and makes the rename durable; with
// replace false an existing target is kept (TargetExists).
MoveResult MoveIntoPlace(const std::string& from, const std::string& to, bool replace,
                         std::string& reason);

} // namespace NBEngine::Platform
