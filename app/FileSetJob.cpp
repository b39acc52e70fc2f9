#include "FileSetJob.h"

#include <utility>

#include "Container.h"
#include "Jobs.h"
#include "KeyTable.h"
#include "Paths.h"
#include "PlatformFiles.h"

namespace MyGame {

using NBEngine::JobError;
using NBEngine::Option;
using NBEngine::TextField;

namespace {

constexpr std::size_t minimumPasswordLength = 8;

// One file's job as the engine sees it: the window's password and options,
// this file and its output, its own progress within the set's bar, and its
// failure kept rather than shown.
class MemberLink : public NBEngine::JobLink {
public:
    MemberLink(NBEngine::JobLink& window, std::string input, std::string output, std::size_t index,
               std::size_t total)
        : window(window), input(std::move(input)), output(std::move(output)), index(index),
          total(total) {}

    bool IsEncryptMode() override { return window.IsEncryptMode(); }
    bool IsPasswordShown() override { return window.IsPasswordShown(); }
    bool IsRunning() override { return window.IsRunning(); }

    std::string ReadText(TextField field) override {
        switch (field) {
        case TextField::Source:
            return input;
        case TextField::Destination:
            return output;
        default:
            return window.ReadText(field);
        }
    }

    // The output is settled already: a decryption takes it as a path of its own.
    bool IsChecked(Option option) override {
        switch (option) {
        case Option::SameFolder:
            return false;
        case Option::SpecifyPath:
            return true;
        default:
            return window.IsChecked(option);
        }
    }

    int GetProgress() override { return progress; }

    void SetProgress(int value) override {
        progress = value;
        const auto whole = static_cast<int>(
            (index * NBEngine::progressMaximum + static_cast<std::size_t>(value < 0 ? 0 : value)) /
            total);
        window.SetProgress(whole);
    }

    void ReportError(const JobError& error) override {
        failure = error.reason.empty() ? error.message : error.message + "\n" + error.reason;
    }

    void AddCleanupPath(const std::string& path) override { cleanup.push_back(path); }

    std::string failure;
    std::vector<std::string> cleanup;

private:
    NBEngine::JobLink& window;
    std::string input;
    std::string output;
    std::size_t index;
    std::size_t total;
    int progress = 0;
};

} // namespace

FileSetJob::FileSetJob(NBEngine::JobLink& window, NBEngine::JobState& state,
                       std::vector<std::string> inputs,
                       std::function<void(const std::string&)> showPosition)
    : window(window), state(state), showPosition(std::move(showPosition)) {
    for (std::string& input : inputs) {
        members.push_back({std::move(input), {}, {}});
    }
}

SetOutcome FileSetJob::Run() {
    SetOutcome outcome;
    outcome.total = members.size();
    window.SetProgress(0);
    encrypt = window.IsEncryptMode();
    if (!CheckRequest() || !SettleOutputs()) {
        return outcome;
    }
    for (std::size_t index = 0; index < members.size(); ++index) {
        if (!RunMember(index, outcome)) {
            return outcome;
        }
    }
    outcome.ran = true;
    return outcome;
}

bool FileSetJob::Refuse(const std::string& message, TextField focus) {
    window.ReportError(JobError(message, focus));
    return false;
}

bool FileSetJob::CheckRequest() {
    return CheckPassword() && CheckFolder();
}

// The single job's checks and messages, asked once for the whole set.
bool FileSetJob::CheckPassword() {
    const std::string password = NBEngine::Trim(window.ReadText(TextField::Password));
    if (password.empty()) {
        return Refuse("Password required", TextField::Password);
    }
    if (password.size() < minimumPasswordLength) {
        return Refuse("Password must be at least 8 characters", TextField::Password);
    }
    if (encrypt && !window.IsPasswordShown()) {
        const std::string confirmation = NBEngine::Trim(window.ReadText(TextField::Confirmation));
        if (confirmation.empty()) {
            return Refuse("Confirmation password required", TextField::Confirmation);
        }
        if (confirmation != password) {
            return Refuse("Confirmation password does not match", TextField::Confirmation);
        }
    }
    // Each file's job derives the key again; a password refused here would
    // be refused for every file.
    if (!NBEngine::DeriveKey(password, state.keyTable)) {
        return Refuse("This password cannot be used, please choose another one",
                      TextField::Password);
    }
    return true;
}

// The destination box names a folder for a set; empty: beside each file.
bool FileSetJob::CheckFolder() {
    const bool ownFolder = encrypt || window.IsChecked(Option::SpecifyPath);
    folder = ownFolder ? window.ReadText(TextField::Destination) : std::string();
    if (folder.empty() ||
        NBEngine::Platform::KindOf(folder, true) == NBEngine::Platform::FileKind::Folder) {
        return true;
    }
    return Refuse(folder + ": folder not found", TextField::Destination);
}

bool FileSetJob::RunMember(std::size_t index, SetOutcome& outcome) {
    if (!window.IsRunning()) {
        return false;
    }
    Member& member = members[index];
    showPosition(SetPositionText(index, members.size(), member.input));
    const std::string name = NBEngine::FileNameOf(member.input);
    if (member.output.empty()) {
        outcome.failures.push_back({name, member.reason});
        return true;
    }
    MemberLink link(window, member.input, member.output, index, members.size());
    if (NBEngine::RunJob(link, state)) {
        return true;
    }
    if (!window.IsRunning()) {
        // Nothing of the stopped file stays.
        for (const std::string& path : link.cleanup) {
            NBEngine::Platform::RemoveFile(path);
        }
        return false;
    }
    outcome.failures.push_back({name, link.failure});
    return true;
}

} // namespace MyGame

