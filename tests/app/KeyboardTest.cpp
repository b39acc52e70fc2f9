// Keys of the main window, pressed in this process: the Ctrl and Shift state
// is the thread's own (SetKeyboardState), the keys go through its queue as
// typed keys do.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <utility>

#include "AppDriver.h"
#include "HeldJob.h"
#include "WindowTestSupport.h"

using namespace NBDriver;

namespace {

const std::wstring goodPassword = L"correct horse";
const std::wstring programCaption = L"NB Nimbra Vexal Edition";
const std::wstring encrypted = L"File encrypted successfully";

enum Modifiers { Plain = 0, Ctrl = 1, Shift = 2, CtrlShift = Ctrl | Shift };

void HoldModifiers(int modifiers) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    const BYTE ctrl = (modifiers & Ctrl) != 0 ? 0x80 : 0;
    const BYTE shift = (modifiers & Shift) != 0 ? 0x80 : 0;
    state[VK_CONTROL] = state[VK_LCONTROL] = ctrl;
    state[VK_SHIFT] = state[VK_LSHIFT] = shift;
    SetKeyboardState(state);
}

class Keys : public NBTest::HeldWindowTest {
protected:
    void TearDown() override {
        HoldModifiers(Plain);
        HeldWindowTest::TearDown();
    }

    // Down and up on target with the modifiers held meanwhile, each message
    // handled before the next.
    void Press(HWND target, UINT key, int modifiers = Plain) {
        HoldModifiers(modifiers);
        ASSERT_EQ((GetKeyState(VK_CONTROL) & 0x8000) != 0, (modifiers & Ctrl) != 0)
            << "this thread's key state cannot be set";
        const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
        PostMessageW(target, WM_KEYDOWN, key, scan | 1);
        NBTest::PumpFor(30);
        PostMessageW(target, WM_KEYUP, key, scan | 0xC0000001);
        NBTest::PumpFor(30);
        HoldModifiers(Plain);
    }
    void Press(Control control, UINT key, int modifiers = Plain) {
        Press(app->Get(control), key, modifiers);
    }

    void FillEncryption(const std::wstring& source, const std::wstring& destination,
                        const std::wstring& password) {
        app->SetText(SourceBox, source);
        app->SetText(DestBox, destination);
        app->SetText(PasswordBox, password);
        app->SetText(ConfirmBox, password);
    }

    std::wstring MakePlainFile() {
        const std::wstring plain = folder.File(L"plain.txt");
        WriteFileBytes(plain, std::string(50000, 'p'));
        return plain;
    }

    int ShownTab() {
        return static_cast<int>(SendMessageW(app->Get(ModeTabs), TCM_GETCURSEL, 0, 0));
    }

    void ExpectTab(int index) {
        EXPECT_EQ(ShownTab(), index);
        EXPECT_EQ(form->encryptMode, index == 0);
        EXPECT_EQ(app->Caption(SourceLabel),
                  index == 0 ? L"Files to Encrypt:" : L"Files to Decrypt:");
        EXPECT_EQ(app->IsVisible(ConfirmBox), index == 0);
    }
};

