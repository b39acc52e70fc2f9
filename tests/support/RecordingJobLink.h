#pragma once
// A job link without a window: the request is set by the test, and every
// progress value, error and cleanup path is recorded.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "JobLink.h"

namespace NBTest {

struct ReportedError {
    std::string text;
    NBEngine::TextField focus;
};

class RecordingJobLink : public NBEngine::JobLink {
public:
    bool encryptMode = true;
    bool passwordShown = false;
    bool running = true;
    std::map<NBEngine::TextField, std::string> texts;
    std::map<NBEngine::Option, bool> options;
    int progress = 0;

    std::vector<int> progressHistory;
    std::vector<ReportedError> errors;
    std::vector<std::string> cleanupPaths;
    // Called after every progress update; a test may clear running there.
    std::function<void(int)> onProgress;

    bool IsEncryptMode() override { return encryptMode; }
    bool IsPasswordShown() override { return passwordShown; }
    bool IsRunning() override { return running; }
    std::string ReadText(NBEngine::TextField field) override { return texts[field]; }
    bool IsChecked(NBEngine::Option option) override { return options[option]; }
    int GetProgress() override { return progress; }
    void SetProgress(int value) override;
    void ReportError(const std::string& text, NBEngine::TextField focus) override {
        errors.push_back({text, focus});
    }
    void AddCleanupPath(const std::string& path) override { cleanupPaths.push_back(path); }
};

} // namespace NBTest
