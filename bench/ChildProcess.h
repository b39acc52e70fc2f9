#pragma once
// Runs a program as a child process and measures it from outside: wall time
// and the child's own peak resident memory.

#include <string>
#include <vector>

namespace NBBench {

struct ChildRun {
    bool succeeded = false;
    double seconds = 0.0;
    double cpuSeconds = 0.0; // user and system time of the child
    long peakResidentKiB = 0;
};

// arguments[0] is the program, searched in PATH.
ChildRun RunChild(const std::vector<std::string>& arguments);

} // namespace NBBench
