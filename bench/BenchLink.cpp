#include "BenchLink.h"

#include <algorithm>
#include <cstdio>

namespace NBBench {

using NBEngine::Option;

bool BenchLink::IsChecked(Option option) {
    switch (option) {
    case Option::Verify:
        return verify;
    case Option::SpecifyPath:
        return true;
    case Option::SameFolder:
        return false;
    case Option::Strong:
        return strong;
    }
    return false;
}

// The derivation's own row measures it; a job's rows show its share.
void BenchLink::NoteKeyDerivation() {}

void BenchLink::SetProgress(int value) {
    progress = std::clamp(value, NBEngine::progressMinimum, NBEngine::progressMaximum);
}

void BenchLink::ReportError(const NBEngine::JobError& error) {
    std::fprintf(stderr, "job error: %s %s\n", error.message.c_str(), error.reason.c_str());
}

} // namespace NBBench
