#pragma once
// What nbnx needs of the terminal and the process: secret input, the
// password file, Ctrl+C as a stop request, and arguments as narrow text.

#include <string>
#include <vector>

namespace NBCli {

enum class ReadResult { Read, Failed, Interrupted };

// Asks on the terminal itself, without echo. Fails when there is no terminal.
ReadResult ReadSecretLine(const std::string& prompt, std::string& line);
// The first line of a file, without its line break; "-" reads standard input.
bool ReadFirstLine(const std::string& path, std::string& line);

bool IsErrorTerminal();

// Ctrl+C (and a termination request) only asks the job to stop.
void InstallStopHandler();
bool StopRequested();

} // namespace NBCli
