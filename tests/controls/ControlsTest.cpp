// Controls and the toolkit's own windows: elements refused for want of a
// usable owner, every owner releasing the handles it made, and a layout
// following the display's DPI.

#include "CellControl.h"
#include "CheckBoxes.h"
#include "FontSpec.h"
#include "Image.h"
#include "Label.h"
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

// An element whose window could not be made is as one not made yet: not
// created, and keeping what it was configured with for a later Create.
TEST(Controls, ElementsWithoutAUsableOwnerAreNotMadeAndKeepTheirSettings) {
    std::unique_ptr<Form> form(NBTest::NewShownForm());
    CheckBox check(nullptr, "Orphan");
    check.checked = true;
    check.Create();
    EXPECT_EQ(check.window, nullptr);
    EXPECT_FALSE(check.created);
    EXPECT_TRUE(check.GetChecked());
    TabControl tabs(nullptr);
    tabs.Create();
    EXPECT_FALSE(tabs.created);
    EXPECT_TRUE(tabs.AddTab(L"Encrypt"));
    EXPECT_EQ(tabs.tabCaptions, std::vector<std::wstring>{L"Encrypt"});
    Image image(nullptr, 1007);
    image.Create();
    EXPECT_FALSE(image.created);
    EXPECT_EQ(image.Bitmap(), nullptr);
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
        HGDIOBJ firstBitmap = image->Bitmap();
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
        EXPECT_EQ(IsLive(image->Bitmap()), round % 2 == 0);
        EXPECT_EQ(SendMessageW(image->window, STM_GETIMAGE, IMAGE_BITMAP, 0),
                  reinterpret_cast<LRESULT>(image->Bitmap()));
        const HGDIOBJ lastBitmap = image->Bitmap();
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

LONG FontHeight(HGDIOBJ font) {
    LOGFONTW description{};
    return GetObjectW(font, sizeof description, &description) != 0 ? description.lfHeight : 0;
}

RECT RectInParent(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A control may still hold the font of the DPI before until it is given the
// new one: that font lives until the change after.
TEST(DpiLayout, FontsAndRectanglesFollowTheDpiAndComeBack) {
    Form form(GetModuleHandleW(nullptr));
    form.topMost = false;
    form.Create();
    auto font = std::make_unique<FontSpec>("Arial", -14);
    Label label(&form, "scaled");
    label.font = font.get();
    form.layout.AddFont(*font);
    form.layout.Place(label, 10, 11, 51, 20);
    label.Create();
    const HFONT at96 = font->GetHandle();

    struct Step {
        int dpi;
        RECT rect;
        LONG fontHeight;
    };
    const Step steps[] = {
        {144, {15, 17, 92, 47}, -21},
        {192, {20, 22, 122, 62}, -28},
        {96, {10, 11, 61, 31}, -14},
    };
    std::vector<HFONT> handles{at96};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.dpi);
        form.layout.Rescale(step.dpi);
        const RECT rect = RectInParent(label.window);
        EXPECT_TRUE(EqualRect(&rect, &step.rect))
            << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom;
        const auto shown = reinterpret_cast<HFONT>(SendMessageW(label.window, WM_GETFONT, 0, 0));
        EXPECT_EQ(shown, font->GetHandle());
        EXPECT_EQ(FontHeight(shown), step.fontHeight);
        handles.push_back(shown);
        const std::size_t count = handles.size();
        EXPECT_TRUE(IsLive(handles[count - 2])) << "the font just replaced";
        if (count >= 3) {
            EXPECT_FALSE(IsLive(handles[count - 3])) << "the font replaced before";
        }
    }
    font.reset();
    for (HFONT handle : handles) {
        EXPECT_FALSE(IsLive(handle));
    }
}

} // namespace
