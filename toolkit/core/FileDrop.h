#pragma once
// Files dropped on a window from Explorer or any other drag source.

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace NBUtility {

// The paths a drop carries, in the order the source gave them. The drop stays
// its owner's (a storage medium's, say).
std::vector<std::wstring> DroppedPaths(HDROP drop);

// The same, and the drop is released: it must not be used again.
std::vector<std::wstring> TakeDroppedPaths(HDROP drop);

// Whether a path names a folder (not a file, and not missing).
bool IsFolderPath(const std::wstring& path);

} // namespace NBUtility
