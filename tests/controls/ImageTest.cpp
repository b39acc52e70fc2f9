// The image owns its bitmap: loads, failed loads and its end leave exactly the
// shown bitmap alive, and its window never shows a deleted one.

#include "Image.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>

using namespace NBUtility;
using namespace NBTest;

namespace {

constexpr std::int32_t BannerId = 1007; // 20 x 10 in the test resources
constexpr std::int32_t AboutId = 1006;  // 30 x 12
const std::string ResourceFolder = NB_CONTROL_RESOURCES;

LONG WidthOf(HBITMAP bitmap) {
    BITMAP info{};
    return GetObjectW(bitmap, sizeof info, &info) != 0 ? info.bmWidth : 0;
}

bool IsLive(HBITMAP bitmap) {
    return bitmap != nullptr && GetObjectType(bitmap) == OBJ_BITMAP;
}

HBITMAP Shown(HWND window) {
    return reinterpret_cast<HBITMAP>(SendMessageW(window, STM_GETIMAGE, IMAGE_BITMAP, 0));
}

TEST(Images, LoadsAndFailedLoadsLeaveOnlyTheShownBitmapAliveAndTheEndDeletesIt) {
    std::unique_ptr<Form> form(NewShownForm());
    auto image = std::make_unique<Image>(form.get(), BannerId);
    image->SetImageFile(ResourceFolder + "/about.bmp"); // before creation: loaded at creation
    EXPECT_EQ(image->bitmap, nullptr);
    image->Create();
    EXPECT_EQ(WidthOf(image->bitmap), 30);
    std::set<HBITMAP> seen{image->bitmap};
    const auto loads = {
        +[](Image& i) { i.SetImageResource(BannerId); },
        +[](Image& i) { i.SetImageFile(ResourceFolder + "/missing.bmp"); },
        +[](Image& i) { i.SetImageResource(AboutId); },
        +[](Image& i) { i.SetImageResource(4242); },
        +[](Image& i) { i.SetImageFile(ResourceFolder + "/banner.bmp"); },
        +[](Image& i) { i.SetImageFile(ResourceFolder + "/../ImageTest.cpp"); },
    };
    for (int round = 0; round < 30; ++round) {
        for (void (*load)(Image&) : loads) {
            load(*image);
            seen.insert(image->bitmap);
            if (image->bitmap == nullptr) {
                EXPECT_EQ(Shown(image->window), nullptr) << "a failed load shows nothing";
            }
        }
    }
    seen.erase(nullptr);
    EXPECT_EQ(std::count_if(seen.begin(), seen.end(), IsLive), 0) << "the last load failed";
    image->SetImageResource(BannerId);
    HBITMAP last = image->bitmap;
    ASSERT_TRUE(IsLive(last));
    EXPECT_EQ(WidthOf(last), 20);
    HWND window = image->window;
    image.reset();
    EXPECT_FALSE(IsLive(last));
    EXPECT_EQ(Shown(window), nullptr) << "the window that outlives its element";
}

} // namespace
