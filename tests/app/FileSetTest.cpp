// Sets of files in the main window: dropped or chosen together, checked once,
// each file through its own job, one box at the end.

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "AppDriver.h"
#include "HeldJob.h"
#include "ShellDrop.h"
#include "WindowTestSupport.h"

using namespace NBDriver;

namespace {

const std::wstring programCaption = L"NB Nimbra Vexal Edition";
const std::wstring goodPassword = L"correct horse";

class FileSet : public NBTest::HeldWindowTest {
protected:
    std::wstring MakeFile(const std::wstring& name, const std::string& bytes) {
        WriteFileBytes(folder.File(name), bytes);
        return folder.File(name);
    }

    // Every container and every partial output in the folder.
    std::vector<std::wstring> Containers() {
        std::vector<std::wstring> found;
        for (const std::wstring& name : FolderNames(folder.Path())) {
            if (name.find(L".nbnx") != std::wstring::npos) {
                found.push_back(name);
            }
        }
        return found;
    }

    void Drop(const std::vector<std::wstring>& paths) {
        SendMessageW(app->Main(), WM_DROPFILES, reinterpret_cast<WPARAM>(NBTest::ShellDrop(paths)),
                     0);
    }

    void FillPasswords() {
        app->SetText(PasswordBox, goodPassword);
        app->SetText(ConfirmBox, goodPassword);
    }

    // Presses START and answers the box that ends the job (or refuses it).
    MessageBoxSeen StartAndAnswer(const wchar_t* picture = nullptr) {
        return AnswerBoxAfter([&] { app->Click(StartButton); }, picture);
    }
};

TEST_F(FileSet, ADroppedSetIsEncryptedAndDecryptedBackByteForByte) {
    const std::vector<std::wstring> names{L"one.txt", L"two.bin", L"three.doc"};
    const std::vector<std::string> contents{"first file\n", std::string(70000, '\x5A') + "end",
                                            std::string("\0\1\2\3", 4)};
    std::vector<std::wstring> plain;
    for (std::size_t i = 0; i < names.size(); ++i) {
        plain.push_back(MakeFile(names[i], contents[i]));
    }
    Drop(plain);
    EXPECT_EQ(app->Text(SourceBox), L"\"one.txt\" \"two.bin\" \"three.doc\"");
    FillPasswords();
    MessageBoxSeen box = StartAndAnswer();
    EXPECT_EQ(box.caption, programCaption);
    EXPECT_EQ(box.text, L"3 files encrypted successfully");
    EXPECT_EQ(app->Progress(), 100);

    std::vector<std::wstring> containers;
    for (const std::wstring& path : plain) {
        containers.push_back(path.substr(0, path.rfind(L'.')) + L".nbnx");
        ASSERT_TRUE(FileThere(containers.back()));
        DeleteFileW(path.c_str());
    }
    app->SelectTab(1);
    NBTest::PumpFor(50);
    Drop(containers);
    EXPECT_EQ(app->Text(SourceBox), L"\"one.nbnx\" \"two.nbnx\" \"three.nbnx\"");
    app->SetText(PasswordBox, goodPassword);
    box = StartAndAnswer();
    EXPECT_EQ(box.text, L"3 files decrypted successfully");
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(ReadFileBytes(plain[i]), contents[i]) << plain[i].c_str();
    }
}

// With "Strong protection" a dropped set is written as version 2, one key
// derivation for the set: its containers share the salt, each has a nonce of
// its own; and they open again as a set.
TEST_F(FileSet, ADroppedSetWithStrongProtectionSharesOneKeyDerivation) {
    UseTestStrongCost();
    const std::wstring passphrase = L"one passphrase for the set";
    const std::vector<std::wstring> plain{MakeFile(L"a.txt", "alpha"), MakeFile(L"b.txt", "beta")};
    Drop(plain);
    app->Click(StrongCheck);
    ASSERT_TRUE(NBTest::PumpUntil([&] { return app->IsChecked(StrongCheck); }, 5000));
    app->SetText(PasswordBox, passphrase);
    app->SetText(ConfirmBox, passphrase);
    EXPECT_EQ(StartAndAnswer().text, L"2 files encrypted successfully");

    const std::string a = ReadFileBytes(folder.File(L"a.nbnx"));
    const std::string b = ReadFileBytes(folder.File(L"b.nbnx"));
    ASSERT_TRUE(HasStrongSignature(a));
    ASSERT_TRUE(HasStrongSignature(b));
    constexpr std::size_t saltAt = 64, nonceAt = 96, fieldSize = 32;
    EXPECT_EQ(a.substr(saltAt, fieldSize), b.substr(saltAt, fieldSize));
    EXPECT_NE(a.substr(nonceAt, fieldSize), b.substr(nonceAt, fieldSize));

    for (const std::wstring& path : plain) {
        DeleteFileW(path.c_str());
    }
    app->SelectTab(1);
    NBTest::PumpFor(50);
    Drop({folder.File(L"a.nbnx"), folder.File(L"b.nbnx")});
    app->SetText(PasswordBox, passphrase);
    EXPECT_EQ(StartAndAnswer().text, L"2 files decrypted successfully");
    EXPECT_EQ(ReadFileBytes(plain[0]), "alpha");
    EXPECT_EQ(ReadFileBytes(plain[1]), "beta");
}

