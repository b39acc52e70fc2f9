#include "Nbnx.h"

#include <cstdio>

#include "CliJobLink.h"
#include "CommandLine.h"
#include "Container.h"
#include "FileSet.h"
#include "Jobs.h"
#include "Paths.h"
#include "PlatformFiles.h"
#include "StrongKeys.h"
#include "Terminal.h"
#include "TextConversion.h"
#include "Wildcards.h"

namespace NBCli {

namespace {

int Failure(const std::string& message) {
    PrintLine(stderr, "nbnx: " + message);
    return exitFailed;
}

// Fills the password (and, when asked on the terminal for an encryption, its
// confirmation). Answers an exit status, or -1 to go on.
int ReadPassword(const Command& command, CliRequest& request) {
    if (!command.passwordFile.empty()) {
        request.confirm = false;
        switch (ReadPasswordFile(command.passwordFile, request.password)) {
        case ReadResult::Read:
        case ReadResult::Empty:
            break;
        case ReadResult::Interrupted:
            return StopStatus();
        case ReadResult::Failed:
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
        if (first == ReadResult::Empty || second == ReadResult::Empty) {
            PrintLine(stderr, "nbnx: no password was given");
            return exitUsage;
        }
        if (first == ReadResult::Failed || second == ReadResult::Failed) {
            std::fprintf(stderr, "nbnx: no terminal to ask the password on\n"
                                 "Use --password-file FILE (or - for standard input).\n");
            return exitUsage;
        }
    }
    return -1;
}

bool IsFolder(const std::string& path) {
    return NBEngine::Platform::KindOf(path, true) == NBEngine::Platform::FileKind::Folder;
}

NBEngine::SetPassword SetPasswordOf(const CliRequest& request, NBEngine::StrongKeyCache& keys) {
    NBEngine::SetPassword password;
    password.bytes = NBUtility::PasswordBytesOfUtf8(request.password);
    password.typed = request.password;
    password.keys = &keys;
    return password;
}

// Runs settle, noting on link's progress line a key derivation it starts
// (reading a strong container's stored name derives its key).
template <typename Settle>
auto WhileDeriving(NBEngine::StrongKeyCache& keys, CliJobLink& link, Settle settle) {
    keys.OnDerivation([&link] { link.NoteKeyDerivation(); });
    const auto result = settle();
    keys.OnDerivation(nullptr);
    link.ClearProgressLine();
    return result;
}

// Settles where the job writes and answers that path (empty while unknown).
// Without -o the output goes beside the input; -o naming a folder puts it
// there under the same name. A decryption whose header does not open keeps
// an empty destination: the job then reports why before writing anything.
std::string ResolveOutput(const Command& command, CliRequest& request,
                          NBEngine::StrongKeyCache& keys) {
    const bool intoFolder = !command.output.empty() && IsFolder(command.output);
    if (!command.output.empty() && !intoFolder) {
        request.destination = command.output;
        return request.destination;
    }
    const std::string folder = intoFolder ? command.output : std::string();
    if (request.encrypt) {
        request.destination = NBEngine::SetEncryptionOutput(request.source, folder);
        return request.destination;
    }
    std::string output;
    std::string reason;
    NBEngine::ReadFault fault = NBEngine::ReadFault::None;
    CliJobLink link(request, IsErrorTerminal(), 0);
    const bool settled = WhileDeriving(keys, link, [&] {
        return NBEngine::SetDecryptionOutput(request.source, folder, SetPasswordOf(request, keys),
                                             output, reason, fault);
    });
    if (!settled) {
        return std::string();
    }
    if (intoFolder) {
        request.destination = output;
    }
    return output;
}

std::int64_t PassBytes(const CliRequest& request) {
    const std::int64_t size = NBEngine::FileSize(request.source);
    if (request.encrypt) {
        return size;
    }
    return size > NBEngine::headerSize ? size - NBEngine::headerSize : 0;
}

// A usage error: the reason, and where to read how it is done.
int UsageError(const std::string& error) {
    std::fprintf(stderr, "nbnx: %s\nTry 'nbnx --help'.\n", error.c_str());
    return exitUsage;
}

// The path the job is handed is the very one tested here: nothing is trimmed.
bool RefusesExistingOutput(const Command& command, const CliRequest& request,
                           const std::string& output) {
    // A missing source is the job's to report, with its own message.
    return !command.force && !output.empty() && NBEngine::FileExists(output) &&
           NBEngine::FileExists(request.source);
}

std::string ExistingOutputMessage(const std::string& output) {
    return output + " already exists (use --force to replace it)";
}

CliRequest RequestOf(const Command& command) {
    CliRequest request;
    request.encrypt = command.action == Action::Encrypt;
    request.check = request.encrypt && command.check;
    request.force = command.force;
    request.strong = request.encrypt && command.strong;
    return request;
}

enum class Outcome { Written, Failed, Stopped };

// A command-line job leaves nothing of itself behind, stopped or failed.
Outcome RunOneJob(const CliRequest& request, const std::string& output, const SetPlace& place,
                  NBEngine::StrongKeyCache& keys) {
    CliJobLink link(request, IsErrorTerminal(), PassBytes(request), place);
    NBEngine::JobState state;
    state.strongKeys = &keys;
    const bool done = NBEngine::RunJob(link, state);
    keys.OnDerivation(nullptr); // it would note through this job's link
    link.ClearProgressLine();
    if (done) {
        // Flushed at once, in order with the messages of the next files. The
        // output stays (it is whole and checked), but a report that could
        // not be written is a failure, as the caller never learns of it.
        return PrintLine(stdout, output + " written") ? Outcome::Written : Outcome::Failed;
    }
    link.RemoveListedFiles();
    return StopRequested() ? Outcome::Stopped : Outcome::Failed;
}

int RunJobCommand(const Command& command) {
    CliRequest request = RequestOf(command);
    request.source = command.inputs.front();

    InstallStopHandler();
    const int passwordStatus = ReadPassword(command, request);
    if (passwordStatus >= 0) {
        return passwordStatus;
    }
    if (StopRequested()) {
        return StopStatus(); // after the prompt, before the job
    }
    NBEngine::StrongKeyCache keys;
    const std::string output = ResolveOutput(command, request, keys);
    if (StopRequested()) {
        std::fprintf(stderr, "nbnx: stopped; nothing was kept\n"); // during a key derivation
        return StopStatus();
    }
    if (RefusesExistingOutput(command, request, output)) {
        return Failure(ExistingOutputMessage(output));
    }
    switch (RunOneJob(request, output, SetPlace(), keys)) {
    case Outcome::Written:
        return exitDone;
    case Outcome::Stopped:
        std::fprintf(stderr, "nbnx: stopped; nothing was kept\n");
        return StopStatus();
    case Outcome::Failed:
        break;
    }
    return exitFailed;
}

// One password serves the whole set: refused once rather than for each file.
std::string SetPasswordRefusal(const CliRequest& request, NBEngine::StrongKeyCache& keys) {
    const std::string refusal =
        NBEngine::SetPasswordRefusal(SetPasswordOf(request, keys), request.encrypt, request.strong);
    if (!refusal.empty() || !request.encrypt || !request.confirm) {
        return refusal;
    }
    return NBEngine::ConfirmationRefusal(request.password, request.confirmation);
}

std::vector<NBEngine::SetMember> SettleSet(const Command& command, const CliRequest& model,
                                           NBEngine::StrongKeyCache& keys) {
    std::vector<NBEngine::SetMember> members;
    SetPlace place;
    place.count = command.inputs.size();
    for (const std::string& input : command.inputs) {
        if (StopRequested()) {
            break; // no more derivations: the caller reports the stop
        }
        place.number = members.size() + 1;
        CliRequest request = model;
        request.source = input;
        CliJobLink link(request, IsErrorTerminal(), 0, place);
        members.push_back(WhileDeriving(keys, link, [&] {
            return NBEngine::SettleMember(input, model.encrypt, command.output,
                                          SetPasswordOf(model, keys));
        }));
    }
    return members;
}

CliRequest MemberRequest(const CliRequest& model, const NBEngine::SetMember& member) {
    CliRequest request = model;
    request.source = member.input;
    request.destination = member.output;
    return request;
}

std::string FilesText(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " file" : " files");
}

int StoppedInSet(const std::string& running, std::size_t notStarted) {
    std::string line = "nbnx: stopped";
    if (!running.empty()) {
        line += "; nothing of " + running + " was kept";
    }
    if (notStarted > 0) {
        line += "; " + FilesText(notStarted) + " not started";
    }
    PrintLine(stderr, line);
    return StopStatus();
}

Outcome RunMember(const Command& command, const CliRequest& request,
                  const NBEngine::SetMember& member, const SetPlace& place,
                  NBEngine::StrongKeyCache& keys) {
    if (!member.reason.empty()) {
        const std::string faultText = ContainerFaultText(member.input, member.fault, std::string());
        PrintLine(stderr, "nbnx: " + (faultText.empty() ? AboutFile(member.input, member.reason)
                                                        : member.input + ": " + faultText));
        return Outcome::Failed;
    }
    if (RefusesExistingOutput(command, request, member.output)) {
        PrintLine(stderr, "nbnx: " + AboutFile(member.input, ExistingOutputMessage(member.output)));
        return Outcome::Failed;
    }
    return RunOneJob(request, member.output, place, keys);
}

// Each file in turn; a failure goes on to the next, a stop ends the set.
int RunSet(const Command& command, const CliRequest& model,
           const std::vector<NBEngine::SetMember>& members, NBEngine::StrongKeyCache& keys) {
    std::vector<CliRequest> requests;
    SetPlace place;
    place.count = members.size();
    for (const NBEngine::SetMember& member : members) {
        requests.push_back(MemberRequest(model, member));
        if (member.reason.empty()) {
            place.workOfSet += WorkOfJob(requests.back(), PassBytes(requests.back()));
        }
    }
    bool anyFailed = false;
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (StopRequested()) {
            return StoppedInSet(std::string(), members.size() - i);
        }
        place.number = i + 1;
        place.input = members[i].input;
        const Outcome outcome = RunMember(command, requests[i], members[i], place, keys);
        if (outcome == Outcome::Stopped) {
            return StoppedInSet(members[i].input, members.size() - i - 1);
        }
        anyFailed = anyFailed || outcome == Outcome::Failed;
        if (members[i].reason.empty()) {
            place.workBefore += WorkOfJob(requests[i], PassBytes(requests[i]));
        }
    }
    return anyFailed ? exitFailed : exitDone;
}

// Several files: -o must name a folder, known before anything is read; the
// outputs are all settled, and the set refused as a whole, before any job.
int RunSetCommand(const Command& command) {
    if (!command.output.empty() && !IsFolder(command.output)) {
        return UsageError("with several files, -o must name an existing folder");
    }
    CliRequest model = RequestOf(command);
    InstallStopHandler();
    const int passwordStatus = ReadPassword(command, model);
    if (passwordStatus >= 0) {
        return passwordStatus;
    }
    NBEngine::StrongKeyCache keys;
    const std::string refusal = SetPasswordRefusal(model, keys);
    if (!refusal.empty()) {
        return Failure(refusal);
    }
    if (StopRequested()) {
        return StopStatus();
    }
    const std::vector<NBEngine::SetMember> members = SettleSet(command, model, keys);
    if (StopRequested()) {
        return StoppedInSet(std::string(), command.inputs.size());
    }
    const NBEngine::SetConflict conflict = NBEngine::FindSetConflict(members);
    if (conflict.kind != NBEngine::SetConflictKind::None) {
        PrintLine(stderr, "nbnx: " + NBEngine::DescribeSetConflict(members, conflict) +
                              "; nothing was written");
        return exitUsage;
    }
    return RunSet(command, model, members, keys);
}

} // namespace

int RunNbnx(const std::vector<std::string>& arguments) {
    Command command;
    std::string error;
    if (!ParseCommandLine(arguments, command, error)) {
        return UsageError(error);
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
    command.inputs = ExpandWildcards(command.inputs);
    return command.inputs.size() == 1 ? RunJobCommand(command) : RunSetCommand(command);
}

} // namespace NBCli
