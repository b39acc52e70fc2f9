#pragma once
// A static control showing a bitmap from the program's resources or a file.
// The image owns the bitmap it shows.

#include "GUIElement.h"
#include "GdiHandles.h"

#include <cstdint>
#include <string>

namespace NBUtility {

class Image : public Child {
public:
    Image(GUIElement* parentElement, std::int32_t bitmapResourceId);
    ~Image() override;

    static constexpr std::int32_t FromFile = -1;

    HBITMAP Bitmap() const { return bitmap_.Get(); }
    std::string bitmapPath;
    std::int32_t resourceId;
    bool border = false;

    void Create() override;
    void SetImageResource(std::int32_t newResourceId);
    void SetImageFile(const std::string& path);

private:
    // Shows the freshly loaded bitmap (or nothing when the load failed) and
    // deletes every handle it replaces.
    void ReplaceBitmap(HBITMAP fresh);

    GdiObject<HBITMAP> bitmap_;
};

} // namespace NBUtility
