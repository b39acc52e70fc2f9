// NBNimbra.exe driven from outside, as a person would use it.

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "AppDriver.h"

using namespace NBDriver;

namespace {

const std::wstring goodPassword = L"correct horse";

std::string GoldenAbc() {
    return ReadFileBytes(NB_TEST_DATA_DIR_W L"\\golden\\abc.nbnx");
}

// The temporary outputs a job left beside its destination.
std::vector<std::wstring> Leftovers(const std::wstring& folder, const std::wstring& destination) {
    return NamesStartingWith(folder, destination + L".incomplete");
}

// Compares without printing the bytes: a file may be a gigabyte.
testing::AssertionResult HoldsBytes(const std::wstring& path, const std::string& expected) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return testing::AssertionFailure() << "the file is gone";
    }
    const unsigned long long size =
        (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    if (size != expected.size()) {
        return testing::AssertionFailure()
               << "the file has " << size << " bytes, not " << expected.size();
    }
    if (ReadFileBytes(path) != expected) {
        return testing::AssertionFailure() << "the file's bytes changed";
    }
    return testing::AssertionSuccess();
}

const std::vector<std::wstring> none;

class EndToEnd : public testing::Test {
protected:
    AppDriver app;
    ScratchFolder folder;

    void SetUp() override {
        ASSERT_TRUE(app.Started())
            << app.StartProblem() << "; controls found: " << app.ControlsFound();
    }

    void TearDown() override {
        if (!HasFailure()) {
            EXPECT_EQ(app.CloseWithYes(), 0);
        }
    }

    // Presses START and returns the message box the job shows.
    MessageBoxSeen Start() {
        app.Click(StartButton);
        return app.WaitForMessageBox();
    }

    void FillEncryption(const std::wstring& source, const std::wstring& destination,
                        const std::wstring& password, const std::wstring& confirmation) {
        app.SetText(SourceBox, source);
        app.SetText(DestBox, destination);
        app.SetText(PasswordBox, password);
        app.SetText(ConfirmBox, confirmation);
    }

    // The Decrypt tab filled; with a destination, to a path of its own.
    void FillDecryption(const std::wstring& source, const std::wstring& password,
                        const std::wstring& destination = L"") {
        app.SelectTab(1);
        if (!destination.empty()) {
            app.Click(SpecifyPathOption);
            ASSERT_TRUE(PollUntil([&] { return app.IsVisible(DestBox); }, 5000));
            app.SetText(DestBox, destination);
        }
        app.SetText(SourceBox, source);
        app.SetText(PasswordBox, password);
    }

    // Posts the characters as typing does and returns once the window has
    // taken them all: a character posted after them to the source box shows
    // they have been seen. The source box is left empty.
    void Type(Control box, const std::wstring& characters) {
        app.TypeCharacters(box, characters);
        app.SetText(SourceBox, L"");
        app.TypeCharacters(SourceBox, L"#");
        ASSERT_TRUE(PollUntil([&] { return app.Text(SourceBox) == L"#"; }, 10000));
        app.SetText(SourceBox, L"");
    }

    void TurnStrongProtection(bool on) {
        if (app.IsChecked(StrongCheck) != on) {
            app.Click(StrongCheck);
        }
        ASSERT_TRUE(PollUntil([&] { return app.IsChecked(StrongCheck) == on; }, 5000));
    }

    // Presses START and answers the box of a job that succeeded.
    void ExpectDone(const std::wstring& text) {
        ExpectBox(Start(), L"NB Nimbra Vexal Edition", text);
    }

    void ExpectBox(const MessageBoxSeen& box, const std::wstring& caption,
                   const std::wstring& text) {
        EXPECT_EQ(box.caption, caption);
        EXPECT_EQ(box.text, text);
        app.Answer(box, IDOK);
        EXPECT_TRUE(app.WaitForCaption(StartButton, L"START"));
    }
};

TEST_F(EndToEnd, StartUpState) {
    EXPECT_TRUE(app.IsChecked(VerifyCheck));
    EXPECT_FALSE(app.IsChecked(StrongCheck));
    EXPECT_TRUE(app.IsChecked(SameFolderOption));
    EXPECT_FALSE(app.IsChecked(SpecifyPathOption));
    EXPECT_FALSE(app.IsVisible(SameFolderOption));
    EXPECT_FALSE(app.IsVisible(SpecifyPathOption));
    for (Control shown : {SourceBox, DestBox, DestSelectButton, VerifyCheck, StrongCheck,
                          ConfirmBox, ProgressBar}) {
        EXPECT_TRUE(app.IsVisible(shown)) << shown;
    }
    EXPECT_EQ(app.PasswordCharacter(PasswordBox), L'*');
    EXPECT_EQ(app.PasswordCharacter(ConfirmBox), L'*');
    EXPECT_EQ(app.Progress(), 0);
    EXPECT_EQ(app.FocusedWindow(), app.Get(SourceBox));
}

