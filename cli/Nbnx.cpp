#include "Nbnx.h"

#include <cstdio>

#include "CliJobLink.h"
#include "CommandLine.h"
#include "Container.h"
#include "Jobs.h"
#include "Paths.h"
#include "PlatformFiles.h"
#include "Terminal.h"

namespace NBCli {

namespace {

constexpr std::size_t maximumPasswordLength = 15;

int Failure(const std::string& message) {
    PrintLine(stderr, "nbnx: " + message);
    return exitFailed;
}

// Fills the password (and, when asked on the terminal for an encryption, its
// confirmation). Answers an exit status, or -1 to go on.
int ReadPassword(const Command& command, CliRequest& request) {
    if (!command.passwordFile.empty()) {
        request.confirm = false;
        if (!ReadPasswordFile(command.passwordFile, request.password)) {
            return Failure("cannot read the password from " + command.passwordFile);
        }
    } else {
        const ReadResult first = ReadSecretLine("Password: ", request.password);
        ReadResult second = ReadResult::Read;
        if (first == ReadResult::Read && request.encrypt) {
            second = ReadSecretLine("Confirm password: ", request.confirmation);
        }
        // A stop at the prompt ends the program before any job.
        if (first == ReadResult::Interrupted || second == ReadResult::Interrupted) {
            return StopStatus();
        }
        if (first == ReadResult::Failed || second == ReadResult::Failed) {
            std::fprintf(stderr, "nbnx: no terminal to ask the password on\n"
                                 "Use --password-file FILE (or - for standard input).\n");
            return exitUsage;
        }
    }
    if (request.password.size() > maximumPasswordLength) {
        return Failure("Password must be at most 15 characters");
    }
    return -1;
}

bool IsFolder(const std::string& path) {
    return NBEngine::Platform::KindOf(path, true) == NBEngine::Platform::FileKind::Folder;
}

// The name a container stores, read with the request's password; empty when
// the header does not open or the name would leave its folder. Only a
// regular file is opened: reading a FIFO would wait for a writer.
std::string StoredName(const CliRequest& request) {
    NBEngine::JobState state;
    std::string localName;
    if (!IsRegularFile(request.source) || !NBEngine::DeriveKey(request.password, state.keyTable) ||
        !NBEngine::ReadHeader(request.source, state) ||
        !NBEngine::IsPlainFileName(state.plainName) ||
        !NBEngine::LocalFormOfStoredName(state.plainName, localName)) {
        return std::string();
    }
    return localName;
}

// Settles where the job writes and answers that path (empty while unknown).
// Without -o the output goes beside the input; -o naming a folder puts it
// there under the same name. A decryption whose header does not open keeps
// an empty destination: the job then reports why before writing anything.
std::string ResolveOutput(const Command& command, CliRequest& request) {
    const bool intoFolder = !command.output.empty() && IsFolder(command.output);
    if (!command.output.empty() && !intoFolder) {
        request.destination = command.output;
        return request.destination;
    }
    const std::string folder =
        intoFolder ? NBEngine::WithTrailingSeparator(command.output) : std::string();
    if (request.encrypt) {
        const std::string beside = DefaultContainerPath(command.input);
        request.destination = intoFolder ? folder + NBEngine::FileNameOf(beside) : beside;
        return request.destination;
    }
    const std::string name = StoredName(request);
    if (name.empty()) {
        return std::string();
    }
    if (intoFolder) {
        request.destination = folder + name;
        return request.destination;
    }
    return NBEngine::SameFolderDestination(request.source, name);
}

std::int64_t PassBytes(const CliRequest& request) {
    const std::int64_t size = NBEngine::FileSize(request.source);
    if (request.encrypt) {
        return size;
    }
    return size > NBEngine::headerSize ? size - NBEngine::headerSize : 0;
}

int Stopped() {
    std::fprintf(stderr, "nbnx: stopped; nothing was kept\n");
    return StopStatus();
}

// The path the job is handed is the very one tested here: nothing is trimmed.
bool RefusesExistingOutput(const Command& command, const CliRequest& request,
                           const std::string& output) {
    // A missing source is the job's to report, with its own message.
    return !command.force && !output.empty() && NBEngine::FileExists(output) &&
           NBEngine::FileExists(request.source);
}

int RunJobCommand(const Command& command) {
    CliRequest request;
    request.encrypt = command.action == Action::Encrypt;
    request.source = command.input;
    request.check = request.encrypt && command.check;
    request.force = command.force;

    InstallStopHandler();
    const int passwordStatus = ReadPassword(command, request);
    if (passwordStatus >= 0) {
        return passwordStatus;
    }
    if (StopRequested()) {
        return StopStatus(); // after the prompt, before the job
    }
    const std::string output = ResolveOutput(command, request);
    if (RefusesExistingOutput(command, request, output)) {
        return Failure(output + " already exists (use --force to replace it)");
    }

    CliJobLink link(request, IsErrorTerminal(), PassBytes(request));
    NBEngine::JobState state;
    const bool done = NBEngine::RunJob(link, state);
    link.ClearProgressLine();
    if (done) {
        PrintLine(stdout, output + " written");
        return exitDone;
    }
    // A command-line job leaves nothing of itself behind, stopped or failed.
    link.RemoveListedFiles();
    return StopRequested() ? Stopped() : exitFailed;
}

} // namespace

int RunNbnx(const std::vector<std::string>& arguments) {
    Command command;
    std::string error;
    if (!ParseCommandLine(arguments, command, error)) {
        std::fprintf(stderr, "nbnx: %s\nTry 'nbnx --help'.\n", error.c_str());
        return exitUsage;
    }
    switch (command.action) {
    case Action::Help:
        std::fputs(usageText, stdout);
        return exitDone;
    case Action::Version:
        std::printf("nbnx %s\n", NB_VERSION);
        return exitDone;
    case Action::Encrypt:
    case Action::Decrypt:
        break;
    }
    return RunJobCommand(command);
}

} // namespace NBCli
