#include "FileSetText.h"

#include <algorithm>

#include "Paths.h"

namespace MyGame {

bool SetShownByName(const std::vector<std::string>& paths) {
    if (paths.empty()) {
        return false;
    }
    const std::string folder = NBEngine::ToLower(NBEngine::DirectoryOf(paths.front()));
    return std::all_of(paths.begin(), paths.end(), [&](const std::string& path) {
        return NBEngine::ToLower(NBEngine::DirectoryOf(path)) == folder;
    });
}

std::string SetDisplayText(const std::vector<std::string>& paths) {
    if (paths.empty()) {
        return std::string();
    }
    const bool namesOnly = SetShownByName(paths);
    std::string text;
    for (const std::string& path : paths) {
        text +=
            (text.empty() ? "\"" : " \"") + (namesOnly ? NBEngine::FileNameOf(path) : path) + "\"";
    }
    return text;
}

namespace {
// Most messages begin with the file's name already (in capitals, some).
std::string Named(const std::string& name, const std::string& message) {
    const std::string lead = NBEngine::ToLower(name + ":");
    if (NBEngine::ToLower(message.substr(0, lead.size())) == lead) {
        return message;
    }
    return name + ": " + message;
}

// The list shows one line per file: the system's reason, on a line of its
// own in the message, goes in brackets.
std::string LineOf(const SetFailure& failure) {
    const std::size_t end = failure.message.find('\n');
    if (end == std::string::npos) {
        return Named(failure.name, failure.message);
    }
    std::string reason = failure.message.substr(end + 1);
    std::replace(reason.begin(), reason.end(), '\n', ' ');
    return Named(failure.name, failure.message.substr(0, end)) + " (" + reason + ")";
}
} // namespace

std::string SetSummaryText(std::size_t total, std::size_t failed, bool encrypt) {
    const std::string done = encrypt ? " encrypted successfully" : " decrypted successfully";
    const std::string files = total == 1 ? " file" : " files";
    if (failed == 0) {
        return std::to_string(total) + files + done;
    }
    return std::to_string(total - failed) + " of " + std::to_string(total) + files + done;
}

std::vector<std::string> SetFailureLines(const std::vector<SetFailure>& failures) {
    std::vector<std::string> lines;
    for (const SetFailure& failure : failures) {
        lines.push_back(LineOf(failure));
    }
    return lines;
}

std::string SetPositionText(std::size_t index, std::size_t total, const std::string& path) {
    return std::to_string(index + 1) + " of " + std::to_string(total) + ": " +
           NBEngine::FileNameOf(path);
}

} // namespace MyGame
