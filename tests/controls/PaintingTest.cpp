// What the toolkit's painted elements show, read back pixel by pixel: a
// cell's background, a bitmap whose black is see-through where the toolkit
// draws it itself (cells, owner-drawn buttons) and shown as it is by an image
// control, and the page of a tab strip behind the labels and boxes on it.

#include "Button.h"
#include "CellControl.h"
#include "CheckBoxes.h"
#include "Drawing.h"
#include "Form.h"
#include "GdiHandles.h"
#include "Image.h"
#include "Label.h"
#include "TabControl.h"
#include "WindowTestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace NBUtility;

namespace {

using NBTest::Black;
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF CellBack = RGB(30, 90, 150);
constexpr COLORREF ButtonBack = RGB(0, 128, 0);
// 20 x 10: the left half black, the right half red.
const std::string HalfBlackBitmap = std::string(NB_CONTROL_RESOURCES) + "/halfblack.bmp";

// Hands its buttons their colours, as the program's main window does.
class ColouringForm : public Form {
public:
    ColouringForm() : Form(GetModuleHandleW(nullptr)) {
        topMost = false;
        x = y = 50;
        width = 300;
        height = 240;
    }
    HBRUSH OnControlColor(HDC context) override {
        SetBkColor(context, ButtonBack);
        SetTextColor(context, NBTest::White);
        return brush.Get();
    }

private:
    GdiObject<HBRUSH> brush{CreateSolidBrush(ButtonBack)};
};

class Painting : public testing::Test {
protected:
    void SetUp() override {
        form.Create();
        ASSERT_TRUE(form.created);
        ASSERT_TRUE(bitmap) << HalfBlackBitmap;
    }

    NBTest::WindowPicture Repainted(const GUIElement& element) {
        RedrawWindow(form.window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        NBTest::PumpFor(100);
        return NBTest::WindowPicture(element.window);
    }

    // The element, made on the form with the bitmap.
    std::unique_ptr<GUIElement> Make(const std::string& kind) {
        if (kind == "image") {
            auto image = std::make_unique<Image>(&form, Image::FromFile);
            image->bitmapPath = HalfBlackBitmap;
            image->Place(10, 10, 20, 10);
            image->Create();
            return image;
        }
        if (kind == "cell") {
            auto cell = std::make_unique<CellControl>(&form);
            cell->bitmap = bitmap.Get();
            cell->bitmapWidth = 20;
            cell->bitmapHeight = 10;
            cell->bitmapAlign = 0; // left, 3 pixels in
            cell->Place(10, 40, 60, 30);
            cell->Create();
            cell->SetBackColor(CellBack);
            return cell;
        }
        auto button = std::make_unique<Button>(&form, "Go");
        button->ownerDraw = true;
        button->image = bitmap.Get();
        button->Place(10, 90, 100, 40);
        button->Create();
        return button;
    }

    ColouringForm form;
    GdiObject<HBITMAP> bitmap{Drawing::LoadBitmapFile(HalfBlackBitmap)};
};

TEST_F(Painting, CellShowsItsBackColourEverywhereItDrawsNothingElse) {
    CellControl cell(&form);
    cell.Place(10, 10, 60, 30);
    cell.Create();
    cell.SetBackColor(CellBack);
    const NBTest::WindowPicture picture = Repainted(cell);
    ASSERT_EQ(picture.Width(), 60);
    // A rectangle filled without an outline leaves its last column and row.
    EXPECT_EQ(picture.Count({0, 0, 59, 29}, CellBack), 59 * 29);
}

// Where the bitmap's left (black) and right (red) halves land, in the
// element's client area.
struct BitmapShown {
    const char* element;
    POINT blackHalf;
    POINT redHalf;
    COLORREF blackShownAs;
};

TEST_F(Painting, BlackIsSeeThroughOnlyWhereTheToolkitDrawsTheBitmap) {
    const BitmapShown cases[] = {
        {"image", {2, 5}, {15, 5}, Black},
        // Left-aligned 3 pixels in, centred in the 30-pixel height.
        {"cell", {5, 15}, {18, 15}, CellBack},
        // 5 pixels in, centred in the 40-pixel height.
        {"button", {7, 20}, {20, 20}, ButtonBack},
    };
    for (const BitmapShown& shown : cases) {
        SCOPED_TRACE(shown.element);
        const std::unique_ptr<GUIElement> element = Make(shown.element);
        ASSERT_TRUE(element->created);
        const NBTest::WindowPicture picture = Repainted(*element);
        EXPECT_EQ(picture.At(shown.blackHalf.x, shown.blackHalf.y), shown.blackShownAs);
        EXPECT_EQ(picture.At(shown.redHalf.x, shown.redHalf.y), Red);
    }
}

// A page that differs at every pixel, so that a background put in the wrong
// place shows.
COLORREF GradientAt(int x, int y) {
    return RGB((x * 3) & 0xFF, (y * 5) & 0xFF, 100);
}

void PaintGradient(HDC context, HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            SetPixelV(context, x, y, GradientAt(x, y));
        }
    }
}

LRESULT CALLBACK GradientTabs(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PRINTCLIENT:
        PaintGradient(reinterpret_cast<HDC>(wParam), window);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        PaintGradient(BeginPaint(window, &paint), window);
        EndPaint(window, &paint);
        return 0;
    }
    default:
        return DefSubclassProc(window, message, wParam, lParam);
    }
}

