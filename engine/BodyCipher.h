#pragma once
// The body cipher: body byte k is XORed with (generator value k+1 + key byte
// k mod 128) mod 256. The same pass encrypts and decrypts.

#include <cstddef>
#include <functional>
#include <string>

#include "Checksum.h"
#include "JobLink.h"
#include "JobState.h"
#include "RootSequence.h"

namespace NBEngine {

constexpr int cipherBlockSize = 128;
// Bytes read and written in one go: a multiple of the block size, so every
// block but the last is whole and starts at key byte 0.
constexpr std::size_t cipherChunkSize = std::size_t{1} << 20;
static_assert(cipherChunkSize % cipherBlockSize == 0);

struct PassResult {
    bool ok = true;             // no file error (a stop included)
    bool stopped = false;       // ended early at the link's request
    std::string reason;         // the system's, when not ok
    std::string path;           // the file the reason is about
    std::int64_t bytesRead = 0; // from the input: a changed file shows here
};

// What the job gives a pass: the span of the progress bar it moves through,
// how it shows a value, and how it learns of a stop.
struct PassWork {
    int progressStart = progressMinimum;
    int progressEnd = progressMaximum;
    std::function<void(int)> showProgress; // empty: nothing shown
    std::function<bool()> keepGoing;       // empty: never stopped
};

// Reads from state.readOffset of the input and appends behind
// state.writeOffset of the output, honouring a stop after every 128-byte
// block and moving the progress bar whenever its shown value changes. The
// generator is left as one Next call per byte done would leave it. With
// outputFold set, the bytes written are folded too, so that a decryption
// checks them without reading them back.
PassResult TransformFile(const std::string& inputPath, const std::string& outputPath,
                         RootSequence& generator, const JobState& state, const PassWork& work,
                         ChecksumFold* outputFold = nullptr);

// The same pass with nothing written: the transformed bytes are only folded.
// The verification of a new container decrypts it so, in memory.
PassResult TransformIntoFold(const std::string& inputPath, RootSequence& generator,
                             const JobState& state, const PassWork& work, ChecksumFold& fold);

// The progress value after writePosition of total bytes, in the span
// start..end, before clamping.
int ProgressAt(std::int64_t writePosition, std::int32_t total, int start, int end);

} // namespace NBEngine
