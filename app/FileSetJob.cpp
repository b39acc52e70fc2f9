#include "FileSetJob.h"

#include <utility>

#include "Jobs.h"
#include "Paths.h"
#include "PlatformFiles.h"

namespace MyGame {

using NBEngine::JobError;
using NBEngine::Option;
using NBEngine::TextField;

namespace {

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
        if (field == TextField::Source || field == TextField::Destination) {
            return field == TextField::Source ? input : output;
        }
        return window.ReadText(field);
    }

    std::string ReadTypedText(TextField field) override {
        if (field == TextField::Source || field == TextField::Destination) {
            return ReadText(field);
        }
        return window.ReadTypedText(field);
    }

    void NoteKeyDerivation() override { window.NoteKeyDerivation(); }

    // The output is settled already: a decryption takes it as a path of its
    // own. "Check" stays the window's.
    bool IsChecked(Option option) override {
        if (option == Option::Verify || option == Option::Strong) {
            return window.IsChecked(option);
        }
        return option == Option::SpecifyPath;
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
    state.strongKeys = &keys;
    // Settling a decryption's outputs may already open strong containers.
    keys.OnDerivation([this] { window.NoteKeyDerivation(); });
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
    password.bytes = window.ReadText(TextField::Password);
    password.typed = window.ReadTypedText(TextField::Password);
    password.keys = &keys;
    const std::string refusal =
        NBEngine::SetPasswordRefusal(password, encrypt, window.IsChecked(Option::Strong));
    if (!refusal.empty()) {
        return Refuse(refusal, TextField::Password);
    }
    if (encrypt && !window.IsPasswordShown()) {
        const std::string mismatch = NBEngine::ConfirmationRefusal(
            password.typed, window.ReadTypedText(TextField::Confirmation));
        if (!mismatch.empty()) {
            return Refuse(mismatch, TextField::Confirmation);
        }
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

// A file whose output cannot be settled fails alone; a conflict refuses all.
bool FileSetJob::SettleOutputs() {
    for (NBEngine::SetMember& member : members) {
        member = NBEngine::SettleMember(member.input, encrypt, folder, password);
    }
    const NBEngine::SetConflict conflict = NBEngine::FindSetConflict(members);
    if (conflict.kind == NBEngine::SetConflictKind::None) {
        return true;
    }
    return Refuse(NBEngine::DescribeSetConflict(MembersAsShown(), conflict), TextField::None);
}

// The files named as the source box names them; outputs beside them too.
std::vector<NBEngine::SetMember> FileSetJob::MembersAsShown() const {
    std::vector<std::string> inputs;
    for (const NBEngine::SetMember& member : members) {
        inputs.push_back(member.input);
    }
    if (!SetShownByName(inputs)) {
        return members;
    }
    std::vector<NBEngine::SetMember> shown = members;
    for (NBEngine::SetMember& member : shown) {
        member.input = NBEngine::FileNameOf(member.input);
        if (folder.empty()) {
            member.output = NBEngine::FileNameOf(member.output);
        }
    }
    return shown;
}

bool FileSetJob::RunMember(std::size_t index, SetOutcome& outcome) {
    if (!window.IsRunning()) {
        return false;
    }
    const NBEngine::SetMember& member = members[index];
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
