// Whole jobs on the strong container: round trips, a source that changes
// while it is read, a container that changes before it is checked, stops,
// one key derivation per set, and what is no strong container at all.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Jobs.h"
#include "StrongKeys.h"
#include "TestSupport.h"

using NBEngine::Option;
using NBEngine::ReadFault;
using NBTest::Bytes;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t saltOffset = 64;
constexpr std::size_t fileNonceOffset = 96;

void SetCostVariable(const char* value) {
#ifdef _WIN32
    _putenv_s("NB_STRONG_COST", value ? value : "");
#else
    if (value) {
        setenv("NB_STRONG_COST", value, 1);
    } else {
        unsetenv("NB_STRONG_COST");
    }
#endif
}

// The cheapest cost the reader takes, so that each job derives in
// milliseconds; a test that wants the default clears it.
class StrongJobs : public testing::Test {
protected:
    void SetUp() override { SetCostVariable("8192,1,1"); }
    void TearDown() override { SetCostVariable(nullptr); }

    NBTest::RecordingJobLink Encryption(const std::string& source, const std::string& container,
                                        bool check = true) {
        auto link = NBTest::Request(true, source, container, password);
        link.options[Option::Strong] = true;
        link.options[Option::Verify] = check;
        return link;
    }
    NBTest::RecordingJobLink Decryption(const std::string& container) {
        return NBTest::Request(false, container, "", password);
    }
    // Runs the link with state; every refusal is kept for the assertions.
    static bool Run(NBTest::RecordingJobLink& link, NBEngine::JobState& state) {
        return NBEngine::RunJob(link, state);
    }

    NBTest::TempDir dir;
    std::string password = "strong-jobs-password";
};

Bytes Slice(const Bytes& bytes, std::size_t offset, std::size_t size) {
    return Bytes(bytes.begin() + offset, bytes.begin() + offset + size);
}

TEST_F(StrongJobs, RoundTripsWithAndWithoutCheck) {
    for (const std::size_t size : {0u, 1u, 65536u, 65537u, 300u * 1024 + 7}) {
        for (const bool check : {true, false}) {
            SCOPED_TRACE(std::to_string(size) + (check ? " bytes, checked" : " bytes"));
            NBTest::TempDir round;
            const Bytes plain = NBTest::PatternBytes(size, static_cast<unsigned>(size));
            NBTest::WriteBytes(round.File("plain.bin"), plain);
            auto encryption = Encryption(round.File("plain.bin"), round.File("sealed.nbnx"), check);
            ASSERT_TRUE(NBTest::Run(encryption)) << encryption.errors.front().first;
            const Bytes sealed = NBTest::ReadBytes(round.File("sealed.nbnx"));
            EXPECT_EQ(sealed.size(), NBEngine::StrongContainerSize(size));
            EXPECT_EQ(NBEngine::ContainerVersionOf(round.File("sealed.nbnx")),
                      NBEngine::ContainerVersion::Version2);

            NBTest::Remove(round.File("plain.bin"));
            auto decryption = Decryption(round.File("sealed.nbnx"));
            ASSERT_TRUE(NBTest::Run(decryption)) << decryption.errors.front().first;
            EXPECT_EQ(NBTest::ReadBytes(round.File("plain.bin")), plain);
            EXPECT_EQ(NBTest::Listing(round.Path()),
                      (std::vector<std::string>{"plain.bin", "sealed.nbnx"}));
        }
    }
}

// Three batches of the writer, so that the source changes between two reads.
constexpr std::size_t changingSize = 3 * 1024 * 1024 + 5;

