// The program's entry: the main window until it is closed. A path on the
// command line (from Explorer, "Open with" or a drop on the icon) is opened;
// started by COM for an Explorer verb, the window takes the verb's drop.

#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "FormMain.h"
#include "LibraryLoading.h"
#include "ProgramInfo.h"
#include "ShellVerb.h"

#include <shellapi.h>

namespace {
// The arguments after the program's own name, quotes and all of Unicode
// honoured.
std::vector<std::wstring> CommandLinePaths() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) {
        return {};
    }
    std::vector<std::wstring> paths(arguments + (count > 0 ? 1 : 0), arguments + count);
    LocalFree(arguments);
    return paths;
}
} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    NBUtility::RestrictLibrarySearch();
    const std::vector<std::wstring> paths = CommandLinePaths();
    std::unique_ptr<MyGame::FormMain> form(new (std::nothrow)
                                               MyGame::FormMain(instance, MyGame::MainCaption()));
    if (!form) {
        return 0;
    }
    std::optional<MyGame::ShellVerbServer> verbServer;
    if (MyGame::StartedForEmbedding(paths)) {
        verbServer.emplace(*form);
    } else {
        form->OpenGivenPaths(paths);
    }
    NBUtility::RunMessageLoop(form.get());
    verbServer.reset();
    form.reset();
    return 0;
}
