// Images: pictures from resources and files, failed loads, and replacing the
// picture many times without leaking or double-deleting a bitmap.

#include "Image.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

using namespace NBUtility;
using namespace NBTest;

namespace {

constexpr std::int32_t BannerId = 1007; // 20 x 10 in the test resources
constexpr std::int32_t AboutId = 1006;  // 30 x 12
const std::string ResourceFolder = NB_CONTROL_RESOURCES;
const std::string BannerFile = ResourceFolder + "/banner.bmp";
const std::string AboutFile = ResourceFolder + "/about.bmp";
const std::string MissingFile = ResourceFolder + "/missing.bmp";

SIZE SizeOf(HBITMAP bitmap) {
    BITMAP info{};
    if (GetObjectW(bitmap, sizeof info, &info) == 0) {
        return {0, 0};
    }
    return {info.bmWidth, info.bmHeight};
}

bool IsLiveBitmap(HBITMAP bitmap) {
    return bitmap != nullptr && GetObjectType(bitmap) == OBJ_BITMAP;
}

class Images : public testing::Test {
protected:
    void SetUp() override {
        form.reset(NewShownForm());
        ASSERT_NE(form->window, nullptr);
    }
    std::unique_ptr<Image> NewImage(std::int32_t resourceId) {
        auto image = std::make_unique<Image>(form.get(), resourceId);
        image->x = 5;
        image->y = 5;
        return image;
    }
    HBITMAP Shown(Image& image) {
        return reinterpret_cast<HBITMAP>(SendMessageW(image.window, STM_GETIMAGE, IMAGE_BITMAP, 0));
    }
    std::unique_ptr<Form> form;
};

TEST_F(Images, ResourcePictureIsShownAtCreation) {
    auto image = NewImage(BannerId);
    image->Create();
    ASSERT_NE(image->window, nullptr);
    ASSERT_TRUE(IsLiveBitmap(image->bitmap));
    EXPECT_EQ(SizeOf(image->bitmap).cx, 20);
    EXPECT_EQ(SizeOf(image->bitmap).cy, 10);
    EXPECT_NE(Shown(*image), nullptr);
    EXPECT_TRUE(HasBits(StyleOf(image->window), SS_BITMAP | WS_CHILD | WS_VISIBLE));
    EXPECT_FALSE(HasBits(StyleOf(image->window, true), WS_EX_CLIENTEDGE));
}

TEST_F(Images, ANewResourceReplacesTheOldBitmapAndAnEmptySourceIsOnlyRecorded) {
    auto image = NewImage(BannerId);
    image->Create();
    HBITMAP before = image->bitmap;
    image->SetImageFile("");
    image->SetImageResource(0);
    EXPECT_EQ(image->resourceId, 0);
    EXPECT_EQ(image->bitmap, before);
    EXPECT_TRUE(IsLiveBitmap(before));
    image->SetImageResource(AboutId);
    EXPECT_FALSE(IsLiveBitmap(before));
    ASSERT_TRUE(IsLiveBitmap(image->bitmap));
    EXPECT_EQ(SizeOf(image->bitmap).cx, 30);
}

struct FailedLoad {
    const char* name;
    std::function<void(Image&)> load;
};

TEST_F(Images, AFailedLoadLeavesTheImageEmptyWithNothingDangling) {
    const FailedLoad cases[] = {
        {"missing file", [](Image& i) { i.SetImageFile(MissingFile); }},
        {"missing resource", [](Image& i) { i.SetImageResource(4242); }},
        {"not a bitmap", [](Image& i) { i.SetImageFile(ResourceFolder + "/../ImageTest.cpp"); }},
    };
    for (const FailedLoad& c : cases) {
        SCOPED_TRACE(c.name);
        auto image = NewImage(BannerId);
        image->Create();
        HBITMAP before = image->bitmap;
        ASSERT_TRUE(IsLiveBitmap(before));
        c.load(*image);
        EXPECT_EQ(image->bitmap, nullptr);
        EXPECT_EQ(Shown(*image), nullptr);
        EXPECT_FALSE(IsLiveBitmap(before));
    }
}

TEST_F(Images, SourceSetBeforeCreationIsLoadedAtCreation) {
    auto image = NewImage(BannerId);
    image->SetImageFile(AboutFile);
    EXPECT_EQ(image->bitmap, nullptr);
    image->border = true;
    image->Create();
    ASSERT_TRUE(IsLiveBitmap(image->bitmap));
    EXPECT_EQ(SizeOf(image->bitmap).cx, 30);
    EXPECT_TRUE(HasBits(StyleOf(image->window), WS_BORDER));
    EXPECT_TRUE(HasBits(StyleOf(image->window, true), WS_EX_CLIENTEDGE));
}

TEST_F(Images, TwoHundredChangesLeaveOneLiveBitmap) {
    auto image = NewImage(BannerId);
    image->Create();
    std::set<HBITMAP> seen{image->bitmap};
    for (int change = 0; change < 200; ++change) {
        switch (change % 4) {
        case 0:
            image->SetImageResource(AboutId);
            break;
        case 1:
            image->SetImageFile(BannerFile);
            break;
        case 2:
            image->SetImageFile(MissingFile);
            break;
        default:
            image->SetImageResource(BannerId);
            break;
        }
        seen.insert(image->bitmap);
    }
    seen.erase(nullptr);
    int live = 0;
    for (HBITMAP bitmap : seen) {
        live += IsLiveBitmap(bitmap) ? 1 : 0;
    }
    EXPECT_EQ(live, 1);
    EXPECT_TRUE(IsLiveBitmap(image->bitmap));
}

TEST_F(Images, TheImageDeletesItsBitmapWhenDestroyed) {
    auto image = NewImage(BannerId);
    image->Create();
    HBITMAP bitmap = image->bitmap;
    HWND window = image->window;
    ASSERT_TRUE(IsLiveBitmap(bitmap));
    image.reset();
    EXPECT_FALSE(IsLiveBitmap(bitmap));
    // The window that outlives its element shows no deleted handle.
    EXPECT_EQ(SendMessageW(window, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
}

TEST_F(Images, AFailedWindowLeavesTheImageUncreated) {
    Image orphan(nullptr, BannerId);
    orphan.Create();
    EXPECT_FALSE(orphan.created);
    EXPECT_EQ(orphan.bitmap, nullptr);
}

} // namespace
