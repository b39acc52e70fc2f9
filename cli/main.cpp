#include <cstdio>
#include <string>
#include <vector>

#include "Nbnx.h"

#ifdef _WIN32
#include "LibraryLoading.h"
#include "TextConversion.h"

int wmain(int argc, wchar_t** argv) {
    NBUtility::RestrictLibrarySearch();
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(NBUtility::ToNarrow(argv[i]));
    }
    return NBCli::RunNbnx(arguments);
}
#else
int main(int argc, char** argv) {
    return NBCli::RunNbnx(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
