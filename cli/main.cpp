#include <cstdio>
#include <string>
#include <vector>

#include "Nbnx.h"

#ifdef _WIN32
#include "LibraryLoading.h"
#include "TextConversion.h"

// nbnx expands * and ? in its file operands itself (Wildcards.cpp), and only
// there: the C runtime must leave every argument as typed.
extern "C" {
int _dowildcard = 0;
}

int wmain(int argc, wchar_t** argv) {
    NBUtility::RestrictLibrarySearch();
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(NBUtility::ToNarrow(argv[i]));
    }
    return NBCli::RunNbnx(arguments);
}
#else
#include <csignal>

int main(int argc, char** argv) {
    // A reader that goes away (nbnx ... | head) makes a write fail, which
    // nbnx reports; it must not end nbnx midway.
    std::signal(SIGPIPE, SIG_IGN);
    return NBCli::RunNbnx(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
