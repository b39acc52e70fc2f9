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
    std::fprintf(stderr, "nbnx: %s\n", message.c_str());
    return exitFailed;
}

// Fills the password (and, when asked on the terminal for an encryption, its
// confirmation). Answers an exit status, or -1 to go on.
int ReadPassword(const Command& command, CliRequest& request) {
    if (!command.passwordFile.empty()) {
        request.confirm = false;
        if (!ReadFirstLine(command.passwordFile, request.password)) {
            return Failure("cannot read the password from " + command.passwordFile);
        }
    } else {
        const ReadResult first = ReadSecretLine("Password: ", request.password);
        ReadResult second = ReadResult::Read;
        if (first == ReadResult::Read && request.encrypt) {
            second = ReadSecretLine("Confirm password: ", request.confirmation);
        }
        if (first == ReadResult::Interrupted || second == ReadResult::Interrupted) {
            return exitStopped;
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

// The output of a same-folder decryption is known once the header opens.
std::string KnownOutput(const CliRequest& request) {
    if (!request.destination.empty()) {
        return request.destination;
    }
    NBEngine::JobState state;
    if (!NBEngine::DeriveKey(request.password, state.keyTable) ||
        !NBEngine::ReadHeader(request.source, state)) {
        return std::string();
    }
    return NBEngine::SameFolderDestination(request.source, state.plainName);
}

bool IsFolder(const std::string& path) {
    std::int64_t size = 0;
    return NBEngine::Platform::PathExists(path) && !NBEngine::Platform::RegularFileSize(path, size);
}

// -o naming a folder: the output goes there under the name it would get
// without -o. Empty when a container's header does not open; the job then
// reports why, before it writes anything.
std::string IntoFolder(const CliRequest& request, const std::string& folder) {
    const std::string prefix = NBEngine::WithTrailingSeparator(folder);
    if (request.encrypt) {
        return prefix + NBEngine::FileNameOf(DefaultContainerPath(request.source));
    }
    NBEngine::JobState state;
    if (!NBEngine::DeriveKey(request.password, state.keyTable) ||
        !NBEngine::ReadHeader(request.source, state) ||
        !NBEngine::IsPlainFileName(state.plainName)) {
        return std::string();
    }
    return prefix + state.plainName;
}

std::int64_t PassBytes(const CliRequest& request) {
    const std::int64_t size = NBEngine::FileSize(request.source);
    if (request.encrypt) {
        return size;
    }
    return size > NBEngine::headerSize ? size - NBEngine::headerSize : 0;
}

int RunJobCommand(const Command& command) {
    CliRequest request;
    request.encrypt = command.action == Action::Encrypt;
    request.source = command.input;
    request.destination = request.encrypt && command.output.empty()
                              ? DefaultContainerPath(command.input)
                              : command.output;
    request.check = request.encrypt && command.check;

    InstallStopHandler();
    const int passwordStatus = ReadPassword(command, request);
    if (passwordStatus >= 0) {
        return passwordStatus;
    }
    if (!command.output.empty() && IsFolder(command.output)) {
        request.destination = IntoFolder(request, command.output);
    }
    // Shown as the system spells it.
    const std::string output = NBEngine::Platform::SystemPath(KnownOutput(request));
    // A missing source is the job's to report, with its own message.
    if (!command.force && !output.empty() && NBEngine::FileExists(output) &&
        NBEngine::FileExists(request.source)) {
        return Failure(output + " already exists (use --force to replace it)");
    }

    CliJobLink link(request, IsErrorTerminal(), PassBytes(request));
    NBEngine::JobState state;
    const bool done = NBEngine::RunJob(link, state);
    link.ClearProgressLine();
    if (done) {
        std::printf("%s written\n", output.c_str());
        return exitDone;
    }
    // A command-line job leaves nothing of itself behind, stopped or failed.
    link.RemoveListedFiles();
    if (StopRequested()) {
        std::fprintf(stderr, "nbnx: stopped; nothing was kept\n");
        return exitStopped;
    }
    return exitFailed;
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
