#include "TestSupport.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "Container.h"
#include "Jobs.h"
#include "TextConversion.h"

namespace fs = std::filesystem;

namespace NBTest {

// The same byte-to-character rule as the engine, so both name the same file.
static fs::path NativePath(const std::string& path) {
#ifdef _WIN32
    return fs::path(NBUtility::ToWide(path));
#else
    return fs::path(path);
#endif
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path folder = fs::current_path() / "test-tmp" /
                            ("nbtest-" + std::to_string(ticks) + "-" + std::to_string(counter++));
    fs::create_directories(folder);
    path = folder.string() + static_cast<char>(fs::path::preferred_separator);
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

void AppendBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(NativePath(path), std::ios::binary | std::ios::app);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void Remove(const std::string& path) {
    std::error_code ignored;
    fs::remove(NativePath(path), ignored);
}

std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(NativePath(folder))) {
#ifdef _WIN32
        names.push_back(NBUtility::ToNarrow(entry.path().filename().wstring()));
#else
        names.push_back(entry.path().filename().string());
#endif
    }
    std::sort(names.begin(), names.end());
    return names;
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

RecordingJobLink Request(bool encrypt, const std::string& source, const std::string& destination,
                         const std::string& password) {
    RecordingJobLink link;
    link.encryptMode = encrypt;
    link.texts = {{NBEngine::TextField::Source, source},
                  {NBEngine::TextField::Destination, destination},
                  {NBEngine::TextField::Password, password},
                  {NBEngine::TextField::Confirmation, encrypt ? password : ""}};
    link.options = {{NBEngine::Option::Verify, true},
                    {NBEngine::Option::SameFolder, !encrypt && destination.empty()},
                    {NBEngine::Option::SpecifyPath, !encrypt && !destination.empty()}};
    return link;
}

bool Run(RecordingJobLink& link) {
    NBEngine::JobState state;
    return NBEngine::RunJob(link, state);
}

bool WriteOneByteContainer(const std::string& path, const std::string& name,
                           const std::string& password) {
    NBEngine::JobState made;
    if (!NBEngine::DeriveKey(password, made.keyTable)) {
        return false;
    }
    made.plainName = name;
    made.checksumText = std::string(32, '0');
    made.plainSize = 1;
    if (!NBEngine::WriteHeader(path, made)) {
        return false;
    }
    AppendBytes(path, {0x55});
    return true;
}

} // namespace NBTest
