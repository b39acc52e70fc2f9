#include "Image.h"

#include "Drawing.h"
#include "ElementRegistry.h"
#include "TextConversion.h"

namespace NBUtility {

Image::Image(GUIElement* parentElement, std::int32_t bitmapResourceId)
    : resourceId(bitmapResourceId) {
    parent = parentElement;
    typeName = "image";
}

Image::~Image() {
    ReplaceBitmap(nullptr);
}

void Image::Create() {
    if (created) {
        return;
    }
    id = TakeNextControlId();
    const DWORD style =
        WS_CHILD | WS_VISIBLE | SS_BITMAP | (enabled ? 0 : WS_DISABLED) | (border ? WS_BORDER : 0);
    window = CreateWindowExW(border ? WS_EX_CLIENTEDGE : 0, L"static", text.c_str(), style, x, y,
                             width, height, parent != nullptr ? parent->window : nullptr,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
    if (window == nullptr) {
        return;
    }
    created = true;
    if (resourceId == FromFile) {
        SetImageFile(bitmapPath);
    } else {
        SetImageResource(resourceId);
    }
    // Subclassed only now, with the picture in place.
    Subclass();
    AttachTooltip(window, this);
    ApplyFont();
}

void Image::SetImageResource(std::int32_t newResourceId) {
    bitmapPath.clear();
    resourceId = newResourceId;
    if (!created || newResourceId <= 0) {
        return;
    }
    ReplaceBitmap(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                                  MAKEINTRESOURCEW(newResourceId & 0xFFFF),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

void Image::SetImageFile(const std::string& path) {
    bitmapPath = path;
    resourceId = FromFile;
    if (!created || path.empty()) {
        return;
    }
    ReplaceBitmap(Drawing::LoadBitmapFile(path));
}

void Image::ReplaceBitmap(HBITMAP fresh) {
    const HBITMAP previous = bitmap_.Get();
    if (window != nullptr && IsWindow(window)) {
        // The control may answer with a copy of its own; that one is ours too.
        auto shown = reinterpret_cast<HBITMAP>(
            SendMessageW(window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(fresh)));
        const GdiObject<HBITMAP> copy(shown != previous && shown != fresh ? shown : nullptr);
    }
    bitmap_.Reset(fresh);
}

} // namespace NBUtility
