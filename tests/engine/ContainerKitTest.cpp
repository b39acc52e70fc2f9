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
#include "KitCases.h"
#include "Sha256.h"
#include "TestSupport.h"

using NBEngine::TextField;
using NBTest::Bytes;
namespace fs = std::filesystem;

namespace {

const std::string kitFolder = std::string(NB_TEST_DATA_DIR) + "/containers/";

using NBTest::KitCase;

std::vector<KitCase> Kit() {
    return NBTest::KitIn(kitFolder);
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

// The one message a failed case reports, and the field it puts the focus on.
std::pair<std::string, TextField> ExpectedError(const KitCase& kit) {
    const std::string header = ": The password is incorrect or not valid NBN Encrypted File";
    const std::string damaged = ": The encrypted file is damaged or incomplete";
    const std::map<std::string, std::string> tails = {
        {"wrong password", header},  {"damaged header", header},
        {"not a container", header}, {"incomplete", damaged},
        {"extended", damaged},       {"stored name not valid", NBEngine::storedNameNotValid}};
    const std::string expect = kit.Field("expect");
    if (expect == "crc mismatch") {
        return {kit.Field("name") +
                    ": CRC mismatch. The password is incorrect or the file may be corrupted.",
                TextField::None};
    }
    const auto tail = tails.find(expect);
    if (tail == tails.end()) {
        ADD_FAILURE() << "unknown outcome " << expect;
        return {};
    }
    return {kit.ContainerName() + tail->second, TextField::Source};
}

TEST(ContainerKit, HoldsAtLeastFifteenCases) {
    EXPECT_GE(Kit().size(), 15u) << kitFolder;
}

class ContainerKitCase : public testing::TestWithParam<KitCase> {};

TEST_P(ContainerKitCase, DecryptsBesideItselfAsItsSidecarSays) {
    const KitCase& kit = GetParam();
    SCOPED_TRACE(kit.Field("what"));
    NBTest::TempDir dir;
    const std::string container = dir.File(kit.ContainerName());
    NBTest::WriteBytes(container, NBTest::ReadBytes(kitFolder + kit.ContainerName()));
    const std::string name = kit.Field("name");
    const std::string existing = kit.Field("existing");
    if (!existing.empty()) {
        NBTest::WriteBytes(dir.File(name), Bytes(existing.begin(), existing.end()));
    }

    auto link = NBTest::Request(false, container, "", kit.Field("password"));
    const bool done = NBTest::Run(link);

    const std::string expect = kit.Field("expect");
    if (expect == "success") {
        EXPECT_TRUE(done);
        EXPECT_TRUE(link.errors.empty()) << link.errors.front().first;
        ASSERT_EQ(NBTest::Listing(dir.Path()), Sorted({kit.ContainerName(), name}));
        EXPECT_EQ(NBTest::Sha256Hex(NBTest::ReadBytes(dir.File(name))), kit.Field("sha256"));
        return;
    }
    EXPECT_FALSE(done);
    ASSERT_EQ(link.errors.size(), 1u);
    EXPECT_EQ(link.errors[0], ExpectedError(kit));
    if (expect != "crc mismatch") {
        EXPECT_EQ(NBTest::Listing(dir.Path()), std::vector<std::string>{kit.ContainerName()});
        return;
    }
    // Either the damaged output under the stored name, or the file that was
    // there, untouched.
    EXPECT_EQ(NBTest::Listing(dir.Path()), Sorted({kit.ContainerName(), name}));
    if (existing.empty()) {
        const auto& listed = link.cleanupPaths;
        EXPECT_NE(std::find(listed.begin(), listed.end(), dir.File(name)), listed.end());
    } else {
        EXPECT_EQ(NBTest::ReadBytes(dir.File(name)), Bytes(existing.begin(), existing.end()));
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
