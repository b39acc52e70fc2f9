// Sets of files: where each output goes, and the conflicts that refuse a set
// as a whole before any job runs, whatever the spelling of a path.

#include <filesystem>
#include <tuple>

#include <gtest/gtest.h>

#include "FileSet.h"
#include "Paths.h"
#include "TestSupport.h"

using namespace NBEngine;
namespace fs = std::filesystem;

namespace {

const std::string pw = "correct horse";
const char sep = fs::path::preferred_separator;

// Runs a test inside a folder, so that relative spellings reach its files.
class InFolder {
public:
    explicit InFolder(const std::string& folder) : saved(fs::current_path()) {
        fs::current_path(folder);
    }
    ~InFolder() { fs::current_path(saved); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    fs::path saved;
};

// Members whose outputs are those an encryption beside its inputs writes.
std::vector<SetMember> EncryptionSet(const std::vector<std::string>& inputs,
                                     const std::string& folder = std::string()) {
    std::vector<SetMember> members;
    for (const std::string& input : inputs) {
        members.push_back({input, SetEncryptionOutput(input, folder), ""});
    }
    return members;
}

std::tuple<SetConflictKind, std::size_t, std::size_t> Found(const std::vector<SetMember>& set) {
    const SetConflict conflict = FindSetConflict(set);
    return {conflict.kind, conflict.first, conflict.second};
}

TEST(FileSet, OneInputUnderTwoSpellingsRefusesTheSet) {
    NBTest::TempDir dir;
    InFolder inside(dir.Path());
    fs::create_directory("sub");
    NBTest::WriteBytes("a.txt", {'a'});
    NBTest::WriteBytes("b.txt", {'b'});
    fs::create_hard_link("a.txt", "hard.txt");
    const std::string up = std::string("sub") + sep + ".." + sep;
    const std::vector<std::pair<std::string, std::string>> same = {
        {"a.txt", "a.txt"},      {"a.txt", std::string(".") + sep + "a.txt"},
        {"a.txt", up + "a.txt"}, {"a.txt", dir.File("a.txt")},
        {"a.txt", "hard.txt"},   {"missing.txt", std::string(".") + sep + "missing.txt"},
#ifdef _WIN32
        {"a.txt", "A.TXT"},      {"a.txt", "./a.txt"},
#endif
    };
    for (const auto& [first, second] : same) {
        SCOPED_TRACE(first + " / " + second);
        // Folder members have no output: they count as inputs alone.
        const std::vector<SetMember> set = {
            {"b.txt", "", ""}, {first, "", "reason"}, {second, "", "reason"}};
        EXPECT_EQ(Found(set), std::make_tuple(SetConflictKind::SameInput, 1u, 2u));
    }
#ifndef _WIN32
    fs::create_symlink("a.txt", "link.txt");
    EXPECT_EQ(Found(EncryptionSet({"link.txt", "b.txt", "a.txt"})),
              std::make_tuple(SetConflictKind::SameInput, 0u, 2u));
    // Letter case tells files apart here.
    NBTest::WriteBytes("A.TXT", {'A'});
    EXPECT_EQ(std::get<0>(Found(EncryptionSet({"a.txt", "A.TXT"}))), SetConflictKind::None);
#endif
    EXPECT_EQ(std::get<0>(Found(EncryptionSet({"a.txt", "b.txt", "missing.txt"}))),
              SetConflictKind::None);
}

TEST(FileSet, OutputsThatNameOneFileRefuseTheSet) {
    NBTest::TempDir dir;
    InFolder inside(dir.Path());
    for (const std::string folder : {"x", "y", "out"}) {
        fs::create_directory(folder);
    }
    for (const std::string name :
         {"report.doc", "report.docx", "x/data.txt", "y/data.txt", "Report.pdf", "y/other.txt"}) {
        NBTest::WriteBytes(name, {'r'});
    }
    const std::string out = std::string("out") + sep;
    const std::vector<std::tuple<std::vector<std::string>, std::string, SetConflictKind>> cases = {
        // inputs, folder, conflict
        {{"report.doc", "report.docx"}, "", SetConflictKind::SameOutput},
        {{"y/other.txt", "report.doc", "report.docx"}, "out", SetConflictKind::SameOutput},
        {{"x/data.txt", "y/data.txt"}, "", SetConflictKind::None},
        {{"x/data.txt", "y/data.txt"}, "out", SetConflictKind::SameOutput},
#ifdef _WIN32
        {{"report.doc", "Report.pdf"}, "", SetConflictKind::SameOutput},
#else
        {{"report.doc", "Report.pdf"}, "", SetConflictKind::None},
#endif
    };
    for (const auto& [inputs, folder, kind] : cases) {
        SCOPED_TRACE(inputs.front() + " ... into '" + folder + "'");
        const auto set = EncryptionSet(inputs, folder);
        const SetConflict conflict = FindSetConflict(set);
        EXPECT_EQ(conflict.kind, kind);
        if (kind != SetConflictKind::None) {
            EXPECT_EQ(conflict.second, inputs.size() - 1);
            EXPECT_EQ(conflict.first, inputs.size() - 2);
        }
    }
    // A member that settled no output does not collide with anything.
    std::vector<SetMember> set = EncryptionSet({"report.doc", "report.docx"});
    set[1].output.clear();
    EXPECT_EQ(FindSetConflict(set).kind, SetConflictKind::None);
}

TEST(FileSet, AnOutputThatIsAnInputRefusesTheSet) {
    NBTest::TempDir dir;
    InFolder inside(dir.Path());
    for (const std::string name : {"notes", "notes.nbnx", "box.nbnx", "other.txt"}) {
        NBTest::WriteBytes(name, {'n'});
    }
    const SetMember encryptNotes{"notes", "notes.nbnx", ""};
    const SetMember encryptOther{"other.txt", "other.nbnx", ""};
    const SetMember decryptNotes{"notes.nbnx", "restored", ""};
    const SetMember unopened{"box.nbnx", "", "not opened"};
    const auto refused = [](std::size_t first, std::size_t second) {
        return std::make_tuple(SetConflictKind::OutputIsInput, first, second);
    };
    const std::vector<std::pair<std::vector<SetMember>, decltype(refused(0, 0))>> cases = {
        {{encryptNotes, encryptOther, decryptNotes}, refused(0, 2)},
        {{decryptNotes, encryptOther, encryptNotes}, refused(2, 0)},
        // Encrypting a container would write over it.
        {EncryptionSet({"other.txt", "box.nbnx"}), refused(1, 1)},
        // A decryption whose stored name is another input of the set.
        {{{"box.nbnx", "other.txt", ""}, encryptOther}, refused(0, 1)},
        {{{"box.nbnx", std::string(".") + sep + "box.nbnx", ""}}, refused(0, 0)},
        {{unopened, {"other.txt", "box.nbnx", ""}}, refused(1, 0)},
        {{unopened, encryptOther}, std::make_tuple(SetConflictKind::None, 0u, 0u)},
    };
    for (const auto& [set, expected] : cases) {
        SCOPED_TRACE(set.front().input + " ... " + set.back().input);
        EXPECT_EQ(Found(set), expected);
    }
}

TEST(FileSet, ConflictsAreDescribedWithTheNamesAsGiven) {
    const std::vector<SetMember> set = {{"report.doc", "report.nbnx", ""},
                                        {"report.docx", "report.nbnx", ""},
                                        {"./report.doc", "report.nbnx", ""},
                                        {"box.nbnx", "box.nbnx", ""}};
    const std::vector<std::pair<SetConflict, std::string>> cases = {
        {{SetConflictKind::SameOutput, 0, 1},
         "report.doc and report.docx would both be written to report.nbnx"},
        {{SetConflictKind::SameInput, 0, 2}, "report.doc and ./report.doc are the same file"},
        {{SetConflictKind::SameInput, 0, 0}, "report.doc is given twice"},
        {{SetConflictKind::OutputIsInput, 0, 3},
         "report.doc would be written over box.nbnx, which is in this set too"},
        {{SetConflictKind::OutputIsInput, 3, 3}, "box.nbnx would be written over itself"},
        {{SetConflictKind::None, 0, 1}, ""},
        {{SetConflictKind::SameOutput, 0, 4}, ""},
    };
    for (const auto& [conflict, text] : cases) {
        EXPECT_EQ(DescribeSetConflict(set, conflict), text);
    }
}

TEST(FileSet, EncryptionOutputsGoBesideTheInputOrIntoTheFolder) {
    const std::string in = std::string("in") + sep;
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        // input, folder, output
        {"report.pdf", "", "report.nbnx"},
        {in + "report.pdf", "", in + "report.nbnx"},
        {std::string("dir.v2") + sep + "report", "", std::string("dir.v2") + sep + "report.nbnx"},
        {in + "report.pdf", "out", std::string("out") + sep + "report.nbnx"},
        {in + "report.pdf", std::string("out") + sep, std::string("out") + sep + "report.nbnx"},
        {"box.nbnx", "out", std::string("out") + sep + "box.nbnx"},
    };
    for (const auto& [input, folder, output] : cases) {
        EXPECT_EQ(SetEncryptionOutput(input, folder), output) << input << " into " << folder;
    }
}

TEST(FileSet, DecryptionOutputsTakeTheStoredNameOrTheSingleJobsRefusal) {
    NBTest::TempDir dir;
    ASSERT_TRUE(NBTest::WriteOneByteContainer(dir.File("box.nbnx"), "letter.txt", pw));
    ASSERT_TRUE(NBTest::WriteOneByteContainer(dir.File("evil.nbnx"), "../evil.txt", pw));
    ASSERT_TRUE(NBTest::WriteOneByteContainer(dir.File("cut.nbnx"), "cut.txt", pw));
    NBTest::AppendBytes(dir.File("cut.nbnx"), {0}); // one byte more than stored
    fs::create_directory(dir.File("folder"));
    NBTest::WriteBytes(dir.File("plain.txt"), NBTest::PatternBytes(300));
    const std::string out = std::string("out") + sep;
    const std::string box = dir.File("box.nbnx");
    const std::vector<std::tuple<std::string, std::string, std::string, std::string, std::string>>
        cases = {
            // container, folder, password, output, reason
            {box, "", pw, dir.File("letter.txt"), ""},
            {box, "out", pw, out + "letter.txt", ""},
            {box, out, "  " + pw + " ", out + "letter.txt", ""},
            {box, "", "wrong horse", "",
             "box.nbnx: The password is incorrect or not valid NBN Encrypted File"},
            {box, "", "short", "", "Password must be at least 8 characters"},
            {box, "", "hhhhhhhggg", "", "This password cannot be used, please choose another one"},
            {dir.File("plain.txt"), "", pw, "",
             "plain.txt: The password is incorrect or not valid NBN Encrypted File"},
            {dir.File("folder"), "", pw, "",
             "folder: The password is incorrect or not valid NBN Encrypted File"},
            {dir.File("missing.nbnx"), "", pw, "", "MISSING.NBNX: file not found or inaccessible"},
            {dir.File("evil.nbnx"), "out", pw, "",
             "evil.nbnx: The file name stored in the encrypted file is not valid"},
            {dir.File("cut.nbnx"), "", pw, "",
             "cut.nbnx: The encrypted file is damaged or incomplete"},
        };
    for (const auto& [container, folder, password, output, reason] : cases) {
        SCOPED_TRACE(container + " into '" + folder + "' with " + password);
        std::string settled = "stale";
        std::string why = "stale";
        NBEngine::ReadFault fault = NBEngine::ReadFault::None;
        const NBEngine::SetPassword given{password, password, nullptr};
        EXPECT_EQ(SetDecryptionOutput(container, folder, given, settled, why, fault),
                  reason.empty());
        EXPECT_EQ(settled, output);
        EXPECT_EQ(why, reason);
    }
}

} // namespace
