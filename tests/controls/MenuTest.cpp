// Menus: the native tree built by one Create, commands by id, check marks,
// greying (also of a nested pop-up), and items added late.

#include "Menus.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace NBUtility;
using namespace NBTest;

namespace {

class Menus : public testing::Test {
protected:
    void SetUp() override {
        form.reset(NewShownForm());
        ASSERT_NE(form->window, nullptr);
        bar = std::make_unique<MenuBar>(form.get());
        file = std::make_unique<Menu>("&File", bar.get());
        exitItem = std::make_unique<SubMenu>(file.get(), "&Exit");
        help = std::make_unique<Menu>("&?", bar.get());
        guide = std::make_unique<SubMenu>(help.get(), "&Guide");
        home = std::make_unique<SubMenu>(help.get(), "&Home");
    }
    void TearDown() override {
        form.reset(); // the window takes its native menus with it
    }
    void Choose(SubMenu& item, WORD code = 0) {
        SendMessageW(form->window, WM_COMMAND, MAKEWPARAM(item.id, code), 0);
    }
    UINT State(SubMenu& item) { return GetMenuState(item.OwnerMenu(), item.id, MF_BYCOMMAND); }
    std::wstring Caption(HMENU menu, UINT position) {
        wchar_t buffer[64] = {};
        GetMenuStringW(menu, position, buffer, 64, MF_BYPOSITION);
        return buffer;
    }
    std::unique_ptr<Form> form;
    std::unique_ptr<MenuBar> bar;
    std::unique_ptr<Menu> file;
    std::unique_ptr<SubMenu> exitItem;
    std::unique_ptr<Menu> help;
    std::unique_ptr<SubMenu> guide;
    std::unique_ptr<SubMenu> home;
};

TEST_F(Menus, OneCreateBuildsTheWholeTreeOnTheForm) {
    bar->Create();
    ASSERT_NE(bar->menuHandle, nullptr);
    EXPECT_EQ(GetMenu(form->window), bar->menuHandle);
    EXPECT_EQ(GetMenuItemCount(bar->menuHandle), 2);
    EXPECT_EQ(Caption(bar->menuHandle, 0), L"&File");
    EXPECT_EQ(Caption(bar->menuHandle, 1), L"&?");
    EXPECT_EQ(GetSubMenu(bar->menuHandle, 1), help->menuHandle);
    EXPECT_EQ(GetMenuItemCount(help->menuHandle), 2);
    EXPECT_EQ(GetMenuItemID(help->menuHandle, 0), guide->id);
    EXPECT_EQ(GetMenuItemID(help->menuHandle, 1), home->id);
    EXPECT_EQ(Caption(help->menuHandle, 1), L"&Home");
    for (GUIElement* e : std::vector<GUIElement*>{bar.get(), file.get(), exitItem.get()}) {
        EXPECT_TRUE(e->created);
    }
}

TEST_F(Menus, ACommandReachesTheItemWithItsIdOnly) {
    std::vector<GUIElement*> clicked;
    for (SubMenu* item : {exitItem.get(), guide.get(), home.get()}) {
        item->onClick = [&clicked](GUIElement* e) { clicked.push_back(e); };
    }
    bar->Create();
    Choose(*home);
    Choose(*exitItem);
    Choose(*guide, 1); // an accelerator carries no menu command
    EXPECT_EQ(clicked, (std::vector<GUIElement*>{home.get(), exitItem.get()}));
}

TEST_F(Menus, OnlyACheckableItemTogglesItsMarkAndBeforeItsCallback) {
    guide->checkable = true;
    guide->checked = true;
    std::vector<bool> seen;
    guide->onClick = [&](GUIElement* e) { seen.push_back(static_cast<SubMenu*>(e)->GetChecked()); };
    home->checked = true; // not checkable: never a mark
    bar->Create();
    EXPECT_TRUE(State(*guide) & MF_CHECKED);
    EXPECT_FALSE(State(*home) & MF_CHECKED);
    Choose(*guide);
    EXPECT_FALSE(State(*guide) & MF_CHECKED);
    Choose(*guide);
    EXPECT_TRUE(State(*guide) & MF_CHECKED);
    EXPECT_EQ(seen, (std::vector<bool>{false, true}));
    Choose(*home);
    home->ApplyCheck();
    EXPECT_FALSE(State(*home) & MF_CHECKED);
}

TEST_F(Menus, ItemsAndANestedPopUpAreGreyedThroughTheirOwnHandles) {
    SubMenu more(help.get(), "&More");
    SubMenu first(&more, "First");
    SubMenu second(&more, "Second");
    int popupClicks = 0;
    int secondClicks = 0;
    more.onClick = [&](GUIElement*) { ++popupClicks; };
    second.onClick = [&](GUIElement*) { ++secondClicks; };
    more.enabled = false;
    guide->enabled = false;
    bar->Create();
    EXPECT_TRUE(State(*guide) & MF_GRAYED);
    guide->SetEnabled(true);
    EXPECT_FALSE(State(*guide) & MF_GRAYED);
    ASSERT_NE(more.popupHandle, nullptr);
    EXPECT_EQ(GetSubMenu(help->menuHandle, 2), more.popupHandle);
    EXPECT_EQ(second.OwnerMenu(), more.popupHandle);
    EXPECT_TRUE(GetMenuState(help->menuHandle, 2, MF_BYPOSITION) & MF_GRAYED);
    more.SetEnabled(true);
    EXPECT_FALSE(GetMenuState(help->menuHandle, 2, MF_BYPOSITION) & MF_GRAYED);
    // Its neighbours keep their state.
    EXPECT_FALSE(State(*guide) & MF_GRAYED);

    Choose(second);
    EXPECT_EQ(secondClicks, 1);
    EXPECT_EQ(popupClicks, 0);
}

TEST_F(Menus, ItemsAddedAfterCreationAppearAtOnceEvenWithoutText) {
    bar->Create();
    SubMenu late(help.get(), "&Late");
    SubMenu blank(help.get(), "");
    EXPECT_TRUE(late.created);
    EXPECT_EQ(GetMenuItemCount(help->menuHandle), 4);
    EXPECT_EQ(GetMenuItemID(help->menuHandle, 2), late.id);
    EXPECT_EQ(Caption(help->menuHandle, 3), L"");
    Menu lateMenu("&View", bar.get());
    EXPECT_TRUE(lateMenu.created);
    EXPECT_EQ(GetMenuItemCount(bar->menuHandle), 3);
}

TEST_F(Menus, ElementsWithoutAUsableOwnerAreNotCreated) {
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
}

} // namespace
