// Tab strip: tabs in order, the first selected, one callback per real change
// and none at creation, captions cut for display only, refused tabs.

#include "TabControl.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>
#include <vector>

using namespace NBUtility;
using namespace NBTest;

namespace {

class Tabs : public testing::Test {
protected:
    void SetUp() override {
        form.reset(NewShownForm());
        ASSERT_NE(form->window, nullptr);
        tabs = std::make_unique<TabControl>(form.get());
        tabs->x = 5;
        tabs->y = 5;
        tabs->width = 280;
        tabs->height = 150;
        tabs->onSelectionChanged = [this](TabControl* t, std::int32_t index) {
            EXPECT_EQ(t, tabs.get());
            selections.push_back(index);
        };
    }
    int Count() { return static_cast<int>(SendMessageW(tabs->window, TCM_GETITEMCOUNT, 0, 0)); }
    std::wstring Caption(int index) {
        wchar_t buffer[512] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = buffer;
        item.cchTextMax = 512;
        SendMessageW(tabs->window, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
        return item.pszText;
    }
    // Selects as a user would: Wine and Windows notify the parent for this.
    void SelectByUser(int index) { SendMessageW(tabs->window, TCM_SETCURFOCUS, index, 0); }
    std::unique_ptr<Form> form;
    std::unique_ptr<TabControl> tabs;
    std::vector<std::int32_t> selections;
};

TEST_F(Tabs, TabsAddedBeforeCreationAppearInOrderWithTheFirstSelected) {
    EXPECT_TRUE(tabs->AddTab(L"Encrypt"));
    EXPECT_TRUE(tabs->AddTab(L"Decrypt"));
    tabs->Create();
    ASSERT_NE(tabs->window, nullptr);
    PumpFor(50);
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(Caption(0), L"Encrypt");
    EXPECT_EQ(Caption(1), L"Decrypt");
    EXPECT_EQ(tabs->CurrentSelection(), 0);
    EXPECT_TRUE(selections.empty());
    EXPECT_TRUE(HasBits(StyleOf(tabs->window), WS_CHILD | WS_VISIBLE | WS_TABSTOP));
    EXPECT_TRUE(tabs->AddTab(L"Signing"));
    EXPECT_EQ(Count(), 3) << "a tab added later appears at the end at once";
    EXPECT_EQ(Caption(2), L"Signing");
}

TEST_F(Tabs, OneCallbackPerRealChange) {
    tabs->AddTab(L"Encrypt");
    tabs->AddTab(L"Decrypt");
    tabs->Create();
    SelectByUser(1);
    SelectByUser(1);
    SelectByUser(0);
    EXPECT_EQ(selections, (std::vector<std::int32_t>{1, 0}));
    // Selection from code alone raises nothing.
    SendMessageW(tabs->window, TCM_SETCURSEL, 1, 0);
    EXPECT_EQ(selections.size(), 2u);
}

TEST_F(Tabs, LongCaptionIsShownCutAndKeptWhole) {
    const std::wstring longCaption(200, L'x');
    tabs->AddTab(longCaption);
    tabs->Create();
    EXPECT_EQ(Caption(0), std::wstring(127, L'x'));
    EXPECT_EQ(tabs->tabCaptions[0], longCaption);
}

TEST_F(Tabs, ATabTheStripRefusesIsReportedAsRefused) {
    TabControl orphan(nullptr); // a child without a parent window is never made
    orphan.Create();
    ASSERT_TRUE(orphan.created);
    EXPECT_FALSE(orphan.AddTab(L"Encrypt"));

    tabs->Create();
    DestroyWindow(tabs->window);
    EXPECT_FALSE(tabs->AddTab(L"Late"));
}

} // namespace
