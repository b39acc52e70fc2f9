#pragma once
// Owns one system handle and releases it when it goes. Traits name the value
// that means "none" and how a handle is released:
//   struct Traits { static Value None(); static void Release(Value); };

#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

namespace NBEngine {

template <typename Value, typename Traits> class Owned {
public:
    explicit Owned(Value value) : value(value) {}
    ~Owned() {
        if (Valid()) {
            Traits::Release(value);
        }
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    bool Valid() const { return value != Traits::None(); }
    Value Get() const { return value; }
    // Hands the handle over; this owner then holds none.
    Value Release() { return std::exchange(value, Traits::None()); }

private:
    Value value;
};

#ifdef _WIN32
// A handle from CreateFileW (a file, a folder, the console's CONIN$), whose
// "none" is INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static void Release(HANDLE handle) { CloseHandle(handle); }
};
using OwnedFileHandle = Owned<HANDLE, FileHandleTraits>;
#endif

} // namespace NBEngine
