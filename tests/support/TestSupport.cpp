#include "TestSupport.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
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
} // namespace

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path folder = fs::current_path() / "test-tmp" /
                            ("nbtest-" + std::to_string(ticks) + "-" + std::to_string(counter++));
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

NBEngine::RootSequence Seeded(int seed) {
    NBEngine::RootSequence generator;
    generator.Seed(seed);
    return generator;
}

bool SameGenerator(const NBEngine::RootSequence& a, const NBEngine::RootSequence& b) {
    return a.state == b.state && a.maxCount == b.maxCount && a.offset == b.offset &&
           a.total == b.total && std::equal(std::begin(a.counts), std::end(a.counts), b.counts);
}

Bytes PlainTransform(const Bytes& input, NBEngine::RootSequence& generator,
                     const NBEngine::KeyTable& key) {
    Bytes output(input.size());
    for (std::size_t k = 0; k < input.size(); ++k) {
        const auto value = static_cast<std::uint32_t>(generator.Next(1, 16));
        output[k] = static_cast<std::uint8_t>(input[k] ^ ((value + key[k % 128]) & 0xFFu));
    }
    return output;
}

RecordingJobLink Request(bool encrypt, const std::string& source, const std::string& destination,
                         const std::string& password) {
    RecordingJobLink link;
    link.encryptMode = encrypt;
    link.texts[NBEngine::TextField::Source] = source;
    link.texts[NBEngine::TextField::Destination] = destination;
    link.texts[NBEngine::TextField::Password] = password;
    link.texts[NBEngine::TextField::Confirmation] = encrypt ? password : "";
    link.options[NBEngine::Option::Verify] = true;
    link.options[NBEngine::Option::SameFolder] = !encrypt && destination.empty();
    link.options[NBEngine::Option::SpecifyPath] = !encrypt && !destination.empty();
    return link;
}

} // namespace NBTest
