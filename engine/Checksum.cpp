#include "Checksum.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "PositionedFile.h"

namespace NBEngine {

namespace {
constexpr int laneCount = 16;
constexpr std::size_t foldBlockSize = std::size_t{1} << 19; // a multiple of the lane count
static_assert(foldBlockSize % laneCount == 0);

std::string HexText(const std::uint8_t (&lanes)[laneCount]) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t lane : lanes) {
        text.push_back(digits[lane >> 4]);
        text.push_back(digits[lane & 0x0F]);
    }
    return text;
}
// XORs data[j] into lane j mod 16. Whole groups of 16 go into two 8-byte
// words; copying in and out the same way keeps the lane order on any
// byte order.
void Fold(const std::uint8_t* data, std::size_t count, std::uint8_t (&lanes)[laneCount]) {
    std::uint64_t words[2] = {};
    std::size_t j = 0;
    for (; j + laneCount <= count; j += laneCount) {
        std::uint64_t group[2];
        std::memcpy(group, data + j, sizeof group);
        words[0] ^= group[0];
        words[1] ^= group[1];
    }
    std::uint8_t folded[laneCount];
    std::memcpy(folded, words, sizeof folded);
    for (int lane = 0; lane < laneCount; ++lane) {
        lanes[lane] ^= folded[lane];
    }
    for (; j < count; ++j) {
        lanes[j % laneCount] ^= data[j];
    }
}
} // namespace

Checksum FoldChecksum(const std::string& path) {
    std::uint8_t lanes[laneCount] = {};
    PositionedFile file;
    file.OpenRead(path);
    std::vector<std::uint8_t> buffer(foldBlockSize);
    std::int64_t position = 0;
    while (!file.Failed()) {
        const std::size_t read = file.ReadAt(position, buffer.data(), buffer.size());
        position += static_cast<std::int64_t>(read);
        if (file.Failed()) {
            break;
        }
        Fold(buffer.data(), read, lanes);
        if (file.AtEnd()) {
            break;
        }
    }
    const bool readable = !file.Failed();
    file.Close();
    return Checksum{HexText(lanes), readable};
}

int ChecksumSeed(const std::string& checksumText) {
    int sum = 0;
    for (char c : checksumText) {
        sum += static_cast<unsigned char>(c);
    }
    return sum;
}

} // namespace NBEngine