struct RequestCase {
    const char* what;
    std::wstring source; // "@" stands for an existing file
    std::wstring destination;
    std::wstring password;
    std::wstring confirmation;
    std::wstring message;
    Control focus;
};

class RequestChecks : public EndToEnd, public testing::WithParamInterface<RequestCase> {};

void PrintTo(const RequestCase& c, std::ostream* out) {
    *out << c.what;
}

TEST_P(RequestChecks, MessageAndFocus) {
    const RequestCase& c = GetParam();
    const std::wstring existing = folder.File(L"plain.txt");
    WriteFileBytes(existing, "plain text");
    FillEncryption(c.source == L"@" ? existing : c.source, c.destination, c.password,
                   c.confirmation);
    ExpectBox(Start(), L"ERROR", c.message);
    EXPECT_EQ(app.FocusedWindow(), app.Get(c.focus));
    EXPECT_FALSE(FileThere(folder.File(L"out.nbnx")));
}

INSTANTIATE_TEST_SUITE_P(
    EndToEnd, RequestChecks,
    testing::Values(
        RequestCase{"no source", L"", L"", L"", L"", L"The file to encrypt is required", SourceBox},
        RequestCase{"missing source", L"C:\\x\\report.doc", L"", L"", L"",
                    L"REPORT.DOC: file not found or inaccessible", SourceBox},
        RequestCase{"no destination", L"@", L"", goodPassword, goodPassword,
                    L"The filename of the encrypted file is required", DestBox},
        RequestCase{"no password", L"@", L"out.nbnx", L"", L"", L"Password required", PasswordBox},
        RequestCase{"short password", L"@", L"out.nbnx", L"1234567", L"1234567",
                    L"Password must be at least 8 characters", PasswordBox},
        RequestCase{"no confirmation", L"@", L"out.nbnx", goodPassword, L"",
                    L"Confirmation password required", ConfirmBox},
        RequestCase{"confirmation differs", L"@", L"out.nbnx", goodPassword, L"correct horsE",
                    L"Confirmation password does not match", ConfirmBox},
        RequestCase{"missing source beyond Latin-1", L"C:\\x\\\u0141odz.txt", L"out.nbnx",
                    goodPassword, goodPassword, L"\u0141ODZ.TXT: file not found or inaccessible",
                    SourceBox}));

// Names and passwords beyond ASCII, in a folder of Cyrillic and CJK letters:
// the window's containers stay what they always were (résumé.txt with a
// Latin-1 password), and a name beyond Latin-1 comes back whole, beside a
// file whose name has the same low bytes (the low bytes of Ł and ź are A and z).
TEST_F(EndToEnd, EveryNameAndPasswordComesBackWhole) {
    const std::wstring where = folder.File(L"\u0418\u0432\u0430\u043D \u674E\u660E");
    ASSERT_TRUE(CreateDirectoryW(where.c_str(), nullptr));
    const std::string golden = ReadFileBytes(NB_TEST_DATA_DIR_W L"\\golden\\latin1.nbnx");
    WriteFileBytes(where + L"\\latin1.nbnx", golden);
    FillDecryption(where + L"\\latin1.nbnx", L"m\u00F6t\u00F6rhead");
    ExpectDone(L"File decrypted successfully");
    const std::wstring resume = where + L"\\r\u00E9sum\u00E9.txt";
    ASSERT_TRUE(FileThere(resume));

    app.SelectTab(0);
    FillEncryption(resume, where + L"\\again.nbnx", L"m\u00F6t\u00F6rhead", L"m\u00F6t\u00F6rhead");
    ExpectDone(L"File encrypted successfully");
    EXPECT_EQ(ReadFileBytes(where + L"\\again.nbnx"), golden);

    const std::wstring lodz = where + L"\\\u0141\u00F3d\u017A.txt";
    const std::wstring lookalike = where + L"\\A\u00F3dz.txt";
    WriteFileBytes(lodz, "lodz");
    WriteFileBytes(lookalike, "mine");
    FillEncryption(lodz, where + L"\\lodz.nbnx", goodPassword, goodPassword);
    ExpectDone(L"File encrypted successfully");
    DeleteFileW(lodz.c_str());
    FillDecryption(where + L"\\lodz.nbnx", goodPassword);
    ExpectDone(L"File decrypted successfully");
    EXPECT_EQ(ReadFileBytes(lodz), "lodz");
    EXPECT_EQ(ReadFileBytes(lookalike), "mine");
}