TEST_F(FileSet, AFailedFileIsNamedInTheBoxAndTheOthersAreWritten) {
    const std::wstring a = MakeFile(L"a.txt", "alpha");
    const std::wstring empty = MakeFile(L"empty.txt", "");
    const std::wstring c = MakeFile(L"c.txt", "gamma");
    Drop({a, empty, c});
    FillPasswords();
    const MessageBoxSeen box = StartAndAnswer(L"set-summary");
    EXPECT_EQ(box.caption, programCaption);
    EXPECT_EQ(box.text, L"2 of 3 files encrypted successfully");
    EXPECT_EQ(box.details, L"empty.txt: file not found or inaccessible");
    EXPECT_TRUE(FileThere(folder.File(L"a.nbnx")));
    EXPECT_TRUE(FileThere(folder.File(L"c.nbnx")));
    EXPECT_FALSE(FileThere(folder.File(L"empty.nbnx")));

    // Opened again, a file that is no container fails alone, and so does one
    // whose output would replace a folder: named by its own name first.
    DeleteFileW(a.c_str());
    DeleteFileW(c.c_str());
    CreateDirectoryW(c.c_str(), nullptr);
    const std::wstring fake = MakeFile(L"fake.nbnx", "not a container");
    app->SelectTab(1);
    NBTest::PumpFor(50);
    Drop({folder.File(L"a.nbnx"), fake, folder.File(L"c.nbnx")});
    app->SetText(PasswordBox, goodPassword);
    const MessageBoxSeen decrypted = StartAndAnswer();
    EXPECT_EQ(decrypted.text, L"1 of 3 files decrypted successfully");
    EXPECT_EQ(decrypted.details,
              L"fake.nbnx: The password is incorrect or not valid NBN Encrypted File\r\n"
              L"c.nbnx: c.txt: file not accessible");
    EXPECT_EQ(ReadFileBytes(a), "alpha");
}

// The report is the window's modal box on the interface thread: confirming
// the exit over it closes the report, then the window once the set has ended.
TEST_F(FileSet, ExitConfirmedOverTheReportClosesItAndThenTheWindow) {
    Drop({MakeFile(L"a.txt", "alpha"), MakeFile(L"empty.txt", "")});
    FillPasswords();
    HWND main = app->Main();
    std::atomic<bool> driven{false};
    std::wstring question;
    std::thread person([&] {
        const MessageBoxSeen report = app->WaitForMessageBox(30000);
        if (report.text == L"1 of 2 files encrypted successfully") {
            PostMessageW(main, WM_CLOSE, 0, 0);
            if (HWND asked = app->FindTopLevel(L"Uscita"); asked != nullptr) {
                question = L"Uscita";
                app->Answer({asked, question, L"", L""}, IDYES);
            }
        }
        driven = true;
    });
    app->Click(StartButton);
    const bool gone =
        NBTest::PumpUntil([&] { return driven.load() && IsWindow(main) == FALSE; }, 30000);
    person.join();
    EXPECT_EQ(question, L"Uscita");
    EXPECT_TRUE(gone) << "the window stayed after Yes";
    EXPECT_TRUE(FileThere(folder.File(L"a.nbnx")));
}

TEST_F(FileSet, StopEndsTheRunningFileAndSkipsTheRest) {
    const std::wstring a = MakeFile(L"a.txt", "alpha");
    const std::wstring b = MakeFile(L"b.txt", std::string(300000, 'b'));
    const std::wstring c = MakeFile(L"c.txt", "gamma");
    holdWhen = [&] {
        return FileThere(folder.File(L"a.nbnx")) &&
               !NamesStartingWith(folder.Path(), L"b.nbnx").empty();
    };
    Drop({a, b, c});
    FillPasswords();
    app->Click(StartButton);
    ASSERT_TRUE(NBTest::PumpUntil([&] { return hold.held.load(); }, 30000))
        << "the second file did not begin";
    // The bar shows the whole set: one file of three is done, the second begun.
    EXPECT_GE(app->Progress(), 33);
    EXPECT_LT(app->Progress(), 67);
    if (const wchar_t* shots = _wgetenv(L"NB_SCREENSHOT_DIR"); shots != nullptr) {
        NBTest::PumpFor(1600); // a tick of the band as well
        CaptureScreen(std::wstring(shots) + L"\\set-running.bmp");
    }
    app->Click(StartButton);
    ASSERT_TRUE(NBTest::PumpUntil([&] { return !form->IsRunning(); }));
    hold.Release();
    ASSERT_TRUE(NBTest::PumpUntil([&] { return app->Caption(StartButton) == L"START"; }, 30000));
    EXPECT_EQ(app->WaitForMessageBox(300).window, nullptr) << "a stopped set shows nothing";
    EXPECT_EQ(Containers(), std::vector<std::wstring>{L"a.nbnx"});
    EXPECT_EQ(ReadFileBytes(b), std::string(300000, 'b'));
    EXPECT_TRUE(app->IsEnabled(SourceBox));
}

