#pragma once
// The nbnx command line: what to do, checked whole before any file is touched.

#include <string>
#include <vector>

namespace NBCli {

enum class Action { Encrypt, Decrypt, Help, Version };

struct Command {
    Action action = Action::Help;
    std::string input;
    std::string output; // empty: beside the input
    std::string passwordFile;
    bool check = true;
    bool force = false;
};

// False with a one-line reason for a usage error.
bool ParseCommandLine(const std::vector<std::string>& arguments, Command& command,
                      std::string& error);

// Where an encryption writes without -o: the input's folder as written, then
// its name with the extension nbnx (a dot in a folder name changes nothing).
std::string DefaultContainerPath(const std::string& input);

extern const char usageText[];

} // namespace NBCli
