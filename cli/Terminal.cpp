#include "Terminal.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>

#include "Owned.h"

#include "TextConversion.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/select.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace NBCli {

namespace {
// A signal handler can reach nothing else: the number of the first stop
// signal is the one piece of process-wide state, written by the handler and
// read by the job. 0: no stop was asked.
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

constexpr int signalStatusBase = 128;

void RecordStop(int signal) {
    int none = 0;
    stopSignal.compare_exchange_strong(none, signal);
}
} // namespace

bool StopRequested() {
    return stopSignal.load() != 0;
}

int StopStatus() {
    return signalStatusBase + stopSignal.load();
}

namespace {
// Far more than any password file holds; what lies beyond is never read.
constexpr std::size_t passwordFileLimit = 1 << 16;

// Collects a file's bytes up to its first line break: a byte 10, or in UTF-16
// (known by its byte-order mark) a whole unit 10, since a byte 10 may be half
// of another character there.
class FirstLine {
public:
    // False once the line is complete.
    bool Add(char c) {
        bytes.push_back(c);
        if (bytes.size() >= passwordFileLimit) {
            return false;
        }
        if (!IsUtf16()) {
            return c != '\n';
        }
        const std::size_t size = bytes.size();
        if (size < 4 || size % 2 != 0) {
            return true;
        }
        const bool bigEndian = bytes[0] == '\xFE';
        const char high = bytes[size - 2];
        const char low = bytes[size - 1];
        return !(bigEndian ? (high == 0 && low == '\n') : (high == '\n' && low == 0));
    }
    const std::string& Bytes() const { return bytes; }

private:
    bool IsUtf16() const {
        return bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                     (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
    }
    std::string bytes;
};
} // namespace

#ifdef _WIN32

namespace {
constexpr int closedConsoleSignal = 1; // SIGHUP elsewhere
// Windows gives a close handler about 5 s before it ends the process.
constexpr DWORD cleanUpWaitMilliseconds = 4000;
// The handler runs on a thread of its own, possibly only after the read it
// interrupted has returned.
constexpr DWORD stopNoticeMilliseconds = 1000;
constexpr DWORD stopLookMilliseconds = 10;

BOOL WINAPI OnConsoleControl(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
        RecordStop(SIGINT);
        return TRUE;
    case CTRL_BREAK_EVENT:
        RecordStop(SIGBREAK);
        return TRUE;
    case CTRL_CLOSE_EVENT:
        RecordStop(closedConsoleSignal);
        // Windows ends the process as soon as this returns. The main thread
        // ends it first, once the job has removed its files, with the stop's
        // status; this thread does so only when the job takes too long.
        Sleep(cleanUpWaitMilliseconds);
        ExitProcess(static_cast<UINT>(StopStatus()));
    default:
        return FALSE;
    }
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
    HANDLE console; // not owned
    DWORD saved = 0;
    bool valid = false;
};

bool StopArrives() {
    for (DWORD waited = 0; waited < stopNoticeMilliseconds && !StopRequested();
         waited += stopLookMilliseconds) {
        Sleep(stopLookMilliseconds);
    }
    return StopRequested();
}

ReadResult ReadConsoleLine(HANDLE input, std::string& line) {
    wchar_t buffer[256];
    DWORD count = 0;
    const bool read = ReadConsoleW(input, buffer, 255, &count, nullptr) != 0;
    // Ctrl+C, Ctrl+Break or a closing console end the read without Enter.
    const bool entered = read && count > 0 && buffer[count - 1] == L'\n';
    if (StopRequested() || (!entered && StopArrives())) {
        return ReadResult::Interrupted;
    }
    if (!read) {
        return ReadResult::Failed;
    }
    std::u16string typed(buffer, buffer + count);
    while (!typed.empty() && (typed.back() == u'\n' || typed.back() == u'\r')) {
        typed.pop_back();
    }
    line = NBUtility::Utf16ToUtf8(typed);
    return ReadResult::Read;
}
} // namespace

void InstallStopHandler() {
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

ReadResult ReadPasswordFile(const std::string& path, std::string& password) {
    password.clear();
    std::ifstream file;
    if (path != "-") {
        file.open(NBUtility::ToWide(path).c_str(), std::ios::binary);
        if (!file) {
            return ReadResult::Failed;
        }
    }
    std::istream& in = path == "-" ? std::cin : file;
    FirstLine line;
    char c;
    while (in.get(c) && line.Add(c)) {
    }
    if (StopRequested() || (in.bad() && StopArrives())) {
        return ReadResult::Interrupted;
    }
    if (in.bad()) {
        return ReadResult::Failed;
    }
    password = NBUtility::PasswordTextOfFile(line.Bytes());
    return ReadResult::Read;
}

bool IsErrorTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

bool PrintLine(std::FILE* stream, const std::string& line) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
        return std::fprintf(stream, "%s\n", line.c_str()) >= 0 && std::fflush(stream) == 0;
    }
    std::fflush(stream);
    const std::wstring wide = NBUtility::ToWide(line) + L"\n";
    DWORD written = 0;
    return WriteConsoleW(handle, wide.c_str(), static_cast<DWORD>(wide.size()), &written,
                         nullptr) != 0;
}

