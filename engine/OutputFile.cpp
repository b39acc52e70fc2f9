#include "OutputFile.h"

#include <algorithm>

#include "Paths.h"

namespace NBEngine {

namespace {
constexpr int maxCounter = 1000;
// Leaves room for the suffix within the 255 bytes a name may have.
constexpr std::size_t longestBase = 200;
} // namespace

std::string IncompleteName(const std::string& destination, int counter) {
    const std::string name = FileNameOf(destination);
    const std::string folder = destination.substr(0, destination.size() - name.size());
    std::string result =
        folder + name.substr(0, std::min(name.size(), longestBase)) + ".incomplete";
    if (counter > 0) {
        result += "-" + std::to_string(counter);
    }
    return result;
}

bool OutputFile::Create(std::string& reason) {
    Discard();
    for (int counter = 0; counter < maxCounter; ++counter) {
        const std::string candidate = IncompleteName(destination, counter);
        switch (Platform::CreateNewFile(candidate, reason)) {
        case Platform::CreateResult::Created:
            temporary = candidate;
            return true;
        case Platform::CreateResult::Exists:
            continue;
        case Platform::CreateResult::Failed:
            return false;
        }
    }
    reason = "no free temporary name";
    return false;
}

Platform::MoveResult OutputFile::Publish(const std::string& model, bool replace,
                                         std::string& reason) {
    if (temporary.empty()) {
        return Platform::MoveResult::Failed;
    }
    if (!Platform::FlushToDevice(temporary, reason)) {
        Discard();
        return Platform::MoveResult::Failed;
    }
    Platform::CopyPermissions(model, temporary);
    const Platform::MoveResult moved =
        Platform::MoveIntoPlace(temporary, destination, replace, reason);
    if (moved == Platform::MoveResult::Moved) {
        temporary.clear();
    } else {
        Discard();
    }
    return moved;
}

void OutputFile::Discard() {
    if (!temporary.empty()) {
        Platform::RemoveFile(temporary);
        temporary.clear();
    }
}

} // namespace NBEngine
