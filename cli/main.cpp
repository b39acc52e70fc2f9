#include <cstdio>
#include <string>
#include <vector>

#include "Nbnx.h"

#ifdef _WIN32
#include "TextConversion.h"

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        const std::wstring wide = argv[i];
        if (!NBUtility::HasNarrowForm(wide)) {
            std::fprintf(stderr,
                         "nbnx: argument %d holds a character outside Latin-1, "
                         "which this program cannot handle\n",
                         i);
            return NBCli::exitUsage;
        }
        arguments.push_back(NBUtility::ToNarrow(wide));
    }
    return NBCli::RunNbnx(arguments);
}
#else
int main(int argc, char** argv) {
    return NBCli::RunNbnx(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
