#pragma once
// The job link of the command line: the request comes from the arguments,
// errors go to standard error, progress to one line on a terminal.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "JobLink.h"

namespace NBCli {

struct CliRequest {
    bool encrypt = true;
    std::string source;
    std::string destination;  // empty: a same-folder decryption
    std::string password;     // the characters typed, UTF-8
    std::string confirmation; // the same
    bool confirm = true;      // false: the password is taken as given
    bool check = true;
    bool force = false;  // an output that exists may be replaced
    bool strong = false; // writes the strong container
};

// Where one job stands in a set of files; count 0 for a single file.
struct SetPlace {
    std::string input;      // as given: it leads every message of the job
    std::size_t number = 0; // from 1
    std::size_t count = 0;
    std::int64_t workBefore = 0; // bytes the jobs before this one transform
    std::int64_t workOfSet = 0;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
};

// The bytes a job transforms: one pass over the body, two with "Check".
std::int64_t WorkOfJob(const CliRequest& request, std::int64_t passBytes);

// A message about one file of a set, led by the file as given: in place of
// the file's bare name (in any letter case) when the message starts with it.
std::string AboutFile(const std::string& input, const std::string& message);

// The command line's words for a container that cannot be read, more precise
// than the window's: empty when the kind says nothing more (a system fault
// without its reason).
std::string ContainerFaultText(const std::string& container, NBEngine::ReadFault fault,
                               const std::string& reason);

class CliJobLink : public NBEngine::JobLink {
public:
    // passBytes: the bytes one pass over the body transforms.
    CliJobLink(CliRequest request, bool showProgress, std::int64_t passBytes,
               SetPlace place = SetPlace());

    bool IsEncryptMode() override { return request.encrypt; }
    bool IsPasswordShown() override { return !request.confirm; }
    bool IsRunning() override;
    // Version 1's bytes of a password, one per UTF-16 code unit.
    std::string ReadText(NBEngine::TextField field) override;
    std::string ReadTypedText(NBEngine::TextField field) override;
    bool IsChecked(NBEngine::Option option) override;
    // Asked once at the start of every pass over the body.
    int GetProgress() override;
    void SetProgress(int value) override;
    void ReportError(const NBEngine::JobError& error) override;
    void AddCleanupPath(const std::string& path) override { cleanupList.push_back(path); }
    // Asked again when the output is published: a file that appeared after
    // the up-front test is kept too, unless --force was given.
    bool MayReplaceOutput() override { return request.force; }
    // Says on the progress line that the key is being derived: the one long
    // wait without a percentage.
    void NoteKeyDerivation() override;

    // Removes every file the job listed; true when each is gone.
    bool RemoveListedFiles();
    void ClearProgressLine();

private:
    std::string SourceText(const NBEngine::JobError& error) const;
    NBEngine::JobError WordedForThisJob(const NBEngine::JobError& error) const;
    void DrawProgressLine();
    void DrawSetProgressLine();
    void ShowLine(const std::string& text);

    CliRequest request;
    bool showProgress;
    std::int64_t passBytes;
    int progress = 0;
    bool lineShown = false;
    int lineLength = 0; // of the line shown, to blank what a shorter one leaves
    int passesStarted = 0;
    int passStart = 0;
    int passEnd = 100;
    std::chrono::steady_clock::time_point passStarted = std::chrono::steady_clock::now();
    std::vector<std::string> cleanupList;
    SetPlace place;
};

} // namespace NBCli
