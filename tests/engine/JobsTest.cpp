// Jobs as the window asks for them: each refusal's message and focus, and
// what a refusal or a stop leaves behind. Round trips and a damaged body are
// the golden and the end-to-end tests' part.

#include <algorithm>
#include <filesystem>
#include <tuple>

#include <gtest/gtest.h>

#include "Container.h"
#include "Jobs.h"
#include "Paths.h"
#include "TestSupport.h"

using namespace NBEngine;
using NBTest::Bytes;

namespace {

const std::string goodPassword = "correct horse";
const std::string longName = std::string(129, 'n') + ".txt";

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
    int stopAbove = 100; // the progress value after which a stop is pressed
    const Bytes contents = NBTest::PatternBytes(5000, 11);
    const std::string plain = dir.File("plain.txt");
    const std::string box = dir.File("plain.nbnx");

    void SetUp() override { NBTest::WriteBytes(plain, contents); }

    bool Run(bool encrypt, const std::string& source, const std::string& destination,
             const std::string& password = goodPassword, const char* confirmation = nullptr) {
        link = NBTest::Request(encrypt, source, destination, password);
        if (confirmation != nullptr) {
            link.texts[TextField::Confirmation] = confirmation;
        }
        link.onProgress = [this](int value) { link.running = link.running && value <= stopAbove; };
        JobState state;
        return RunJob(link, state);
    }

    // A container header storing whatever name the test wants.
    void WriteHeaderNaming(const std::string& path, const std::string& storedName) {
        JobState made;
        ASSERT_TRUE(DeriveKey(goodPassword, made.keyTable));
        made.plainName = storedName;
        made.checksumText = std::string(32, '0');
        made.plainSize = 1;
        ASSERT_TRUE(WriteHeader(path, made));
    }
};

struct RequestCase {
    bool encrypt;
    std::string source; // "~name": that name in the test's folder
    std::string destination;
    std::string password;
    std::string message;
    TextField focus;
    const char* confirmation = nullptr; // the password unless given
};

TEST_F(JobsTest, FirstFailingCheckReportsWithItsFocusAndTouchesNothing) {
    ASSERT_TRUE(Run(true, plain, box));
    std::filesystem::create_directory(dir.File("folder.nbnx"));
    NBTest::WriteBytes(dir.File("empty.txt"), {});
    NBTest::WriteBytes(dir.File(longName), {'x'});
    NBTest::WriteBytes(dir.File("huge.bin"), {});
    std::filesystem::resize_file(dir.File("huge.bin"), std::uint64_t{1} << 31); // sparse
    const std::string same = "The source file and the destination file cannot match";
    const std::string notContainer = ": The password is incorrect or not valid NBN Encrypted File";
    const std::string pw = goodPassword;
    const auto sourceField = TextField::Source;
    const RequestCase cases[] = {
        {true, "", "", "", "The file to encrypt is required", sourceField},
        {true, "~plain.txt", "", pw, "The filename of the encrypted file is required",
         TextField::Destination},
        {true, "~plain.txt", "~b", "", "Password required", TextField::Password},
        {true, "~plain.txt", "~b", "  1234567  ", "Password must be at least 8 characters",
         TextField::Password},
        {true, "~plain.txt", "~PLAIN.TXT", pw, same, TextField::Destination},
        {true, "~plain.txt", ReplaceChar(plain, '/', '\\'), pw, same, TextField::Destination},
        {true, "~plain.txt", "~b", pw, "Confirmation password required", TextField::Confirmation,
         " "},
        {true, "~plain.txt", "~b", pw, "Confirmation password does not match",
         TextField::Confirmation, "correct horsE"},
        {true, "~plain.txt", "~b", "hhhhhhhggg",
         "This password cannot be used, please choose another one", TextField::Password},
        {false, "~plain.nbnx", "", "wrong password", "plain.nbnx" + notContainer, sourceField},
        {false, "~plain.txt", "~b", pw, "plain.txt" + notContainer, sourceField},
        {false, "~folder.nbnx", "", pw, "folder.nbnx" + notContainer, sourceField},
        {true, "~plain.txt", "~folder.nbnx", pw, "folder.nbnx: file not accessible", sourceField},
        {true, "~folder.nbnx", "~b", pw, "folder.nbnx: file not found or inaccessible",
         sourceField},
        {true, "~empty.txt", "~b", pw, "empty.txt: file not found or inaccessible", sourceField},
        {true, "~" + longName, "~b", pw, longName + ": file name too long (at most 128 characters)",
         sourceField},
        {true, "~huge.bin", "~b", pw, "huge.bin: file too large (at most 2147483647 bytes)",
         sourceField},
        {true, "~plain.txt", "~missing/b", pw, "Error during encryption.", TextField::None},
    };
    const auto place = [&](const std::string& text) {
        return text.empty() || text[0] != '~' ? text : dir.File(text.substr(1));
    };
    const std::vector<std::string> before = Listing(dir.Path());
    const Bytes boxBefore = NBTest::ReadBytes(box);
    for (const RequestCase& c : cases) {
        SCOPED_TRACE(c.message + " / " + c.destination);
        EXPECT_FALSE(
            Run(c.encrypt, place(c.source), place(c.destination), c.password, c.confirmation));
        ASSERT_EQ(link.errors.size(), 1u);
        EXPECT_EQ(link.errors[0].text, c.message);
        EXPECT_EQ(link.errors[0].focus, c.focus);
        EXPECT_EQ(Listing(dir.Path()), before);
        EXPECT_EQ(NBTest::ReadBytes(box), boxBefore);
        EXPECT_EQ(NBTest::ReadBytes(plain), contents);
    }
}

