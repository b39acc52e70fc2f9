#include "Wildcards.h"

#ifdef _WIN32

#include <algorithm>
#include <cwchar>

#include <windows.h>

#include "Owned.h"
#include "Paths.h"
#include "TextConversion.h"

namespace NBCli {

namespace {

bool HasWildcard(const std::string& name) {
    return name.find_first_of("*?") != std::string::npos;
}

struct FindHandleTraits {
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static void Release(HANDLE handle) { FindClose(handle); }
};
using OwnedFindHandle = NBEngine::Owned<HANDLE, FindHandleTraits>;

bool IsFolderEntry(const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The names of the files in the pattern's folder that match it, sorted as
// Windows lists them: letter case ignored.
std::vector<std::wstring> MatchingFileNames(const std::string& pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    OwnedFindHandle search(FindFirstFileExW(NBUtility::ToWide(pattern).c_str(), FindExInfoBasic,
                                            &entry, FindExSearchNameMatch, nullptr, 0));
    if (!search.Valid()) {
        return names;
    }
    do {
        if (!IsFolderEntry(entry)) {
            names.emplace_back(entry.cFileName);
        }
    } while (FindNextFileW(search.Get(), &entry));
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        const int order = _wcsicmp(a.c_str(), b.c_str());
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

} // namespace

std::vector<std::string> ExpandWildcards(const std::vector<std::string>& operands) {
    std::vector<std::string> expanded;
    for (const std::string& operand : operands) {
        const std::string name = NBEngine::FileNameOf(operand);
        const std::vector<std::wstring> matches =
            HasWildcard(name) ? MatchingFileNames(operand) : std::vector<std::wstring>();
        if (matches.empty()) {
            expanded.push_back(operand);
            continue;
        }
        const std::string folder = operand.substr(0, operand.size() - name.size());
        for (const std::wstring& match : matches) {
            expanded.push_back(folder + NBUtility::ToNarrow(match));
        }
    }
    return expanded;
}

} // namespace NBCli

#else

namespace NBCli {

std::vector<std::string> ExpandWildcards(const std::vector<std::string>& operands) {
    return operands;
}

} // namespace NBCli

#endif
