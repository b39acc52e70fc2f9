// Version 1 jobs whose files change under them: a source that grows or
// shrinks while it is read, one replaced by another file of its length, and a
// container cut or grown while it is decrypted. The job stores (or trusts) one
// length of the file it opened; it must read exactly that and publish nothing
// when the file disagrees.

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"

using NBEngine::Option;
using NBEngine::ReadFault;
using NBEngine::TextField;
using NBTest::Bytes;
namespace fs = std::filesystem;

namespace {

const std::string pw = "correct horse";
// Three of the body pass's reads, so that a change lands between two of them.
constexpr std::size_t bigSize = 3 * 1024 * 1024 + 7;

enum class Change { Grow, Shrink };

void ChangeFile(const std::string& path, Change change) {
    if (change == Change::Grow) {
        NBTest::AppendBytes(path, Bytes(300, 9));
    } else {
        fs::resize_file(fs::u8path(path), bigSize / 2);
    }
}

TEST(ChangingFiles, ASourceThatChangesWhileReadGivesNoContainer) {
    struct Case {
        const char* what;
        Change change;
        int atProgress; // 5: after its length was taken, before it is read; 11: in the body
        bool check;
    };
    const Case cases[] = {
        {"grows before it is read", Change::Grow, 5, true},
        {"shrinks before it is read", Change::Shrink, 5, false},
        {"grows in the body", Change::Grow, 11, true},
        {"grows in the body, no check", Change::Grow, 11, false},
        {"shrinks in the body", Change::Shrink, 11, true},
        {"shrinks in the body, no check", Change::Shrink, 11, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NBTest::TempDir dir;
        const std::string source = dir.File("big.bin");
        NBTest::WriteBytes(source, NBTest::PatternBytes(bigSize));
        auto link = NBTest::Request(true, source, dir.File("big.nbnx"), pw);
        link.options[Option::Verify] = c.check;
        bool changed = false;
        link.onProgress = [&](int value) {
            if (value >= c.atProgress && !changed) {
                changed = true;
                ChangeFile(source, c.change);
            }
        };
        EXPECT_FALSE(NBTest::Run(link));
        EXPECT_TRUE(changed);
        ASSERT_EQ(link.errors.size(), 1u);
        EXPECT_EQ(link.errors[0], std::make_pair(std::string("big.bin: The file changed while it "
                                                             "was read"),
                                                 TextField::Source));
        EXPECT_EQ(NBTest::Listing(dir.Path()), std::vector<std::string>{"big.bin"});
    }
}

TEST(ChangingFiles, AContainerThatChangesWhileDecryptedGivesNoOutput) {
    for (const Change change : {Change::Grow, Change::Shrink}) {
        SCOPED_TRACE(change == Change::Grow ? "grown" : "cut");
        NBTest::TempDir dir;
        NBTest::WriteBytes(dir.File("big.bin"), NBTest::PatternBytes(bigSize, 5));
        auto encryption = NBTest::Request(true, dir.File("big.bin"), dir.File("box.nbnx"), pw);
        ASSERT_TRUE(NBTest::Run(encryption));
        NBTest::Remove(dir.File("big.bin"));

        auto link = NBTest::Request(false, dir.File("box.nbnx"), "", pw);
        link.options[Option::SameFolder] = true;
        bool changed = false;
        link.onProgress = [&](int value) {
            if (value > 10 && !changed) {
                changed = true;
                ChangeFile(dir.File("box.nbnx"), change);
            }
        };
        EXPECT_FALSE(NBTest::Run(link));
        EXPECT_TRUE(changed);
        ASSERT_EQ(link.errors.size(), 1u);
        EXPECT_EQ(link.errors[0].first, "box.nbnx: The encrypted file is damaged or incomplete");
        EXPECT_EQ(link.faults.at(0), ReadFault::Damaged);
        EXPECT_EQ(NBTest::Listing(dir.Path()), std::vector<std::string>{"box.nbnx"});
    }
}

// Another file of the same length put in the source's place, as a rename
// does; false when the system refused.
bool ReplaceWithAnother(const std::string& path) {
    const std::string other = path + ".other";
    NBTest::WriteBytes(other, NBTest::PatternBytes(bigSize, 7));
    std::error_code error;
    fs::rename(fs::u8path(other), fs::u8path(path), error);
    if (error) {
        NBTest::Remove(other);
    }
    return !error;
}

TEST(ChangingFiles, ASourceReplacedByAnotherOfItsLengthGivesNoContainer) {
    // 5: before it is read; 10: between the checksum and the body, where the
    // container would hold one file's checksum over another's bytes.
    for (const int atProgress : {5, 10}) {
        SCOPED_TRACE(atProgress);
        NBTest::TempDir dir;
        const std::string source = dir.File("big.bin");
        NBTest::WriteBytes(source, NBTest::PatternBytes(bigSize));
        auto link = NBTest::Request(true, source, dir.File("big.nbnx"), pw);
        link.options[Option::Verify] = false;
        bool tried = false;
        bool replaced = false;
        link.onProgress = [&](int value) {
            if (value >= atProgress && !tried) {
                tried = true;
                replaced = ReplaceWithAnother(source);
            }
        };
        const bool done = NBTest::Run(link);
        ASSERT_TRUE(tried);
#ifdef _WIN32
        // The job's open handle keeps the file in place.
        EXPECT_FALSE(replaced);
#else
        ASSERT_TRUE(replaced);
#endif
        if (!replaced) {
            EXPECT_TRUE(done);
            continue;
        }
        EXPECT_FALSE(done);
        ASSERT_EQ(link.errors.size(), 1u);
        EXPECT_EQ(link.errors[0].first, "big.bin: The file changed while it was read");
        EXPECT_EQ(NBTest::Listing(dir.Path()), std::vector<std::string>{"big.bin"});
    }
}

} // namespace
