#include <gtest/gtest.h>

#include "CommandLine.h"

using namespace NBCli;

namespace {

TEST(CommandLine, DefaultContainerStaysInTheInputsFolder) {
    struct Case {
        std::string input;
        std::string container;
    };
    const Case cases[] = {
        {"report.pdf", "report.nbnx"},     {"dir.v2/report", "dir.v2/report.nbnx"},
        {"C:\\a.b\\c", "C:\\a.b\\c.nbnx"}, {"/tmp/x/archive.backup", "/tmp/x/archive.backup.nbnx"},
        {"box.NBNX", "box.NBNX"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DefaultContainerPath(c.input), c.container) << c.input;
    }
}

TEST(CommandLine, FlagsAreCheckedWhole) {
    struct Case {
        std::vector<std::string> arguments;
        bool valid;
        Action action;
    };
    const Case cases[] = {
        {{"encrypt", "a.txt"}, true, Action::Encrypt},
        {{"encrypt", "--no-check", "--force", "-o", "b.nbnx", "a.txt"}, true, Action::Encrypt},
        {{"decrypt", "--password-file", "-", "b.nbnx"}, true, Action::Decrypt},
        {{"--help"}, true, Action::Help},
        {{"--version"}, true, Action::Version},
        {{"--version", "x"}, false, Action::Help},
        {{"decrypt", "--no-check", "b.nbnx"}, false, Action::Help},
        {{"encrypt", "-o", "x", "-o", "y", "a"}, false, Action::Help},
        {{"encrypt", "-o", "", "a"}, false, Action::Help},
        {{"encrypt", "--password-file"}, false, Action::Help},
        {{}, false, Action::Help},
    };
    for (const Case& c : cases) {
        Command command;
        std::string error;
        EXPECT_EQ(ParseCommandLine(c.arguments, command, error), c.valid)
            << testing::PrintToString(c.arguments);
        if (c.valid) {
            EXPECT_EQ(command.action, c.action);
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
    Command command;
    std::string error;
    ASSERT_TRUE(
        ParseCommandLine({"encrypt", "--no-check", "-o", "b.nbnx", "a.txt"}, command, error));
    EXPECT_FALSE(command.check);
    EXPECT_EQ(command.output, "b.nbnx");
    EXPECT_EQ(command.input, "a.txt");
}

} // namespace
