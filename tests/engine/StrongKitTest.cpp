// The strong container kit (tests/data/strong): each case's container is
// decrypted beside itself by a real job and must give what its sidecar says:
// the stored name and bytes, or a refusal of that kind with nothing published
// and no temporary file left.

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

using NBEngine::ReadFault;
namespace fs = std::filesystem;

namespace {

const std::string kitFolder = std::string(NB_TEST_DATA_DIR) + "/strong/";

using NBTest::KitCase;

std::vector<KitCase> Kit() {
    return NBTest::KitIn(kitFolder);
}

const std::map<std::string, ReadFault> refusals = {
    {"wrong password", ReadFault::WrongPassword}, {"damaged", ReadFault::Damaged},
    {"unsupported", ReadFault::Unsupported},      {"not a container", ReadFault::NotContainer},
    {"stored name not valid", ReadFault::None}, // read whole, but no name to use
};

TEST(StrongKit, HoldsEveryOutcome) {
    std::map<std::string, int> outcomes;
    for (const KitCase& kit : Kit()) {
        ++outcomes[kit.Field("expect")];
    }
    EXPECT_GE(outcomes["success"], 8) << kitFolder;
    for (const auto& refusal : refusals) {
        EXPECT_GE(outcomes[refusal.first], 1) << refusal.first;
    }
}

class StrongKitCase : public testing::TestWithParam<KitCase> {};

TEST_P(StrongKitCase, DecryptsBesideItselfAsItsSidecarSays) {
    const KitCase& kit = GetParam();
    SCOPED_TRACE(kit.Field("what"));
    NBTest::TempDir dir;
    const std::string container = dir.File(kit.ContainerName());
    NBTest::WriteBytes(container, NBTest::ReadBytes(kitFolder + kit.ContainerName()));

    auto link = NBTest::Request(false, container, "", kit.Field("password"));
    const bool done = NBTest::Run(link);

    const std::string expect = kit.Field("expect");
    if (expect == "success") {
        EXPECT_TRUE(done);
        ASSERT_TRUE(link.errors.empty()) << link.errors.front().first;
        const std::string name = kit.Field("name");
        std::vector<std::string> listed = {kit.ContainerName(), name};
        std::sort(listed.begin(), listed.end());
        ASSERT_EQ(NBTest::Listing(dir.Path()), listed);
        EXPECT_EQ(NBTest::Sha256Hex(NBTest::ReadBytes(dir.File(name))), kit.Field("sha256"));
        return;
    }
    const auto refusal = refusals.find(expect);
    ASSERT_NE(refusal, refusals.end()) << "unknown outcome " << expect;
    EXPECT_FALSE(done);
    ASSERT_EQ(link.errors.size(), 1u);
    EXPECT_EQ(link.faults[0], refusal->second) << link.errors[0].first;
    EXPECT_EQ(link.errors[0].second, NBEngine::TextField::Source);
    if (refusal->second == ReadFault::None) {
        EXPECT_EQ(link.errors[0].first, kit.ContainerName() + NBEngine::storedNameNotValid);
    }
    EXPECT_TRUE(link.cleanupPaths.empty());
    EXPECT_EQ(NBTest::Listing(dir.Path()), std::vector<std::string>{kit.ContainerName()});
}

std::string CaseName(const testing::TestParamInfo<KitCase>& info) {
    std::string name = info.param.stem;
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Kit, StrongKitCase, testing::ValuesIn(Kit()), CaseName);

} // namespace
