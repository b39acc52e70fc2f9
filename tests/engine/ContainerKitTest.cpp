// The container kit (tests/data/containers): each case's container is
// decrypted beside itself as its sidecar says, and must give that outcome,
// that message and, on success, those bytes under that name. A failure leaves
// nothing in the folder but a damaged output no file stood in the way of.

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Jobs.h"
#include "PlatformFiles.h"
#include "Sha256.h"
#include "TestSupport.h"
#include "TextConversion.h"

using NBEngine::TextField;
using NBTest::Bytes;
namespace fs = std::filesystem;

namespace {

const std::string kitFolder = std::string(NB_TEST_DATA_DIR) + "/containers/";

struct KitCase {
    std::string stem;
    std::map<std::string, std::string> fields;

    std::string Field(const std::string& key) const {
        const auto found = fields.find(key);
        return found == fields.end() ? std::string() : found->second;
    }
    std::string ContainerName() const { return stem + ".nbnx"; }
};

void PrintTo(const KitCase& kit, std::ostream* out) {
    *out << kit.stem;
}

// Read without throwing: the kit is listed while the tests are being
// discovered, and a broken sidecar is the HoldsEveryCase test's to report.
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

std::vector<KitCase> LoadKit() {
    std::vector<KitCase> kit;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::path(kitFolder), error)) {
        if (entry.path().extension() == ".txt") {
            kit.push_back(ReadSidecar(entry.path()));
        }
    }
    std::sort(kit.begin(), kit.end(),
              [](const KitCase& a, const KitCase& b) { return a.stem < b.stem; });
    return kit;
}

const std::vector<KitCase>& Kit() {
    static const std::vector<KitCase> kit = LoadKit();
    return kit;
}

// Names as the engine spells them (one byte per character), on every build.
std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::path(folder))) {
#ifdef _WIN32
        names.push_back(NBUtility::ToNarrow(entry.path().filename().wstring()));
#else
        names.push_back(entry.path().filename().string());
#endif
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

bool IsKnownOutcome(const std::string& expect) {
    for (const char* known : {"success", "wrong password", "damaged header", "not a container",
                              "incomplete", "extended", "stored name not valid", "crc mismatch"}) {
        if (expect == known) {
            return true;
        }
    }
    return false;
}

// A sidecar's name (UTF-8) as this platform's paths spell it.
std::string LocalName(const std::string& utf8) {
    std::u16string characters;
    std::string local;
    EXPECT_TRUE(NBUtility::Utf8ToUtf16(utf8, characters));
    EXPECT_TRUE(NBEngine::Platform::PathOfCharacters(characters, local)) << utf8;
    return local;
}

// The one message a failed case reports, and the field it puts the focus on.
std::pair<std::string, TextField> ExpectedError(const KitCase& kit) {
    const std::string expect = kit.Field("expect");
    if (expect == "crc mismatch") {
        return {LocalName(kit.Field("name")) +
                    ": CRC mismatch. The password is incorrect or the file may be corrupted.",
                TextField::None};
    }
    if (expect == "stored name not valid") {
        return {kit.ContainerName() + NBEngine::storedNameNotValid, TextField::Source};
    }
    if (expect == "incomplete" || expect == "extended") {
        return {kit.ContainerName() + ": The encrypted file is damaged or incomplete",
                TextField::Source};
    }
    return {kit.ContainerName() + ": The password is incorrect or not valid NBN Encrypted File",
            TextField::Source};
}

Bytes TextBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

TEST(ContainerKit, HoldsEveryCaseWithItsContainer) {
    ASSERT_GE(Kit().size(), 15u) << kitFolder;
    for (const KitCase& kit : Kit()) {
        SCOPED_TRACE(kit.stem);
        EXPECT_FALSE(kit.Field("what").empty());
        EXPECT_FALSE(kit.Field("password").empty());
        EXPECT_TRUE(IsKnownOutcome(kit.Field("expect"))) << kit.Field("expect");
        EXPECT_TRUE(fs::is_regular_file(fs::path(kitFolder + kit.ContainerName())));
        if (kit.Field("expect") == "success" || kit.Field("expect") == "crc mismatch") {
            EXPECT_FALSE(kit.Field("name").empty());
        }
        if (kit.Field("expect") == "success") {
            EXPECT_EQ(kit.Field("sha256").size(), 64u);
        }
    }
}

// The kit's hashes are only as good as this.
TEST(ContainerKit, Sha256GivesTheKnownDigests) {
    EXPECT_EQ(NBTest::Sha256Hex({}),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(NBTest::Sha256Hex(TextBytes("abc")),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the length no longer fits the first block.
    EXPECT_EQ(
        NBTest::Sha256Hex(TextBytes("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
        "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

class ContainerKitCase : public testing::TestWithParam<KitCase> {};

TEST_P(ContainerKitCase, DecryptsBesideItselfAsItsSidecarSays) {
    const KitCase& kit = GetParam();
    SCOPED_TRACE(kit.Field("what"));
    NBTest::TempDir dir;
    const std::string container = dir.File(kit.ContainerName());
    NBTest::WriteBytes(container, NBTest::ReadBytes(kitFolder + kit.ContainerName()));
    const std::string name = LocalName(kit.Field("name"));
    const std::string existing = kit.Field("existing");
    if (!existing.empty()) {
        NBTest::WriteBytes(dir.File(name), TextBytes(existing));
    }

    auto link = NBTest::Request(false, container, "", kit.Field("password"));
    const bool done = NBTest::Run(link);

    const std::string expect = kit.Field("expect");
    if (expect == "success") {
        EXPECT_TRUE(done);
        EXPECT_TRUE(link.errors.empty()) << link.errors.front().first;
        ASSERT_EQ(NamesIn(dir.Path()), Sorted({kit.ContainerName(), name}));
        EXPECT_EQ(NBTest::Sha256Hex(NBTest::ReadBytes(dir.File(name))), kit.Field("sha256"));
        return;
    }
    EXPECT_FALSE(done);
    ASSERT_EQ(link.errors.size(), 1u);
    EXPECT_EQ(link.errors[0], ExpectedError(kit));
    if (expect != "crc mismatch") {
        EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{kit.ContainerName()});
        return;
    }
    // Either the damaged output under the stored name, or the file that was
    // there, untouched.
    EXPECT_EQ(NamesIn(dir.Path()), Sorted({kit.ContainerName(), name}));
    if (existing.empty()) {
        const auto& listed = link.cleanupPaths;
        EXPECT_NE(std::find(listed.begin(), listed.end(), dir.File(name)), listed.end());
    } else {
        const Bytes kept = NBTest::ReadBytes(dir.File(name));
        EXPECT_EQ(std::string(kept.begin(), kept.end()), existing);
    }
}

std::string CaseName(const testing::TestParamInfo<KitCase>& info) {
    std::string name = info.param.stem;
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Kit, ContainerKitCase, testing::ValuesIn(Kit()), CaseName);

} // namespace
