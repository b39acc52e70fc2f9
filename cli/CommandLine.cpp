#include "CommandLine.h"

namespace NBCli {

const char usageText[] =
    "Usage:\n"
    "  nbnx encrypt [--strong] [-o CONTAINER] [--no-check] [--password-file FILE]\n"
    "               [--force] FILE\n"
    "  nbnx decrypt [-o OUTPUT] [--password-file FILE] [--force] CONTAINER\n"
    "  nbnx encrypt [--strong] [-o FOLDER] [--no-check] [--password-file FILE]\n"
    "               [--force] FILE...\n"
    "  nbnx decrypt [-o FOLDER] [--password-file FILE] [--force] CONTAINER...\n"
    "  nbnx --help | --version\n"
    "\n"
    "encrypt writes FILE into a container, by default FILE's name with the extension\n"
    "  .nbnx in FILE's folder, and checks the new container (--no-check skips that).\n"
    "decrypt writes the file stored in CONTAINER, by default into CONTAINER's folder\n"
    "  under the name stored in it. It needs no flag for either container: the\n"
    "  version is read from the file.\n"
    "-o names the output, or an existing folder to write it into under that name.\n"
    "-- ends the options: every argument after it is a file (-x.nbnx, say).\n"
    "\n"
    "--strong writes the strong container: the key is derived from the password\n"
    "  with Argon2id (256 MiB, 3 passes, 4 lanes) and the contents are sealed with\n"
    "  ChaCha20-Poly1305, so that any change to the container is refused. It takes\n"
    "  files of any size, empty ones too. Without it the container is version 1,\n"
    "  which only keeps casual readers out (files of 1 byte to 2 GiB).\n"
    "\n"
    "Several files are handled one after the other, each into its own output\n"
    "beside it, or into the folder -o names (with several files -o must name an\n"
    "existing folder). The password is asked once for all, and with --strong the\n"
    "key is derived once for all. Before the first job the whole set is refused\n"
    "when two files are one, two outputs would be one, or an output is one of the\n"
    "files. Each file gets one line: its output written, or why it failed; a\n"
    "failure does not stop the others. Folders are refused.\n"
    "On Windows nbnx expands * and ? in file names itself.\n"
    "\n"
    "The password is asked on the terminal, twice when encrypting; --password-file\n"
    "takes the first line of FILE instead (- reads standard input) and asks no\n"
    "confirmation. Version 1 takes 8 to 15 characters; the strong container a\n"
    "passphrase of 8 characters up to 1,024 bytes, any characters (an accent typed\n"
    "composed or decomposed is the same). Paths are taken exactly as given.\n"
    "An output is written whole or not at all; an existing one is replaced only\n"
    "with --force. Ctrl+C (or SIGTERM, SIGHUP, SIGQUIT) stops the job and removes\n"
    "what it wrote; in a set the files already written are kept and the rest are\n"
    "not started.\n"
    "\n"
    "Exit status:\n"
    "  0        done (every file of a set)\n"
    "  1        the job failed (in a set: any file failed), or its report could not\n"
    "           be written (a closed pipe); the message says why:\n"
    "           not a container, wrong password, damaged or incomplete, unsupported\n"
    "           (made with settings outside this program's limits), or the system's\n"
    "           reason\n"
    "  2        usage error, a set refused as a whole, or no terminal to ask the\n"
    "           password on\n"
    "  128+N    stopped by signal N: 130 Ctrl+C (SIGINT), 143 SIGTERM, 129 SIGHUP,\n"
    "           131 SIGQUIT; on Windows 130 Ctrl+C, 149 Ctrl+Break, 129 console closed\n"
    "\n"
    "Example:\n"
    "  nbnx encrypt report.pdf          (writes report.nbnx)\n"
    "  nbnx encrypt --strong report.pdf (the same, in the strong container)\n"
    "  nbnx decrypt -o copy.pdf report.nbnx\n"
    "  nbnx decrypt -o restored/ report.nbnx   (writes restored/report.pdf)\n"
    "  nbnx encrypt -o safe/ a.pdf b.doc       (writes safe/a.nbnx and safe/b.nbnx)\n";

namespace {

// Takes the value of an option that may be given once.
bool TakeValue(const std::vector<std::string>& arguments, std::size_t& i, bool& seen,
               std::string& value, std::string& error) {
    if (seen) {
        error = arguments[i] + " given twice";
        return false;
    }
    seen = true;
    if (i + 1 >= arguments.size()) {
        error = "option " + arguments[i] + " needs a value";
        return false;
    }
    value = arguments[++i];
    return true;
}

bool ParseJobArguments(const std::vector<std::string>& arguments, Command& command,
                       std::string& error) {
    bool haveOutput = false;
    bool havePasswordFile = false;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded) {
            command.inputs.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true; // a file may be called -x.nbnx
        } else if (argument == "-o" || argument == "--output") {
            if (!TakeValue(arguments, i, haveOutput, command.output, error)) {
                return false;
            }
        } else if (argument == "--password-file") {
            if (!TakeValue(arguments, i, havePasswordFile, command.passwordFile, error)) {
                return false;
            }
        } else if (argument == "--no-check" && command.action == Action::Encrypt) {
            command.check = false;
        } else if (argument == "--strong" && command.action == Action::Encrypt) {
            command.strong = true;
        } else if (argument == "--force") {
            command.force = true;
        } else if (argument.size() > 1 && argument[0] == '-') {
            error = "unknown option " + argument;
            return false;
        } else {
            command.inputs.push_back(argument);
        }
    }
    if (command.inputs.empty()) {
        error =
            command.action == Action::Encrypt ? "no FILE to encrypt" : "no CONTAINER to decrypt";
        return false;
    }
    if (haveOutput && command.output.empty()) {
        error = "-o needs a path";
        return false;
    }
    if (havePasswordFile && command.passwordFile.empty()) {
        error = "--password-file needs a path";
        return false;
    }
    return true;
}

} // namespace

bool ParseCommandLine(const std::vector<std::string>& arguments, Command& command,
                      std::string& error) {
    command = Command();
    if (arguments.empty()) {
        error = "no command";
        return false;
    }
    const std::string& verb = arguments[0];
    if ((verb == "--help" || verb == "-h") && arguments.size() == 1) {
        command.action = Action::Help;
        return true;
    }
    if (verb == "--version" && arguments.size() == 1) {
        command.action = Action::Version;
        return true;
    }
    if (verb == "encrypt") {
        command.action = Action::Encrypt;
    } else if (verb == "decrypt") {
        command.action = Action::Decrypt;
    } else {
        error = "unknown command " + verb;
        return false;
    }
    return ParseJobArguments(arguments, command, error);
}

} // namespace NBCli
