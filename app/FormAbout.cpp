#include "FormAbout.h"

#include "Contrast.h"

#include <algorithm>

#include "Dialogs.h"
#include "GdiHandles.h"
#include "Paths.h"
#include "TextConversion.h"

namespace MyGame {

using namespace NBUtility;

namespace {
constexpr std::int32_t clientWidth = 600;
constexpr std::int32_t clientHeight = 300;
constexpr std::int32_t enterKey = 13;
constexpr std::int32_t escapeKey = 27;
constexpr COLORREF linkColor = RGB(0, 0, 255);
constexpr std::int32_t linkWidth = 150;
constexpr std::int32_t linkGap = 10;
} // namespace

FormAbout::FormAbout(Form* owner)
    : Form(owner->window != nullptr
               ? reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner->window, GWLP_HINSTANCE))
               : nullptr,
           ToolWindowFrame{}),
      owner(owner) {
    topMost = false;
    windowFont = std::make_unique<FontSpec>("Arial", 14);
    titleFont = std::make_unique<FontSpec>("Arial", 16);
    titleFont->bold = true;
    linkFont = std::make_unique<FontSpec>("Arial", 16);
    linkFont->underline = true;
    font = windowFont.get();
    modalFrame = true;
    // Made at its owner's DPI; the layout follows the DPI the window gets.
    const std::int32_t ownerDpi = DpiOfWindow(owner->window);
    width = MulDiv(clientWidth, ownerDpi, designDpi);
    height = MulDiv(clientHeight, ownerDpi, designDpi);
    CenterOnScreen();
    text = L"Info...";
    minimizeBox = false;
    resizable = false;
    onCreated = [this](GUIElement*, HWND) { BuildControls(); };
    onClosing = [this](GUIElement*) { return AboutClosing(); };
    onChar = [this](GUIElement*, std::int32_t character) { return OnAboutKey(character); };
    onDpiChanged = [this](GUIElement*, std::int32_t) { OnDpiChanged(); };
    owner->SetEnabled(false);
}

FormAbout::~FormAbout() {
    if (window != nullptr && IsWindow(window)) {
        DestroyNow();
    }
    DisposeElements();
}

std::string FormAbout::MailAddressFor(const std::string& web) {
    return NBEngine::ReplaceAll(web, "http://www.", "info@");
}

void FormAbout::ShowAbout() {
    if (!created) {
        // Owned by the main window, so it always stays above it.
        ownerWindow = owner->window;
        Create();
    }
    ShowWindow(window, SW_SHOWNA);
    visible = true;
}

void FormAbout::OnShow() {
    SetClientSize(layout.Scale(clientWidth), layout.Scale(clientHeight));
}

// The picture drawn nearest to the display's scale, of those there are.
std::int32_t FormAbout::BitmapForDpi() const {
    const std::int32_t dpi = layout.Dpi();
    if (dpi >= 168 && bitmapId200 != 0) {
        return bitmapId200;
    }
    if (dpi >= 120 && bitmapId150 != 0) {
        return bitmapId150;
    }
    return bitmapId;
}

void FormAbout::OnDpiChanged() {
    if (logoImage) {
        logoImage->SetImageResource(BitmapForDpi());
        layout.Place(*logoImage, 5, 5, bitmapWidth, bitmapHeight);
    }
    OnShow();
}

void FormAbout::BindKeys(GUIElement& element) {
    element.onChar = [this](GUIElement*, std::int32_t character) { return OnAboutKey(character); };
}

std::int32_t FormAbout::LinkTextWidth(const std::string& caption) {
    const WindowContext context(window);
    const SelectedObject selectedFont(context.Get(), linkFont->GetHandle());
    const std::wstring wide = ToWide(caption);
    SIZE extent{};
    GetTextExtentPoint32W(context.Get(), wide.c_str(), static_cast<int>(wide.size()), &extent);
    return layout.Unscale(extent.cx) + 4;
}

void FormAbout::ConfigureLink(CellControl& link, const std::string& caption, std::int32_t left,
                              std::int32_t top, std::int32_t linkWidthPixels) {
    link.text = ToWide(caption);
    layout.Place(link, left, top, linkWidthPixels, 22);
    link.textColor = NBUtility::ContrastColour(linkColor, COLOR_HOTLIGHT);
    link.textAlign = AlignLeft;
    link.font = linkFont.get();
    link.SetHandCursor(true);
    link.onLeftButtonDown = [this](GUIElement* element, HWND, std::int32_t, std::int32_t) {
        OnLinkClick(element);
        return 0;
    };
    BindKeys(link);
    link.Create();
}