TEST_F(EndToEnd, APathOfMoreThan300CharactersBothWays) {
    std::wstring deep = folder.Path();
    for (int level = 0; level < 6; ++level) {
        deep += L"\\folder-" + std::wstring(43, static_cast<wchar_t>(L'a' + level));
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr));
    }
    ASSERT_GT(deep.size(), 300u);
    const std::wstring plain = deep + L"\\notes.txt";
    WriteFileBytes(L"\\\\?\\" + plain, "deep notes");
    FillEncryption(plain, deep + L"\\notes.nbnx", goodPassword, goodPassword);
    ExpectDone(L"File encrypted successfully");
    FillDecryption(deep + L"\\notes.nbnx", goodPassword, deep + L"\\back.txt");
    ExpectDone(L"File decrypted successfully");
    EXPECT_EQ(ReadFileBytes(L"\\\\?\\" + deep + L"\\back.txt"), "deep notes");
}

TEST_F(EndToEnd, WrongPasswordInDecryption) {
    const std::wstring box = folder.File(L"abc.nbnx");
    WriteFileBytes(box, GoldenAbc());
    FillDecryption(box, L"not the password");
    ExpectBox(Start(), L"ERROR",
              L"abc.nbnx: The password is incorrect or not valid NBN Encrypted File");
    EXPECT_EQ(app.FocusedWindow(), app.Get(SourceBox));
    EXPECT_FALSE(FileThere(folder.File(L"abc.txt")));
}

TEST_F(EndToEnd, TabsRememberTheirTexts) {
    app.SetText(SourceBox, L"enc-source");
    app.SetText(DestBox, L"enc-dest");
    app.SetText(PasswordBox, L"enc-password");
    app.SetText(ConfirmBox, L"confirm");
    app.SelectTab(1);
    EXPECT_EQ(app.Text(SourceBox), L"");
    app.SetText(SourceBox, L"dec-source");
    app.SelectTab(0);
    EXPECT_EQ(app.Text(SourceBox), L"enc-source");
    EXPECT_EQ(app.Text(DestBox), L"enc-dest");
    EXPECT_EQ(app.Text(PasswordBox), L"enc-password");
    EXPECT_EQ(app.Text(ConfirmBox), L"confirm");
    app.SelectTab(1);
    EXPECT_EQ(app.Text(SourceBox), L"dec-source");
}

TEST_F(EndToEnd, ShowHideAndTheFifteenCharacterLimit) {
    app.SetText(ConfirmBox, L"something");
    app.Click(ShowButton);
    EXPECT_TRUE(app.WaitForCaption(ShowButton, L"Hide", 5000));
    EXPECT_EQ(app.PasswordCharacter(PasswordBox), 0);
    EXPECT_FALSE(app.IsEnabled(ConfirmBox));
    EXPECT_EQ(app.Text(ConfirmBox), L"");
    app.Click(ShowButton);
    EXPECT_TRUE(app.WaitForCaption(ShowButton, L"Show", 5000));
    EXPECT_EQ(app.PasswordCharacter(PasswordBox), L'*');
    EXPECT_TRUE(app.IsEnabled(ConfirmBox));

    app.TypeCharacters(PasswordBox, L"0123456789abcdef");
    app.Click(ShowButton); // queued behind the characters
    EXPECT_TRUE(app.WaitForCaption(ShowButton, L"Hide", 5000));
    EXPECT_EQ(app.Text(PasswordBox), L"0123456789abcde");
}

// The limits of the password boxes, as typing meets them: version 1's 15
// characters, and 1,024 for the strong container and for any decryption.
struct LimitCase {
    const char* what;
    std::vector<int> tabs; // shown in turn
    bool strong;
    Control box;
    std::size_t limit;
};

class PasswordBoxLimits : public EndToEnd, public testing::WithParamInterface<LimitCase> {};

