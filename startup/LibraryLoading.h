#pragma once
// Where the process looks for libraries it loads by name after start-up.

namespace NBUtility {

enum class LibrarySearch {
    SystemFolderOnly, // later loads come from the system folder only
    NotAvailable,     // Windows 7 without the update that brought the call
    Refused,          // the system turned the request down
};

// Keeps a library planted beside a portable copy (in Downloads, on a USB
// stick) from being loaded in place of a system one. Call first in main.
LibrarySearch RestrictLibrarySearch();

} // namespace NBUtility
