#pragma once
// A job link without a window for the bench: the request is set up front,
// nothing is shown, and errors go to standard error.

#include <map>
#include <string>

#include "JobLink.h"

namespace NBBench {

class BenchLink : public NBEngine::JobLink {
public:
    bool encryptMode = true;
    bool verify = false;
    bool strong = false;
    std::map<NBEngine::TextField, std::string> texts;

    bool IsEncryptMode() override { return encryptMode; }
    bool IsPasswordShown() override { return true; }
    bool IsRunning() override { return true; }
    std::string ReadText(NBEngine::TextField field) override { return texts[field]; }
    void NoteKeyDerivation() override;
    // A decryption writes to the destination given, never beside the source.
    bool IsChecked(NBEngine::Option option) override;
    int GetProgress() override { return progress; }
    void SetProgress(int value) override;
    void ReportError(const NBEngine::JobError& error) override;
    void AddCleanupPath(const std::string&) override {}

private:
    int progress = 0;
};

} // namespace NBBench
