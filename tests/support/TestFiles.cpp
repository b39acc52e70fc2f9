#include "TestFiles.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "TextConversion.h"

namespace fs = std::filesystem;

namespace NBTest {

namespace {
// The same byte-to-character rule as the engine, so both name the same file.
fs::path NativePath(const std::string& path) {
#ifdef _WIN32
    return fs::path(NBUtility::ToWide(path));
#else
    return fs::path(path);
#endif
}

std::string UniqueName() {
    static std::atomic<int> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return "nbtest-" + std::to_string(ticks) + "-" + std::to_string(counter++);
}
} // namespace

TempDir::TempDir() {
    const fs::path folder = fs::current_path() / "test-tmp" / UniqueName();
    fs::create_directories(folder);
    path = folder.string();
    path.push_back(static_cast<char>(fs::path::preferred_separator));
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(fs::path(path), ignored);
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(NativePath(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, Bytes(text.begin(), text.end()));
}

bool Exists(const std::string& path) {
    std::error_code ignored;
    return fs::exists(NativePath(path), ignored);
}

void Remove(const std::string& path) {
    std::error_code ignored;
    fs::remove(NativePath(path), ignored);
}

Bytes PatternBytes(std::size_t length, unsigned seed) {
    Bytes bytes(length);
    std::uint32_t x = 2463534242u ^ seed;
    for (auto& b : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<std::uint8_t>(x);
    }
    return bytes;
}

std::string DataDir() {
    return NB_TEST_DATA_DIR;
}

} // namespace NBTest
