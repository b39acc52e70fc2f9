#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "BodyCipher.h"
#include "Checksum.h"
#include "Container.h"
#include "Jobs.h"
#include "Paths.h"
#include "PlatformFiles.h"
#include "RecordingJobLink.h"
#include "TestFiles.h"

using namespace NBEngine;
using NBTest::Bytes;

namespace {

const std::string goodPassword = "correct horse";

std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class JobsTest : public testing::Test {
protected:
    NBTest::TempDir dir;
    NBTest::RecordingJobLink link;
    JobState state;
    Bytes plainContents = NBTest::PatternBytes(5000, 11);
    std::string plain = dir.File("plain.txt");
    std::string box = dir.File("plain.nbnx");

    void SetUp() override { NBTest::WriteBytes(plain, plainContents); }

    void Request(bool encrypt, const std::string& source, const std::string& destination,
                 const std::string& password, const std::string& confirmation) {
        link = NBTest::RecordingJobLink();
        link.encryptMode = encrypt;
        link.texts[TextField::Source] = source;
        link.texts[TextField::Destination] = destination;
        link.texts[TextField::Password] = password;
        link.texts[TextField::Confirmation] = confirmation;
        link.options[Option::Verify] = true;
        link.options[Option::SameFolder] = !encrypt && destination.empty();
        link.options[Option::SpecifyPath] = !encrypt && !destination.empty();
    }

    bool Encrypt(const std::string& source, const std::string& destination,
                 const std::string& password = goodPassword) {
        Request(true, source, destination, password, password);
        return RunJob(link, state);
    }

    bool Decrypt(const std::string& source, const std::string& destination,
                 const std::string& password = goodPassword) {
        Request(false, source, destination, password, "");
        return RunJob(link, state);
    }

    std::string OnlyError() const {
        EXPECT_EQ(link.errors.size(), 1u);
        return link.errors.empty() ? std::string() : link.errors[0].text;
    }

    // A container whose header says whatever the test wants.
    void WriteContainer(const std::string& path, const std::string& storedName) {
        JobState made;
        ASSERT_TRUE(DeriveKey(goodPassword, made.keyTable));
        made.plainName = storedName;
        made.checksumText = FoldChecksum(plain).text;
        made.plainSize = static_cast<std::int32_t>(plainContents.size());
        made.readOffset = 0;
        ASSERT_TRUE(WriteHeader(path, made));
        RootSequence generator;
        generator.Seed(ChecksumSeed(made.checksumText));
        ASSERT_TRUE(TransformFile(plain, path, generator, made, link));
    }
};

struct RequestCase {
    const char* what;
    bool encrypt;
    std::string source; // "@" stands for the test's plain file, "#" for its container
    std::string destination;
    std::string password;
    std::string confirmation;
    bool passwordShown;
    std::string message;
    TextField focus;
};

class RequestChecks : public JobsTest, public testing::WithParamInterface<RequestCase> {};

void PrintTo(const RequestCase& c, std::ostream* out) {
    *out << c.what;
}

TEST_P(RequestChecks, FirstFailingCheckReportsAndTouchesNothing) {
    const RequestCase& c = GetParam();
    ASSERT_TRUE(Encrypt(plain, box));
    const auto replace = [&](std::string text) {
        if (text == "@") {
            return plain;
        }
        if (text == "#") {
            return box;
        }
        if (text == "@upper") {
            return ToUpper(plain);
        }
        return text;
    };
    const std::vector<std::string> before = Listing(dir.Path());
    const Bytes boxBefore = NBTest::ReadBytes(box);

    Request(c.encrypt, replace(c.source), replace(c.destination), c.password, c.confirmation);
    link.passwordShown = c.passwordShown;
    EXPECT_FALSE(RunJob(link, state));
    ASSERT_EQ(link.errors.size(), 1u);
    EXPECT_EQ(link.errors[0].text, c.message);
    EXPECT_EQ(link.errors[0].focus, c.focus);
    EXPECT_EQ(Listing(dir.Path()), before);
    EXPECT_EQ(NBTest::ReadBytes(box), boxBefore);
    EXPECT_TRUE(link.cleanupPaths.empty());
}

const std::string longName = std::string(129, 'n') + ".txt";

INSTANTIATE_TEST_SUITE_P(
    Jobs, RequestChecks,
    testing::Values(
        RequestCase{"encrypt without source reports only that", true, "", "", "", "", false,
                    "The file to encrypt is required", TextField::Source},
        RequestCase{"decrypt without source", false, "  ", "", "", "", false,
                    "The file to decrypt is required", TextField::Source},
        RequestCase{"missing source in capitals", true, "c:\\x\\report.doc", "out.nbnx", "", "",
                    false, "REPORT.DOC: file not found or inaccessible", TextField::Source},
        RequestCase{"encrypt without destination", true, "@", "", goodPassword, goodPassword, false,
                    "The filename of the encrypted file is required", TextField::Destination},
        RequestCase{"no password", true, "@", "#", "", "", false, "Password required",
                    TextField::Password},
        RequestCase{"seven characters after trimming", true, "@", "#", "  1234567  ", "1234567",
                    false, "Password must be at least 8 characters", TextField::Password},
        RequestCase{"source and destination differ only in case", true, "@", "@upper", goodPassword,
                    goodPassword, false, "The source file and the destination file cannot match",
                    TextField::Destination},
        RequestCase{"no confirmation", true, "@", "#", goodPassword, " ", false,
                    "Confirmation password required", TextField::Confirmation},
        RequestCase{"confirmation differs", true, "@", "#", goodPassword, "correct horsE", false,
                    "Confirmation password does not match", TextField::Confirmation},
        RequestCase{"password whose key would never finish, encrypt", true, "@", "#", "hhhhhhhggg",
                    "hhhhhhhggg", false, "This password cannot be used, please choose another one",
                    TextField::Password},
        RequestCase{"password whose key would never finish, decrypt", false, "#", "", "hhhhhhhggg",
                    "", false, "This password cannot be used, please choose another one",
                    TextField::Password},
        RequestCase{"wrong password", false, "#", "", "wrong password", "", false,
                    "plain.nbnx: The password is incorrect or not valid NBN Encrypted File",
                    TextField::Source},
        RequestCase{"not a container", false, "@", "out.bin", goodPassword, "", false,
                    "plain.txt: The password is incorrect or not valid NBN Encrypted File",
                    TextField::Source},
        RequestCase{"password shown still needs eight characters", true, "@", "#", "short", "",
                    true, "Password must be at least 8 characters", TextField::Password}));

TEST_F(JobsTest, LongNameTooLargeAndEmptySourcesAreRefusedBeforeAnyWrite) {
    struct Case {
        std::string name;
        std::uint64_t size;
        std::string message;
    };
    const Case cases[] = {
        {longName, 10, longName + ": file name too long (at most 128 characters)"},
        {"huge.bin", std::uint64_t{1} << 31, "huge.bin: file too large (at most 2147483647 bytes)"},
        {"empty.txt", 0, "empty.txt: file not found or inaccessible"},
    };
    for (const Case& c : cases) {
        NBTest::TempDir folder;
        const std::string source = folder.File(c.name);
        NBTest::WriteText(source, "");
        std::filesystem::resize_file(source, c.size);
        Encrypt(source, folder.File("out.nbnx"));
        EXPECT_EQ(OnlyError(), c.message);
        EXPECT_EQ(link.errors[0].focus, TextField::Source);
        EXPECT_FALSE(NBTest::Exists(folder.File("out.nbnx"))) << c.name;
    }
}

TEST_F(JobsTest, EncryptWithCheckThenDecryptBesideTheContainer) {
    ASSERT_TRUE(Encrypt(plain, box)) << OnlyError();
    EXPECT_EQ(NBTest::ReadBytes(box).size(), headerSize + plainContents.size());
    ASSERT_GE(link.progressHistory.size(), 4u);
    EXPECT_EQ(std::vector<int>(link.progressHistory.begin(), link.progressHistory.begin() + 3),
              (std::vector<int>{0, 5, 10}));
    EXPECT_EQ(link.progressHistory.back(), 100);
    EXPECT_EQ(link.cleanupPaths, std::vector<std::string>{box});
    EXPECT_EQ(Listing(dir.Path()), (std::vector<std::string>{"plain.nbnx", "plain.txt"}));

    NBTest::Remove(plain);
    ASSERT_TRUE(Decrypt(box, "")) << OnlyError();
    EXPECT_EQ(NBTest::ReadBytes(plain), plainContents);
    EXPECT_EQ(link.progressHistory[1], 10);
}

TEST_F(JobsTest, DecryptToAPathOfItsOwnAfterEncryptingWithoutCheck) {
    Request(true, plain, box, goodPassword, goodPassword);
    link.options[Option::Verify] = false;
    ASSERT_TRUE(RunJob(link, state));
    ASSERT_TRUE(Decrypt(box, dir.File("copy.bin"))) << OnlyError();
    EXPECT_EQ(NBTest::ReadBytes(dir.File("copy.bin")), plainContents);
}

TEST_F(JobsTest, TemporaryFilesTakeTheFirstFreeNameAndLeaveOthersAlone) {
    std::filesystem::create_directory(dir.File("temp"));
    NBTest::WriteText(dir.File("temp_0"), "mine");
    const std::string temporary = CreateTemporaryFile(box);
    EXPECT_EQ(FileNameOf(temporary), "temp_1");
    EXPECT_TRUE(FileExists(temporary)) << "made in the container's folder";
    EXPECT_TRUE(Platform::RemoveFile(temporary));
    const std::string bare = CreateTemporaryFile("box.nbnx");
    EXPECT_EQ(bare.substr(0, 4), "temp") << "a bare name means the current folder";
    EXPECT_TRUE(Platform::RemoveFile(bare));

    ASSERT_TRUE(Encrypt(plain, box)) << OnlyError();
    EXPECT_EQ(Listing(dir.Path()),
              (std::vector<std::string>{"plain.nbnx", "plain.txt", "temp", "temp_0"}));
    EXPECT_EQ(NBTest::ReadBytes(dir.File("temp_0")), (Bytes{'m', 'i', 'n', 'e'}));
}

TEST_F(JobsTest, StopLeavesNothingButTheCleanupEntry) {
    const Bytes big = NBTest::PatternBytes(400000, 5);
    struct Case {
        const char* what;
        bool encrypt;
        int stopAbove;
    };
    for (const Case c : {Case{"encryption", true, 20}, Case{"decryption", false, 20},
                         Case{"the check after encryption", true, 60}}) {
        SCOPED_TRACE(c.what);
        NBTest::WriteBytes(plain, big);
        NBTest::Remove(box);
        if (!c.encrypt) {
            ASSERT_TRUE(Encrypt(plain, box));
            NBTest::Remove(plain);
        }
        c.encrypt ? Request(true, plain, box, goodPassword, goodPassword)
                  : Request(false, box, "", goodPassword, "");
        link.onProgress = [this, &c](int value) {
            if (value > c.stopAbove) {
                link.running = false;
            }
        };
        EXPECT_FALSE(RunJob(link, state));
        EXPECT_TRUE(link.errors.empty());
        EXPECT_EQ(link.cleanupPaths, std::vector<std::string>{c.encrypt ? box : plain});
        // The container stays until the cleanup list is served; never a temporary.
        EXPECT_EQ(Listing(dir.Path()),
                  c.encrypt && c.stopAbove > 50
                      ? (std::vector<std::string>{"plain.nbnx", "plain.txt"})
                      : std::vector<std::string>{c.encrypt ? "plain.txt" : "plain.nbnx"});
    }
}

TEST_F(JobsTest, DamagedBodyIsACrcMismatchAndTheOutputStays) {
    ASSERT_TRUE(Encrypt(plain, box));
    Bytes container = NBTest::ReadBytes(box);
    container[headerSize + 17] ^= 0x40;
    NBTest::WriteBytes(box, container);
    NBTest::Remove(plain);
    EXPECT_FALSE(Decrypt(box, ""));
    EXPECT_EQ(OnlyError(),
              "plain.txt: CRC mismatch. The password is incorrect or the file may be corrupted.");
    EXPECT_TRUE(NBTest::Exists(plain));
}

TEST_F(JobsTest, ContainerChangedDuringTheCheckFailsTheCheck) {
    NBTest::WriteBytes(plain, NBTest::PatternBytes(3 << 20, 9));
    Request(true, plain, box, goodPassword, goodPassword);
    bool damaged = false;
    link.onProgress = [&](int value) {
        if (value > 55 && !damaged) {
            Bytes container = NBTest::ReadBytes(box);
            container.back() ^= 0x01;
            NBTest::WriteBytes(box, container);
            damaged = true;
        }
    };
    EXPECT_FALSE(RunJob(link, state));
    EXPECT_EQ(OnlyError(), "Check failed.");
    EXPECT_EQ(Listing(dir.Path()), (std::vector<std::string>{"plain.nbnx", "plain.txt"}));
}

TEST_F(JobsTest, FoldersAndMissingFoldersAreReported) {
    std::filesystem::create_directory(dir.File("folder.nbnx"));
    std::filesystem::create_directory(dir.File("sub"));
    struct Case {
        bool encrypt;
        std::string source;
        std::string destination;
        std::string message;
        TextField focus;
    };
    const Case cases[] = {
        {true, plain, dir.File("folder.nbnx"), "folder.nbnx: file not accessible",
         TextField::Source},
        {true, plain, dir.File("missing") + "/out.nbnx", "Error during encryption.",
         TextField::None},
        {true, dir.File("sub"), box, "sub: file not found or inaccessible", TextField::Source},
        {false, dir.File("sub"), "",
         "sub: The password is incorrect or not valid NBN Encrypted File", TextField::Source},
    };
    for (const Case& c : cases) {
        c.encrypt ? Encrypt(c.source, c.destination) : Decrypt(c.source, c.destination);
        EXPECT_EQ(OnlyError(), c.message);
        EXPECT_EQ(link.errors[0].focus, c.focus) << c.message;
    }
}

TEST_F(JobsTest, SameFileUnderAnotherSpellingIsNeverDeleted) {
    ASSERT_TRUE(Encrypt(plain, box));
    const std::string spellings[] = {
        dir.Path() + "." + dir.Path().substr(dir.Path().size() - 1) + "plain.txt",
        ReplaceChar(plain, '/', '\\'),
    };
    for (const std::string& destination : spellings) {
        Encrypt(plain, destination);
        EXPECT_EQ(OnlyError(), "The source file and the destination file cannot match")
            << destination;
        EXPECT_EQ(link.errors[0].focus, TextField::Destination);
        EXPECT_EQ(NBTest::ReadBytes(plain), plainContents);
    }
    // A container whose stored name is its own name.
    const std::string sameName = dir.File("self.bin");
    WriteContainer(sameName, "self.bin");
    EXPECT_FALSE(Decrypt(sameName, ""));
    EXPECT_EQ(OnlyError(), "The source file and the destination file cannot match");
    EXPECT_TRUE(NBTest::Exists(sameName));
}

TEST_F(JobsTest, StoredNamesThatLeaveTheFolderAreRefused) {
    for (const std::string name :
         {"..\\evil.txt", "../evil.txt", "C:evil.txt", "a/b", ".", "..", "name.", "name ", "CON",
          "con.txt", "LPT1.log", "a\x01z", "a?b", "a*b", "a<b", "a|b", "a\"b"}) {
        NBTest::TempDir folder;
        WriteContainer(folder.File("box.nbnx"), name);
        EXPECT_FALSE(Decrypt(folder.File("box.nbnx"), "")) << name;
        EXPECT_EQ(OnlyError(), "box.nbnx: The file name stored in the encrypted file is not valid");
        EXPECT_EQ(Listing(folder.Path()), std::vector<std::string>{"box.nbnx"}) << name;
    }
}

TEST_F(JobsTest, FilesThatFoldToZerosAreStillProtected) {
    for (const Bytes& contents : {Bytes(4096, 0x00), Bytes(32, 0x5A)}) {
        NBTest::WriteBytes(plain, contents);
        ASSERT_TRUE(Encrypt(plain, box)) << OnlyError();
        const Bytes container = NBTest::ReadBytes(box);
        EXPECT_NE(Bytes(container.begin() + headerSize, container.end()), contents);
        NBTest::Remove(plain);
        ASSERT_TRUE(Decrypt(box, "")) << OnlyError();
        EXPECT_EQ(NBTest::ReadBytes(plain), contents);
    }
}

} // namespace