// A request refused as a whole: one box, the focus where a single job puts
// it, nothing written.
TEST_F(FileSet, ARefusedSetWritesNothing) {
    const std::wstring doc = MakeFile(L"report.doc", "doc");
    const std::wstring docx = MakeFile(L"report.docx", "docx");
    const std::wstring other = MakeFile(L"other.txt", "other");
    MakeFile(L"other.nbnx", "an older container");
    struct Case {
        const char* what;
        std::vector<std::wstring> files;
        std::wstring text; // the whole message, or the part that names the files
        Control focus;
        std::wstring password = goodPassword;
        std::wstring confirmation = goodPassword;
        std::wstring destination = L"";
    } cases[] = {
        {"no password", NBTest::Paths(doc, other), L"Password required", PasswordBox, L"", L""},
        {"short password", NBTest::Paths(doc, other), L"Password must be at least 8 characters",
         PasswordBox, L"short", L"short"},
        {"no confirmation", NBTest::Paths(doc, other), L"Confirmation password required",
         ConfirmBox, goodPassword, L""},
        {"confirmation differs", NBTest::Paths(doc, other), L"Confirmation password does not match",
         ConfirmBox, goodPassword, L"correct horsE"},
        {"two files, one output", NBTest::Paths(doc, docx), L"report.doc and report.docx",
         SourceBox},
        {"one file twice", NBTest::Paths(doc, folder.File(L"REPORT.DOC")),
         L"report.doc and REPORT.DOC", SourceBox},
        {"a missing folder", NBTest::Paths(doc, other), folder.File(L"nowhere"), DestBox,
         goodPassword, goodPassword, folder.File(L"nowhere")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Drop(c.files);
        app->SetText(DestBox, c.destination);
        app->SetText(PasswordBox, c.password);
        app->SetText(ConfirmBox, c.confirmation);
        const MessageBoxSeen box = StartAndAnswer();
        EXPECT_EQ(box.caption, L"ERROR");
        EXPECT_NE(box.text.find(c.text), std::wstring::npos) << box.text.c_str();
        if (c.focus != SourceBox) {
            EXPECT_EQ(app->FocusedWindow(), app->Get(c.focus));
        }
        EXPECT_EQ(Containers(), std::vector<std::wstring>{L"other.nbnx"});
        EXPECT_EQ(ReadFileBytes(folder.File(L"other.nbnx")), "an older container");
    }
}

TEST_F(FileSet, TypingOverASetMakesTheBoxASinglePathAgain) {
    const std::wstring a = MakeFile(L"a.txt", "alpha");
    const std::wstring b = MakeFile(L"b.txt", "beta");
    Drop({a, b});
    ASSERT_EQ(app->Text(SourceBox), L"\"a.txt\" \"b.txt\"");
    app->SetText(SourceBox, b);
    app->SetText(DestBox, folder.File(L"mine.nbnx"));
    FillPasswords();
    const MessageBoxSeen box = StartAndAnswer();
    EXPECT_EQ(box.text, L"File encrypted successfully");
    EXPECT_EQ(Containers(), std::vector<std::wstring>{L"mine.nbnx"});
}

// Both the folder and the names are typed into the real dialog, as a person
// picks several files there.
TEST_F(FileSet, SeveralFilesChosenTogetherInTheOpenDialogFormASet) {
    MakeFile(L"a.txt", "alpha");
    MakeFile(L"b.txt", "beta");
    std::atomic<bool> answered{false};
    std::thread person([&] {
        const auto type = [&](const std::wstring& text) {
            HWND dialog = app->FindTopLevel(L"Open");
            if (dialog != nullptr) {
                SendMessageW(GetDlgItem(dialog, 0x47C), WM_SETTEXT, 0,
                             reinterpret_cast<LPARAM>(text.c_str()));
                PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            }
            return dialog;
        };
        type(folder.Path() + L"\\");
        Sleep(500);
        WaitUntilGone(type(L"\"a.txt\" \"b.txt\""));
        answered = true;
    });
    app->Click(SourceSelectButton);
    EXPECT_TRUE(NBTest::PumpUntil([&] { return answered.load(); }, 30000));
    person.join();
    NBTest::PumpFor(100);
    EXPECT_EQ(app->Text(SourceBox), L"\"a.txt\" \"b.txt\"");
    EXPECT_EQ(app->Text(DestBox), L"");
}

} // namespace
