// The program's entry: the main window until it is closed. No options.

#include <memory>
#include <new>

#include "FormMain.h"
#include "LibraryLoading.h"
#include "ProgramInfo.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    NBUtility::RestrictLibrarySearch();
    std::unique_ptr<MyGame::FormMain> form(new (std::nothrow)
                                               MyGame::FormMain(instance, MyGame::MainCaption()));
    if (!form) {
        return 0;
    }
    NBUtility::RunMessageLoop(form.get());
    form.reset();
    return 0;
}
