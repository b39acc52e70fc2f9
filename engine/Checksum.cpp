#include "Checksum.h"

#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "PositionedFile.h"

namespace NBEngine {

namespace {
constexpr int laneCount = checksumLaneCount;
static_assert(checksumChunkSize % laneCount == 0, "every read starts at lane 0");

std::string HexText(const std::uint8_t (&lanes)[laneCount]) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t lane : lanes) {
        text.push_back(digits[lane >> 4]);
        text.push_back(digits[lane & 0x0F]);
    }
    return text;
}

// XORs whole groups of 16 bytes together into folded; returns how many
// bytes that took.
std::size_t FoldGroups(const std::uint8_t* data, std::size_t count,
                       std::uint8_t (&folded)[laneCount]) {
    std::size_t j = 0;
#if defined(__SSE2__)
    // Four accumulators keep four loads in flight.
    __m128i sums[4] = {_mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128(),
                       _mm_setzero_si128()};
    for (; j + 4 * laneCount <= count; j += 4 * laneCount) {
        for (int k = 0; k < 4; ++k) {
            const auto* group = reinterpret_cast<const __m128i*>(data + j + k * laneCount);
            sums[k] = _mm_xor_si128(sums[k], _mm_loadu_si128(group));
        }
    }
    const __m128i all =
        _mm_xor_si128(_mm_xor_si128(sums[0], sums[1]), _mm_xor_si128(sums[2], sums[3]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(folded), all);
#else
    std::memset(folded, 0, sizeof folded);
#endif
    for (; j + laneCount <= count; j += laneCount) {
        for (int lane = 0; lane < laneCount; ++lane) {
            folded[lane] ^= data[j + lane];
        }
    }
    return j;
}

// XORs data[j] into lane j mod 16.
void Fold(const std::uint8_t* data, std::size_t count, std::uint8_t (&lanes)[laneCount]) {
    std::uint8_t folded[laneCount];
    std::size_t j = FoldGroups(data, count, folded);
    for (int lane = 0; lane < laneCount; ++lane) {
        lanes[lane] ^= folded[lane];
    }
    for (; j < count; ++j) {
        lanes[j % laneCount] ^= data[j];
    }
}
} // namespace

void ChecksumFold::Add(const std::uint8_t* data, std::size_t count) {
    // Up to the next lane 0 byte by byte, then whole groups.
    std::size_t done = 0;
    while (done < count && position != 0) {
        lanes[position] ^= data[done++];
        position = (position + 1) % laneCount;
    }
    if (done == count) {
        return;
    }
    Fold(data + done, count - done, lanes);
    position = (count - done) % laneCount;
}

std::string ChecksumFold::Text() const {
    return HexText(lanes);
}

Checksum FoldChecksum(const std::string& path, const KeepGoing& keepGoing) {
    ChecksumFold fold;
    Checksum result;
    PositionedFile file;
    file.OpenRead(path);
    std::vector<std::uint8_t> buffer(ReadBufferSize(path, 0, checksumChunkSize, laneCount));
    std::int64_t position = 0;
    while (!file.Failed()) {
        const std::size_t read = file.ReadAt(position, buffer.data(), buffer.size());
        position += static_cast<std::int64_t>(read);
        if (file.Failed()) {
            break;
        }
        fold.Add(buffer.data(), read);
        if (file.AtEnd()) {
            break;
        }
        if (keepGoing && !keepGoing()) {
            result.stopped = true;
            break;
        }
    }
    result.readable = !file.Failed() && !result.stopped;
    result.length = position;
    result.reason = file.Reason();
    file.Close();
    result.text = fold.Text();
    return result;
}

int ChecksumSeed(const std::string& checksumText) {
    int sum = 0;
    for (char c : checksumText) {
        sum += static_cast<unsigned char>(c);
    }
    return sum;
}

} // namespace NBEngine