void PrintTo(const LimitCase& c, std::ostream* out) {
    *out << c.what;
}

TEST_P(PasswordBoxLimits, TypingStopsAtTheLimit) {
    const LimitCase& c = GetParam();
    if (c.strong) {
        TurnStrongProtection(true);
    }
    for (int tab : c.tabs) {
        app.SelectTab(tab);
    }
    std::wstring typed;
    for (std::size_t i = 0; i <= c.limit; ++i) {
        typed += static_cast<wchar_t>(L'a' + i % 26);
    }
    Type(c.box, typed);
    EXPECT_EQ(app.Text(c.box), typed.substr(0, c.limit));
}

INSTANTIATE_TEST_SUITE_P(
    EndToEnd, PasswordBoxLimits,
    testing::Values(
        LimitCase{"confirmation, version 1", {}, false, ConfirmBox, 15},
        LimitCase{"password, strong", {}, true, PasswordBox, 1024},
        LimitCase{"confirmation, strong", {}, true, ConfirmBox, 1024},
        LimitCase{"password, Decrypt tab", {1}, false, PasswordBox, 1024},
        LimitCase{"password, back from the Decrypt tab", {1, 0}, false, PasswordBox, 15},
        LimitCase{"password, strong, back from the Decrypt tab", {1, 0}, true, PasswordBox, 1024}));

// Turning "Strong protection" off cuts nothing typed: START refuses what
// version 1 cannot take, and writes nothing.
TEST_F(EndToEnd, APassphraseTooLongForVersion1IsRefusedNotCut) {
    const std::wstring passphrase = L"twenty characters ok";
    TurnStrongProtection(true);
    Type(PasswordBox, passphrase);
    Type(ConfirmBox, passphrase);
    TurnStrongProtection(false);
    EXPECT_EQ(app.Text(PasswordBox), passphrase);
    Type(PasswordBox, L"x");
    EXPECT_EQ(app.Text(PasswordBox), passphrase) << "typing goes on past version 1's limit";

    WriteFileBytes(folder.File(L"plain.txt"), "plain");
    app.SetText(SourceBox, folder.File(L"plain.txt"));
    app.SetText(DestBox, folder.File(L"out.nbnx"));
    ExpectBox(Start(), L"ERROR", L"Password must be at most 15 characters");
    EXPECT_EQ(app.FocusedWindow(), app.Get(PasswordBox));
    EXPECT_FALSE(FileThere(folder.File(L"out.nbnx")));

    TurnStrongProtection(true);
    ExpectDone(L"File encrypted successfully");
    EXPECT_TRUE(HasStrongSignature(ReadFileBytes(folder.File(L"out.nbnx"))));
}

// Strong protection end to end: a passphrase typed into both boxes, a
// version 2 container of exactly the format's size, opened again on the
// Decrypt tab.
TEST_F(EndToEnd, StrongProtectionWithATypedPassphrase) {
    const std::wstring passphrase = L"lantern river 82 copper!";
    ASSERT_EQ(passphrase.size(), 24u);
    const std::string contents(70000, 'q');
    const std::wstring plain = folder.File(L"notes.txt");
    const std::wstring box = folder.File(L"notes.nbnx");
    WriteFileBytes(plain, contents);
    TurnStrongProtection(true);
    Type(PasswordBox, passphrase);
    Type(ConfirmBox, passphrase);
    app.SetText(SourceBox, plain);
    app.SetText(DestBox, box);
    ExpectDone(L"File encrypted successfully");

    const std::string written = ReadFileBytes(box);
    EXPECT_TRUE(HasStrongSignature(written));
    EXPECT_EQ(written.size(), 1200 + contents.size() + 16 * 2) << "two chunks of body";

    DeleteFileW(plain.c_str());
    app.SelectTab(1);
    Type(PasswordBox, passphrase);
    app.SetText(SourceBox, box);
    ExpectDone(L"File decrypted successfully");
    EXPECT_EQ(ReadFileBytes(plain), contents);
}