// Pixels of the control's right end (past its text) unlike the page there.
int PixelsUnlikeThePage(HWND tabs, const GUIElement& control, const NBTest::WindowPicture& picture,
                        const std::function<COLORREF(int, int)>& pageAt) {
    POINT origin{0, 0};
    MapWindowPoints(control.window, tabs, &origin, 1);
    int unlike = 0;
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = picture.Width() - 8; x < picture.Width(); ++x) {
            unlike += picture.At(x, y) != pageAt(origin.x + x, origin.y + y) ? 1 : 0;
        }
    }
    return unlike;
}

// A label, a check box and an option box on a tab strip's page: pixels of
// each one's right end (past its text) unlike the page there.
void ExpectThePageBehindControlsOn(Form& form, bool drawnPage) {
    TabControl tabs(&form);
    tabs.Place(10, 10, 260, 180);
    tabs.AddTab(L"One");
    tabs.Create();
    if (drawnPage) {
        ASSERT_TRUE(SetWindowSubclass(tabs.window, GradientTabs, 1, 0));
    }
    Label label(&tabs, "Name:");
    label.Place(20, 40, 120, 20);
    label.Create();
    CheckBox check(&tabs, "Check");
    check.Place(20, 70, 120, 20);
    check.Create();
    OptionBox option(&tabs, "Option");
    option.Place(20, 100, 120, 20);
    option.Create();

    RedrawWindow(form.window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    NBTest::PumpFor(100);
    // The strip's own page, where no control is.
    const COLORREF plainPage = NBTest::WindowPicture(tabs.window).At(12, 150);
    const std::function<COLORREF(int, int)> pageAt = [&](int x, int y) {
        return drawnPage ? GradientAt(x, y) : plainPage;
    };
    for (const GUIElement* control :
         {static_cast<GUIElement*>(&label), static_cast<GUIElement*>(&check),
          static_cast<GUIElement*>(&option)}) {
        SCOPED_TRACE(control->typeName);
        RedrawWindow(form.window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        NBTest::PumpFor(100);
        const NBTest::WindowPicture picture(control->window);
        ASSERT_EQ(picture.Width(), 120);
        EXPECT_EQ(PixelsUnlikeThePage(tabs.window, *control, picture, pageAt), 0);
    }
    if (drawnPage) {
        RemoveWindowSubclass(tabs.window, GradientTabs, 1);
    }
}

TEST_F(Painting, LabelsAndBoxesShowTheTabPageBehindThem) {
    ExpectThePageBehindControlsOn(form, false);
}

// A page of another colour at every pixel: a background put in the wrong
// place shows.
TEST_F(Painting, LabelsAndBoxesShowADrawnTabPageWhereItIsBehindThem) {
    ExpectThePageBehindControlsOn(form, true);
}

// The caption's pixels as an owner-drawn button paints them for itemState,
// white on green, 100 x 40.
std::vector<std::uint32_t> CaptionPainted(Button& button, UINT itemState) {
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = 100;
    format.bmiHeader.biHeight = -40; // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiObject<HBITMAP> surfaceBitmap(
        CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    std::vector<std::uint32_t> pixels;
    const MemoryContext memory(nullptr);
    HDC context = memory.Get(); // not owned
    if (context == nullptr || !surfaceBitmap) {
        return pixels;
    }
    {
        const SelectedObject selectedBitmap(context, surfaceBitmap.Get());
        const SelectedObject selectedFont(context, GetStockObject(DEFAULT_GUI_FONT));
        SetBkColor(context, ButtonBack);
        SetTextColor(context, NBTest::White);
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.itemState = itemState;
        item.hDC = context;
        item.rcItem = {0, 0, 100, 40};
        Drawing surface(&button);
        surface.Borrow(context);
        button.PaintItem(surface, item);
        GdiFlush();
        const auto* first = static_cast<const std::uint32_t*>(bits);
        pixels.assign(first, first + 100 * 40);
    }
    return pixels;
}

int PixelsDiffering(const std::vector<std::uint32_t>& one,
                    const std::vector<std::uint32_t>& other) {
    if (one.size() != other.size()) {
        return -1;
    }
    int differing = 0;
    for (std::size_t at = 0; at < one.size(); ++at) {
        differing += one[at] != other[at] ? 1 : 0;
    }
    return differing;
}

// The access key's underline shows unless the system asks to hide it.
TEST_F(Painting, OwnerDrawnCaptionUnderlinesItsAccessKeyUnlessToldNotTo) {
    Button marked(&form, "&Go");
    Button plain(&form, "Go");
    for (Button* button : {&marked, &plain}) {
        button->ownerDraw = true;
        button->Place(10, 90, 100, 40);
        button->Create();
        ASSERT_TRUE(button->created);
    }
    const std::vector<std::uint32_t> plainCaption = CaptionPainted(plain, 0);
    ASSERT_EQ(plainCaption.size(), 100u * 40u);
    EXPECT_GT(PixelsDiffering(CaptionPainted(marked, 0), plainCaption), 0) << "no underline";
    EXPECT_EQ(PixelsDiffering(CaptionPainted(marked, ODS_NOACCEL), plainCaption), 0)
        << "the underline or the '&' shows";
}

} // namespace
