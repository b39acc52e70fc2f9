// The element registry and the element operations before and after creation.

#include "ElementRegistry.h"
#include "Form.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace NBUtility;
using NBTest::NewShownForm;
using NBTest::TestEdit;

namespace {

std::vector<GUIElement*> Tail(std::size_t count) {
    const auto& all = ElementRegistry::Elements();
    return {all.end() - static_cast<std::ptrdiff_t>(std::min(count, all.size())), all.end()};
}

TEST(Registry, ListsElementsInConstructionOrderAndRemovesTheLastEqualEntry) {
    auto first = std::make_unique<TestEdit>(nullptr);
    auto second = std::make_unique<TestEdit>(nullptr);
    auto third = std::make_unique<TestEdit>(nullptr);
    EXPECT_EQ(Tail(3), (std::vector<GUIElement*>{first.get(), second.get(), third.get()}));
    second.reset();
    EXPECT_EQ(Tail(2), (std::vector<GUIElement*>{first.get(), third.get()}));
    const auto& all = ElementRegistry::Elements();
    EXPECT_EQ(std::count(all.begin(), all.end(), nullptr), 0);
    ElementRegistry::Add(first.get()); // listed twice: first, third, first
    ElementRegistry::Remove(first.get());
    EXPECT_EQ(Tail(2), (std::vector<GUIElement*>{first.get(), third.get()}));
}

TEST(ElementState, ValuesStoredBeforeCreationReachTheWindowAndSettersFollowIt) {
    std::unique_ptr<Form> form(NewShownForm());
    TestEdit edit(form.get());
    edit.SetSize(80, 30);
    edit.SetText(L"initial");
    edit.SetEnabled(false);
    edit.Focus();
    edit.Hide(); // only a live window can be hidden
    edit.tabStop = false;
    EXPECT_EQ(edit.window, nullptr);
    EXPECT_TRUE(edit.visible);
    edit.Create();
    ASSERT_NE(edit.window, nullptr);
    EXPECT_FALSE(IsWindowEnabled(edit.window));
    EXPECT_TRUE(IsWindowVisible(edit.window));
    EXPECT_FALSE(NBTest::HasBits(NBTest::StyleOf(edit.window), WS_TABSTOP));
    EXPECT_EQ(edit.GetTextNarrow(), "initial");
    RECT frame{};
    GetWindowRect(edit.window, &frame);
    EXPECT_EQ(frame.right - frame.left, 80);

    edit.SetEnabled(true);
    edit.SetTextNarrow("caf\xE9");
    edit.SetSize(90, 28);
    edit.Hide();
    EXPECT_TRUE(IsWindowEnabled(edit.window));
    EXPECT_EQ(NBTest::TextOf(edit.window), L"caf\u00E9");
    GetWindowRect(edit.window, &frame);
    EXPECT_EQ(frame.right - frame.left, 90);
    EXPECT_EQ(frame.bottom - frame.top, 28);
    EXPECT_EQ(edit.GetPosition().x, 10) << "the size changed, not the place";
    EXPECT_FALSE(IsWindowVisible(edit.window));
    EXPECT_FALSE(edit.visible);
    edit.Show();
    EXPECT_TRUE(IsWindowVisible(edit.window));

    SetWindowTextW(edit.window, L"  typed  ");
    EXPECT_EQ(edit.GetText(), L"  typed  ") << "read from the live window";
    EXPECT_EQ(edit.text, L"  typed  ");
}

TEST(ElementState, ShowCreatesAndMoveRefreshesThePositionBeforeOnMove) {
    std::unique_ptr<Form> form(NewShownForm());
    TestEdit edit(form.get());
    edit.Show();
    ASSERT_NE(edit.window, nullptr);
    EXPECT_TRUE(IsWindowVisible(edit.window));
    POINT seen{};
    edit.onMove = [&seen](GUIElement* e) {
        seen = {e->x, e->y};
        return 0;
    };
    SetWindowPos(edit.window, nullptr, 33, 44, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(seen.x, 33);
    EXPECT_EQ(seen.y, 44);
}

TEST(ElementCursor, HandWinsOverWaitInTheClientArea) {
    std::unique_ptr<Form> form(NewShownForm());
    form->handCursor = true;
    form->waitCursor = true;
    const auto setCursor = [&form] {
        return SendMessageW(form->window, WM_SETCURSOR, reinterpret_cast<WPARAM>(form->window),
                            MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    };
    EXPECT_EQ(setCursor(), 1);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    form->handCursor = false;
    setCursor();
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
}

std::wstring ToolTipText(const GUIElement& element) {
    std::vector<wchar_t> buffer(4096, L'\0');
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = element.window;
    tool.uId = reinterpret_cast<UINT_PTR>(element.window);
    tool.lpszText = buffer.data();
    SendMessageW(element.tooltipWindow, TTM_GETTEXTW, buffer.size(),
                 reinterpret_cast<LPARAM>(&tool));
    return buffer.data();
}

TEST(ElementTooltip, LongTextIsCutAndStaysTerminated) {
    std::unique_ptr<Form> form(NewShownForm());
    TestEdit edit(form.get());
    edit.tooltipText = std::string(3000, 'w');
    edit.Create();
    ASSERT_NE(edit.tooltipWindow, nullptr);
    // The toolkit hands over at most 2023 characters; Wine's tooltip keeps
    // 1023 of them, Windows all.
    const std::wstring shown = ToolTipText(edit);
    EXPECT_GE(shown.size(), 1000u);
    EXPECT_LE(shown.size(), 2023u);
    EXPECT_EQ(shown, std::wstring(shown.size(), L'w'));
    edit.tooltipText = "short";
    edit.UpdateTooltip();
    EXPECT_EQ(ToolTipText(edit), L"short");
}

} // namespace