TEST_F(Keys, EnterInAnyBoxRunsStartAsAClickWould) {
    const std::wstring plain = MakePlainFile();
    struct Case {
        const char* what;
        Control box;
        const wchar_t* output;
    } cases[] = {
        {"password box", PasswordBox, L"by-password.nbnx"},
        {"source box", SourceBox, L"by-source.nbnx"},
        {"destination box", DestBox, L"by-destination.nbnx"},
        {"confirmation box", ConfirmBox, L"by-confirmation.nbnx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FillEncryption(plain, folder.File(c.output), goodPassword);
        const MessageBoxSeen box = AnswerBoxAfter([&] { Press(c.box, VK_RETURN); });
        EXPECT_EQ(box.caption, programCaption);
        EXPECT_EQ(box.text, encrypted);
        EXPECT_TRUE(FileThere(folder.File(c.output)));
    }
}

TEST_F(Keys, EnterWithAnInvalidRequestShowsTheBoxAClickShows) {
    const std::wstring plain = MakePlainFile();
    FillEncryption(plain, folder.File(L"out.nbnx"), L"short");
    const MessageBoxSeen clicked = AnswerBoxAfter([&] { app->Click(StartButton); });
    ASSERT_EQ(clicked.caption, L"ERROR");
    const MessageBoxSeen entered = AnswerBoxAfter([&] { Press(ConfirmBox, VK_RETURN); });
    EXPECT_EQ(entered.caption, clicked.caption);
    EXPECT_EQ(entered.text, clicked.text);
    EXPECT_EQ(app->FocusedWindow(), app->Get(PasswordBox)) << "the box the error names";
    EXPECT_FALSE(FileThere(folder.File(L"out.nbnx")));
}

TEST_F(Keys, CtrlTabAndCtrlShiftTabGoToTheOtherTabFromAnywhereInTheWindow) {
    struct Case {
        const char* what;
        HWND from;
        int modifiers;
        int tab;
    } cases[] = {
        {"Ctrl+Tab in the source box", app->Get(SourceBox), Ctrl, 1},
        {"Ctrl+Shift+Tab in the password box", app->Get(PasswordBox), CtrlShift, 0},
        {"Ctrl+Shift+Tab on START", app->Get(StartButton), CtrlShift, 1},
        {"Ctrl+Tab on the tabs", app->Get(ModeTabs), Ctrl, 0},
        {"Ctrl+Tab on the Show button", app->Get(ShowButton), Ctrl, 1},
        {"Ctrl+Tab on the window itself", app->Main(), Ctrl, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetFocus(c.from);
        Press(c.from, VK_TAB, c.modifiers);
        ExpectTab(c.tab);
        EXPECT_EQ(app->FocusedWindow(), app->Get(SourceBox));
    }
}

TEST_F(Keys, PlainTabMovesTheFocusAndKeepsTheTab) {
    struct Case {
        const char* what;
        Control from;
        int modifiers;
        Control to;
    } cases[] = {
        {"Tab", SourceBox, Plain, SourceSelectButton},
        {"Shift+Tab", SourceSelectButton, Shift, SourceBox},
        {"Tab from Check", VerifyCheck, Plain, StrongCheck},
        {"Tab from Strong protection", StrongCheck, Plain, PasswordBox},
        {"Shift+Tab to Strong protection", PasswordBox, Shift, StrongCheck},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetFocus(app->Get(c.from));
        Press(c.from, VK_TAB, c.modifiers);
        EXPECT_EQ(app->FocusedWindow(), app->Get(c.to));
        ExpectTab(0);
    }
}

// Space on the focused box turns it on and off, and the password boxes
// follow: the strong container's passphrase is longer than version 1's.
TEST_F(Keys, SpaceTogglesStrongProtection) {
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on);
        SetFocus(app->Get(StrongCheck));
        Press(StrongCheck, VK_SPACE);
        EXPECT_EQ(app->IsChecked(StrongCheck), on);
        EXPECT_EQ(form->IsChecked(NBEngine::Option::Strong), on);
        app->SetText(PasswordBox, L"");
        app->TypeCharacters(PasswordBox, std::wstring(20, L'k'));
        NBTest::PumpFor(50);
        EXPECT_EQ(app->Text(PasswordBox).size(), on ? 20u : 15u);
    }
}

// STOP stays a deliberate click: neither Enter nor Ctrl+Tab reaches a job.
TEST_F(Keys, EnterAndCtrlTabDuringAJobLeaveItAlone) {
    FillEncryption(MakePlainFile(), folder.File(L"held.nbnx"), goodPassword);
    HoldOnceWritten(L"held.nbnx");
    app->Click(StartButton);
    ASSERT_TRUE(NBTest::PumpUntil([&] { return hold.held.load(); }, 30000))
        << "the job did not begin writing";

    for (Control box : {SourceBox, DestBox, PasswordBox, ConfirmBox}) {
        Press(box, VK_RETURN);
    }
    EXPECT_TRUE(form->IsRunning()) << "Enter stopped the job";

    // Each press on its own: two switches would end on the first tab again.
    SetFocus(app->Get(StartButton));
    for (const auto& [where, modifiers] : {std::pair{StartButton, Ctrl}, {SourceBox, CtrlShift}}) {
        SCOPED_TRACE(where);
        Press(where, VK_TAB, modifiers);
        ExpectTab(0);
        EXPECT_EQ(app->FocusedWindow(), app->Get(StartButton));
    }
    EXPECT_TRUE(form->IsRunning());

    const MessageBoxSeen box = AnswerBoxAfter([&] { hold.Release(); });
    EXPECT_EQ(box.text, encrypted);
    EXPECT_TRUE(FileThere(folder.File(L"held.nbnx")));
}

} // namespace
