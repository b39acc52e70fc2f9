#pragma once
// What the engine needs of the window that asks for a job. Every operation is
// called from the job's thread; the window carries out those that touch its
// controls on its own thread.

#include <string>

namespace NBEngine {

enum class TextField { None, Source, Destination, Password, Confirmation };
enum class Option { Verify, SameFolder, SpecifyPath };

constexpr int progressMinimum = 0;
constexpr int progressMaximum = 100;

class JobLink {
public:
    virtual ~JobLink() = default;

    virtual bool IsEncryptMode() = 0;
    virtual bool IsPasswordShown() = 0;
    // Must see a stop made by another thread promptly (an atomic flag).
    virtual bool IsRunning() = 0;
    // The field's text exactly as it stands, untrimmed.
    virtual std::string ReadText(TextField field) = 0;
    virtual bool IsChecked(Option option) = 0;
    virtual int GetProgress() = 0;
    // Clamps to 0..100.
    virtual void SetProgress(int value) = 0;
    // Waits until the message is closed, then focuses the field (if any).
    virtual void ReportError(const std::string& text, TextField focus) = 0;
    virtual void AddCleanupPath(const std::string& path) = 0;
};

} // namespace NBEngine