namespace MyGame {
namespace {
bool SameOutput(const std::string& a, const std::string& b) {
    return NBEngine::ToLower(NBEngine::FileNameOf(a)) ==
               NBEngine::ToLower(NBEngine::FileNameOf(b)) &&
           (NBEngine::ToLower(NBEngine::DirectoryOf(a)) ==
                NBEngine::ToLower(NBEngine::DirectoryOf(b)) ||
            NBEngine::Platform::SameFile(NBEngine::DirectoryOf(a) + ".",
                                         NBEngine::DirectoryOf(b) + "."));
}
} // namespace

// Each file's output, then the first conflict that refuses the whole set.
bool FileSetJob::SettleOutputs() {
    for (Member& member : members) {
        if (encrypt) {
            const std::string name =
                NBEngine::ChangeNameExtension(NBEngine::FileNameOf(member.input), "nbnx");
            member.output = folder.empty() ? NBEngine::ChangeNameExtension(member.input, "nbnx")
                                           : NBEngine::WithTrailingSeparator(folder) + name;
            continue;
        }
        std::string local;
        if (!NBEngine::ReadHeader(member.input, state)) {
            member.reason = NBEngine::FileNameOf(member.input) +
                            ": The password is incorrect or not valid NBN Encrypted File";
        } else if (!NBEngine::IsPlainFileName(state.plainName) ||
                   !NBEngine::LocalFormOfStoredName(state.plainName, local)) {
            member.reason = NBEngine::FileNameOf(member.input) + NBEngine::storedNameNotValid;
        } else {
            member.output = folder.empty() ? NBEngine::SameFolderDestination(member.input, local)
                                           : NBEngine::WithTrailingSeparator(folder) + local;
        }
    }
    for (std::size_t i = 0; i < members.size(); ++i) {
        for (std::size_t j = 0; j < members.size(); ++j) {
            const Member& a = members[i];
            const Member& b = members[j];
            if (i < j && NBEngine::Platform::SameFile(a.input, b.input)) {
                return Refuse(NBEngine::FileNameOf(a.input) + " and " +
                                  NBEngine::FileNameOf(b.input) + " are the same file",
                              TextField::None);
            }
            if (i < j && !a.output.empty() && !b.output.empty() && SameOutput(a.output, b.output)) {
                return Refuse(NBEngine::FileNameOf(a.input) + " and " +
                                  NBEngine::FileNameOf(b.input) + " would both be written to " +
                                  NBEngine::FileNameOf(a.output),
                              TextField::None);
            }
            if (!a.output.empty() && NBEngine::Platform::SameFile(a.output, b.input)) {
                return Refuse(NBEngine::FileNameOf(a.input) + " would be written over " +
                                  NBEngine::FileNameOf(b.input),
                              TextField::None);
            }
        }
    }
    return true;
}
} // namespace MyGame
