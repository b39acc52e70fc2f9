#include "PlatformFiles.h"

#include <cerrno>
#include <cstring>

#include "Owned.h"
#include "TextConversion.h"

#ifdef _WIN32
#include <windows.h>

#include "SystemErrorText.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#endif

namespace NBEngine::Platform {

namespace {
const char notRegular[] = "Not a regular file";
} // namespace

// Narrow paths are UTF-8 on every platform; a POSIX name that is not is
// taken as Latin-1 bytes.
std::u16string CharactersOfPath(const std::string& path) {
    return NBUtility::CharactersOfUtf8Name(path);
}

bool PathOfCharacters(const std::u16string& characters, std::string& path) {
    path = NBUtility::Utf16ToUtf8(characters);
    return true;
}

#ifdef _WIN32

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string ReasonOfErrorNumber(int errorNumber) {
    char text[256] = {};
    strerror_s(text, sizeof text, errorNumber);
    return text;
}

namespace {
// Below this length every Windows function takes a path as it is.
constexpr std::size_t shortPathLimit = 240;

// The path in UTF-16; a long one in the form that lifts the 260-character
// limit: made absolute first (that form skips the usual clean-up of "." and
// "/"), then "\\?\" before a drive and "\\?\UNC\" before a network share.
std::wstring WidePath(const std::string& path) {
    const std::wstring wide = NBUtility::ToWide(path);
    if (wide.size() < shortPathLimit || wide.rfind(L"\\\\?\\", 0) == 0) {
        return wide;
    }
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return wide;
    }
    full.resize(length);
    if (full.rfind(L"\\\\", 0) == 0) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

// The system's message for GetLastError, on one line without its full stop.
std::string LastErrorReason() {
    return NBUtility::SystemErrorText(GetLastError());
}

const wchar_t* ModeText(OpenMode mode) {
    switch (mode) {
    case OpenMode::Read:
        return L"rb";
    case OpenMode::Truncate:
        return L"w+b";
    case OpenMode::Append:
        return L"a+b";
    }
    return L"rb";
}

// A handle without access rights; backup semantics let a folder open too.
HANDLE OpenForQuery(const std::string& path, bool followLinks) {
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    return CreateFileW(WidePath(path).c_str(), 0,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, flags, nullptr);
}
} // namespace

std::FILE* OpenFile(const std::string& path, OpenMode mode, std::string& reason) {
    if (mode == OpenMode::Read && KindOf(path, true) == FileKind::Other) {
        reason = notRegular;
        return nullptr;
    }
    std::FILE* file = _wfopen(WidePath(path).c_str(), ModeText(mode));
    if (file == nullptr) {
        reason = ReasonOfErrorNumber(errno);
    }
    return file;
}

bool SeekTo(std::FILE* file, std::int64_t offset) {
    return _fseeki64(file, offset, SEEK_SET) == 0;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RegularFileSize(const std::string& path, std::int64_t& size) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    size = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) |
                                     data.nFileSizeLow);
    return true;
}

bool RemoveFile(const std::string& path) {
    return DeleteFileW(WidePath(path).c_str()) != 0;
}

FileKind KindOf(const std::string& path, bool followLinks) {
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return FileKind::Missing;
    }
    if (!followLinks && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return FileKind::Link;
    }
    OwnedFileHandle handle(OpenForQuery(path, followLinks));
    if (!handle.Valid()) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::Folder : FileKind::Other;
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileInformationByHandle(handle.Get(), &information) &&
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return FileKind::Folder;
    }
    return GetFileType(handle.Get()) == FILE_TYPE_DISK ? FileKind::Regular : FileKind::Other;
}

bool IdentityOf(const std::string& path, FileIdentity& identity) {
    OwnedFileHandle handle(OpenForQuery(path, true));
    BY_HANDLE_FILE_INFORMATION information;
    if (!handle.Valid() || !GetFileInformationByHandle(handle.Get(), &information)) {
        return false;
    }
    identity.volume = information.dwVolumeSerialNumber;
    identity.index =
        (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    return true;
}

bool SameNameInFolder(const std::string& first, const std::string& second) {
    const std::wstring a = NBUtility::ToWide(first);
    const std::wstring b = NBUtility::ToWide(second);
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

CreateResult CreateNewFile(const std::string& path, std::string& reason) {
    OwnedFileHandle handle(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle.Valid()) {
        return CreateResult::Created;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
        return CreateResult::Exists;
    }
    reason = LastErrorReason();
    return CreateResult::Failed;
}

bool FreeSpace(const std::string& folder, std::int64_t& bytes) {
    ULARGE_INTEGER available{};
    const std::wstring wide = WidePath(folder);
    if (!GetDiskFreeSpaceExW(folder.empty() ? nullptr : wide.c_str(), &available, nullptr,
                             nullptr)) {
        return false;
    }
    bytes = static_cast<std::int64_t>(available.QuadPart);
    return true;
}

bool FlushToDevice(const std::string& path, std::string& reason) {
    OwnedFileHandle handle(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                       nullptr));
    if (!handle.Valid() || !FlushFileBuffers(handle.Get())) {
        reason = LastErrorReason();
        return false;
    }
    return true;
}

void CopyPermissions(const std::string&, const std::string&) {}

MoveResult MoveIntoPlace(const std::string& from, const std::string& to, bool replace,
                         std::string& reason) {
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), flags)) {
        return MoveResult::Moved;
    }
    const DWORD error = GetLastError();
    reason = LastErrorReason();
    return !replace && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
               ? MoveResult::TargetExists
               : MoveResult::Failed;
}

