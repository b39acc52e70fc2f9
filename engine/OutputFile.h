#pragma once
// A job's output, written under a temporary name beside its destination and
// put in its place in one step only once the job has succeeded. Until then
// an existing destination is untouched; a file never published is removed.

#include <string>

#include "PlatformFiles.h"

namespace NBEngine {

// What the temporary file of destination is called, counter 0 first: the
// destination's name followed by ".incomplete", then "-1", "-2", ...
std::string IncompleteName(const std::string& destination, int counter);

class OutputFile {
public:
    explicit OutputFile(std::string destination) : destination(std::move(destination)) {}
    ~OutputFile() { Discard(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the temporary file exclusively, for its owner alone; false with
    // the system's reason.
    bool Create(std::string& reason);
    // The temporary file the job writes.
    const std::string& Path() const { return temporary; }

    // Flushes the file to the device, gives it the permission bits of model
    // and renames it over the destination (with replace false an existing
    // destination is kept). On any answer but Moved the file is removed.
    Platform::MoveResult Publish(const std::string& model, bool replace, std::string& reason);
    // Removes the temporary file, if any is left.
    void Discard();

private:
    std::string destination;
    std::string temporary;
};

} // namespace NBEngine
