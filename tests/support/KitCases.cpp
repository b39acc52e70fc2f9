#include "KitCases.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace NBTest {

namespace {
KitCase ReadSidecar(const fs::path& path) {
    KitCase kit{path.stem().string(), {}};
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::size_t colon = line.find(": ");
        if (colon != std::string::npos) {
            kit.fields[line.substr(0, colon)] = line.substr(colon + 2);
        }
    }
    return kit;
}
} // namespace

void PrintTo(const KitCase& kit, std::ostream* out) {
    *out << kit.stem;
}

std::vector<KitCase> KitIn(const std::string& folder) {
    std::vector<KitCase> kit;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::path(folder), error)) {
        if (entry.path().extension() == ".txt") {
            kit.push_back(ReadSidecar(entry.path()));
        }
    }
    std::sort(kit.begin(), kit.end(),
              [](const KitCase& a, const KitCase& b) { return a.stem < b.stem; });
    return kit;
}

} // namespace NBTest
