#pragma once
// The nbnx command line: what to do, checked whole before any file is touched.

#include <string>
#include <vector>

namespace NBCli {

enum class Action { Encrypt, Decrypt, Help, Version };

struct Command {
    Action action = Action::Help;
    std::vector<std::string> inputs;
    std::string output; // empty: beside each input
    std::string passwordFile;
    bool check = true;
    bool force = false;
    bool strong = false;
};

// False with a one-line reason for a usage error.
bool ParseCommandLine(const std::vector<std::string>& arguments, Command& command,
                      std::string& error);

extern const char usageText[];

} // namespace NBCli
