#include "Tread.h"

#include "SystemErrorText.h"

namespace NBUtility {

namespace {

constexpr const char* CreationFailedText = "Errore nella creazione del Tread";
constexpr const char* TerminationFailedText = "Errore durante la terminazione del Tread";

std::int32_t threadCounter = 0;

} // namespace

std::int32_t TreadCount() {
    return threadCounter;
}

// Suspended: the worker must not see this object before it is whole.
Tread::Tread()
    : threadNumber(++threadCounter),
      handle_(CreateThread(nullptr, 0, Entry, this, CREATE_SUSPENDED, &threadId)) {
    if (!handle_) {
        Fail(CreationFailedText);
    }
}

Tread::~Tread() {
    Stop();
}

void Tread::Fail(const char* fallbackText) {
    failed = true;
    const DWORD code = GetLastError();
    errorText = code == 0 ? std::string(fallbackText) : SystemErrorText(code);
}

DWORD WINAPI Tread::Entry(LPVOID self) {
    auto* thread = static_cast<Tread*>(self);
    thread->Run();
    thread->OnFinished();
    return 0;
}

std::int32_t Tread::Run() {
    return runCallback ? runCallback(this) : 0;
}

bool Tread::Start() {
    if (!handle_) {
        return true;
    }
    if (ResumeThread(handle_.Get()) == static_cast<DWORD>(-1)) {
        Fail(CreationFailedText);
        return false;
    }
    return true;
}

bool Tread::WaitServingSentMessages(DWORD timeoutMs) {
    if (!handle_) {
        return true;
    }
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        HANDLE waited = handle_.Get();
        const DWORD result = MsgWaitForMultipleObjects(1, &waited, FALSE, left, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0) {
            return true;
        }
        if (result != WAIT_OBJECT_0 + 1) {
            return false; // timed out or failed
        }
        // Peeking runs the messages sent to this thread and removes nothing posted.
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

BOOL Tread::Stop() {
    if (!handle_) {
        return FALSE;
    }
    if (!WaitServingSentMessages(StopWaitMilliseconds)) {
        DWORD exitCode = 0;
        if (!GetExitCodeThread(handle_.Get(), &exitCode)) {
            exitCode = 0;
        }
        if (!TerminateThread(handle_.Get(), exitCode)) {
            Fail(TerminationFailedText);
        }
    }
    return handle_.Close();
}

} // namespace NBUtility
