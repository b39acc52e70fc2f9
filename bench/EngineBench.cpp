// make bench: keystream rates of the plain generator and of the engine's
// keystream, and time, CPU time and peak memory of whole jobs (RunJob, each in
// a child process of its own) on a large file, against cp of the same file
// followed by sync of the copy: a job flushes its output before it publishes
// it, so the baseline does too. One table on standard output; progress notes
// on standard error.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include "BenchLink.h"
#include "ChildProcess.h"
#include "Jobs.h"
#include "Keystream.h"
#include "RootSequence.h"
#include "StrongContainer.h"
#include "StrongKeys.h"

namespace fs = std::filesystem;

namespace {

constexpr int keystreamSeed = 1900; // one of the seeds with the longest circle
constexpr char password[] = "bench-password";
constexpr double defaultDerivationMiB = NBEngine::defaultStrongCost.memoryKiB / 1024.0;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int EnvironmentNumber(const char* name, int fallback) {
    const char* text = std::getenv(name);
    const int value = text != nullptr ? std::atoi(text) : 0;
    return value > 0 ? value : fallback;
}

template <typename Work> double SecondsOf(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// One value is one keystream byte.
double PlainGeneratorRate() {
    constexpr std::size_t count = std::size_t{1} << 22;
    NBEngine::RootSequence generator;
    generator.Seed(keystreamSeed);
    unsigned sink = 0;
    const double seconds = SecondsOf([&] {
        for (std::size_t i = 0; i < count; ++i) {
            sink += static_cast<unsigned>(generator.Next(1, 16));
        }
    });
    std::fprintf(stderr, "plain generator done (%u)\n", sink & 1u);
    return static_cast<double>(count) / seconds / 1e6;
}

// As the body cipher uses it: 128 values at a time, tables built included.
double EngineKeystreamRate() {
    constexpr std::size_t count = std::size_t{1} << 27;
    std::vector<std::uint8_t> block(128);
    unsigned sink = 0;
    const double seconds = SecondsOf([&] {
        NBEngine::RootSequence generator;
        generator.Seed(keystreamSeed);
        NBEngine::Keystream keystream(generator);
        for (std::size_t done = 0; done < count; done += block.size()) {
            keystream.Fill(block.data(), block.size());
            sink += block[0];
        }
    });
    std::fprintf(stderr, "engine keystream done (%u)\n", sink & 1u);
    return static_cast<double>(count) / seconds / 1e6;
}

class BenchFolder {
public:
    BenchFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/nb-bench-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) {
            path = pattern;
        }
    }
    ~BenchFolder() {
        std::error_code ignored;
        if (!path.empty()) {
            fs::remove_all(path, ignored);
        }
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    bool Ready() const { return !path.empty(); }
    std::string File(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

bool WriteSourceFile(const std::string& path, std::size_t mebibytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    std::vector<std::uint64_t> words((std::size_t{1} << 20) / sizeof(std::uint64_t));
    std::uint64_t x = 0x9E3779B97F4A7C15u;
    bool written = true;
    for (std::size_t i = 0; i < mebibytes && written; ++i) {
        for (std::uint64_t& word : words) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            word = x;
        }
        written =
            std::fwrite(words.data(), sizeof(std::uint64_t), words.size(), file) == words.size();
    }
    return std::fclose(file) == 0 && written;
}

std::string OwnProgram() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : "nb_bench";
}

struct JobRow {
    const char* label;
    std::vector<std::string> command;
    std::string output; // removed after every run, so no job finds it
    double goal;        // on the ratio to the baseline; 0: none
    // The strong rows: their ratio also without the key derivation, which
    // does not grow with the file, and their peak memory against its goal.
    bool strong = false;
    double goalSeconds = 0; // on the time itself; 0: none
    std::vector<double> seconds = {};
    std::vector<double> cpuSeconds = {};
    long peakResidentKiB = 0;
};

bool RunOnce(JobRow& row, NBBench::ChildRun& run) {
    run = NBBench::RunChild(row.command);
    std::remove(row.output.c_str());
    if (!run.succeeded) {
        std::fprintf(stderr, "%s failed\n", row.label);
    }
    return run.succeeded;
}

// Every timed run follows an untimed run of the same command. On a virtual
// machine that hands free memory back to its host (free page reporting, some
// 2 s after pages are freed), memory costs far more to fill again than the
// copying itself. So: let the previous rows' freeing settle first, then the
// run before frees exactly what the timed one needs, which starts at once:
// cp and the jobs all start from warm memory.
bool RunRow(JobRow& row) {
    sync(); // the previous rows' writing stays out of this row's time
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    NBBench::ChildRun run;
    if (!RunOnce(row, run) || !RunOnce(row, run)) {
        return false;
    }
    std::fprintf(stderr, "  %s: %.3f s, CPU %.3f s\n", row.label, run.seconds, run.cpuSeconds);
    row.seconds.push_back(run.seconds);
    row.cpuSeconds.push_back(run.cpuSeconds);
    row.peakResidentKiB = std::max(row.peakResidentKiB, run.peakResidentKiB);
    return true;
}

// The goals are on the wall-clock ratio to the baseline (cp + sync); the
// CPU-time ratio beside it shows the same comparison without the waiting that
// other load on the machine adds.
// The strong container's memory goal: the derivation's own plus 16 MiB.
constexpr double strongPeakGoalMiB = defaultDerivationMiB + 16.0;

std::string GoalText(double figure, double goal, const char* unit) {
    char text[48] = "";
    if (goal > 0) {
        std::snprintf(text, sizeof text, "<= %.1f%s %s", goal, unit,
                      figure <= goal ? "met" : "MISSED");
    }
    return text;
}

void PrintTable(double plainRate, double engineRate, std::size_t mebibytes,
                const std::vector<JobRow>& rows, int runs) {
    std::printf(
        "| measure (median of %d runs) | figure | ratio | goal | CPU time | peak resident |\n",
        runs);
    std::printf("|---|---|---|---|---|---|\n");
    std::printf("| keystream, straightforward generator | %.1f MB/s | 1 | | | |\n", plainRate);
    std::printf("| keystream, engine | %.0f MB/s | %.0f x straightforward | | | |\n", engineRate,
                engineRate / plainRate);
    const double copySeconds = Median(rows.front().seconds);
    const double copyCpuSeconds = Median(rows.front().cpuSeconds);
    double derivationSeconds = 0;
    for (const JobRow& row : rows) {
        if (row.goalSeconds > 0) {
            derivationSeconds = Median(row.seconds);
        }
    }
    for (const JobRow& row : rows) {
        const double seconds = Median(row.seconds);
        const double ratio = seconds / copySeconds;
        const double cpuSeconds = Median(row.cpuSeconds);
        const double peakMiB = static_cast<double>(row.peakResidentKiB) / 1024.0;
        std::string goal = row.goalSeconds > 0 ? GoalText(seconds, row.goalSeconds, " s")
                                               : GoalText(ratio, row.goal, " x");
        std::string ratioText = std::to_string(ratio).substr(0, 4) + " x baseline";
        if (row.strong && row.goalSeconds == 0) {
            const double bodyRatio = (seconds - derivationSeconds) / copySeconds;
            ratioText +=
                ", " + std::to_string(bodyRatio).substr(0, 4) + " x without the derivation";
            goal = row.goal > 0 ? "body " + GoalText(bodyRatio, row.goal, " x") : std::string();
        }
        if (row.strong) {
            goal += (goal.empty() ? "" : "; ") + std::string("memory ") +
                    GoalText(peakMiB, strongPeakGoalMiB, " MiB");
        }
        std::printf("| %s, %zu MiB | %.3f s | %s | %s | %.3f s, %.2f x baseline | %.1f MiB |\n",
                    row.label, row.goalSeconds > 0 ? std::size_t{0} : mebibytes, seconds,
                    ratioText.c_str(), goal.c_str(), cpuSeconds, cpuSeconds / copyCpuSeconds,
                    peakMiB);
    }
}

// The default derivation alone, as a job makes it.
int RunDerivation() {
    NBEngine::Salt salt{};
    NBEngine::Crypto::SecretKey key;
    std::string reason;
    const bool done = NBEngine::Crypto::DeriveArgon2id(password, salt.data(), salt.size(),
                                                       NBEngine::defaultStrongCost, key, reason);
    if (!done) {
        std::fprintf(stderr, "derivation failed: %s\n", reason.c_str());
    }
    return done ? 0 : 1;
}

int RunJobCommand(const std::string& kind, const std::string& source,
                  const std::string& destination) {
    if (kind == "derive") {
        return RunDerivation();
    }
    NBBench::BenchLink link;
    link.strong = kind.rfind("strong-", 0) == 0;
    const std::string plainKind = link.strong ? kind.substr(7) : kind;
    link.encryptMode = plainKind != "decrypt";
    link.verify = plainKind == "encrypt-check";
    link.texts[NBEngine::TextField::Source] = source;
    link.texts[NBEngine::TextField::Destination] = destination;
    link.texts[NBEngine::TextField::Password] = password;
    NBEngine::JobState state;
    return NBEngine::RunJob(link, state) ? 0 : 1;
}

int RunBench() {
    const auto mebibytes = static_cast<std::size_t>(EnvironmentNumber("NB_BENCH_MIB", 512));
    const int runs = EnvironmentNumber("NB_BENCH_RUNS", 5);
    std::vector<double> plainRates;
    std::vector<double> engineRates;
    for (int run = 0; run < runs; ++run) {
        plainRates.push_back(PlainGeneratorRate());
        engineRates.push_back(EngineKeystreamRate());
    }

    BenchFolder folder;
    const std::string source = folder.File("source.bin");
    const std::string container = folder.File("source.nbnx");
    std::fprintf(stderr, "writing a %zu MiB file\n", mebibytes);
    if (!folder.Ready() || !WriteSourceFile(source, mebibytes)) {
        std::fprintf(stderr, "cannot write the source file\n");
        return 1;
    }
    const std::string self = OwnProgram();
    // The decryption rows read a container made here, untimed.
    const std::string strongContainer = folder.File("source-strong.nbnx");
    if (!NBBench::RunChild({self, "--job", "encrypt", source, container}).succeeded ||
        !NBBench::RunChild({self, "--job", "strong-encrypt", source, strongContainer}).succeeded) {
        std::fprintf(stderr, "cannot write the containers\n");
        return 1;
    }
    const std::string output = folder.File("output.bin");
    // The first row is the baseline of every ratio; its time and CPU time
    // include both programs (the shell waits for each).
    std::vector<JobRow> rows = {
        {"cp + sync (baseline)",
         {"sh", "-c", "cp -- \"$1\" \"$2\" && sync -- \"$2\"", "sh", source, output},
         output,
         0},
        {"encrypt, Check off", {self, "--job", "encrypt", source, output}, output, 1.8},
        {"encrypt, Check on", {self, "--job", "encrypt-check", source, output}, output, 2.5},
        {"decrypt", {self, "--job", "decrypt", container, output}, output, 1.8},
        {"key derivation alone (256 MiB, 3 passes, 4 lanes)",
         {self, "--job", "derive", "-", "-"},
         output,
         0,
         true,
         1.5},
        {"strong encrypt, Check off",
         {self, "--job", "strong-encrypt", source, output},
         output,
         1.8,
         true},
        // No goal: Check hashes the plain text twice with SHA-256, which costs
        // more than the cipher on a processor without SHA instructions.
        {"strong encrypt, Check on",
         {self, "--job", "strong-encrypt-check", source, output},
         output,
         0,
         true},
        {"strong decrypt",
         {self, "--job", "strong-decrypt", strongContainer, output},
         output,
         1.8,
         true},
    };
    for (int run = 1; run <= runs; ++run) {
        std::fprintf(stderr, "jobs, round %d of %d\n", run, runs);
        for (JobRow& row : rows) {
            if (!RunRow(row)) {
                return 1;
            }
        }
    }
    PrintTable(Median(plainRates), Median(engineRates), mebibytes, rows, runs);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--job") {
        return RunJobCommand(argv[2], argv[3], argv[4]);
    }
    return RunBench();
}
