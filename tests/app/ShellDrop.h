#pragma once
// A drop built the way the shell builds it: a DROPFILES block followed by a
// double-zero-ended path list. Valid in this process only.

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

namespace NBTest {

// The paths of a drop, in the order given; a call, so that tables of drops
// stay one row a case.
template <typename... Path> std::vector<std::wstring> Paths(const Path&... paths) {
    return {paths...};
}

inline HDROP ShellDrop(const std::vector<std::wstring>& paths) {
    std::size_t characters = 1;
    for (const std::wstring& path : paths) {
        characters += path.size() + 1;
    }
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + characters * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->pt = {40, 200};
    header->fWide = TRUE;
    auto* list = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(header) + sizeof(DROPFILES));
    for (const std::wstring& path : paths) {
        list = std::copy(path.begin(), path.end(), list) + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

} // namespace NBTest
