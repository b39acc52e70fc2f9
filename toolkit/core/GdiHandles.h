#pragma once
// Owners of the toolkit's Windows handles: GDI objects, device contexts,
// icons and kernel handles. Each is released on every path, and nothing else
// in the toolkit or the program releases a handle by hand.

#include <windows.h>

namespace NBUtility {

// Owns a GDI object (pen, brush, bitmap, font) and deletes it.
template <typename Handle> class GdiObject {
public:
    explicit GdiObject(Handle handle = nullptr) : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(Handle handle = nullptr) {
        if (handle_ != nullptr && handle_ != handle) {
            DeleteObject(handle_);
        }
        handle_ = handle;
    }
    // Hands the object over (to a window class, say); this owner then holds none.
    Handle Release() {
        Handle handed = handle_;
        handle_ = nullptr;
        return handed;
    }

private:
    Handle handle_;
};

// Selects an object into a context and selects the previous one back; no
// object selects nothing.
class SelectedObject {
public:
    SelectedObject(HDC context, HGDIOBJ object)
        : context_(context),
          previous_(object != nullptr ? SelectObject(context, object) : nullptr) {}
    ~SelectedObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            SelectObject(context_, previous_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC context_;
    HGDIOBJ previous_;
};

// A memory context compatible with another one; deleted at the end.
class MemoryContext {
public:
    explicit MemoryContext(HDC compatibleWith) : context_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryContext() {
        if (context_ != nullptr) {
            DeleteDC(context_);
        }
    }
    MemoryContext(const MemoryContext&) = delete;
    MemoryContext& operator=(const MemoryContext&) = delete;

    HDC Get() const { return context_; }

private:
    HDC context_;
};

// A window's client-area context (the screen's for no window), released at the end.
class WindowContext {
public:
    explicit WindowContext(HWND window) : window_(window), context_(GetDC(window)) {}
    ~WindowContext() {
        if (context_ != nullptr) {
            ReleaseDC(window_, context_);
        }
    }
    WindowContext(const WindowContext&) = delete;
    WindowContext& operator=(const WindowContext&) = delete;

    HDC Get() const { return context_; }

private:
    HWND window_;
    HDC context_;
};

// Owns an icon made by LoadImage or CreateIcon and destroys it; never one
// from LoadIcon, which the system shares.
class OwnedIcon {
public:
    explicit OwnedIcon(HICON icon = nullptr) : icon_(icon) {}
    ~OwnedIcon() { Reset(); }
    OwnedIcon(const OwnedIcon&) = delete;
    OwnedIcon& operator=(const OwnedIcon&) = delete;

    HICON Get() const { return icon_; }
    void Reset(HICON icon = nullptr) {
        if (icon_ != nullptr && icon_ != icon) {
            DestroyIcon(icon_);
        }
        icon_ = icon;
    }

private:
    HICON icon_;
};

// Owns a kernel handle whose "none" is null (a thread, an event) and closes it.
class KernelHandle {
public:
    explicit KernelHandle(HANDLE handle = nullptr) : handle_(handle) {}
    ~KernelHandle() { Close(); }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;

    HANDLE Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // The CloseHandle result; FALSE when there was none.
    BOOL Close() {
        if (handle_ == nullptr) {
            return FALSE;
        }
        const BOOL closed = CloseHandle(handle_);
        handle_ = nullptr;
        return closed;
    }

private:
    HANDLE handle_;
};

// Owns a block from GlobalAlloc and frees it, unless handed over (to the
// clipboard, which then owns it).
class GlobalMemory {
public:
    explicit GlobalMemory(HGLOBAL memory = nullptr) : memory_(memory) {}
    ~GlobalMemory() {
        if (memory_ != nullptr) {
            GlobalFree(memory_);
        }
    }
    GlobalMemory(const GlobalMemory&) = delete;
    GlobalMemory& operator=(const GlobalMemory&) = delete;

    HGLOBAL Get() const { return memory_; }
    explicit operator bool() const { return memory_ != nullptr; }
    HGLOBAL Release() {
        HGLOBAL handed = memory_;
        memory_ = nullptr;
        return handed;
    }

private:
    HGLOBAL memory_;
};

// Sets a context's text and background colours and restores them.
class ContextColors {
public:
    ContextColors(HDC context, COLORREF text, COLORREF background)
        : context_(context), previousText_(SetTextColor(context, text)),
          previousBackground_(SetBkColor(context, background)) {}
    ~ContextColors() {
        SetTextColor(context_, previousText_);
        SetBkColor(context_, previousBackground_);
    }
    ContextColors(const ContextColors&) = delete;
    ContextColors& operator=(const ContextColors&) = delete;

private:
    HDC context_;
    COLORREF previousText_;
    COLORREF previousBackground_;
};

} // namespace NBUtility