ReadResult ReadSecretLine(const std::string& prompt, std::string& line) {
    line.clear();
    NBEngine::OwnedFileHandle input(CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_EXISTING, 0, nullptr));
    if (!input.Valid()) {
        return ReadResult::Failed;
    }
    ConsoleMode mode(input.Get());
    if (!mode.Valid()) {
        return ReadResult::Failed;
    }
    mode.WithoutEcho();
    std::fputs(prompt.c_str(), stderr);
    std::fflush(stderr);
    const ReadResult result = ReadConsoleLine(input.Get(), line);
    std::fputs("\n", stderr);
    return result;
}

#else

namespace {
const int stopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void OnStopSignal(int signal) {
    RecordStop(signal);
}

sigset_t StopSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : stopSignals) {
        sigaddset(&set, signal);
    }
    return set;
}

// Restores the terminal's settings however the read ends.
class EchoOff {
public:
    explicit EchoOff(int terminal) : terminal(terminal) {
        valid = tcgetattr(terminal, &saved) == 0;
        Apply();
    }
    ~EchoOff() { Restore(); }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;
    bool Valid() const { return valid; }

    void Apply() {
        if (valid) {
            termios quiet = saved;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            tcsetattr(terminal, TCSAFLUSH, &quiet);
        }
    }
    void Restore() {
        if (valid) {
            tcsetattr(terminal, TCSAFLUSH, &saved);
        }
    }

private:
    int terminal;
    termios saved{};
    bool valid = false;
};

// Holds the stop signals back while the prompt waits, so that none can slip
// in between the look at the flag and the wait for input: they are let
// through only inside that wait.
class StopSignalsHeld {
public:
    StopSignalsHeld() {
        const sigset_t held = StopSignalSet();
        sigprocmask(SIG_BLOCK, &held, &saved);
    }
    ~StopSignalsHeld() { sigprocmask(SIG_SETMASK, &saved, nullptr); }
    StopSignalsHeld(const StopSignalsHeld&) = delete;
    StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;

    // True when the descriptor (or the other one, if any) has input; false
    // when a signal came or the wait failed.
    bool WaitForInput(int descriptor, int other = -1) const {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(descriptor, &readable);
        if (other >= 0) {
            FD_SET(other, &readable);
        }
        const int highest = descriptor > other ? descriptor : other;
        return pselect(highest + 1, &readable, nullptr, nullptr, nullptr, &saved) > 0;
    }

private:
    sigset_t saved{};
};

struct DescriptorTraits {
    static int None() { return -1; }
    static void Release(int descriptor) { close(descriptor); }
};
using Descriptor = NBEngine::Owned<int, DescriptorTraits>;

// Ctrl+Z at the prompt, noticed through a descriptor while the signal is
// held back, so that the terminal gets its echo back before the program
// stops. Nothing is watched where the signal is ignored: it stops nothing.
class SuspendWatch {
public:
    SuspendWatch() {
        struct sigaction current {};
        sigaction(SIGTSTP, nullptr, &current);
        if (current.sa_handler == SIG_IGN) {
            return;
        }
        const sigset_t suspend = SuspendSet();
        sigprocmask(SIG_BLOCK, &suspend, &saved);
        watched = true;
        descriptor = signalfd(-1, &suspend, SFD_CLOEXEC | SFD_NONBLOCK);
    }
    ~SuspendWatch() {
        if (descriptor >= 0) {
            close(descriptor);
        }
        if (watched) {
            sigprocmask(SIG_SETMASK, &saved, nullptr);
        }
    }
    SuspendWatch(const SuspendWatch&) = delete;
    SuspendWatch& operator=(const SuspendWatch&) = delete;

    int Handle() const { return descriptor; }
    // True when a Ctrl+Z is waiting; takes it.
    bool Take() {
        signalfd_siginfo info;
        return descriptor >= 0 && read(descriptor, &info, sizeof info) == sizeof info;
    }
    // Stops the process as Ctrl+Z does, and returns once it goes on.
    static void StopHere() {
        const sigset_t suspend = SuspendSet();
        sigprocmask(SIG_UNBLOCK, &suspend, nullptr);
        raise(SIGTSTP);
        sigprocmask(SIG_BLOCK, &suspend, nullptr);
    }

private:
    static sigset_t SuspendSet() {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGTSTP);
        return set;
    }
    sigset_t saved{};
    bool watched = false;
    int descriptor = -1;
};

