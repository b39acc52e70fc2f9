// What the manifest does once the window program runs: the loader gives it
// Common Controls 6 from the side-by-side store. (Wine reports another
// process's window as per-monitor aware whatever its manifest says, so the
// awareness is read from the manifest only.)

#include <windows.h>

#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "AppDriver.h"

namespace {

// The paths of the process's libraries named `name`, lowercase.
std::vector<std::wstring> LoadedCopiesOf(HANDLE process, const std::wstring& name) {
    HMODULE modules[1024];
    DWORD bytes = 0;
    std::vector<std::wstring> paths;
    EnumProcessModulesEx(process, modules, sizeof modules, &bytes, LIST_MODULES_ALL);
    for (DWORD i = 0; i < std::min<DWORD>(bytes / sizeof(HMODULE), 1024); ++i) {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameExW(process, modules[i], path, MAX_PATH);
        std::wstring lowered(path);
        for (wchar_t& c : lowered) {
            c = static_cast<wchar_t>(std::towlower(c));
        }
        if (lowered.substr(lowered.find_last_of(L"\\/") + 1) == name) {
            paths.push_back(lowered);
        }
    }
    return paths;
}

TEST(ManifestInEffect, TheWindowRunsWithCommonControls6FromTheSideBySideStore) {
    NBDriver::AppDriver app;
    ASSERT_TRUE(app.Started()) << app.StartProblem();

    std::vector<std::wstring> comctl32 = LoadedCopiesOf(app.Process(), L"comctl32.dll");
    ASSERT_EQ(comctl32.size(), 1u);
    EXPECT_NE(comctl32[0].find(L"\\winsxs\\"), std::wstring::npos) << comctl32[0];
    EXPECT_NE(comctl32[0].find(L"common-controls_6595b64144ccf1df_6."), std::wstring::npos)
        << comctl32[0];

    EXPECT_EQ(app.CloseWithYes(), 0);
}

} // namespace
