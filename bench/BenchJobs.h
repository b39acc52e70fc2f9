#pragma once
// One whole job as the program runs it, on files named through a link
// without a window, so that the bench times exactly what a user waits for.

#include <map>
#include <string>

#include "JobLink.h"
#include "JobState.h"

namespace NBBench {

class BenchLink : public NBEngine::JobLink {
public:
    bool encryptMode = true;
    std::map<NBEngine::TextField, std::string> texts;
    bool verify = false;

    bool IsEncryptMode() override { return encryptMode; }
    bool IsPasswordShown() override { return true; }
    bool IsRunning() override { return true; }
    std::string ReadText(NBEngine::TextField field) override { return texts[field]; }
    bool IsChecked(NBEngine::Option option) override {
        return option == NBEngine::Option::Verify && verify;
    }
    int GetProgress() override { return progress; }
    void SetProgress(int value) override;
    void ReportError(const std::string& text, NBEngine::TextField focus) override;
    void AddCleanupPath(const std::string&) override {}

private:
    int progress = 0;
};

// An encryption (with its verification pass when verify is set) or a
// decryption of the source into the destination; true on success.
bool RunBenchJob(NBEngine::JobLink& link, NBEngine::JobState& state);

} // namespace NBBench