TEST_F(JobsTest, StoredNamesThatLeaveTheFolderOrNameTheContainerAreRefused) {
    for (const std::string name :
         {"..\\evil.txt", "../evil.txt", "C:evil.txt", "a/b", ".", "..", "name.", "name ", "CON",
          "con.txt", "LPT1.log", "a\x01z", "a?b", "a*b", "a<b", "a|b", "a\"b", "self.bin"}) {
        SCOPED_TRACE(name);
        NBTest::TempDir folder;
        const std::string container = folder.File(name == "self.bin" ? name : "box.nbnx");
        WriteHeaderNaming(container, name);
        EXPECT_FALSE(Run(false, container, ""));
        ASSERT_EQ(link.errors.size(), 1u);
        EXPECT_EQ(link.errors[0].text,
                  name == "self.bin"
                      ? "The source file and the destination file cannot match"
                      : "box.nbnx: The file name stored in the encrypted file is not valid");
        EXPECT_EQ(Listing(folder.Path()), std::vector<std::string>{FileNameOf(container)});
        EXPECT_EQ(NBTest::ReadBytes(container).size(), std::size_t{headerSize});
    }
}

TEST_F(JobsTest, StopRemovesWhatWasWrittenAndListsItForCleanUp) {
    for (const auto& [what, encrypt, stop] :
         {std::tuple{"encryption", true, 20}, std::tuple{"decryption", false, 20},
          std::tuple{"the check after encryption", true, 60}}) {
        SCOPED_TRACE(what);
        NBTest::WriteBytes(plain, NBTest::PatternBytes(400000, 5));
        NBTest::Remove(box);
        stopAbove = 100;
        if (!encrypt) {
            ASSERT_TRUE(Run(true, plain, box));
            NBTest::Remove(plain);
        }
        stopAbove = stop;
        EXPECT_FALSE(encrypt ? Run(true, plain, box) : Run(false, box, ""));
        EXPECT_TRUE(link.errors.empty());
        EXPECT_EQ(link.cleanupPaths, std::vector<std::string>{encrypt ? box : plain});
        // A stopped check keeps the container until the clean-up list is served.
        EXPECT_EQ(Listing(dir.Path()),
                  stop > 50 ? (std::vector<std::string>{"plain.nbnx", "plain.txt"})
                            : std::vector<std::string>{encrypt ? "plain.txt" : "plain.nbnx"});
    }
}

TEST_F(JobsTest, CheckLeavesOtherFilesNamedTempAlone) {
    std::filesystem::create_directory(dir.File("temp"));
    NBTest::WriteBytes(dir.File("temp_0"), {'m', 'i', 'n', 'e'});
    ASSERT_TRUE(Run(true, plain, box));
    EXPECT_EQ(link.progress, 100);
    EXPECT_EQ(Listing(dir.Path()),
              (std::vector<std::string>{"plain.nbnx", "plain.txt", "temp", "temp_0"}));
    EXPECT_EQ(NBTest::ReadBytes(dir.File("temp_0")), (Bytes{'m', 'i', 'n', 'e'}));
}

} // namespace
