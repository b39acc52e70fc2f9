#include <gtest/gtest.h>

#include "CommandLine.h"

using namespace NBCli;

namespace {

// The end-to-end script covers the usage errors a user meets; these are the rest.
TEST(CommandLine, FlagsAreCheckedWhole) {
    struct Case {
        std::vector<std::string> arguments;
        bool valid;
    };
    const Case cases[] = {
        {{"decrypt", "--password-file", "-", "b.nbnx"}, true},
        {{"--version", "x"}, false},
        {{"encrypt", "-o", "x", "-o", "y", "a"}, false},
        {{"encrypt", "-o", "", "a"}, false},
        {{"encrypt", "--password-file"}, false},
    };
    for (const Case& c : cases) {
        Command command;
        std::string error;
        EXPECT_EQ(ParseCommandLine(c.arguments, command, error), c.valid)
            << testing::PrintToString(c.arguments);
        EXPECT_EQ(error.empty(), c.valid);
    }
    Command command;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"encrypt", "--no-check", "--force", "-o", "b.nbnx", "a.txt"},
                                 command, error));
    EXPECT_EQ(command.action, Action::Encrypt);
    EXPECT_FALSE(command.check);
    EXPECT_TRUE(command.force);
    EXPECT_EQ(command.output, "b.nbnx");
    EXPECT_EQ(command.input, "a.txt");
}

} // namespace
