#pragma once
// What nbnx needs of the terminal and the process: secret input, the
// password file, the kind of a file, stop requests, and arguments as narrow
// text.

#include <cstdio>
#include <string>
#include <vector>

namespace NBCli {

// Empty: the input ended (Ctrl+D) before anything was typed.
enum class ReadResult { Read, Failed, Interrupted, Empty };

// Asks on the terminal itself, without echo, and gives the terminal its
// settings back however the read ends. Fails when there is no terminal. The
// line comes back as the characters typed, in UTF-8. Ctrl+Z gives the
// terminal back while the program is stopped; when it goes on, it asks again.
ReadResult ReadSecretLine(const std::string& prompt, std::string& line);
// The password's characters, in UTF-8, from the first line of a file ("-":
// standard input) in UTF-8, UTF-16 with its byte-order mark, or Latin-1.
// Nothing past the first line break is waited for (a pipe held open after
// it); a stop while waiting answers Interrupted.
ReadResult ReadPasswordFile(const std::string& path, std::string& password);

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