// onSuspend runs when Ctrl+Z was pressed: it gives the terminal back, stops
// and asks again; what was typed before is gone, as the terminal drops it.
ReadResult ReadTerminalLine(int terminal, std::string& line, SuspendWatch& suspend,
                            const std::function<void()>& onSuspend) {
    const StopSignalsHeld held;
    for (;;) {
        if (StopRequested()) {
            return ReadResult::Interrupted;
        }
        if (!held.WaitForInput(terminal, suspend.Handle())) {
            if (errno == EINTR) {
                continue; // the flag tells whether it was a stop
            }
            return ReadResult::Failed;
        }
        if (suspend.Take()) {
            line.clear();
            onSuspend();
            continue;
        }
        char c;
        const ssize_t got = read(terminal, &c, 1);
        if (got == 0) {
            // Ctrl+D: on an empty line nothing was given at all.
            return line.empty() ? ReadResult::Empty : ReadResult::Read;
        }
        if (got != 1) {
            if (errno == EINTR || errno == EAGAIN) {
                continue;
            }
            return ReadResult::Failed;
        }
        if (c == '\n' || c == '\r') {
            return ReadResult::Read;
        }
        line.push_back(c);
    }
}

// Opening a FIFO waits for a writer; a stop ends that wait, as no stop
// signal restarts a call.
int OpenForReading(const std::string& path) {
    for (;;) {
        const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor >= 0 || errno != EINTR || StopRequested()) {
            return descriptor;
        }
    }
}
} // namespace

ReadResult ReadPasswordFile(const std::string& path, std::string& password) {
    password.clear();
    const Descriptor opened(path == "-" ? -1 : OpenForReading(path));
    if (path != "-" && !opened.Valid()) {
        return StopRequested() ? ReadResult::Interrupted : ReadResult::Failed;
    }
    const int descriptor = path == "-" ? STDIN_FILENO : opened.Get();
    const StopSignalsHeld held;
    FirstLine line;
    for (;;) {
        if (StopRequested()) {
            return ReadResult::Interrupted;
        }
        if (!held.WaitForInput(descriptor)) {
            if (errno == EINTR) {
                continue;
            }
            return ReadResult::Failed;
        }
        char c;
        const ssize_t got = read(descriptor, &c, 1);
        if (got < 0 && errno != EINTR && errno != EAGAIN) {
            return ReadResult::Failed;
        }
        if (got == 0 || (got == 1 && !line.Add(c))) {
            break;
        }
    }
    password = NBUtility::PasswordTextOfFile(line.Bytes());
    return ReadResult::Read;
}

namespace {
// The prompt, written where the answer is typed.
bool WritePrompt(int terminal, const std::string& prompt) {
    return write(terminal, prompt.data(), prompt.size()) >= 0;
}
} // namespace

void InstallStopHandler() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no restart: a blocked call returns to look at the flag
    for (const int signal : stopSignals) {
        sigaction(signal, &action, nullptr);
    }
}

bool IsErrorTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

bool PrintLine(std::FILE* stream, const std::string& line) {
    return std::fprintf(stream, "%s\n", line.c_str()) >= 0 && std::fflush(stream) == 0;
}

ReadResult ReadSecretLine(const std::string& prompt, std::string& line) {
    line.clear();
    const Descriptor terminal(open("/dev/tty", O_RDWR | O_NOCTTY));
    if (!terminal.Valid()) {
        return ReadResult::Failed;
    }
    // Watched from before echo goes off: a Ctrl+Z typed at once is caught too.
    SuspendWatch suspend;
    EchoOff echoOff(terminal.Get());
    if (!echoOff.Valid()) {
        return ReadResult::Failed;
    }
    if (!WritePrompt(terminal.Get(), prompt)) {
        return ReadResult::Failed;
    }
    const ReadResult result = ReadTerminalLine(terminal.Get(), line, suspend, [&] {
        echoOff.Restore();
        WritePrompt(terminal.Get(), "\n");
        SuspendWatch::StopHere();
        echoOff.Apply();
        WritePrompt(terminal.Get(), prompt);
    });
    line = NBUtility::PasswordTextOfUtf8(line); // the terminal speaks UTF-8
    const char newline = '\n';
    [[maybe_unused]] const ssize_t ignored = write(terminal.Get(), &newline, 1);
    return result;
}

#endif

} // namespace NBCli
