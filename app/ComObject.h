#pragma once
// The reference counting of a COM object that offers one interface: it is
// made with one reference, which its maker hands on or releases, and deletes
// itself with its last.

#include <windows.h>

#include <objbase.h>

namespace MyGame {

template <typename Interface> class ComObject : public Interface {
public:
    explicit ComObject(const IID& offered) : offered_(offered) {}
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID asked, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (!IsEqualIID(asked, IID_IUnknown) && !IsEqualIID(asked, offered_)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<Interface*>(this);
        this->AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

private:
    const IID& offered_;
    LONG references_ = 1;
};

} // namespace MyGame
