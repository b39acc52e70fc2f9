#pragma once
// What nbnx needs of the terminal and the process: secret input, the
// password file, the kind of a file, stop requests, and arguments as narrow
// text.

#include <cstdio>
#include <string>
#include <vector>

namespace NBCli {

enum class ReadResult { Read, Failed, Interrupted };

// Asks on the terminal itself, without echo, and gives the terminal its
// settings back however the read ends. Fails when there is no terminal. The
// line comes back as the characters typed, in UTF-8.
ReadResult ReadSecretLine(const std::string& prompt, std::string& line);
// The password's characters, in UTF-8, from the first line of a file ("-":
// standard input) in UTF-8, UTF-16 with its byte-order mark, or Latin-1.
bool ReadPasswordFile(const std::string& path, std::string& password);

bool IsErrorTerminal();

// Writes one line of UTF-8 and its line break: to a Windows console as wide
// text, so that every name reads right there; anywhere else as UTF-8.
// False when the line could not be written (a closed pipe, a full disk).
bool PrintLine(std::FILE* stream, const std::string& line);

// Stop requests only ask the job to stop: SIGINT, SIGTERM, SIGHUP and SIGQUIT,
// or on Windows Ctrl+C, Ctrl+Break and the console being closed.
void InstallStopHandler();
bool StopRequested();
// 128 + the number of the first stop request's signal, as a shell reports a
// process that a signal ended (Windows: Ctrl+Break is SIGBREAK 21, a closed
// console counts as SIGHUP 1).
int StopStatus();

} // namespace NBCli
