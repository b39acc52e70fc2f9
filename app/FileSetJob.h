#pragma once
// A set of files, each into its own output, with one request: the password
// and the set's outputs are checked once, then the engine's job runs for each
// file in turn; a file's failure is kept for the closing box instead of shown.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "FileSet.h"
#include "FileSetText.h"
#include "JobLink.h"
#include "JobState.h"
#include "StrongKeys.h"

namespace MyGame {

struct SetOutcome {
    // False when the request was refused (its box already shown) or the set
    // was stopped: then no closing box.
    bool ran = false;
    std::size_t total = 0;
    std::vector<SetFailure> failures;
};

class FileSetJob {
public:
    // window: the link of the window that asked. It gives the password, the
    // options and the destination folder, shows a refused request as a single
    // job would, and shows the set's progress. showPosition tells which file
    // runs ("2 of 5: b.txt").
    FileSetJob(NBEngine::JobLink& window, NBEngine::JobState& state,
               std::vector<std::string> inputs,
               std::function<void(const std::string&)> showPosition);

    // The state no longer points at this set's keys once the set has gone.
    ~FileSetJob() { state.strongKeys = nullptr; }
    FileSetJob(const FileSetJob&) = delete;
    FileSetJob& operator=(const FileSetJob&) = delete;

    SetOutcome Run();

private:
    bool CheckRequest();
    bool CheckPassword();
    bool CheckFolder();
    bool SettleOutputs();
    std::vector<NBEngine::SetMember> MembersAsShown() const;
    // False when the set was stopped while this file ran.
    bool RunMember(std::size_t index, SetOutcome& outcome);
    bool Refuse(const std::string& message, NBEngine::TextField focus);

    NBEngine::JobLink& window;
    NBEngine::JobState& state;
    std::function<void(const std::string&)> showPosition;
    std::vector<NBEngine::SetMember> members;
    bool encrypt = true;
    NBEngine::SetPassword password;
    NBEngine::StrongKeyCache keys; // one derivation for the whole set
    std::string folder;
};

} // namespace MyGame
