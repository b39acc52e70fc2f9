// What each outcome of a job leaves behind. Above all: a file the user had
// under the destination's name is byte for byte what it was, unless the job
// succeeded; and no plain copy is ever written for the check.

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include "Container.h"
#include "Jobs.h"
#include "Paths.h"
#include "TestSupport.h"

using namespace NBEngine;
using NBTest::Bytes;
using NBTest::Listing;

namespace {

const std::string pw = "correct horse";
const Bytes what_the_user_had = {'m', 'i', 'n', 'e'};
constexpr std::size_t plainLength = 3u << 20; // several chunks: a pass can be caught midway

bool HasIncompleteFile(const std::string& folder) {
    const auto names = Listing(folder);
    return std::any_of(names.begin(), names.end(), [](const std::string& name) {
        return name.find(".incomplete") != std::string::npos;
    });
}

// A folder with plain.txt, its container plain.nbnx (stored name plain.txt)
// and, in place of what the job would write, the user's own file.
class Outcomes : public testing::Test {
public:
    NBTest::TempDir dir;
    const std::string plain = dir.File("plain.txt");
    const std::string box = dir.File("plain.nbnx");
    const Bytes plainBytes = NBTest::PatternBytes(plainLength, 3);

    void MakeContainer() {
        NBTest::WriteBytes(plain, plainBytes);
        auto link = NBTest::Request(true, plain, box, pw);
        ASSERT_TRUE(NBTest::Run(link));
    }

    // Flips one byte of a file in place.
    static void Damage(const std::string& path, std::size_t offset) {
        Bytes bytes = NBTest::ReadBytes(path);
        bytes.at(offset) ^= 0x5A;
        NBTest::WriteBytes(path, bytes);
    }
};

struct FailureCase {
    const char* what;
    bool encrypt;
    // Prepares the folder and the request; answers the user's file.
    std::function<std::string(Outcomes&, NBTest::RecordingJobLink&)> arrange;
    std::string message; // empty: a stop, which says nothing
};

class ExistingDestination : public Outcomes, public testing::WithParamInterface<FailureCase> {};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.what;
}

TEST_P(ExistingDestination, SurvivesByteForByte) {
    const FailureCase& c = GetParam();
    MakeContainer();
    auto link = NBTest::Request(c.encrypt, c.encrypt ? plain : box, c.encrypt ? box : "", pw);
    const std::string users = c.arrange(*this, link);
    NBTest::WriteBytes(users, what_the_user_had);
    // A message may wait long for its reader: the job's file is gone by then.
    link.onReport = [this] { EXPECT_FALSE(HasIncompleteFile(dir.Path())); };

    EXPECT_FALSE(NBTest::Run(link));
    if (c.message.empty()) {
        EXPECT_TRUE(link.errors.empty());
    } else {
        ASSERT_EQ(link.errors.size(), 1u);
        EXPECT_EQ(link.errors[0].first, c.message);
    }
    EXPECT_EQ(NBTest::ReadBytes(users), what_the_user_had);
    EXPECT_FALSE(HasIncompleteFile(dir.Path()));
    EXPECT_TRUE(link.cleanupPaths.empty());
    if (link.stopAbove < 5) {
        EXPECT_EQ(link.progress, 5) << "the checksum pass itself stopped";
    }
}

// A stop pressed once progress passes the given value; the user's file is the output.
FailureCase StopAbove(const char* what, bool encrypt, int progress) {
    return {what, encrypt,
            [encrypt, progress](Outcomes& o, NBTest::RecordingJobLink& link) {
                link.stopAbove = progress;
                return encrypt ? o.box : o.plain;
            },
            ""};
}

