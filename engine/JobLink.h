#pragma once
// What the engine needs of the window that asks for a job. Every operation is
// called from the job's thread; the window carries out those that touch its
// controls on its own thread.

#include <string>
#include <utility>

#include "ReadFault.h"

namespace NBEngine {

enum class TextField { None, Source, Destination, Password, Confirmation };
enum class Option { Verify, SameFolder, SpecifyPath, Strong };

// What a failure was about, beyond a container's read fault, so that a front
// end can word it its own way.
enum class JobErrorKind {
    Other,
    SourceMissing,    // not there, or the system would not let it be read
    SourceEmpty,      // a file of no bytes
    SourceNotRegular, // a device, a FIFO, a socket
    Transform,        // writing the output, or reading while transforming
};

// One failure as the job reports it: the message, the field to fix and,
// where the system refused, its own reason and the path it refused.
struct JobError {
    explicit JobError(std::string message, TextField focus = TextField::None,
                      std::string reason = std::string(), std::string path = std::string(),
                      ReadFault fault = ReadFault::None)
        : message(std::move(message)), focus(focus), reason(std::move(reason)),
          path(std::move(path)), fault(fault) {}

    std::string message;
    TextField focus = TextField::None;
    std::string reason; // empty when the system was not asked
    std::string path;
    ReadFault fault = ReadFault::None; // why a container could not be read
    JobErrorKind kind = JobErrorKind::Other;
};

constexpr int progressMinimum = 0;
constexpr int progressMaximum = 100;

class JobLink {
public:
    virtual ~JobLink() = default;

    virtual bool IsEncryptMode() = 0;
    virtual bool IsPasswordShown() = 0;
    // Must see a stop made by another thread promptly (an atomic flag).
    virtual bool IsRunning() = 0;
    // The field as the job takes it: a path exactly as it is to be used (the
    // window trims its boxes, the command line does not); the engine trims
    // the password and its confirmation itself.
    virtual std::string ReadText(TextField field) = 0;
    // A password or its confirmation as typed, in UTF-8, for the strong
    // container (ReadText gives version 1's bytes).
    virtual std::string ReadTypedText(TextField field) { return ReadText(field); }
    virtual bool IsChecked(Option option) = 0;
    virtual int GetProgress() = 0;
    // Clamps to 0..100.
    virtual void SetProgress(int value) = 0;
    // Waits until the message is closed, then focuses the field (if any).
    virtual void ReportError(const JobError& error) = 0;
    // Files the caller removes after a stop (the window) or after any failure
    // (the command line): only a damaged output that the job kept.
    virtual void AddCleanupPath(const std::string& path) = 0;
    // False: an output that exists when the job is ready to publish its own
    // is kept, and the job fails (nbnx without --force).
    virtual bool MayReplaceOutput() { return true; }
    // A key derivation starts: it takes a while and cannot be stopped midway.
    virtual void NoteKeyDerivation() {}
};

} // namespace NBEngine
