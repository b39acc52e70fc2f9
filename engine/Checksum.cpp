#include "Checksum.h"

#include <cstdint>
#include <vector>

#include "PositionedFile.h"

namespace NBEngine {

namespace {
constexpr int laneCount = 16;
constexpr std::size_t foldBlockSize = 10240; // a multiple of the lane count

std::string HexText(const std::uint8_t (&lanes)[laneCount]) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t lane : lanes) {
        text.push_back(digits[lane >> 4]);
        text.push_back(digits[lane & 0x0F]);
    }
    return text;
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
        for (std::size_t j = 0; j < read; ++j) {
            lanes[j % laneCount] ^= buffer[j];
        }
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