INSTANTIATE_TEST_SUITE_P(
    EveryFailure, ExistingDestination,
    testing::Values(StopAbove("stop during the checksum of the source", true, 4),
                    StopAbove("stop while encrypting", true, 20),
                    StopAbove("stop during the check", true, 60),
                    StopAbove("stop while decrypting beside a newer file", false, 20),
                    FailureCase{"a container that fails its own check", true,
                                [](Outcomes& o, auto& link) {
                                    // Once the check has begun, its not yet read part changes.
                                    link.onProgress = [&o, done = false](int value) mutable {
                                        if (value > 55 && !done) {
                                            done = true;
                                            Outcomes::Damage(o.box + ".incomplete", plainLength);
                                        }
                                    };
                                    return o.box;
                                },
                                "Check failed."},
                    FailureCase{"a file that appears meanwhile, where it may not be replaced", true,
                                [](Outcomes& o, auto& link) {
                                    link.mayReplace = false;
                                    link.onProgress = [&o, done = false](int value) mutable {
                                        if (value > 20 && !done) {
                                            done = true;
                                            NBTest::WriteBytes(o.box, what_the_user_had);
                                        }
                                    };
                                    NBTest::Remove(o.box);
                                    return o.dir.File("unrelated");
                                },
                                "plain.nbnx: file not accessible"}),
    [](const testing::TestParamInfo<FailureCase>& info) {
        std::string name = info.param.what;
        for (char& c : name) {
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
        return name;
    });

TEST_F(Outcomes, TheCheckWritesNothingButTheIncompleteContainer) {
    NBTest::WriteBytes(plain, plainBytes);
    NBTest::WriteBytes(dir.File("temp"), what_the_user_had);
    const std::vector<std::string> allowed = {"plain.nbnx.incomplete", "plain.txt", "temp"};
    auto link = NBTest::Request(true, plain, box, pw);
    bool checkSeen = false;
    link.onProgress = [&](int value) {
        checkSeen = checkSeen || (value > 55 && value < 100);
        for (const std::string& name : Listing(dir.Path())) {
            if (value == 100) {
                break; // published by now
            }
            EXPECT_NE(std::find(allowed.begin(), allowed.end(), name), allowed.end())
                << name << " at " << value;
        }
    };
    ASSERT_TRUE(NBTest::Run(link));
    EXPECT_TRUE(checkSeen);
    EXPECT_EQ(Listing(dir.Path()), (std::vector<std::string>{"plain.nbnx", "plain.txt", "temp"}));
    EXPECT_EQ(NBTest::ReadBytes(dir.File("temp")), what_the_user_had);
}

#ifdef _WIN32

// Another program holds the destination open without letting it go: the job
// cannot put its output in place, says so, and leaves nothing of itself.
TEST_F(Outcomes, ADestinationHeldOpenElsewhereIsKeptAndTheJobSaysWhy) {
    MakeContainer();
    NBTest::WriteBytes(box, what_the_user_had);
    const std::wstring wide(box.begin(), box.end());
    HANDLE held = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    auto link = NBTest::Request(true, plain, box, pw);
    const bool done = NBTest::Run(link);
    CloseHandle(held);
    EXPECT_FALSE(done);
    ASSERT_EQ(link.errors.size(), 1u);
    EXPECT_EQ(link.errors[0].first, "plain.nbnx: file not accessible");
    EXPECT_FALSE(link.reasons[0].empty());
    EXPECT_EQ(NBTest::ReadBytes(box), what_the_user_had);
    EXPECT_FALSE(HasIncompleteFile(dir.Path()));
}

#else

TEST_F(Outcomes, PublishedFilesKeepTheirPermissionsAndIncompleteOnesAreTheOwnersAlone) {
    NBTest::WriteBytes(plain, plainBytes);
    ASSERT_EQ(chmod(plain.c_str(), 0640), 0);
    auto link = NBTest::Request(true, plain, box, pw);
    mode_t incompleteMode = 0;
    link.onProgress = [&](int value) {
        struct stat status;
        if (value == 10 && stat((box + ".incomplete").c_str(), &status) == 0) {
            incompleteMode = status.st_mode & 0777;
        }
    };
    ASSERT_TRUE(NBTest::Run(link));
    EXPECT_EQ(incompleteMode, 0600u);
    struct stat status;
    ASSERT_EQ(stat(box.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);

    ASSERT_EQ(chmod(box.c_str(), 0604), 0);
    NBTest::Remove(plain);
    auto back = NBTest::Request(false, box, "", pw);
    ASSERT_TRUE(NBTest::Run(back));
    ASSERT_EQ(stat(plain.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0604u);
}

#endif

} // namespace
