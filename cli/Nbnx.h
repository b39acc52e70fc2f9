#pragma once

#include <string>
#include <vector>

namespace NBCli {

constexpr int exitDone = 0;
constexpr int exitFailed = 1;
constexpr int exitUsage = 2;
// A stop answers 128 + the signal's number (see StopStatus).

// The whole program after the arguments have become narrow texts.
int RunNbnx(const std::vector<std::string>& arguments);

} // namespace NBCli
