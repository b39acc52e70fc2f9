#pragma once
// Files and folders for tests: a private folder removed afterwards, and
// whole-file reads and writes.

#include <cstdint>
#include <string>
#include <vector>

namespace NBTest {

using Bytes = std::vector<std::uint8_t>;

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Native path of the folder, ending in the platform's separator.
    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + name; }

private:
    std::string path;
};

Bytes ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const Bytes& bytes);
void WriteText(const std::string& path, const std::string& text);
bool Exists(const std::string& path);
void Remove(const std::string& path);

// Deterministic contents that differ at every offset of a 128-byte block.
Bytes PatternBytes(std::size_t length, unsigned seed = 0);

std::string DataDir();

} // namespace NBTest
