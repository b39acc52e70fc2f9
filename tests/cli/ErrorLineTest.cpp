// The lines nbnx prints for a job's error: the system's reason and the path
// join the message, and a likely mistake gets its hint.

#include <gtest/gtest.h>

#include "CliJobLink.h"
#include "Jobs.h"

namespace {

using NBEngine::JobError;
using NBEngine::TextField;

struct ErrorLineCase {
    const char* what;
    JobError error;
    const char* line;
};

TEST(CliErrorLine, JoinsReasonAndPath) {
    const ErrorLineCase cases[] = {
        {"no reason: the message as it is",
         JobError("Error during encryption.", TextField::None, "", "report.nbnx"),
         "Error during encryption."},
        {"reason and path replace the full stop",
         JobError("Error during encryption.", TextField::None, "No space left on device",
                  "report.nbnx"),
         "Error during encryption: No space left on device (report.nbnx)"},
        {"reason without a path",
         JobError("Error while checking.", TextField::None, "Input/output error"),
         "Error while checking: Input/output error"},
        {"a message without a full stop keeps its end",
         JobError("report.nbnx: file not accessible", TextField::Destination, "Permission denied",
                  "report.nbnx"),
         "report.nbnx: file not accessible: Permission denied (report.nbnx)"},
    };
    for (const ErrorLineCase& c : cases) {
        EXPECT_EQ(NBCli::ErrorLine(c.error), c.line) << c.what;
    }
}

TEST(CliErrorLine, HintsAtOutputNameOnlyForUnusableStoredName) {
    const std::string refusal = std::string("old.nbnx") + NBEngine::storedNameNotValid;
    EXPECT_EQ(NBCli::HintFor(JobError(refusal, TextField::Source)),
              "use -o FILE to choose the output name");
    // The same words inside another message are no reason for the hint.
    EXPECT_EQ(NBCli::HintFor(JobError(refusal + ".", TextField::Source)), "");
    EXPECT_EQ(NBCli::HintFor(JobError("old.nbnx: CRC mismatch.", TextField::None)), "");
}

} // namespace
