#include "FileDrop.h"

#include <shellapi.h>

namespace NBUtility {

namespace {
constexpr UINT countQuery = 0xFFFFFFFF;
}

std::vector<std::wstring> DroppedPaths(HDROP drop) {
    std::vector<std::wstring> paths;
    if (drop == nullptr) {
        return paths;
    }
    const UINT count = DragQueryFileW(drop, countQuery, nullptr, 0);
    for (UINT index = 0; index < count; ++index) {
        // The length comes first, so no path is ever cut at a fixed size.
        const UINT length = DragQueryFileW(drop, index, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        const UINT copied = DragQueryFileW(drop, index, path.data(), length + 1);
        path.resize(copied);
        if (!path.empty()) {
            paths.push_back(path);
        }
    }
    return paths;
}

std::vector<std::wstring> TakeDroppedPaths(HDROP drop) {
    std::vector<std::wstring> paths = DroppedPaths(drop);
    if (drop != nullptr) {
        DragFinish(drop);
    }
    return paths;
}

bool IsFolderPath(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace NBUtility
