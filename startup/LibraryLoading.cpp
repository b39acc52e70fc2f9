#include "LibraryLoading.h"

#include <windows.h>

namespace NBUtility {

namespace {

using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);

// Looked up rather than imported, so the program still starts where kernel32
// lacks it.
SetDefaultDllDirectoriesCall FindSetDefaultDllDirectories() {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll"); // not owned; loads nothing
    if (kernel == nullptr) {
        return nullptr;
    }
    FARPROC found = GetProcAddress(kernel, "SetDefaultDllDirectories");
    // Through void(*)(): the one cast between function types without a warning.
    return reinterpret_cast<SetDefaultDllDirectoriesCall>(reinterpret_cast<void (*)()>(found));
}

} // namespace

LibrarySearch RestrictLibrarySearch() {
    SetDefaultDllDirectoriesCall setDefaultDllDirectories = FindSetDefaultDllDirectories();
    if (setDefaultDllDirectories == nullptr) {
        return LibrarySearch::NotAvailable;
    }
    return setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) ? LibrarySearch::SystemFolderOnly
                                                                  : LibrarySearch::Refused;
}

} // namespace NBUtility
