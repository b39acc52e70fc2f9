// Any bytes given as a container: reading the header and decrypting must not
// crash, hang or write anything but the named output.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "JobLink.h"
#include "Jobs.h"

namespace {

class FuzzLink : public NBEngine::JobLink {
public:
    FuzzLink(std::string source, std::string destination)
        : source(std::move(source)), destination(std::move(destination)) {}
    bool IsEncryptMode() override { return false; }
    bool IsPasswordShown() override { return true; }
    bool IsRunning() override { return true; }
    std::string ReadText(NBEngine::TextField field) override {
        switch (field) {
        case NBEngine::TextField::Source:
            return source;
        case NBEngine::TextField::Destination:
            return destination;
        case NBEngine::TextField::Password:
            return "password";
        default:
            return std::string();
        }
    }
    bool IsChecked(NBEngine::Option option) override {
        return option == NBEngine::Option::SameFolder
                   ? destination.empty()
                   : option == NBEngine::Option::SpecifyPath && !destination.empty();
    }
    int GetProgress() override { return progress; }
    void SetProgress(int value) override { progress = value; }
    void ReportError(const NBEngine::JobError&) override {}
    void AddCleanupPath(const std::string&) override {}

private:
    std::string source;
    std::string destination;
    int progress = 0;
};

namespace fs = std::filesystem;

const fs::path& Folder() {
    static const fs::path folder = [] {
        fs::path made = fs::temp_directory_path() / ("nbnx-fuzz-" + std::to_string(getpid()));
        fs::create_directories(made);
        return made;
    }();
    return folder;
}

void RunDecryption(const std::uint8_t* data, std::size_t size, bool sameFolder) {
    const fs::path container = Folder() / "box.nbnx";
    if (FILE* file = std::fopen(container.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    const std::string output = sameFolder ? std::string() : (Folder() / "out.bin").string();
    FuzzLink link(container.string(), output);
    NBEngine::JobState state;
    NBEngine::RunJob(link, state);
    // Only the container and one output may be in the folder: nothing escapes it.
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(Folder())) {
        (void)entry;
        ++entries;
    }
    if (entries > 2) {
        __builtin_trap();
    }
    for (const auto& entry : fs::directory_iterator(Folder())) {
        fs::remove(entry.path());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RunDecryption(data, size, true);
    RunDecryption(data, size, false);
    return 0;
}