// A version 2 container opened with a passphrase of Greek letters typed on
// the Decrypt tab, its accent typed as a combining mark this time: the
// characters count whole, so one with the same low bytes is wrong.
TEST_F(EndToEnd, AGreekPassphraseTypedOnTheDecryptTabOpensAStrongContainer) {
    const std::wstring composed = L"\u03C6\u03C9\u03C2 \u03C4\u03AD\u03C7\u03BD\u03B7 42";
    const std::wstring decomposed = L"\u03C6\u03C9\u03C2 \u03C4\u03B5\u0301\u03C7\u03BD\u03B7 42";
    // U+0100 + low byte: version 1 would take these as the same password.
    std::wstring lookalike = composed;
    lookalike[0] = static_cast<wchar_t>(0x0100 | (composed[0] & 0xFF));
    const std::wstring plain = folder.File(L"\u03B3\u03C1\u03AC\u03BC\u03BC\u03B1.txt");
    const std::wstring box = folder.File(L"letter.nbnx");
    WriteFileBytes(plain, "Dear friend");
    TurnStrongProtection(true);
    Type(PasswordBox, composed);
    Type(ConfirmBox, composed);
    app.SetText(SourceBox, plain);
    app.SetText(DestBox, box);
    ExpectDone(L"File encrypted successfully");
    ASSERT_TRUE(HasStrongSignature(ReadFileBytes(box)));
    DeleteFileW(plain.c_str());

    app.SelectTab(1);
    Type(PasswordBox, lookalike);
    app.SetText(SourceBox, box);
    ExpectBox(Start(), L"ERROR",
              L"letter.nbnx: The password is incorrect or not valid NBN Encrypted File");
    EXPECT_FALSE(FileThere(plain));

    app.SetText(PasswordBox, L"");
    Type(PasswordBox, decomposed);
    app.SetText(SourceBox, box);
    ExpectDone(L"File decrypted successfully");
    EXPECT_EQ(ReadFileBytes(plain), "Dear friend");
}

TEST_F(EndToEnd, AboutWindowDisablesTheMainWindowUntilClosed) {
    for (int round = 0; round < 2; ++round) {
        app.Click(InfoButton);
        HWND about = app.FindTopLevel(L"Info...");
        ASSERT_NE(about, nullptr);
        EXPECT_FALSE(IsWindowEnabled(app.Main()));
        EXPECT_EQ(GetWindow(about, GW_OWNER), app.Main()) << "stays above the main window";
        // Esc typed anywhere in it closes it.
        HWND child = GetWindow(about, GW_CHILD);
        PostMessageW(child != nullptr ? child : about, WM_CHAR, VK_ESCAPE, 1);
        EXPECT_TRUE(WaitUntilGone(about));
        EXPECT_TRUE(IsWindowEnabled(app.Main()));
    }
}

TEST_F(EndToEnd, NamingOptionsOfTheDecryptTab) {
    app.SelectTab(1);
    app.Click(SpecifyPathOption);
    ASSERT_TRUE(PollUntil([&] { return app.IsVisible(DestBox); }, 5000));
    EXPECT_TRUE(app.IsVisible(DestSelectButton));
    EXPECT_FALSE(app.IsVisible(DestLabel));
    app.SetText(DestBox, L"typed");
    app.Click(SameFolderOption);
    ASSERT_TRUE(PollUntil([&] { return !app.IsVisible(DestBox); }, 5000));
    app.Click(SpecifyPathOption);
    ASSERT_TRUE(PollUntil([&] { return app.IsVisible(DestBox); }, 5000));
    EXPECT_EQ(app.Text(DestBox), L"") << "Specify pathname empties the box";
}

TEST_F(EndToEnd, CheckOffAndDecryptionToAPathOfItsOwn) {
    const std::wstring plain = folder.File(L"notes.txt");
    const std::wstring box = folder.File(L"notes.nbnx");
    const std::string contents(100000, 'n');
    WriteFileBytes(plain, contents);
    FillEncryption(plain, box, goodPassword, goodPassword);
    app.Click(VerifyCheck);
    ASSERT_TRUE(PollUntil([&] { return !app.IsChecked(VerifyCheck); }, 5000));
    ExpectDone(L"File encrypted successfully");
    // START at once after a job: a new job runs, nothing freezes.
    ExpectDone(L"File encrypted successfully");

    FillDecryption(box, goodPassword, folder.File(L"copy.txt"));
    ExpectDone(L"File decrypted successfully");
    EXPECT_EQ(ReadFileBytes(folder.File(L"copy.txt")), contents);
}

