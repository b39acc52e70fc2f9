#pragma once
// A kit of containers as data files: each case is <stem>.nbnx with a sidecar
// <stem>.txt of "key: value" lines saying what decrypting it must give.

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace NBTest {

struct KitCase {
    std::string stem;
    std::map<std::string, std::string> fields;

    std::string Field(const std::string& key) const {
        const auto found = fields.find(key);
        return found == fields.end() ? std::string() : found->second;
    }
    std::string ContainerName() const { return stem + ".nbnx"; }
};

// Names a parameterised case after its stem.
void PrintTo(const KitCase& kit, std::ostream* out);

// Every case in folder, sorted by stem; read without throwing, as the kit is
// listed while the tests are being discovered.
std::vector<KitCase> KitIn(const std::string& folder);

} // namespace NBTest
