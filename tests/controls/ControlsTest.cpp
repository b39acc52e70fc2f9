// Controls and the toolkit's own windows: elements refused for want of a
// usable owner, and every owner releasing the handles it made.

#include "CellControl.h"
#include "CheckBoxes.h"
#include "FontSpec.h"
#include "Image.h"
#include "Menus.h"
#include "PanelChildren.h"
#include "TabControl.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace NBUtility;

namespace {

TEST(Controls, ElementsWithoutAUsableOwnerAreNotMadeAndReadAsEmpty) {
    std::unique_ptr<Form> form(NBTest::NewShownForm());
    CheckBox check(nullptr, "Orphan");
    check.checked = true;
    check.Create();
    EXPECT_EQ(check.window, nullptr);
    EXPECT_FALSE(check.GetChecked());
    TabControl tabs(nullptr);
    tabs.Create();
    EXPECT_FALSE(tabs.AddTab(L"Encrypt"));
    Image image(nullptr, 1007);
    image.Create();
    EXPECT_FALSE(image.created);
    EXPECT_EQ(image.bitmap, nullptr);
    Menu loose("&Loose", nullptr);
    loose.Create();
    EXPECT_FALSE(loose.created);
    SubMenu stray(form.get(), "&Stray"); // not under a menu
    stray.Create();
    EXPECT_FALSE(stray.created);
    Form unshown(GetModuleHandleW(nullptr));
    MenuBar noWindow(&unshown);
    noWindow.Create();
    EXPECT_FALSE(noWindow.created);
    TabControl live(form.get());
    live.Create();
    DestroyWindow(live.window);
    EXPECT_FALSE(live.AddTab(L"Late")) << "a tab strip whose window is gone";
}

constexpr std::int32_t BannerId = 1007; // 20 x 10 in the test resources
const std::string ResourceFolder = NB_CONTROL_RESOURCES;

bool IsLive(HGDIOBJ object) {
    return object != nullptr && GetObjectType(object) != 0;
}

// Forms, panels and cells own a class and a brush each, a panel the brush it
// last gave its controls, an image its bitmap (none after a failed load), a
// font descriptor its font; owners go before or after their windows.
TEST(Handles, EveryOwnerReleasesItsClassesBrushesBitmapsAndFonts) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto registered = [instance](const std::wstring& name) {
        WNDCLASSW probe{};
        return GetClassInfoW(instance, name.c_str(), &probe) != FALSE;
    };
    HDC context = CreateCompatibleDC(nullptr);
    for (int round = 0; round < 300 && !testing::Test::HasFailure(); ++round) {
        SCOPED_TRACE(round);
        auto* form = new Form(instance);
        form->topMost = false;
        form->backColor = RGB(10, 20, round % 256);
        form->Create();
        auto panel = std::make_unique<PanelChildren>(form);
        panel->backColor = RGB(255, 0, 0);
        panel->childBackColor = RGB(0, 255, 0);
        auto cell = std::make_unique<CellControl>(panel.get());
        cell->backColor = RGB(0, 0, 255);
        auto image = std::make_unique<Image>(form, BannerId);
        auto font = std::make_unique<FontSpec>("Arial", -14);
        panel->Create();
        cell->Create();
        image->Create();
        HGDIOBJ replacedBrush = panel->OnControlColor(context);
        HGDIOBJ firstBitmap = image->bitmap;
        image->SetImageFile(ResourceFolder + (round % 2 ? "/missing.bmp" : "/about.bmp"));
        const std::vector<HGDIOBJ> objects{
            form->windowClass.hbrBackground, panel->windowClass.hbrBackground,
            cell->windowClass.hbrBackground, panel->OnControlColor(context), font->GetHandle()};
        const std::wstring classes[] = {form->ClassName(), panel->ClassName(), cell->ClassName()};
        for (HGDIOBJ object : objects) {
            EXPECT_TRUE(IsLive(object));
        }
        EXPECT_FALSE(IsLive(replacedBrush));
        EXPECT_FALSE(IsLive(firstBitmap));
        EXPECT_EQ(IsLive(image->bitmap), round % 2 == 0);
        EXPECT_EQ(SendMessageW(image->window, STM_GETIMAGE, IMAGE_BITMAP, 0),
                  reinterpret_cast<LRESULT>(image->bitmap));
        const HGDIOBJ lastBitmap = image->bitmap;
        image.reset();
        EXPECT_FALSE(IsLive(lastBitmap));
        if (round % 3 == 0) {
            // Closed by the user: the loop releases the class while the form lives on.
            SendMessageW(form->window, WM_CLOSE, 0, 0);
            ReleaseRetiredWindowClasses();
            EXPECT_FALSE(registered(classes[0]));
        } else if (round % 3 == 1) {
            delete form;
            form = nullptr;
        }
        cell.reset();
        panel.reset();
        font.reset();
        delete form;
        for (const std::wstring& name : classes) {
            EXPECT_FALSE(registered(name));
        }
        for (HGDIOBJ object : objects) {
            EXPECT_FALSE(IsLive(object));
        }
    }
    DeleteDC(context);
}

} // namespace
