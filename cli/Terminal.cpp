#include "Terminal.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iostream>

#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include "TextConversion.h"
#else
#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace NBCli {

namespace {
// A signal handler can reach nothing else: this flag is the one piece of
// process-wide state, set from the handler and read by the job.
std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void StripLineBreak(std::string& line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
}
} // namespace

bool StopRequested() {
    return stopRequested.load();
}

bool ReadFirstLine(const std::string& path, std::string& line) {
    line.clear();
    if (path == "-") {
        std::getline(std::cin, line);
        StripLineBreak(line);
        return !std::cin.bad();
    }
    std::ifstream in;
#ifdef _WIN32
    in.open(NBUtility::ToWide(path).c_str(), std::ios::binary);
#else
    in.open(path, std::ios::binary);
#endif
    if (!in) {
        return false;
    }
    std::getline(in, line);
    StripLineBreak(line);
    return !in.bad();
}

#ifdef _WIN32

namespace {
BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) {
        stopRequested.store(true);
        return TRUE;
    }
    return FALSE;
}

class ConsoleMode {
public:
    explicit ConsoleMode(HANDLE console) : console(console) {
        valid = GetConsoleMode(console, &saved) != 0;
    }
    ~ConsoleMode() {
        if (valid) {
            SetConsoleMode(console, saved);
        }
    }
    bool Valid() const { return valid; }
    void WithoutEcho() { SetConsoleMode(console, saved & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)); }

private:
    HANDLE console;
    DWORD saved = 0;
    bool valid = false;
};
} // namespace

void InstallStopHandler() {
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

bool IsErrorTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

ReadResult ReadSecretLine(const std::string& prompt, std::string& line) {
    line.clear();
    HANDLE input =
        CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (input == INVALID_HANDLE_VALUE) {
        return ReadResult::Failed;
    }
    ReadResult result = ReadResult::Failed;
    {
        ConsoleMode mode(input);
        if (mode.Valid()) {
            mode.WithoutEcho();
            std::fputs(prompt.c_str(), stderr);
            std::fflush(stderr);
            wchar_t buffer[256];
            DWORD count = 0;
            if (ReadConsoleW(input, buffer, 255, &count, nullptr)) {
                std::wstring wide(buffer, count);
                line = NBUtility::ToNarrow(wide);
                StripLineBreak(line);
                result = StopRequested() ? ReadResult::Interrupted : ReadResult::Read;
            }
            std::fputs("\n", stderr);
        }
    }
    CloseHandle(input);
    return result;
}

#else

namespace {
void OnStopSignal(int) {
    stopRequested.store(true);
}

// Restores the terminal's settings however the read ends.
class EchoOff {
public:
    explicit EchoOff(int terminal) : terminal(terminal) {
        valid = tcgetattr(terminal, &saved) == 0;
        if (valid) {
            termios quiet = saved;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            tcsetattr(terminal, TCSAFLUSH, &quiet);
        }
    }
    ~EchoOff() {
        if (valid) {
            tcsetattr(terminal, TCSAFLUSH, &saved);
        }
    }
    bool Valid() const { return valid; }

private:
    int terminal;
    termios saved{};
    bool valid = false;
};

class Descriptor {
public:
    explicit Descriptor(int value) : value(value) {}
    ~Descriptor() {
        if (value >= 0) {
            close(value);
        }
    }
    int Get() const { return value; }

private:
    int value;
};
} // namespace

void InstallStopHandler() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no restart: a prompt waiting for input returns
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool IsErrorTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

ReadResult ReadSecretLine(const std::string& prompt, std::string& line) {
    line.clear();
    Descriptor terminal(open("/dev/tty", O_RDWR | O_NOCTTY));
    if (terminal.Get() < 0) {
        return ReadResult::Failed;
    }
    EchoOff echoOff(terminal.Get());
    if (!echoOff.Valid()) {
        return ReadResult::Failed;
    }
    if (write(terminal.Get(), prompt.data(), prompt.size()) < 0) {
        return ReadResult::Failed;
    }
    ReadResult result = ReadResult::Failed;
    for (;;) {
        char c;
        const ssize_t got = read(terminal.Get(), &c, 1);
        if (got < 0 && StopRequested()) {
            result = ReadResult::Interrupted;
            break;
        }
        if (got <= 0) {
            break;
        }
        if (c == '\n' || c == '\r') {
            result = ReadResult::Read;
            break;
        }
        line.push_back(c);
    }
    const char newline = '\n';
    [[maybe_unused]] const ssize_t ignored = write(terminal.Get(), &newline, 1);
    return result;
}

#endif

} // namespace NBCli
