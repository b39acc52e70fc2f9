#pragma once
// Explorer hands a whole selection to one program only through COM: for the
// Encrypt and Decrypt verbs it starts the program with -Embedding, creates
// the verb's drop target and drops the selected files on it. The program
// opens them as one set, as if they were given on its command line.

#include <windows.h>

#include <objbase.h>

#include <string>
#include <vector>

namespace MyGame {

class FormMain;

// The verbs' class. The installer registers it by this text
// (cmake/ExplorerRegistration.nsh reads it from here).
constexpr wchar_t shellVerbClassText[] = L"{BB0E2CCE-4087-41F6-A648-53CC9AC7F14C}";

// Whether COM started the program to serve a class: "-Embedding" or
// "/Embedding" among the arguments.
bool StartedForEmbedding(const std::vector<std::wstring>& arguments);

// COM for this thread, single-threaded, for as long as the owner lives.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    HRESULT Status() const { return status_; }

private:
    HRESULT status_;
};

// Serves the verbs' class to one caller while it lives, on this thread's
// message loop; each drop opens its files in the form. It ends before the
// form: its objects point at it, and COM lets them go when it ends.
class ShellVerbServer {
public:
    explicit ShellVerbServer(FormMain& form);
    ~ShellVerbServer();
    ShellVerbServer(const ShellVerbServer&) = delete;
    ShellVerbServer& operator=(const ShellVerbServer&) = delete;

    // S_OK while the class is served, otherwise why it is not.
    HRESULT Status() const { return status_; }

private:
    ComApartment apartment_;
    IClassFactory* factory_ = nullptr;
    DWORD registration_ = 0;
    HRESULT status_ = E_FAIL;
};

} // namespace MyGame
