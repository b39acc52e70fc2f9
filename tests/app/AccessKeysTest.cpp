// Alt+letter on both tabs, sent as the keyboard sends it: a label's key
// reaches the box after it, a check or option box's key turns it and focuses
// it, a button's key clicks it. Read from the live window: no two keys alike
// on a tab, none of the menu bar's.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "AppDriver.h"

using namespace NBDriver;

namespace {

constexpr int encryptTab = 0;
constexpr int decryptTab = 1;

class AccessKeys : public testing::Test {
protected:
    AppDriver app;

    void SetUp() override {
        ASSERT_TRUE(app.Started())
            << app.StartProblem() << "; controls found: " << app.ControlsFound();
    }

    void TearDown() override {
        if (!HasFailure()) {
            EXPECT_EQ(app.CloseWithYes(), 0);
        }
    }

    // The Decrypt tab shows its destination row only for a path of its own.
    void ShowTab(int tab, bool ownDestination = false) {
        app.SelectTab(tab);
        if (tab == decryptTab) {
            const Control option = ownDestination ? SpecifyPathOption : SameFolderOption;
            app.Click(option);
            ASSERT_TRUE(FocusReaches(option)) << "the option box was not clicked";
        }
    }

    bool FocusReaches(Control control) {
        return PollUntil([&] { return app.FocusedWindow() == app.Get(control); }, 5000);
    }
};

// What else the key does besides focusing.
enum class Effect { None, Toggles, Selects, ShowsPassword };

struct FocusCase {
    const char* what;
    int tab;
    wchar_t key;
    Control focused;
    Effect effect;
};

// In an order where each case moves the focus away from the last one's box.
const FocusCase focusCases[] = {
    {"Encrypted file", encryptTab, L'd', DestBox, Effect::None},
    {"Files to Encrypt", encryptTab, L'e', SourceBox, Effect::None},
    {"Confirm password", encryptTab, L'n', ConfirmBox, Effect::None},
    {"Password", encryptTab, L'p', PasswordBox, Effect::None},
    {"Check", encryptTab, L'c', VerifyCheck, Effect::Toggles},
    {"Strong protection", encryptTab, L'r', StrongCheck, Effect::Toggles},
    {"Show", encryptTab, L's', ShowButton, Effect::ShowsPassword},
    {"Files to Decrypt", decryptTab, L'd', SourceBox, Effect::None},
    {"Specify pathname", decryptTab, L'n', SpecifyPathOption, Effect::Selects},
    {"Same folder with original name", decryptTab, L'w', SameFolderOption, Effect::Selects},
    {"Password on Decrypt", decryptTab, L'p', PasswordBox, Effect::None},
};

TEST_F(AccessKeys, EachLabelCheckAndOptionKeyFocusesItsBox) {
    int shownTab = -1;
    for (const FocusCase& c : focusCases) {
        SCOPED_TRACE(c.what);
        if (c.tab != shownTab) {
            ShowTab(c.tab);
            shownTab = c.tab;
        }
        ASSERT_NE(app.FocusedWindow(), app.Get(c.focused)) << "the table's order";
        const bool checkedBefore = app.IsChecked(c.focused);
        app.PressAltWith(c.key);
        EXPECT_TRUE(FocusReaches(c.focused));
        switch (c.effect) {
        case Effect::Toggles:
            EXPECT_NE(app.IsChecked(c.focused), checkedBefore);
            break;
        case Effect::Selects:
            EXPECT_TRUE(app.IsChecked(c.focused));
            break;
        case Effect::ShowsPassword:
            EXPECT_TRUE(app.WaitForCaption(ShowButton, L"Hide", 5000));
            app.PressAltWith(L'h');
            EXPECT_TRUE(app.WaitForCaption(ShowButton, L"Show", 5000)) << "Hide's own key";
            break;
        case Effect::None:
            break;
        }
    }
}

struct OpeningCase {
    const char* what;
    int tab;
    wchar_t key;
    const wchar_t* opened; // the caption of the window the click opens
    int answer;            // the command that closes it; 0 for WM_CLOSE
};

const OpeningCase openingCases[] = {
    {"source Select", encryptTab, L'l', L"Open", IDCANCEL},
    {"destination Select", encryptTab, L't', L"Save As", IDCANCEL},
    {"START with empty boxes", encryptTab, L'a', L"ERROR", IDOK},
    {"Info", encryptTab, L'i', L"Info...", 0},
    {"Close", encryptTab, L'o', L"Uscita", IDNO},
    {"source Select on Decrypt", decryptTab, L'l', L"Open", IDCANCEL},
    {"destination Select on Decrypt", decryptTab, L't', L"Save As", IDCANCEL},
};

TEST_F(AccessKeys, ButtonKeysClickTheirButtons) {
    for (const OpeningCase& c : openingCases) {
        SCOPED_TRACE(c.what);
        ShowTab(c.tab, true);
        app.PressAltWith(c.key);
        const HWND opened = app.FindTopLevel(c.opened);
        ASSERT_NE(opened, nullptr) << "nothing opened";
        if (c.answer != 0) {
            PostMessageW(opened, WM_COMMAND, c.answer, 0);
        } else {
            PostMessageW(opened, WM_CLOSE, 0, 0);
        }
        ASSERT_TRUE(WaitUntilGone(opened));
        ASSERT_TRUE(PollUntil(
            [&] { return app.IsEnabled(ModeTabs) && IsWindowEnabled(app.Main()); }, 5000));
    }
}

// A hidden control's key does nothing, nor does the key of a caption the tab
// does not show.
TEST_F(AccessKeys, KeysOfHiddenControlsDoNothing) {
    ShowTab(decryptTab);
    const HWND focusedBefore = app.FocusedWindow();
    const bool verifyBefore = app.IsChecked(VerifyCheck);
    for (const wchar_t key : {L'e', L'c', L'r', L't'}) {
        SCOPED_TRACE(static_cast<char>(key));
        app.PressAltWith(key);
        EXPECT_EQ(app.FindTopLevel(L"Save As", 1000), nullptr);
        EXPECT_EQ(app.FocusedWindow(), focusedBefore);
    }
    EXPECT_EQ(app.IsChecked(VerifyCheck), verifyBefore);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The captions shown in the window, by their access keys.
std::multimap<wchar_t, std::wstring> ShownKeys(HWND main) {
    std::vector<HWND> children;
    EnumChildWindows(
        main,
        [](HWND child, LPARAM found) {
            reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    std::multimap<wchar_t, std::wstring> keys;
    for (HWND child : children) {
        const std::wstring kind = ClassOf(child);
        if (!IsWindowVisible(child) ||
            (_wcsicmp(kind.c_str(), L"Static") != 0 && _wcsicmp(kind.c_str(), L"Button") != 0)) {
            continue;
        }
        wchar_t caption[256] = {};
        SendMessageW(child, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(caption));
        if (const wchar_t key = AccessKeyOf(caption); key != 0) {
            keys.emplace(key, caption);
        }
    }
    return keys;
}

// The menu bar's keys. Another process cannot read a menu under Wine: the
// test below sees that each opens its menu.
const wchar_t menuBarKeys[] = {L'f', L'?'};

// A menu of the program's, open on the screen.
HWND OpenMenu(DWORD processId) {
    struct Search {
        DWORD processId;
        HWND found;
    } search{processId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->processId && IsWindowVisible(window) && ClassOf(window) == L"#32768") {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(AccessKeys, TheMenuBarKeysStillOpenTheirMenus) {
    for (const wchar_t key : menuBarKeys) {
        SCOPED_TRACE(static_cast<char>(key));
        app.PressAltWith(key);
        HWND menu = nullptr;
        ASSERT_TRUE(
            PollUntil([&] { return (menu = OpenMenu(GetProcessId(app.Process()))); }, 5000));
        PostMessageW(app.Main(), WM_CANCELMODE, 0, 0);
        ASSERT_TRUE(WaitUntilGone(menu, 5000) || !IsWindowVisible(menu));
    }
}

TEST_F(AccessKeys, NoTwoAlikeOnATabNorAnyOfTheMenuBar) {
    const std::set<wchar_t> menuKeys(std::begin(menuBarKeys), std::end(menuBarKeys));
    for (const int tab : {encryptTab, decryptTab}) {
        SCOPED_TRACE(tab);
        ShowTab(tab, true);
        const std::multimap<wchar_t, std::wstring> keys = ShownKeys(app.Main());
        EXPECT_GE(keys.size(), 10u) << "a tab's controls have keys";
        for (const auto& [key, caption] : keys) {
            EXPECT_EQ(keys.count(key), 1u) << "shared by " << WithoutAccessKey(caption).c_str();
            EXPECT_EQ(menuKeys.count(key), 0u) << "the menu bar's, on " << caption;
        }
    }
}

} // namespace
