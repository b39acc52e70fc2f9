#include "CliJobLink.h"

#include <cstdio>
#include <cstring>

#include "Jobs.h"
#include "Paths.h"
#include "PlatformFiles.h"
#include "Terminal.h"

namespace NBCli {

CliJobLink::CliJobLink(CliRequest request, bool showProgress, std::int64_t passBytes)
    : request(std::move(request)), showProgress(showProgress), passBytes(passBytes) {}

int CliJobLink::GetProgress() {
    // The engine's rule: with "Check" a pass fills half of what is left.
    ++passesStarted;
    passStart = progress;
    passEnd = request.check ? progress + (NBEngine::progressMaximum - progress) / 2
                            : NBEngine::progressMaximum;
    passStarted = std::chrono::steady_clock::now();
    return progress;
}

bool CliJobLink::IsRunning() {
    return !StopRequested();
}

std::string CliJobLink::ReadText(NBEngine::TextField field) {
    switch (field) {
    case NBEngine::TextField::Source:
        return request.source;
    case NBEngine::TextField::Destination:
        return request.destination;
    case NBEngine::TextField::Password:
        return request.password;
    case NBEngine::TextField::Confirmation:
        return request.confirmation;
    case NBEngine::TextField::None:
        break;
    }
    return std::string();
}

bool CliJobLink::IsChecked(NBEngine::Option option) {
    switch (option) {
    case NBEngine::Option::Verify:
        return request.check;
    case NBEngine::Option::SameFolder:
        return request.destination.empty();
    case NBEngine::Option::SpecifyPath:
        return !request.destination.empty();
    }
    return false;
}

void CliJobLink::SetProgress(int value) {
    if (value < NBEngine::progressMinimum) {
        value = NBEngine::progressMinimum;
    } else if (value > NBEngine::progressMaximum) {
        value = NBEngine::progressMaximum;
    }
    if (value == progress) {
        return;
    }
    progress = value;
    if (showProgress) {
        DrawProgressLine();
    }
}

void CliJobLink::DrawProgressLine() {
    char line[96];
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - passStarted).count();
    const bool inPass = passesStarted > 0 && passEnd > passStart && progress <= passEnd;
    if (inPass && progress > passStart && seconds > 0.0) {
        const double fraction = static_cast<double>(progress - passStart) / (passEnd - passStart);
        const double done = fraction * static_cast<double>(passBytes);
        const double rate = done / seconds;
        // An encryption with "Check" reads its container once more.
        const int passesAfter = request.encrypt && request.check && passesStarted == 1 ? 1 : 0;
        const double left =
            (static_cast<double>(passBytes) * (1 + passesAfter) - done) / (rate > 0.0 ? rate : 1.0);
        std::snprintf(line, sizeof line, "\r%3d%%  %8.1f MB/s  %6.0f s left ", progress, rate / 1e6,
                      left);
    } else {
        std::snprintf(line, sizeof line, "\r%3d%%%30s", progress, "");
    }
    std::fputs(line, stderr);
    std::fflush(stderr);
    lineShown = true;
}

void CliJobLink::ClearProgressLine() {
    if (lineShown) {
        std::fprintf(stderr, "\r%40s\r", "");
        std::fflush(stderr);
        lineShown = false;
    }
}

namespace {
// A second line for a likely mistake, or empty.
std::string HintFor(const NBEngine::JobError& error) {
    const std::size_t tailLength = std::strlen(NBEngine::storedNameNotValid);
    const std::string& message = error.message;
    if (message.size() >= tailLength && message.compare(message.size() - tailLength, tailLength,
                                                        NBEngine::storedNameNotValid) == 0) {
        return "use -o FILE to choose the output name";
    }
    return std::string();
}

// The message followed by the system's reason and the path, when there is one:
// "Error during encryption: No space left on device (report.nbnx)".
std::string ErrorLine(const NBEngine::JobError& error) {
    if (error.reason.empty()) {
        return error.message;
    }
    std::string line = error.message;
    if (!line.empty() && line.back() == '.') {
        line.pop_back();
    }
    line += ": " + error.reason;
    if (!error.path.empty()) {
        line += " (" + error.path + ")";
    }
    return line;
}

} // namespace

void CliJobLink::ReportError(const NBEngine::JobError& error) {
    ClearProgressLine();
    PrintLine(stderr, "nbnx: " + ErrorLine(error));
    const std::string hint = HintFor(error);
    if (!hint.empty()) {
        std::fprintf(stderr, "hint: %s\n", hint.c_str());
    }
}

bool CliJobLink::RemoveListedFiles() {
    bool allGone = true;
    for (const std::string& path : cleanupList) {
        if (NBEngine::FileExists(path) && !NBEngine::Platform::RemoveFile(path)) {
            allGone = false;
        }
    }
    cleanupList.clear();
    return allGone;
}

} // namespace NBCli
