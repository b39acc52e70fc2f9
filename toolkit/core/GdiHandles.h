#pragma once
// Owners for GDI objects and device contexts: every painting call releases what
// it made, on every path.

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
        if (handle_ != nullptr) {
            DeleteObject(handle_);
        }
        handle_ = handle;
    }

private:
    Handle handle_;
};

// Selects an object into a context and selects the previous one back.
class SelectedObject {
public:
    SelectedObject(HDC context, HGDIOBJ object)
        : context_(context), previous_(SelectObject(context, object)) {}
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

// A window's client-area context, released at the end.
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
