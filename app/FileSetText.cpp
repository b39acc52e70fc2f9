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
std::string LineOf(const SetFailure& failure) {
    const std::string lead = NBEngine::ToLower(failure.name + ":");
    if (NBEngine::ToLower(failure.message.substr(0, lead.size())) == lead) {
        return failure.message;
    }
    return failure.name + ": " + failure.message;
}
} // namespace

std::string SetSummaryText(std::size_t total, const std::vector<SetFailure>& failures,
                           bool encrypt) {
    const std::string done = encrypt ? " encrypted successfully" : " decrypted successfully";
    const std::string files = total == 1 ? " file" : " files";
    if (failures.empty()) {
        return std::to_string(total) + files + done;
    }
    std::string text =
        std::to_string(total - failures.size()) + " of " + std::to_string(total) + files + done;
    text += "\n";
    for (const SetFailure& failure : failures) {
        text += "\n" + LineOf(failure);
    }
    return text;
}

std::string SetPositionText(std::size_t index, std::size_t total, const std::string& path) {
    return std::to_string(index + 1) + " of " + std::to_string(total) + ": " +
           NBEngine::FileNameOf(path);
}

} // namespace MyGame