TEST_F(EndToEnd, ExitItemAndCloseButtonAskLikeTheTitleBar) {
    const int exitId = app.MenuItemId(ExitItem);
    ASSERT_NE(exitId, 0);
    PostMessageW(app.Main(), WM_COMMAND, MAKEWPARAM(exitId, 0), 0);
    MessageBoxSeen question = app.WaitForMessageBox();
    EXPECT_EQ(question.caption, L"Uscita");
    app.Answer(question, IDNO);
    EXPECT_TRUE(IsWindow(app.Main()));

    app.Click(CloseButton);
    question = app.WaitForMessageBox();
    EXPECT_EQ(question.text, L"You really want to exit?");
    app.Answer(question, IDNO);
    EXPECT_TRUE(IsWindow(app.Main()));
    EXPECT_TRUE(IsWindowEnabled(app.Main()));
}

// Fills the name field of the open or save dialog and confirms it, or cancels.
bool AnswerFileDialog(const AppDriver& app, const std::wstring& caption, const std::wstring& name) {
    HWND dialog = app.FindTopLevel(caption);
    if (dialog == nullptr) {
        return false;
    }
    if (name.empty()) {
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    } else {
        SendMessageW(GetDlgItem(dialog, 0x47C), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(name.c_str()));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }
    return WaitUntilGone(dialog);
}

TEST_F(EndToEnd, SelectButtonsFillTheBoxesThroughTheRealDialogs) {
    CreateDirectoryW(folder.File(L"node.js").c_str(), nullptr);
    const std::wstring source = folder.File(L"node.js\\data");
    WriteFileBytes(source, "data");

    app.Click(SourceSelectButton);
    ASSERT_TRUE(AnswerFileDialog(app, L"Open", L""));
    EXPECT_EQ(app.Text(SourceBox), L"") << "a cancelled dialog changes nothing";

    app.Click(SourceSelectButton);
    ASSERT_TRUE(AnswerFileDialog(app, L"Open", source));
    EXPECT_EQ(app.Text(SourceBox), source);
    EXPECT_EQ(app.Text(DestBox), source + L".nbnx") << "a dot in a folder name stays put";

    app.Click(DestSelectButton);
    ASSERT_TRUE(AnswerFileDialog(app, L"Save As", folder.File(L"backup")));
    EXPECT_EQ(app.Text(DestBox), folder.File(L"backup.nbnx"));

    // A destination chosen before is kept when another source is picked.
    WriteFileBytes(folder.File(L"other.txt"), "other");
    app.Click(SourceSelectButton);
    ASSERT_TRUE(AnswerFileDialog(app, L"Open", folder.File(L"other.txt")));
    EXPECT_EQ(app.Text(DestBox), folder.File(L"backup.nbnx"));

    // Names beyond Latin-1 come back from both dialogs whole.
    const std::wstring greek = folder.File(L"\u03A9mega.pdf");
    WriteFileBytes(greek, "omega");
    app.Click(SourceSelectButton);
    ASSERT_TRUE(AnswerFileDialog(app, L"Open", greek));
    EXPECT_EQ(app.Text(SourceBox), greek);
    app.Click(DestSelectButton);
    ASSERT_TRUE(AnswerFileDialog(app, L"Save As", folder.File(L"\u0418\u0432\u0430\u043D")));
    EXPECT_EQ(app.Text(DestBox), folder.File(L"\u0418\u0432\u0430\u043D.nbnx"));
}

// Stopping at any stage of a job over an existing container leaves that
// container as it was and no temporary output.
struct StopCase {
    const char* what;
    int progressAbove;
};

class StopOverAnExistingContainer : public EndToEnd,
                                    public testing::WithParamInterface<StopCase> {};

void PrintTo(const StopCase& c, std::ostream* out) {
    *out << c.what;
}

TEST_P(StopOverAnExistingContainer, KeepsItByteForByte) {
    const std::string before = GoldenAbc();
    WriteFileBytes(folder.File(L"big.nbnx"), before);
    const std::wstring box = folder.File(L"big.nbnx");
    ASSERT_TRUE(app.StartLongEncryption(folder.Path()));
    ASSERT_TRUE(PollUntil([&] { return app.Progress() > GetParam().progressAbove; }, 60000))
        << "the job did not get that far";
    app.Click(StartButton);
    EXPECT_TRUE(app.WaitForCaption(StartButton, L"START"));
    EXPECT_TRUE(HoldsBytes(box, before));
    EXPECT_EQ(Leftovers(folder.Path(), L"big.nbnx"), none);
}

INSTANTIATE_TEST_SUITE_P(EndToEnd, StopOverAnExistingContainer,
                         testing::Values(StopCase{"while encrypting", 5},
                                         StopCase{"while checking", 56}));

