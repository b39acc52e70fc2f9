#include "BodyCipher.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "Keystream.h"
#include "PositionedFile.h"

namespace NBEngine {

int ProgressAt(std::int64_t writePosition, std::int32_t total, int start, int end) {
    const double fraction = static_cast<double>(writePosition) / static_cast<double>(total);
    const std::int64_t value = static_cast<std::int64_t>(start) +
                               TruncToInt32(fraction * static_cast<double>(end - start));
    // The bar clamps anyway; keep the sum inside int.
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    return static_cast<int>(value);
}

namespace {
int ShownProgress(int value) {
    return std::clamp(value, progressMinimum, progressMaximum);
}

// Calls SetProgress only when the bar would show another value.
class ProgressReporter {
public:
    ProgressReporter(const PassWork& work, std::int32_t total, std::int64_t firstPosition)
        : show(work.showProgress), total(total), start(work.progressStart), end(work.progressEnd),
          shown(ShownProgress(start)), rising(total > 0 && end >= start && firstPosition >= 0) {}

    // Announces blocks up to lastPosition. While the value rises with the
    // position, it can only have moved if it shows otherwise at the end: the
    // blocks in between need no division each.
    void Expect(std::int64_t lastPosition) {
        quiet = rising && !Saturates(lastPosition) && Shown(lastPosition) == shown;
    }

    void Report(std::int64_t writePosition) {
        if (quiet) {
            return;
        }
        const int value = ProgressAt(writePosition, total, start, end);
        if (ShownProgress(value) != shown) {
            if (show) {
                show(value);
            }
            shown = ShownProgress(value);
        }
    }

private:
    int Shown(std::int64_t position) const {
        return ShownProgress(ProgressAt(position, total, start, end));
    }
    // Past 2^31 the truncation gives INT32_MIN and the value drops.
    bool Saturates(std::int64_t position) const {
        const double scaled = static_cast<double>(position) / static_cast<double>(total) *
                              static_cast<double>(end - start);
        return !(scaled < 2147483648.0);
    }

    const std::function<void(int)>& show;
    std::int32_t total;
    int start;
    int end;
    int shown;
    bool rising;
    bool quiet = false;
};

// XORs the keystream into the blocks of one chunk, one 128-byte block at a
// time, with progress and a look at the stop request after each block.
class BlockCipher {
public:
    BlockCipher(RootSequence& generator, const KeyTable& key,
                const std::function<bool()>& keepGoing, ProgressReporter& progress)
        : keystream(generator), key(key), keepGoing(keepGoing), progress(progress) {}

    // Returns the bytes done: all count of them, or fewer after a stop. An
    // empty chunk still reports progress and looks at the stop request.
    std::size_t Run(std::uint8_t* data, std::size_t count, std::int64_t writePosition) {
        progress.Expect(writePosition + static_cast<std::int64_t>(count));
        std::size_t done = 0;
        do {
            const std::size_t length = std::min<std::size_t>(cipherBlockSize, count - done);
            keystream.XorBlock(data + done, length, key);
            done += length;
            progress.Report(writePosition + static_cast<std::int64_t>(done));
            if (keepGoing && !keepGoing()) {
                stopped = true;
                break;
            }
        } while (done < count);
        return done;
    }

    bool Stopped() const { return stopped; }
    RootSequence Generator() const { return keystream.Generator(); }

private:
    Keystream keystream;
    const KeyTable& key;
    const std::function<bool()>& keepGoing;
    ProgressReporter& progress;
    bool stopped = false;
};
} // namespace

namespace {
// Where the transformed bytes go: a file, a fold, or both.
class PassSink {
public:
    virtual ~PassSink() = default;
    virtual bool Open() { return true; }
    virtual bool Put(std::int64_t position, const std::uint8_t* data, std::size_t count) = 0;
    virtual bool Close() { return true; }
    virtual const std::string& Reason() const = 0;
};

class FileSink : public PassSink {
public:
    FileSink(const std::string& path, ChecksumFold* fold) : path(path), fold(fold) {}
    bool Open() override {
        file.OpenAppend(path);
        return !file.NotOpen();
    }
    bool Put(std::int64_t position, const std::uint8_t* data, std::size_t count) override {
        if (!file.WriteAt(position, data, count)) {
            return false;
        }
        if (fold != nullptr) {
            fold->Add(data, count);
        }
        return true;
    }
    // Bytes still buffered can fail to reach the disk only now.
    bool Close() override { return file.Close(); }
    const std::string& Reason() const override { return file.Reason(); }

private:
    const std::string& path;
    ChecksumFold* fold;
    PositionedFile file;
};

class FoldSink : public PassSink {
public:
    explicit FoldSink(ChecksumFold& fold) : fold(fold) {}
    bool Put(std::int64_t, const std::uint8_t* data, std::size_t count) override {
        fold.Add(data, count);
        return true;
    }
    const std::string& Reason() const override { return none; }

private:
    ChecksumFold& fold;
    const std::string none;
};

PassResult Failed(const std::string& reason, const std::string& path) {
    PassResult result;
    result.ok = false;
    result.reason = reason;
    result.path = path;
    return result;
}

// One pass over the body: read, transform, hand to the sink.
PassResult RunPass(const std::string& inputPath, const std::string& outputPath, PassSink& sink,
                   RootSequence& generator, const JobState& state, const PassWork& work) {
    std::int64_t readPosition = state.readOffset;
    std::int64_t writePosition = state.writeOffset;

    PositionedFile input;
    input.OpenRead(inputPath);
    const bool outputOpen = sink.Open();
    if (input.NotOpen()) {
        return Failed(input.Reason(), inputPath);
    }
    if (!outputOpen) {
        return Failed(sink.Reason(), outputPath);
    }
    PassResult result;
    ProgressReporter progress(work, state.plainSize, writePosition);
    BlockCipher cipher(generator, state.keyTable, work.keepGoing, progress);
    std::vector<std::uint8_t> chunk(
        ReadBufferSize(inputPath, readPosition, cipherChunkSize, cipherBlockSize));
    for (;;) {
        const std::size_t count = input.ReadAt(readPosition, chunk.data(), chunk.size());
        readPosition += static_cast<std::int64_t>(count);
        if (input.Failed()) {
            result = Failed(input.Reason(), inputPath);
            break;
        }
        const std::size_t done = cipher.Run(chunk.data(), count, writePosition);
        if (!sink.Put(writePosition, chunk.data(), done)) {
            result = Failed(sink.Reason(), outputPath);
            break;
        }
        writePosition += static_cast<std::int64_t>(done);
        if (cipher.Stopped() || input.AtEnd()) {
            break;
        }
    }
    generator = cipher.Generator();
    result.stopped = cipher.Stopped();
    result.bytesRead = readPosition - state.readOffset;
    input.Close();
    if (!sink.Close() && result.ok) {
        result = Failed(sink.Reason(), outputPath);
    }
    return result;
}
} // namespace

PassResult TransformFile(const std::string& inputPath, const std::string& outputPath,
                         RootSequence& generator, const JobState& state, const PassWork& work,
                         ChecksumFold* outputFold) {
    FileSink sink(outputPath, outputFold);
    return RunPass(inputPath, outputPath, sink, generator, state, work);
}

PassResult TransformIntoFold(const std::string& inputPath, RootSequence& generator,
                             const JobState& state, const PassWork& work, ChecksumFold& fold) {
    FoldSink sink(fold);
    return RunPass(inputPath, std::string(), sink, generator, state, work);
}

} // namespace NBEngine
