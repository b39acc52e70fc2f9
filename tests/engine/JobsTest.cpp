// Jobs as the window asks for them: the field each refusal puts the focus on,
// stored names that would leave the folder, and what a stop leaves behind.
// Messages, round trips and damaged bodies are the end-to-end tests' part.

#include <tuple>

#include <gtest/gtest.h>

#include "Container.h"
#include "Jobs.h"
#include "Paths.h"
#include "TestSupport.h"

using namespace NBEngine;
using NBTest::Listing;

namespace {

const std::string pw = "correct horse";

TEST(Jobs, RefusalsNameTheFieldToFixAndTouchNothing) {
    NBTest::TempDir dir;
    const std::string plain = dir.File("plain.txt");
    NBTest::WriteBytes(plain, NBTest::PatternBytes(5000, 11));
    const std::string box = dir.File("b");
    const std::string same = "The source file and the destination file cannot match";
    const std::vector<
        std::tuple<std::string, std::string, std::string, std::string, std::string, TextField>>
        cases = {
            // source, destination, password, confirmation, message, focus
            {"", "", "", "", "The file to encrypt is required", TextField::Source},
            {plain, "", pw, pw, "The filename of the encrypted file is required",
             TextField::Destination},
            {plain, box, "  1234567  ", "  1234567  ", "Password must be at least 8 characters",
             TextField::Password},
#ifdef _WIN32
            {plain, dir.File("PLAIN.TXT"), pw, pw, same, TextField::Destination},
            {plain, ReplaceChar(plain, '\\', '/'), pw, pw, same, TextField::Destination},
#endif
            {plain, box, pw, "correct horsE", "Confirmation password does not match",
             TextField::Confirmation},
            {plain, dir.File("missing/b"), pw, pw, "Error during encryption.", TextField::None},
        };
    const auto before = Listing(dir.Path());
    for (const auto& [source, destination, typed, confirmation, message, focus] : cases) {
        SCOPED_TRACE(message + " / " + destination);
        auto link = NBTest::Request(true, source, destination, typed);
        link.texts[TextField::Confirmation] = confirmation;
        EXPECT_FALSE(NBTest::Run(link));
        ASSERT_EQ(link.errors.size(), 1u);
        EXPECT_EQ(link.errors[0], std::make_pair(message, focus));
        EXPECT_EQ(Listing(dir.Path()), before);
    }
}

#ifndef _WIN32
// Linux file systems tell letter case apart: PLAIN.TXT is another file.
TEST(Jobs, NamesThatDifferInCaseAreTwoFilesOnLinux) {
    NBTest::TempDir dir;
    const NBTest::Bytes contents = NBTest::PatternBytes(700, 3);
    NBTest::WriteBytes(dir.File("plain.txt"), contents);
    auto link = NBTest::Request(true, dir.File("plain.txt"), dir.File("PLAIN.TXT"), pw);
    ASSERT_TRUE(NBTest::Run(link));
    EXPECT_EQ(NBTest::ReadBytes(dir.File("plain.txt")), contents);
    EXPECT_EQ(Listing(dir.Path()), (std::vector<std::string>{"PLAIN.TXT", "plain.txt"}));
}
#endif

TEST(Jobs, StoredNamesThatLeaveTheFolderOrNameTheContainerAreRefused) {
    for (const std::string name :
         {"..\\evil.txt", "../evil.txt", "C:evil.txt", "a/b", ".", "..", "name.", "name ", "CON",
          "con.txt", "LPT1.log", "a\x01z", "a?b", "a*b", "a<b", "a|b", "a\"b", "self.bin"}) {
        SCOPED_TRACE(name);
        NBTest::TempDir folder;
        const std::string container = folder.File(name == "self.bin" ? name : "box.nbnx");
        ASSERT_TRUE(NBTest::WriteOneByteContainer(container, name, pw));
        auto link = NBTest::Request(false, container, "", pw);
        EXPECT_FALSE(NBTest::Run(link));
        ASSERT_EQ(link.errors.size(), 1u);
        EXPECT_EQ(link.errors[0].first,
                  name == "self.bin"
                      ? "The source file and the destination file cannot match"
                      : "box.nbnx: The file name stored in the encrypted file is not valid");
        EXPECT_EQ(Listing(folder.Path()), std::vector<std::string>{FileNameOf(container)});
    }
}

#ifndef _WIN32
// A name beyond Latin-1 is stored as UTF-8 and comes back under its own name;
// the 128 bytes of the name field count bytes, not characters.
TEST(Jobs, NamesBeyondLatin1RoundTripAndTheNameFieldCountsBytes) {
    const std::string lodz = "\xC5\x81\xC3\xB3"
                             "d\xC5\xBA.txt";
    std::string wide;
    for (int i = 0; i < 64; ++i) {
        wide += "\xC5\x81"; // U+0141, two bytes
    }
    for (const auto& [name, fits] : {std::pair{lodz, true}, {wide, true}, {wide + "a", false}}) {
        SCOPED_TRACE(name.size());
        NBTest::TempDir dir;
        const std::string plain = dir.File(name);
        NBTest::WriteBytes(plain, NBTest::PatternBytes(300, 4));
        auto encrypt = NBTest::Request(true, plain, dir.File("box.nbnx"), pw);
        ASSERT_EQ(NBTest::Run(encrypt), fits);
        if (!fits) {
            EXPECT_EQ(encrypt.errors.at(0).first,
                      name + ": file name too long (at most 128 bytes)");
            continue;
        }
        NBTest::Remove(plain);
        auto decrypt = NBTest::Request(false, dir.File("box.nbnx"), "", pw);
        ASSERT_TRUE(NBTest::Run(decrypt));
        EXPECT_EQ(NBTest::ReadBytes(plain), NBTest::PatternBytes(300, 4));
    }
}
#endif

} // namespace