struct HeldFile::Handle {
    explicit Handle(HANDLE opened) : owned(opened) {}
    OwnedFileHandle owned;
};

// Read access is not asked: the handle only answers questions. Without
// FILE_SHARE_DELETE nobody renames or deletes the file while it is held.
bool HeldFile::Hold(const std::string& path) {
    if (held || KindOf(path, true) != FileKind::Regular) {
        return held;
    }
    handle = std::make_unique<Handle>(CreateFileW(WidePath(path).c_str(), FILE_READ_ATTRIBUTES,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    const HANDLE opened = handle->owned.Get();
    if (!handle->owned.Valid()) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileType(opened) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(opened, &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    size = static_cast<std::int64_t>((static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) |
                                     information.nFileSizeLow);
    identity.volume = information.dwVolumeSerialNumber;
    identity.index =
        (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    held = true;
    return true;
}

bool HeldFile::CurrentSize(std::int64_t& now) const {
    LARGE_INTEGER current;
    if (!GetFileSizeEx(handle->owned.Get(), &current)) {
        return false;
    }
    now = current.QuadPart;
    return true;
}

HeldFile::~HeldFile() = default;

#else

bool IsSeparator(char c) {
    return c == '/';
}

std::string ReasonOfErrorNumber(int errorNumber) {
    char text[256] = {};
    return strerror_r(errorNumber, text, sizeof text);
}

namespace {
// The folder part of a path (empty: the current folder).
std::string ParentFolder(const std::string& path) {
    const std::size_t last = path.rfind('/');
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

struct DescriptorTraits {
    static int None() { return -1; }
    static void Release(int descriptor) { close(descriptor); }
};
using Descriptor = Owned<int, DescriptorTraits>;

// A FIFO or device would block or never end: reads take regular files only.
// Opening does not wait for a FIFO's writer.
int OpenRegularForReading(const std::string& path, std::string& reason) {
    Descriptor descriptor(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status;
    if (!descriptor.Valid() || fstat(descriptor.Get(), &status) != 0) {
        reason = ReasonOfErrorNumber(errno);
        return -1;
    }
    if (!S_ISREG(status.st_mode)) {
        reason = notRegular;
        return -1;
    }
    const int flags = fcntl(descriptor.Get(), F_GETFL);
    fcntl(descriptor.Get(), F_SETFL, flags & ~O_NONBLOCK);
    return descriptor.Release();
}
} // namespace

std::FILE* OpenFile(const std::string& path, OpenMode mode, std::string& reason) {
    if (path.empty()) {
        reason = ReasonOfErrorNumber(ENOENT);
        return nullptr;
    }
    int descriptor = -1;
    const char* streamMode = "rb";
    switch (mode) {
    case OpenMode::Read:
        descriptor = OpenRegularForReading(path, reason);
        break;
    case OpenMode::Truncate:
        descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
        streamMode = "w+b";
        break;
    case OpenMode::Append:
        descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0666);
        streamMode = "a+b";
        break;
    }
    if (descriptor < 0) {
        if (reason.empty()) {
            reason = ReasonOfErrorNumber(errno);
        }
        return nullptr;
    }
    std::FILE* file = fdopen(descriptor, streamMode);
    if (file == nullptr) {
        reason = ReasonOfErrorNumber(errno);
        close(descriptor);
    }
    return file;
}

bool SeekTo(std::FILE* file, std::int64_t offset) {
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

bool PathExists(const std::string& path) {
    struct stat status;
    return !path.empty() && stat(path.c_str(), &status) == 0;
}

bool RegularFileSize(const std::string& path, std::int64_t& size) {
    struct stat status;
    if (path.empty() || stat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode)) {
        return false;
    }
    size = static_cast<std::int64_t>(status.st_size);
    return true;
}

bool RemoveFile(const std::string& path) {
    return !path.empty() && unlink(path.c_str()) == 0;
}

FileKind KindOf(const std::string& path, bool followLinks) {
    struct stat status;
    const int got = followLinks ? stat(path.c_str(), &status) : lstat(path.c_str(), &status);
    if (path.empty() || got != 0) {
        return FileKind::Missing;
    }
    if (S_ISREG(status.st_mode)) {
        return FileKind::Regular;
    }
    if (S_ISDIR(status.st_mode)) {
        return FileKind::Folder;
    }
    return S_ISLNK(status.st_mode) ? FileKind::Link : FileKind::Other;
}

bool IdentityOf(const std::string& path, FileIdentity& identity) {
    struct stat status;
    if (path.empty() || stat(path.c_str(), &status) != 0) {
        return false;
    }
    identity.volume = static_cast<std::uint64_t>(status.st_dev);
    identity.index = static_cast<std::uint64_t>(status.st_ino);
    return true;
}

bool SameNameInFolder(const std::string& first, const std::string& second) {
    return first == second;
}

CreateResult CreateNewFile(const std::string& path, std::string& reason) {
    if (path.empty()) {
        reason = ReasonOfErrorNumber(ENOENT);
        return CreateResult::Failed;
    }
    Descriptor descriptor(
        open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (descriptor.Valid()) {
        return CreateResult::Created;
    }
    if (errno == EEXIST) {
        return CreateResult::Exists;
    }
    reason = ReasonOfErrorNumber(errno);
    return CreateResult::Failed;
}

bool FreeSpace(const std::string& folder, std::int64_t& bytes) {
    struct statvfs volume;
    if (statvfs(folder.empty() ? "." : folder.c_str(), &volume) != 0) {
        return false;
    }
    bytes = static_cast<std::int64_t>(volume.f_bavail) * static_cast<std::int64_t>(volume.f_frsize);
    return true;
}

namespace {
bool SyncDescriptor(int descriptor, std::string& reason) {
    if (descriptor < 0 || fsync(descriptor) != 0) {
        reason = ReasonOfErrorNumber(errno);
        return false;
    }
    return true;
}

// A rename is durable only once its folder is written out too.
bool SyncFolderOf(const std::string& path, std::string& reason) {
    const std::string folder = ParentFolder(path);
    Descriptor descriptor(
        open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return SyncDescriptor(descriptor.Get(), reason);
}

// Errors that say a file system cannot do what was asked at all, as opposed
// to refusing this one file.
bool NotSupportedHere(int errorNumber) {
    return errorNumber == EINVAL || errorNumber == ENOSYS || errorNumber == EPERM ||
           errorNumber == EOPNOTSUPP || errorNumber == ENOTSUP;
}

// Moves without replacing: the kernel's own way, or a hard link where the
// file system knows no such rename. Where it has neither (exFAT, FAT or NTFS
// through FUSE, many shared folders), an existing name is refused and then
// the file renamed: a file that another program makes under that name in
// the moment between the two would be replaced, the one race left there.
int RenameWithoutReplacing(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return -1;
    }
    if (link(from.c_str(), to.c_str()) == 0) {
        unlink(from.c_str());
        return 0;
    }
    if (!NotSupportedHere(errno)) {
        return -1;
    }
    struct stat status;
    if (lstat(to.c_str(), &status) == 0) {
        errno = EEXIST;
        return -1;
    }
    return errno == ENOENT ? rename(from.c_str(), to.c_str()) : -1;
}
} // namespace

bool FlushToDevice(const std::string& path, std::string& reason) {
    Descriptor descriptor(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    return SyncDescriptor(descriptor.Get(), reason);
}

void CopyPermissions(const std::string& model, const std::string& path) {
    struct stat status;
    if (stat(model.c_str(), &status) == 0) {
        chmod(path.c_str(), status.st_mode & 0777);
    }
}

MoveResult MoveIntoPlace(const std::string& from, const std::string& to, bool replace,
                         std::string& reason) {
    const int moved = replace ? rename(from.c_str(), to.c_str()) : RenameWithoutReplacing(from, to);
    if (moved != 0) {
        const bool exists = errno == EEXIST;
        reason = ReasonOfErrorNumber(errno);
        return exists ? MoveResult::TargetExists : MoveResult::Failed;
    }
    // The file is in place; a folder that cannot be synced changes nothing now.
    SyncFolderOf(to, reason);
    reason.clear();
    return MoveResult::Moved;
}

bool HeldFile::Hold(const std::string& path) {
    if (held || KindOf(path, true) != FileKind::Regular) {
        return held;
    }
    // Not blocking, should a FIFO take the name in between.
    descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat status;
    if (descriptor < 0 || fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    size = static_cast<std::int64_t>(status.st_size);
    identity.volume = static_cast<std::uint64_t>(status.st_dev);
    identity.index = static_cast<std::uint64_t>(status.st_ino);
    held = true;
    return true;
}

bool HeldFile::CurrentSize(std::int64_t& now) const {
    struct stat status;
    if (fstat(descriptor, &status) != 0) {
        return false;
    }
    now = static_cast<std::int64_t>(status.st_size);
    return true;
}

HeldFile::~HeldFile() {
    if (descriptor >= 0) {
        close(descriptor);
    }
}

#endif

bool SameFile(const std::string& first, const std::string& second) {
    FileIdentity a;
    FileIdentity b;
    return IdentityOf(first, a) && IdentityOf(second, b) && a == b;
}

HeldFile::HeldFile() = default;

bool HeldFile::StillNamedBy(const std::string& path) const {
    FileIdentity named;
    std::int64_t now = 0;
    return held && IdentityOf(path, named) && named == identity && CurrentSize(now) && now == size;
}

} // namespace NBEngine::Platform
