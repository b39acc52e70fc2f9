// A file beyond every 32-bit size goes through the strong container and back
// byte for byte. The source is sparse, marked around the sizes where 32-bit
// arithmetic would break; the output is compared with it piece by piece.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Jobs.h"
#include "StrongContainer.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t largeSize = 5ull * 512 * 1024 * 1024; // 2.5 GiB
constexpr std::uint64_t marks[] = {0, 65535, 65536, 2147483647, 2147483648, largeSize - 1};

void MakeSparseSource(const std::string& path) {
    { std::ofstream create(path, std::ios::binary); }
    fs::resize_file(path, largeSize);
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    for (const std::uint64_t at : marks) {
        file.seekp(static_cast<std::streamoff>(at));
        file.put(static_cast<char>(0x5a ^ (at & 0xff)));
    }
}

// The first offset where the two files differ, or -1 when they are the same.
std::int64_t FirstDifference(const std::string& a, const std::string& b) {
    std::ifstream left(a, std::ios::binary);
    std::ifstream right(b, std::ios::binary);
    std::vector<char> leftPiece(1 << 20);
    std::vector<char> rightPiece(1 << 20);
    std::int64_t offset = 0;
    while (left && right) {
        left.read(leftPiece.data(), static_cast<std::streamsize>(leftPiece.size()));
        right.read(rightPiece.data(), static_cast<std::streamsize>(rightPiece.size()));
        if (left.gcount() != right.gcount() ||
            !std::equal(leftPiece.begin(), leftPiece.begin() + left.gcount(), rightPiece.begin())) {
            return offset;
        }
        offset += left.gcount();
    }
    return left.eof() && right.eof() ? -1 : offset;
}

TEST(StrongLargeFile, TwoAndAHalfGibibytesRoundTrip) {
    NBTest::TempDir dir;
    const std::uint64_t needed = NBEngine::StrongContainerSize(largeSize) + largeSize;
    const fs::space_info space = fs::space(dir.Path());
    if (space.available < needed + (256u << 20)) {
        GTEST_SKIP() << "needs " << (needed >> 20) << " MiB free beside " << dir.Path() << ", has "
                     << (space.available >> 20) << " MiB";
    }
    setenv("NB_STRONG_COST", "8192,1,1", 1);
    const std::string source = dir.File("large.bin");
    MakeSparseSource(source);

    auto encryption = NBTest::Request(true, source, dir.File("large.nbnx"), "large-file-password");
    encryption.options[NBEngine::Option::Strong] = true;
    encryption.options[NBEngine::Option::Verify] = false;
    ASSERT_TRUE(NBTest::Run(encryption)) << encryption.errors.front().first;
    EXPECT_EQ(fs::file_size(dir.File("large.nbnx")), NBEngine::StrongContainerSize(largeSize));

    const std::string restored = dir.File("restored.bin");
    auto decryption =
        NBTest::Request(false, dir.File("large.nbnx"), restored, "large-file-password");
    decryption.options[NBEngine::Option::Verify] = false;
    ASSERT_TRUE(NBTest::Run(decryption)) << decryption.errors.front().first;
    unsetenv("NB_STRONG_COST");
    EXPECT_EQ(FirstDifference(source, restored), -1);
}

} // namespace
