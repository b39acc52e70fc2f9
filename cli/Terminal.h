#pragma once
// What nbnx needs of the terminal and the process: secret input, the
// password file, the kind of a file, stop requests, and arguments as narrow
// text.

#include <string>
#include <vector>

namespace NBCli {

enum class ReadResult { Read, Failed, Interrupted };

// Asks on the terminal itself, without echo, and gives the terminal its
// settings back however the read ends. Fails when there is no terminal.
ReadResult ReadSecretLine(const std::string& prompt, std::string& line);
// The first line of a file, without its line break; "-" reads standard input.
bool ReadFirstLine(const std::string& path, std::string& line);

// A file that can be read without waiting on something else: not a folder,
// FIFO, device or socket. Links are followed.
bool IsRegularFile(const std::string& path);

bool IsErrorTerminal();

// Stop requests only ask the job to stop: SIGINT, SIGTERM, SIGHUP and SIGQUIT,
// or on Windows Ctrl+C, Ctrl+Break and the console being closed.
void InstallStopHandler();
bool StopRequested();
// 128 + the number of the first stop request's signal, as a shell reports a
// process that a signal ended (Windows: Ctrl+Break is SIGBREAK 21, a closed
// console counts as SIGHUP 1).
int StopStatus();

} // namespace NBCli
