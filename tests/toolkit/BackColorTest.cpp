// A background colour survives every repaint, erased or not, and repainting
// it asks for no further paint: a window that invalidates itself while it
// paints never goes idle.

#include "Form.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace NBUtility;

namespace {

constexpr COLORREF Back = RGB(30, 90, 150);

struct Repaint {
    const char* what;
    RECT area; // empty: the whole client area
    UINT flags;
};

TEST(BackColor, EachRepaintShowsTheColourOnceAndLeavesTheWindowValid) {
    std::unique_ptr<Form> form(NBTest::NewShownForm());
    NBTest::TestEdit edit(form.get());
    edit.Create();
    int paints = 0;
    form->onPaint = [&paints](GUIElement*) { return ++paints; };
    form->SetBackColor(Back);
    NBTest::PumpFor(200);
    const POINT inEdit{edit.x + edit.width / 2, edit.y + 4};
    const COLORREF editColour = NBTest::WindowPicture(form->window).At(inEdit.x, inEdit.y);
    ASSERT_NE(editColour, Back);

    const Repaint repaints[] = {
        {"whole, erased", {}, RDW_INVALIDATE | RDW_ERASE},
        {"whole, not erased", {}, RDW_INVALIDATE},
        {"a corner away from the edit box", {200, 100, 260, 150}, RDW_INVALIDATE | RDW_ERASE},
    };
    for (const Repaint& repaint : repaints) {
        SCOPED_TRACE(repaint.what);
        paints = 0;
        const bool whole = IsRectEmpty(&repaint.area) != FALSE;
        RedrawWindow(form->window, whole ? nullptr : &repaint.area, nullptr, repaint.flags);
        NBTest::PumpFor(300);
        EXPECT_EQ(paints, 1) << "one invalidation, one paint";
        EXPECT_FALSE(GetUpdateRect(form->window, nullptr, FALSE));
        const NBTest::WindowPicture picture(form->window);
        ASSERT_GT(picture.Width(), 0);
        EXPECT_EQ(picture.At(picture.Width() - 1, picture.Height() - 1), Back);
        EXPECT_EQ(picture.At(picture.Width() / 2, picture.Height() / 2), Back);
        EXPECT_EQ(picture.At(inEdit.x, inEdit.y), editColour) << "the edit box is not painted over";
    }
}

} // namespace