// A CRC mismatch published beside the container under its stored name: never
// over a file of that name, which stays; kept when the name was free.
struct DamagedCase {
    const char* what;
    bool nameTaken;
};

class DamagedContainer : public EndToEnd, public testing::WithParamInterface<DamagedCase> {};

void PrintTo(const DamagedCase& c, std::ostream* out) {
    *out << c.what;
}

TEST_P(DamagedContainer, DecryptedIntoTheSameFolder) {
    std::string damaged = GoldenAbc();
    damaged.back() = static_cast<char>(damaged.back() ^ 0x5A);
    const std::wstring box = folder.File(L"abc.nbnx");
    const std::wstring stored = folder.File(L"abc.txt");
    const std::string newer = "a newer abc.txt of mine";
    WriteFileBytes(box, damaged);
    if (GetParam().nameTaken) {
        WriteFileBytes(stored, newer);
    }
    FillDecryption(box, L"password");
    const MessageBoxSeen shown = Start();
    EXPECT_EQ(shown.caption, L"ERROR");
    EXPECT_EQ(shown.text.substr(0, shown.text.find(L'\n')),
              L"abc.txt: CRC mismatch. The password is incorrect or the file may be corrupted.");
    app.Answer(shown, IDOK);
    EXPECT_TRUE(app.WaitForCaption(StartButton, L"START"));

    const std::string after = ReadFileBytes(stored);
    if (GetParam().nameTaken) {
        EXPECT_TRUE(HoldsBytes(stored, newer));
    } else {
        EXPECT_EQ(after.size(), 3u) << "the damaged output is kept whole";
        EXPECT_NE(after, "abc");
    }
    const std::vector<std::wstring> names = FolderNames(folder.Path());
    EXPECT_EQ(std::set<std::wstring>(names.begin(), names.end()),
              (std::set<std::wstring>{L"abc.nbnx", L"abc.txt"}));
}

INSTANTIATE_TEST_SUITE_P(EndToEnd, DamagedContainer,
                         testing::Values(DamagedCase{"beside a file of the stored name", true},
                                         DamagedCase{"with the stored name free", false}));

// A 2 MB file system that the test set-up mounts (tests/app/small-disk.sh).
TEST_F(EndToEnd, TooBigForTheDiskIsRefusedAndTheExistingContainerStays) {
    const std::wstring disk = NB_SMALL_DISK_DIR_W;
    ULARGE_INTEGER freeBytes{};
    ULARGE_INTEGER totalBytes{};
    if (!GetDiskFreeSpaceExW(disk.c_str(), &freeBytes, &totalBytes, nullptr) ||
        totalBytes.QuadPart > (16ULL << 20)) {
        GTEST_SKIP() << "no small file system at " << std::string(disk.begin(), disk.end())
                     << ": the set-up could not mount one (it needs root)";
    }
    const std::wstring destination = disk + L"\\kept.nbnx";
    const std::string before = GoldenAbc();
    WriteFileBytes(destination, before);
    ASSERT_TRUE(GetDiskFreeSpaceExW(disk.c_str(), &freeBytes, nullptr, nullptr));
    constexpr long long plainSize = 4LL << 20;
    ASSERT_TRUE(MakeSparseFile(folder.File(L"large.bin"), plainSize));
    FillEncryption(folder.File(L"large.bin"), destination, goodPassword, goodPassword);

    // Megabytes of 10^6 bytes: what is needed rounded up, what is free down.
    const auto neededMb = (plainSize + 216 + 999999) / 1000000;
    const auto freeMb = freeBytes.QuadPart / 1000000;
    const MessageBoxSeen shown = Start();
    EXPECT_EQ(shown.caption, L"ERROR");
    EXPECT_EQ(shown.text, L"kept.nbnx: not enough free space (" + std::to_wstring(neededMb) +
                              L" MB needed, " + std::to_wstring(freeMb) + L" MB free)");
    app.Answer(shown, IDOK);
    EXPECT_TRUE(app.WaitForCaption(StartButton, L"START"));
    EXPECT_EQ(app.FocusedWindow(), app.Get(DestBox));

    EXPECT_TRUE(HoldsBytes(destination, before));
    EXPECT_EQ(Leftovers(disk, L"kept.nbnx"), none);
    DeleteFileW(destination.c_str());
}

} // namespace
