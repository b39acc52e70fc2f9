#pragma once
// For the engine tests: a private folder removed afterwards, whole-file reads
// and writes, a job link without a window, and containers made from a header.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "JobLink.h"
#include "KeyTable.h"
#include "RootSequence.h"

namespace NBTest {

using Bytes = std::vector<std::uint8_t>;

class TempDir {
public:
    TempDir();
    ~TempDir();
    // Native path of the folder, ending in the platform's separator.
    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + name; }

private:
    std::string path;
};

Bytes ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const Bytes& bytes);
void AppendBytes(const std::string& path, const Bytes& bytes);
void Remove(const std::string& path);
std::vector<std::string> Listing(const std::string& folder); // sorted names
// Deterministic contents that differ at every offset of a 128-byte block.
Bytes PatternBytes(std::size_t length, unsigned seed = 0);

NBEngine::RootSequence Seeded(int seed);
bool SameGenerator(const NBEngine::RootSequence& a, const NBEngine::RootSequence& b);

class RecordingJobLink : public NBEngine::JobLink {
public:
    bool encryptMode = true;
    bool running = true;
    std::map<NBEngine::TextField, std::string> texts;
    std::map<NBEngine::Option, bool> options;
    int progress = 0;
    std::vector<std::pair<std::string, NBEngine::TextField>> errors;
    std::vector<std::string> reasons;        // the system's, one per error
    std::vector<NBEngine::ReadFault> faults; // the container's, one per error
    std::vector<std::string> cleanupPaths;
    int stopAbove = NBEngine::progressMaximum; // progress after which a stop is pressed
    bool mayReplace = true;
    std::function<void(int)> onProgress; // sees every value the job shows
    std::function<void()> onReport;      // called as each error is shown

    bool IsEncryptMode() override { return encryptMode; }
    bool IsPasswordShown() override { return false; }
    bool IsRunning() override { return running; }
    std::string ReadText(NBEngine::TextField field) override { return texts[field]; }
    bool IsChecked(NBEngine::Option option) override { return options[option]; }
    int GetProgress() override { return progress; }
    void SetProgress(int value) override {
        progress = std::clamp(value, NBEngine::progressMinimum, NBEngine::progressMaximum);
        running = running && progress <= stopAbove;
        if (onProgress) {
            onProgress(progress);
        }
    }
    bool MayReplaceOutput() override { return mayReplace; }
    void ReportError(const NBEngine::JobError& error) override {
        errors.emplace_back(error.message, error.focus);
        reasons.push_back(error.reason);
        faults.push_back(error.fault);
        if (onReport) {
            onReport();
        }
    }
    void AddCleanupPath(const std::string& path) override { cleanupPaths.push_back(path); }
};

// A request as the window makes it: the confirmation repeats the password,
// Check is on, and a decryption without destination writes beside the container.
RecordingJobLink Request(bool encrypt, const std::string& source, const std::string& destination,
                         const std::string& password);
// Runs the request; false when refused or stopped.
bool Run(RecordingJobLink& link);

// One body byte behind a header that stores name (with a zero checksum: the
// body never decrypts cleanly); false when it cannot be made.
bool WriteOneByteContainer(const std::string& path, const std::string& name,
                           const std::string& password);

} // namespace NBTest