TEST_F(StrongJobs, SourceThatChangesWhileReadPublishesNothing) {
    struct Case {
        const char* what;
        bool grows;
        bool check;
    };
    const Case cases[] = {
        {"grows", true, true},
        {"grows, no check", true, false},
        {"shrinks", false, true},
        {"shrinks, no check", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NBTest::TempDir changing;
        const std::string source = changing.File("growing.bin");
        NBTest::WriteBytes(source, NBTest::PatternBytes(changingSize));
        auto link = Encryption(source, changing.File("growing.nbnx"), c.check);
        bool changed = false;
        link.onProgress = [&](int value) {
            if (value > 10 && !changed) {
                changed = true;
                if (c.grows) {
                    NBTest::AppendBytes(source, Bytes(100, 7));
                } else {
                    fs::resize_file(fs::u8path(source), changingSize / 2);
                }
            }
        };
        EXPECT_FALSE(NBTest::Run(link));
        EXPECT_TRUE(changed);
        ASSERT_EQ(link.errors.size(), 1u);
        EXPECT_EQ(link.errors[0],
                  std::make_pair(std::string("growing.bin: The file changed while it was read"),
                                 NBEngine::TextField::Source));
        EXPECT_EQ(NBTest::Listing(changing.Path()), std::vector<std::string>{"growing.bin"});
    }
}

// In place: the job still has the file open.
void FlipByteNearTheEnd(const std::string& path) {
    std::fstream file(fs::u8path(path), std::ios::in | std::ios::out | std::ios::binary);
    file.seekg(-20, std::ios::end);
    const char byte = static_cast<char>(file.get() ^ 1);
    file.seekp(-20, std::ios::end);
    file.put(byte);
    ASSERT_TRUE(file.good()) << path;
}

// The check reads the container back from the disk, not from memory.
TEST_F(StrongJobs, CheckFindsAContainerChangedAfterItWasWritten) {
    const std::string source = dir.File("plain.bin");
    NBTest::WriteBytes(source, NBTest::PatternBytes(changingSize));
    auto link = Encryption(source, dir.File("plain.nbnx"));
    bool changed = false;
    // Writing ends at 55; the check's first batch is past it, the last
    // chunk still to come.
    link.onProgress = [&](int value) {
        if (value > 55 && !changed) {
            changed = true;
            FlipByteNearTheEnd(dir.File("plain.nbnx.incomplete"));
        }
    };
    EXPECT_FALSE(NBTest::Run(link));
    EXPECT_TRUE(changed);
    ASSERT_EQ(link.errors.size(), 1u);
    EXPECT_EQ(link.errors[0].first, "Check failed.");
    EXPECT_EQ(NBTest::Listing(dir.Path()), std::vector<std::string>{"plain.bin"});
}

TEST_F(StrongJobs, StopDuringTheBodyLeavesNothing) {
    NBTest::WriteBytes(dir.File("plain.bin"), NBTest::PatternBytes(changingSize));
    auto encryption = Encryption(dir.File("plain.bin"), dir.File("plain.nbnx"));
    ASSERT_TRUE(NBTest::Run(encryption));

    auto stoppedEncryption = Encryption(dir.File("plain.bin"), dir.File("again.nbnx"), false);
    auto stoppedDecryption =
        NBTest::Request(false, dir.File("plain.nbnx"), dir.File("restored.bin"), password);
    for (auto* link : {&stoppedEncryption, &stoppedDecryption}) {
        link->stopAbove = 20;
        EXPECT_FALSE(NBTest::Run(*link));
        EXPECT_TRUE(link->errors.empty());
        EXPECT_GT(link->progress, 20) << "stopped before the body";
        EXPECT_LT(link->progress, 100);
    }
    EXPECT_EQ(NBTest::Listing(dir.Path()), (std::vector<std::string>{"plain.bin", "plain.nbnx"}));
}

TEST_F(StrongJobs, ASetDerivesOncePerSaltAndSharesItsSalt) {
    NBEngine::StrongKeyCache writing;
    NBEngine::JobState state;
    state.strongKeys = &writing;
    std::vector<Bytes> containers;
    for (const std::string name : {"one", "two"}) {
        NBTest::WriteBytes(dir.File(name + ".txt"), NBTest::PatternBytes(1000, name.size()));
        auto link = Encryption(dir.File(name + ".txt"), dir.File(name + ".nbnx"));
        ASSERT_TRUE(Run(link, state)) << link.errors.front().first;
        containers.push_back(NBTest::ReadBytes(dir.File(name + ".nbnx")));
    }
    EXPECT_EQ(writing.Derivations(), 1);
    EXPECT_EQ(Slice(containers[0], saltOffset, 32), Slice(containers[1], saltOffset, 32));
    EXPECT_NE(Slice(containers[0], fileNonceOffset, 32), Slice(containers[1], fileNonceOffset, 32));

    // A third container from a job of its own has a salt of its own.
    NBTest::WriteBytes(dir.File("three.txt"), NBTest::PatternBytes(10));
    auto alone = Encryption(dir.File("three.txt"), dir.File("three.nbnx"));
    ASSERT_TRUE(NBTest::Run(alone));
    EXPECT_NE(Slice(NBTest::ReadBytes(dir.File("three.nbnx")), saltOffset, 32),
              Slice(containers[0], saltOffset, 32));

    struct Case {
        std::vector<std::string> containers;
        int derivations;
    };
    const Case cases[] = {{{"one", "two"}, 1}, {{"one", "three"}, 2}};
    for (const Case& c : cases) {
        NBTest::TempDir out;
        NBEngine::StrongKeyCache reading;
        NBEngine::JobState decryptions;
        decryptions.strongKeys = &reading;
        for (const std::string& name : c.containers) {
            auto link =
                NBTest::Request(false, dir.File(name + ".nbnx"), out.File(name + ".txt"), password);
            ASSERT_TRUE(Run(link, decryptions)) << link.errors.front().first;
        }
        EXPECT_EQ(reading.Derivations(), c.derivations) << c.containers[1];
    }
}

TEST_F(StrongJobs, WhatIsNoStrongContainerIsRefusedByKind) {
    NBTest::WriteBytes(dir.File("plain.bin"), NBTest::PatternBytes(100));
    auto version1 = NBTest::Request(true, dir.File("plain.bin"), dir.File("old.nbnx"), "password");
    ASSERT_TRUE(NBTest::Run(version1));
    NBTest::WriteBytes(dir.File("random.nbnx"), NBTest::PatternBytes(5000, 3));
    fs::create_directory(fs::u8path(dir.File("folder.nbnx")));

    struct Case {
        const char* container;
        std::string password;
        ReadFault fault;
    };
    const Case cases[] = {
        // No version 1 container was ever written with more than 15 characters.
        {"old.nbnx", "password-sixteen", ReadFault::WrongPassword},
        {"random.nbnx", password, ReadFault::NotContainer},
        {"folder.nbnx", password, ReadFault::NotContainer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.container);
        NBTest::TempDir out;
        auto link = NBTest::Request(false, dir.File(c.container), out.File("out.bin"), c.password);
        EXPECT_FALSE(NBTest::Run(link));
        ASSERT_EQ(link.faults.size(), 1u);
        EXPECT_EQ(link.faults[0], c.fault) << link.errors[0].first;
        EXPECT_TRUE(NBTest::Listing(out.Path()).empty());
    }
}

TEST_F(StrongJobs, DefaultCostRoundTrip) {
    SetCostVariable(nullptr);
    const Bytes plain = {'t', 'i', 'n', 'y'};
    NBTest::WriteBytes(dir.File("tiny.txt"), plain);
    auto encryption = Encryption(dir.File("tiny.txt"), dir.File("tiny.nbnx"));
    ASSERT_TRUE(NBTest::Run(encryption)) << encryption.errors.front().first;
    const Bytes sealed = NBTest::ReadBytes(dir.File("tiny.nbnx"));
    // 262,144 KiB, 3 passes, 4 lanes, little-endian from byte 48.
    EXPECT_EQ(Slice(sealed, 48, 12), (Bytes{0, 0, 4, 0, 3, 0, 0, 0, 4, 0, 0, 0}));
    NBTest::Remove(dir.File("tiny.txt"));
    auto decryption = Decryption(dir.File("tiny.nbnx"));
    ASSERT_TRUE(NBTest::Run(decryption)) << decryption.errors.front().first;
    EXPECT_EQ(NBTest::ReadBytes(dir.File("tiny.txt")), plain);
}

} // namespace