void FormAbout::BuildControls() {
    layout.Rescale(DpiOfWindow(window));
    for (FontSpec* shown : {windowFont.get(), titleFont.get(), linkFont.get()}) {
        layout.AddFont(*shown);
    }
    RECT client{};
    GetClientRect(window, &client);
    const std::int32_t w = layout.Unscale(client.right);
    const std::int32_t h = layout.Unscale(client.bottom);
    const std::int32_t x0 = bitmapWidth + 45;
    const std::int32_t cw = w - x0 - 10;

    logoPanel = std::make_unique<PanelChildren>(this);
    layout.Place(*logoPanel, 10, 10, bitmapWidth + 20, h - 20);
    logoPanel->border = true;
    BindKeys(*logoPanel);
    logoPanel->Create();

    logoImage = std::make_unique<Image>(logoPanel.get(), BitmapForDpi());
    layout.Place(*logoImage, 5, 5, bitmapWidth, bitmapHeight);
    BindKeys(*logoImage);
    logoImage->Create();

    titleLabel = std::make_unique<Label>(this, titleText);
    layout.Place(*titleLabel, x0, 10, cw, 25);
    titleLabel->font = titleFont.get();
    BindKeys(*titleLabel);
    titleLabel->Create();

    copyrightLabel = std::make_unique<Label>(this, copyrightText);
    layout.Place(*copyrightLabel, x0, 35, cw, 25);
    copyrightLabel->font = windowFont.get();
    BindKeys(*copyrightLabel);
    copyrightLabel->Create();

    // Each link is as wide as its text, so a long address is never cut.
    const std::string mail = MailAddressFor(webAddress);
    const std::int32_t webWidth = std::max(linkWidth, LinkTextWidth(webAddress));
    linkWeb = std::make_unique<CellControl>(this);
    ConfigureLink(*linkWeb, webAddress, x0, 55, webWidth);
    linkMail = std::make_unique<CellControl>(this);
    ConfigureLink(*linkMail, mail, x0 + webWidth + linkGap, 55,
                  std::max(linkWidth, LinkTextWidth(mail)));

    noticeBox = std::make_unique<TextBox>(this, noticeText);
    layout.Place(*noticeBox, x0, 85, cw, h - 145);
    // A multi-line edit must be made multi-line: the style cannot change later.
    noticeBox->multiLine = true;
    noticeBox->readOnly = true;
    noticeBox->vScroll = true;
    noticeBox->wordWrap = true;
    BindKeys(*noticeBox);
    noticeBox->Create();
    noticeBox->ApplyStyle();

    okButton = std::make_unique<Button>(this, "OK");
    constexpr std::int32_t okWidth = 80;
    layout.Place(*okButton, x0 + (cw - okWidth) / 2, h - 50, okWidth, 25);
    okButton->onClick = [this](GUIElement* element) { CloseAbout(element); };
    BindKeys(*okButton);
    okButton->Create();
    okButton->Focus();
}

bool FormAbout::OnAboutKey(std::int32_t character) {
    if (character == enterKey || character == escapeKey) {
        CloseAbout(okButton.get());
        return false;
    }
    return true;
}

void FormAbout::CloseAbout(GUIElement* button) {
    if (button != nullptr && okButton && button->id == okButton->id && window != nullptr) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

bool FormAbout::AboutClosing() {
    UnregisterHotKeys();
    owner->SetEnabled(true);
    // Activation goes back to the owner rather than to another program.
    SetActiveWindow(owner->window);
    return true;
}

void FormAbout::OnLinkClick(GUIElement* element) {
    if (element == linkWeb.get()) {
        OpenWithShell(webAddress);
    } else if (element == linkMail.get()) {
        OpenWithShell("mailto:" + element->GetTextNarrow());
    }
}

void FormAbout::DisposeElements() {
    layout.Clear();
    logoImage.reset();
    logoPanel.reset();
    copyrightLabel.reset();
    titleLabel.reset();
    noticeBox.reset();
    okButton.reset();
    linkWeb.reset();
    linkMail.reset();
}

} // namespace MyGame
