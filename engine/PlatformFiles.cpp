#include "PlatformFiles.h"

#include "TextConversion.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace NBEngine::Platform {

#ifdef _WIN32

std::string SystemPath(const std::string& path) {
    return path;
}

namespace {
std::wstring WidePath(const std::string& path) {
    return NBUtility::ToWide(path);
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
} // namespace

std::FILE* OpenFile(const std::string& path, OpenMode mode) {
    return _wfopen(WidePath(path).c_str(), ModeText(mode));
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

namespace {
struct FileIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
};

bool IdentityOf(const std::string& path, FileIdentity& identity) {
    // Backup semantics let a folder be opened too; no access rights are needed.
    HANDLE handle = CreateFileW(WidePath(path).c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION information;
    const bool known = GetFileInformationByHandle(handle, &information) != 0;
    CloseHandle(handle);
    if (known) {
        identity = {information.dwVolumeSerialNumber, information.nFileIndexHigh,
                    information.nFileIndexLow};
    }
    return known;
}
} // namespace

bool SameFile(const std::string& first, const std::string& second) {
    FileIdentity a;
    FileIdentity b;
    return IdentityOf(first, a) && IdentityOf(second, b) && a.volume == b.volume &&
           a.indexHigh == b.indexHigh && a.indexLow == b.indexLow;
}

CreateResult CreateNewFile(const std::string& path) {
    HANDLE handle = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? CreateResult::Exists
                                                                           : CreateResult::Failed;
    }
    CloseHandle(handle);
    return CreateResult::Created;
}

#else

std::string SystemPath(const std::string& path) {
    std::string converted = path;
    for (char& c : converted) {
        if (c == '\\') {
            c = '/';
        }
    }
    return converted;
}

namespace {
const char* ModeText(OpenMode mode) {
    switch (mode) {
    case OpenMode::Read:
        return "rb";
    case OpenMode::Truncate:
        return "w+b";
    case OpenMode::Append:
        return "a+b";
    }
    return "rb";
}
} // namespace

std::FILE* OpenFile(const std::string& path, OpenMode mode) {
    if (path.empty()) {
        return nullptr;
    }
    return std::fopen(SystemPath(path).c_str(), ModeText(mode));
}

bool SeekTo(std::FILE* file, std::int64_t offset) {
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

bool PathExists(const std::string& path) {
    struct stat status;
    return !path.empty() && stat(SystemPath(path).c_str(), &status) == 0;
}

bool RegularFileSize(const std::string& path, std::int64_t& size) {
    struct stat status;
    if (path.empty() || stat(SystemPath(path).c_str(), &status) != 0 || S_ISDIR(status.st_mode)) {
        return false;
    }
    size = static_cast<std::int64_t>(status.st_size);
    return true;
}

bool RemoveFile(const std::string& path) {
    return !path.empty() && unlink(SystemPath(path).c_str()) == 0;
}

bool SameFile(const std::string& first, const std::string& second) {
    struct stat a;
    struct stat b;
    return !first.empty() && !second.empty() && stat(SystemPath(first).c_str(), &a) == 0 &&
           stat(SystemPath(second).c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

CreateResult CreateNewFile(const std::string& path) {
    if (path.empty()) {
        return CreateResult::Failed;
    }
    const int descriptor = open(SystemPath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (descriptor < 0) {
        return errno == EEXIST ? CreateResult::Exists : CreateResult::Failed;
    }
    close(descriptor);
    return CreateResult::Created;
}

#endif

} // namespace NBEngine::Platform
