#include "CliJobLink.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Jobs.h"
#include "Paths.h"
#include "PlatformFiles.h"
#include "Terminal.h"
#include "TextConversion.h"

namespace NBCli {

namespace {
// Wide enough to blank the longest progress line.
constexpr int progressLineWidth = 48;
// A set's rate means something only after a moment: its first files may be
// tiny.
constexpr double rateSettleSeconds = 0.5;
} // namespace

std::int64_t WorkOfJob(const CliRequest& request, std::int64_t passBytes) {
    return request.encrypt && request.check ? 2 * passBytes : passBytes;
}

std::string AboutFile(const std::string& input, const std::string& message) {
    const std::string name = NBEngine::FileNameOf(input);
    const std::size_t length = name.size();
    const bool named = message.size() > length && message[length] == ':' &&
                       NBEngine::ToLower(message.substr(0, length)) == NBEngine::ToLower(name);
    return input + (named ? message.substr(length) : ": " + message);
}

CliJobLink::CliJobLink(CliRequest request, bool showProgress, std::int64_t passBytes,
                       SetPlace place)
    : request(std::move(request)), showProgress(showProgress), passBytes(passBytes),
      place(std::move(place)) {}

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
    case NBEngine::TextField::Confirmation:
        return NBUtility::PasswordBytesOfUtf8(ReadTypedText(field));
    case NBEngine::TextField::None:
        break;
    }
    return std::string();
}

std::string CliJobLink::ReadTypedText(NBEngine::TextField field) {
    switch (field) {
    case NBEngine::TextField::Password:
        return request.password;
    case NBEngine::TextField::Confirmation:
        return request.confirmation;
    default:
        return ReadText(field);
    }
}

bool CliJobLink::IsChecked(NBEngine::Option option) {
    switch (option) {
    case NBEngine::Option::Verify:
        return request.check;
    case NBEngine::Option::SameFolder:
        return request.destination.empty();
    case NBEngine::Option::SpecifyPath:
        return !request.destination.empty();
    case NBEngine::Option::Strong:
        return request.strong;
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
        if (place.count > 0) {
            DrawSetProgressLine();
        } else {
            DrawProgressLine();
        }
    }
}

// The file's number, then the whole set's share done, its rate and the time
// left at that rate.
void CliJobLink::DrawSetProgressLine() {
    const double work = static_cast<double>(WorkOfJob(request, passBytes));
    const double done = static_cast<double>(place.workBefore) + work * progress / 100.0;
    const double whole = place.workOfSet > 0 ? static_cast<double>(place.workOfSet) : 1.0;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - place.started).count();
    const int percent = std::min(100, static_cast<int>(100.0 * done / whole));
    char line[96];
    if (seconds >= rateSettleSeconds && done > 0.0) {
        const double rate = done / seconds;
        std::snprintf(line, sizeof line, "\r[%zu/%zu] %3d%%  %8.1f MB/s  %6.0f s left ",
                      place.number, place.count, percent, rate / 1e6, (whole - done) / rate);
    } else {
        std::snprintf(line, sizeof line, "\r[%zu/%zu] %3d%%%30s", place.number, place.count,
                      percent, "");
    }
    std::fputs(line, stderr);
    std::fflush(stderr);
    lineShown = true;
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
        std::fprintf(stderr, "\r%*s\r", progressLineWidth, "");
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
    const std::string line = ErrorLine(error);
    PrintLine(stderr, "nbnx: " + (place.count > 0 ? AboutFile(place.input, line) : line));
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
