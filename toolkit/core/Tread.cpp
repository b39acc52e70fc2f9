#include "Tread.h"

#include "FontSpec.h"

namespace NBUtility {

namespace {

constexpr const char* CreationFailedText = "Errore nella creazione del Tread";
constexpr const char* TerminationFailedText = "Errore durante la terminazione del Tread";

std::int32_t threadCounter = 0;

} // namespace

std::int32_t TreadCount() {
    return threadCounter;
}

Tread::Tread() : threadNumber(++threadCounter) {
    handle_ = CreateThread(nullptr, 0, Entry, this, CREATE_SUSPENDED, &threadId);
    if (handle_ == nullptr) {
        Fail(CreationFailedText);
    }
}

Tread::~Tread() {
    Stop();
}

void Tread::Fail(const char* fallbackText) {
    failed = true;
    errorText = SystemErrorText();
    if (errorText.empty()) {
        errorText = fallbackText;
    }
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
    if (handle_ == nullptr) {
        return true;
    }
    if (ResumeThread(handle_) == static_cast<DWORD>(-1)) {
        Fail(CreationFailedText);
        return false;
    }
    return true;
}

bool Tread::WaitServingSentMessages(DWORD timeoutMs) {
    if (handle_ == nullptr) {
        return true;
    }
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        const DWORD result = MsgWaitForMultipleObjects(1, &handle_, FALSE, left, QS_SENDMESSAGE);
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
    if (handle_ == nullptr) {
        return FALSE;
    }
    if (!WaitServingSentMessages(StopWaitMilliseconds)) {
        DWORD exitCode = 0;
        if (!GetExitCodeThread(handle_, &exitCode)) {
            exitCode = 0;
        }
        if (!TerminateThread(handle_, exitCode)) {
            Fail(TerminationFailedText);
        }
    }
    const BOOL closed = CloseHandle(handle_);
    handle_ = nullptr;
    return closed;
}

} // namespace NBUtility
