#pragma once
// One worker thread that runs one callback once: created suspended, started
// explicitly, stopped by a bounded wait and then termination. Failures set a
// flag and a text; nothing is thrown.

#include <windows.h>

#include "GdiHandles.h"

#include <cstdint>
#include <functional>
#include <string>

namespace NBUtility {

class Tread;
using RunHandler = std::function<std::int32_t(Tread* thread)>;

class Tread {
public:
    Tread();
    virtual ~Tread();
    Tread(const Tread&) = delete;
    Tread& operator=(const Tread&) = delete;

    // Set both before Start: the worker reads them once it runs.
    RunHandler runCallback;
    void* userData = nullptr; // not owned

    bool failed = false;
    std::string errorText;
    std::int32_t threadNumber = 0;
    DWORD threadId = 0;

    virtual std::int32_t Run();
    virtual void OnFinished() {}

    // true when resumed, or when there is no thread to resume.
    bool Start();
    // Waits up to StopWaitMilliseconds while serving messages sent to this
    // thread, so a worker inside a SendMessageW to it can finish; terminates a
    // thread still running after that. Returns the CloseHandle result, 0 when
    // there was no thread.
    BOOL Stop();
    // Waits up to timeoutMs for the thread to end, serving the messages sent
    // to this thread meanwhile; terminates nothing. true once it has ended
    // (or when there is no thread).
    bool WaitServingSentMessages(DWORD timeoutMs);

    HANDLE Handle() const { return handle_.Get(); }

    static constexpr DWORD StopWaitMilliseconds = 1000;

private:
    static DWORD WINAPI Entry(LPVOID self);
    void Fail(const char* fallbackText);

    KernelHandle handle_;
};

// Number of Tread objects constructed in this process.
std::int32_t TreadCount();

} // namespace NBUtility
