#include "CliJobLink.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Jobs.h"
#include "Paths.h"
#include "PlatformFiles.h"
#include "StrongBody.h"
#include "StrongKeys.h"
#include "Terminal.h"
#include "TextConversion.h"

namespace NBCli {

namespace {
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
        std::snprintf(line, sizeof line, "[%zu/%zu] %3d%%  %8.1f MB/s  %6.0f s left ", place.number,
                      place.count, percent, rate / 1e6, (whole - done) / rate);
    } else {
        std::snprintf(line, sizeof line, "[%zu/%zu] %3d%%", place.number, place.count, percent);
    }
    ShowLine(line);
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
        std::snprintf(line, sizeof line, "%3d%%  %8.1f MB/s  %6.0f s left ", progress, rate / 1e6,
                      left);
    } else {
        std::snprintf(line, sizeof line, "%3d%%", progress);
    }
    ShowLine(line);
}

// Over the line shown before, blanking what it leaves beyond the new one.
void CliJobLink::ShowLine(const std::string& text) {
    const int length = static_cast<int>(text.size());
    const int leftOver = lineShown && lineLength > length ? lineLength - length : 0;
    std::fprintf(stderr, "\r%s%*s", text.c_str(), leftOver, "");
    std::fflush(stderr);
    lineShown = true;
    lineLength = length + leftOver;
}

void CliJobLink::ClearProgressLine() {
    if (lineShown) {
        std::fprintf(stderr, "\r%*s\r", lineLength, "");
        std::fflush(stderr);
        lineShown = false;
        lineLength = 0;
    }
}

namespace {

std::string MemoryText(std::uint32_t kibibytes) {
    return kibibytes % 1024 == 0 ? std::to_string(kibibytes / 1024) + " MiB"
                                 : std::to_string(kibibytes) + " KiB";
}

// An encryption derives at the cost it asks for, a decryption at the one its
// container's header names.
std::string DerivationCostText(const CliRequest& request) {
    if (request.encrypt) {
        return " (Argon2id, " + MemoryText(NBEngine::RequestedStrongCost().memoryKiB) + ")";
    }
    const NBEngine::StrongOpening opening = NBEngine::ReadStrongHeader(request.source);
    if (opening.fault != NBEngine::ReadFault::None) {
        return std::string();
    }
    return " (Argon2id, " + MemoryText(opening.header.cost.memoryKiB) + ")";
}

} // namespace

void CliJobLink::NoteKeyDerivation() {
    if (!showProgress) {
        return;
    }
    std::string line = "deriving the key" + DerivationCostText(request) + "...";
    if (place.count > 0) {
        line = "[" + std::to_string(place.number) + "/" + std::to_string(place.count) + "] " + line;
    }
    ShowLine(line);
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

std::string ContainerFaultText(const std::string& container, NBEngine::ReadFault fault,
                               const std::string& reason) {
    switch (fault) {
    case NBEngine::ReadFault::NotContainer:
        return "not a container";
    case NBEngine::ReadFault::WrongPassword:
        // Only the strong container's header MAC can tell a changed header,
        // and it cannot tell it from a wrong password.
        return NBEngine::ContainerVersionOf(container) == NBEngine::ContainerVersion::Version2
                   ? "wrong password, or the header was changed"
                   : "wrong password";
    case NBEngine::ReadFault::Damaged:
        return "damaged or incomplete";
    case NBEngine::ReadFault::Unsupported:
        return "unsupported: made with settings outside this program's limits";
    case NBEngine::ReadFault::System:
        return reason.empty() ? std::string() : "cannot be read: " + reason;
    case NBEngine::ReadFault::None:
        break;
    }
    return std::string();
}

// What nbnx says of a source that cannot be used, more precisely than the
// window's one text for all of them; empty for any other failure.
std::string CliJobLink::SourceText(const NBEngine::JobError& error) const {
    const std::string why = error.reason.empty() ? std::string() : ": " + error.reason;
    switch (error.kind) {
    case NBEngine::JobErrorKind::SourceMissing:
        return "file not found or inaccessible" + why;
    case NBEngine::JobErrorKind::SourceEmpty:
        if (!request.encrypt) {
            return "is empty, not a container";
        }
        return request.strong ? "is empty"
                              : "is empty; version 1 cannot hold an empty file "
                                "(--strong can)";
    case NBEngine::JobErrorKind::SourceNotRegular:
        return "not a regular file";
    case NBEngine::JobErrorKind::Other:
    case NBEngine::JobErrorKind::Transform:
        break;
    }
    return std::string();
}

// The window says "Error during encryption." for both ways; nbnx says which.
NBEngine::JobError CliJobLink::WordedForThisJob(const NBEngine::JobError& error) const {
    NBEngine::JobError worded = error;
    if (error.kind == NBEngine::JobErrorKind::Transform && !request.encrypt) {
        worded.message = "Error during decryption.";
    }
    return worded;
}

void CliJobLink::ReportError(const NBEngine::JobError& error) {
    // nbnx keeps nothing it does not stand behind, and gone before the message:
    // a reader that closes the pipe early must not leave a damaged file.
    RemoveListedFiles();
    ClearProgressLine();
    const std::string sourceText = SourceText(error);
    if (!sourceText.empty()) {
        PrintLine(stderr,
                  "nbnx: " + (place.count > 0 ? place.input : request.source) + ": " + sourceText);
        return;
    }
    const std::string faultText = ContainerFaultText(request.source, error.fault, error.reason);
    if (!faultText.empty()) {
        PrintLine(stderr,
                  "nbnx: " + (place.count > 0 ? place.input : request.source) + ": " + faultText);
        return;
    }
    const std::string line = ErrorLine(WordedForThisJob(error));
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
