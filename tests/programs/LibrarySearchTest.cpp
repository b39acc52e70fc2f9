// A library beside the program, named as the program would ask for one, is
// found before RestrictLibrarySearch and never after it. One process of its
// own: the restriction holds for the rest of the process.

#include <windows.h>

#include <gtest/gtest.h>

#include "LibraryLoading.h"

namespace {

// Built into this test's own folder, as a planted library would lie beside a
// portable copy.
const wchar_t kPlantedLibrary[] = L"nb_planted.dll";

TEST(LibrarySearch, ThePlantedLibraryIsFoundOnlyBeforeTheRestriction) {
    HMODULE before = LoadLibraryW(kPlantedLibrary);
    ASSERT_NE(before, nullptr) << "the program's folder is not searched even without the "
                                  "restriction, so this test proves nothing";
    FreeLibrary(before);
    ASSERT_EQ(GetModuleHandleW(kPlantedLibrary), nullptr);

    ASSERT_EQ(NBUtility::RestrictLibrarySearch(), NBUtility::LibrarySearch::SystemFolderOnly);

    HMODULE after = LoadLibraryW(kPlantedLibrary);
    const DWORD error = GetLastError();
    EXPECT_EQ(after, nullptr);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    // A system library by its bare name still loads.
    HMODULE system = LoadLibraryW(L"winmm.dll");
    EXPECT_NE(system, nullptr);
    for (HMODULE loaded : {after, system}) {
        if (loaded != nullptr) {
            FreeLibrary(loaded);
        }
    }
}

} // namespace
