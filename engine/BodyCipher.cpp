#include "BodyCipher.h"

#include <cstdint>
#include <cstring>

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

bool TransformFile(const std::string& inputPath, const std::string& outputPath,
                   RootSequence& generator, const JobState& state, JobLink& link) {
    const bool verify = link.IsChecked(Option::Verify);
    const int start = link.GetProgress();
    const int end = verify ? start + (progressMaximum - start) / 2 : progressMaximum;
    const std::int32_t total = state.plainSize;
    std::int64_t readPosition = state.readOffset;
    std::int64_t writePosition = state.writeOffset;

    PositionedFile input;
    PositionedFile output;
    input.OpenRead(inputPath);
    output.OpenAppend(outputPath);
    bool result = !input.NotOpen() && !output.NotOpen();

    std::uint8_t buffer[cipherBlockSize];
    while (result) {
        std::memset(buffer, 0, sizeof buffer);
        const std::size_t count = input.ReadAt(readPosition, buffer, sizeof buffer);
        readPosition += static_cast<std::int64_t>(count);
        if (input.Failed()) {
            result = false;
            break;
        }
        for (std::size_t i = 0; i < count; ++i) {
            // Only the low 8 bits matter; unsigned so that values near the
            // 32-bit limit wrap instead of overflowing.
            const auto value = static_cast<std::uint32_t>(generator.Next(1, 16));
            buffer[i] ^= static_cast<std::uint8_t>((value + state.keyTable[i]) & 0xFFu);
        }
        if (!output.WriteAt(writePosition, buffer, count)) {
            result = false;
            break;
        }
        writePosition += static_cast<std::int64_t>(count);
        link.SetProgress(ProgressAt(writePosition, total, start, end));
        if (!link.IsRunning() || input.AtEnd()) {
            break;
        }
    }
    input.Close();
    // Bytes still buffered can fail to reach the disk only now.
    if (!output.Close()) {
        result = false;
    }
    return result;
}

} // namespace NBEngine
