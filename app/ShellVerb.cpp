#include "ShellVerb.h"

#include <new>

#include "ComObject.h"
#include "FileDrop.h"
#include "FormMain.h"

#include <oleidl.h>

namespace MyGame {

namespace {

// Every file of the selection, as the shell gives it: one CF_HDROP.
std::vector<std::wstring> PathsCarried(IDataObject* data) {
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (data == nullptr || FAILED(data->GetData(&format, &medium))) {
        return {};
    }
    std::vector<std::wstring> paths = NBUtility::DroppedPaths(static_cast<HDROP>(medium.hGlobal));
    ReleaseStgMedium(&medium);
    return paths;
}

HRESULT OfferCopy(DWORD* effect) {
    if (effect == nullptr) {
        return E_INVALIDARG;
    }
    *effect = DROPEFFECT_COPY;
    return S_OK;
}

class VerbDropTarget : public ComObject<IDropTarget> {
public:
    explicit VerbDropTarget(FormMain& form) : ComObject(IID_IDropTarget), form_(form) {}

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        return OfferCopy(effect);
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        return OfferCopy(effect);
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        form_.OpenGivenPaths(PathsCarried(data));
        return OfferCopy(effect);
    }

private:
    FormMain& form_;
};

class VerbClassFactory : public ComObject<IClassFactory> {
public:
    explicit VerbClassFactory(FormMain& form) : ComObject(IID_IClassFactory), form_(form) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID asked,
                                             void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        auto* target = new (std::nothrow) VerbDropTarget(form_);
        if (target == nullptr) {
            return E_OUTOFMEMORY;
        }
        const HRESULT result = target->QueryInterface(asked, object);
        target->Release();
        return result;
    }
    // The window, not the callers' locks, keeps the program running.
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    FormMain& form_;
};

} // namespace

bool StartedForEmbedding(const std::vector<std::wstring>& arguments) {
    for (const std::wstring& argument : arguments) {
        if (_wcsicmp(argument.c_str(), L"-Embedding") == 0 ||
            _wcsicmp(argument.c_str(), L"/Embedding") == 0) {
            return true;
        }
    }
    return false;
}

ComApartment::ComApartment()
    : status_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}

ComApartment::~ComApartment() {
    // S_FALSE too: COM was already on, and this call counted.
    if (SUCCEEDED(status_)) {
        CoUninitialize();
    }
}

ShellVerbServer::ShellVerbServer(FormMain& form) {
    status_ = apartment_.Status();
    CLSID verbClass{};
    if (SUCCEEDED(status_)) {
        status_ = CLSIDFromString(shellVerbClassText, &verbClass);
    }
    if (FAILED(status_)) {
        return;
    }
    factory_ = new (std::nothrow) VerbClassFactory(form);
    if (factory_ == nullptr) {
        status_ = E_OUTOFMEMORY;
        return;
    }
    // One caller only: the next verb starts a program, and a window, of its own.
    status_ = CoRegisterClassObject(verbClass, factory_, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE,
                                    &registration_);
}

ShellVerbServer::~ShellVerbServer() {
    if (registration_ != 0) {
        CoRevokeClassObject(registration_);
    }
    if (factory_ != nullptr) {
        factory_->Release();
    }
}

} // namespace MyGame
