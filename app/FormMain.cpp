#include "FormMain.h"

#include <cassert>
#include <set>

#include "Contrast.h"
#include "Dialogs.h"
#include "Drawing.h"
#include "FontSpec.h"
#include "FormAbout.h"
#include "PasswordRules.h"
#include "Paths.h"
#include "ProgramInfo.h"
#include "ResourceIds.h"
#include "TextConversion.h"

namespace MyGame {

using namespace NBUtility;

namespace {
constexpr std::int32_t headerHeight = 100;
constexpr COLORREF white = RGB(255, 255, 255);
constexpr COLORREF startBack = RGB(0, 128, 0);
constexpr COLORREF startBrushColor = RGB(255, 0, 0);
constexpr COLORREF controlBack = RGB(210, 210, 210);
constexpr COLORREF controlBrushColor = RGB(220, 220, 220);
constexpr auto passwordLimit = static_cast<int>(NBEngine::longestVersion1Password);
// The strong container's passwords, and any decryption: the file says which
// version it is, and version 1 then refuses a longer password itself.
constexpr auto strongPasswordLimit = static_cast<int>(NBEngine::mostStrongPasswordBytes);
constexpr std::int32_t clientWidth = 640;
constexpr std::int32_t clientHeight = 480;

// Access keys: none alike on one tab, none of the menu bar's (F and ?).
constexpr char encryptSourceCaption[] = "Files to &Encrypt:";
constexpr char decryptSourceCaption[] = "Files to &Decrypt:";
constexpr char showCaption[] = "&Show";
constexpr char hideCaption[] = "&Hide";

// The logo drawn nearest to the display's scale: sharp, never stretched.
std::int32_t LogoBitmapFor(std::int32_t dpi) {
    if (dpi >= 168) {
        return NB_BITMAP_LOGO_200;
    }
    return dpi >= 120 ? NB_BITMAP_LOGO_150 : NB_BITMAP_LOGO;
}
} // namespace

template <typename Control>
Control* FormMain::Configure(std::unique_ptr<Control>& slot, std::unique_ptr<Control> control,
                             std::int32_t left, std::int32_t top, std::int32_t w, std::int32_t h) {
    slot = std::move(control);
    layout.Place(*slot, left, top, w, h);
    return slot.get();
}

FormMain::FormMain(HINSTANCE moduleInstance, const std::string& caption)
    : Form(moduleInstance), startControlBrush(CreateSolidBrush(startBrushColor)),
      controlBrush(CreateSolidBrush(controlBrushColor)) {
    formFont = std::make_unique<FontSpec>("Lucida Console", 14);
    font = formFont.get();
    width = 640;
    height = 480;
    text = ToWide(caption);
    minimizeBox = true;
    resizable = false;
    onCreated = [this](GUIElement*, HWND) { BuildControls(); };
    onClosing = [this](GUIElement*) { return ConfirmClose(); };
    onEndSession = [this](GUIElement*) { OnEndSession(); };
    onFilesDropped = [this](GUIElement*, const std::vector<std::wstring>& paths) {
        OnFilesDropped(paths);
    };
    onDpiChanged = [this](GUIElement*, std::int32_t) { OnDpiChanged(); };
    highContrast = SystemHighContrast();
    Create();
    iconResourceId = NB_ICON_PROGRAM;
    LoadProgramIcon();
    if (window != nullptr) {
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(formFont->GetHandle()), TRUE);
    }
    bandGenerator.Seed(19);
    SetClientSize(layout.Scale(clientWidth), layout.Scale(clientHeight));
    if (sourceBox) {
        sourceBox->Focus();
    }
}

GUIElement* FormMain::ElementOf(MainControls::Control control) {
    using namespace MainControls;
    GUIElement* const elements[ControlCount] = {
        logoImage.get(),         infoButton.get(),         closeButton.get(),
        startButton.get(),       modeTabs.get(),           sourceLabel.get(),
        sourceBox.get(),         sourceSelectButton.get(), sameFolderOption.get(),
        specifyPathOption.get(), destLabel.get(),          destBox.get(),
        destSelectButton.get(),  verifyCheck.get(),        strongCheck.get(),
        passwordLabel.get(),     passwordBox.get(),        showButton.get(),
        confirmLabel.get(),      confirmBox.get(),         statusLabel.get(),
        progressBar.get()};
    return elements[control];
}

// Every control carries its name, so that a driver finds it by name.
void FormMain::NameControls() {
    using namespace MainControls;
    std::set<HWND> named;
    for (int control = 0; control < ControlCount; ++control) {
        GUIElement* element = ElementOf(static_cast<Control>(control));
        assert(element != nullptr && element->window != nullptr);
        if (element != nullptr && element->window != nullptr) {
            SetPropW(element->window, controlProperty,
                     reinterpret_cast<HANDLE>(static_cast<INT_PTR>(control + 1)));
            named.insert(element->window);
        }
    }
    assert(named.size() == ControlCount && "each control is named once");
    const GUIElement* const items[MenuItemCount] = {exitItem.get(), guideItem.get(),
                                                    homeItem.get()};
    for (int item = 0; item < MenuItemCount; ++item) {
        SetPropW(window, menuItemProperties[item],
                 reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(items[item]->id)));
    }
}

void FormMain::ForgetControlNames() {
    using namespace MainControls;
    for (int control = 0; control < ControlCount; ++control) {
        GUIElement* element = ElementOf(static_cast<Control>(control));
        if (element != nullptr && element->window != nullptr && IsWindow(element->window)) {
            RemovePropW(element->window, controlProperty);
        }
    }
    if (window != nullptr && IsWindow(window)) {
        for (const wchar_t* property : menuItemProperties) {
            RemovePropW(window, property);
        }
    }
}

FormMain::~FormMain() {
    // The worker may still reach the controls: it ends first, and it is
    // waited for, not terminated, as it may hold files.
    StopJobAndWait();
    ForgetControlNames();
    if (bandTimer) {
        bandTimer->Stop();
    }
    bandTimer.reset();
    aboutWindow.reset();
    smallIcon.Reset();
}

void FormMain::LoadProgramIcon() {
    if (window == nullptr) {
        return;
    }
    HICON icon = static_cast<HICON>(LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(iconResourceId),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    if (icon == nullptr) {
        return; // the default icon stays
    }
    // The icon it replaces is ours only when we set it; the class's stays.
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    smallIcon.Reset(icon);
}

void FormMain::BuildControls() {
    layout.Rescale(DpiOfWindow(window));
    layout.AddFont(*formFont);
    BuildMenus();
    // Laid out for the client size the form takes once built: the frame's
    // client area at this point is smaller, and the tabs sized from it would
    // hide the progress bar below their edge.
    BuildHeader(clientWidth);
    BuildInputs(clientWidth, clientHeight);
    BuildPasswordAndProgress();
    bandTimer = std::make_unique<Timer>(this, 1500);
    bandTimer->onTick = [this](Timer*) { AnimateStatusBand(); };
    bandTimer->Create();
    bandTimer->Start();
    BindKeys();
    NameControls();
}

Button* FormMain::AddButton(std::unique_ptr<Button>& slot, GUIElement* owner, const char* caption,
                            std::int32_t left, std::int32_t top, std::int32_t w, std::int32_t h,
                            bool ownerDrawn, std::function<void()> action) {
    Button* button = Configure(slot, std::make_unique<Button>(owner, caption), left, top, w, h);
    button->ownerDraw = ownerDrawn;
    button->onClick = [action](GUIElement*) { action(); };
    button->Create();
    return button;
}

void FormMain::BuildHeader(std::int32_t w) {
    Configure(logoImage, std::make_unique<Image>(this, LogoBitmapFor(layout.Dpi())), 28, 26, 200,
              50)
        ->Create();
    AddButton(infoButton, this, "&Info", w - 248, 26, 100, 40, true, [this] { OpenAbout(); });
    // Exactly as the File menu's Exit.
    AddButton(closeButton, this, "Cl&ose", w - 128, 26, 100, 40, true,
              [this] { OnMenuItem(exitItem.get()); });
    AddButton(startButton, this, startCaption, w - 368, 26, 100, 40, true, [this] {
        OnStartButton();
    })->SetHandCursor(true);
}

// A caption, a path box below it and its "Select" button; the caption comes
// first, so that its access key reaches the box.
void FormMain::BuildPathRow(const PathRow& row, std::int32_t top,
                            std::function<void()> selectAction) {
    TabControl* tabs = modeTabs.get();
    Configure(row.label, std::make_unique<Label>(tabs, row.caption), 20, top, 150, 25)->Create();
    Configure(row.box, std::make_unique<TextBox>(tabs, ""), 20, top + 25, 450, 25)->Create();
    AddButton(row.select, tabs, row.selectCaption, 480, top + 25, 100, 25, false,
              std::move(selectAction));
}

void FormMain::BuildInputs(std::int32_t w, std::int32_t h) {
    const auto namingOption = [this](GUIElement* element) { OnNamingOption(element); };
    TabControl* tabs =
        Configure(modeTabs, std::make_unique<TabControl>(this), 20, 106, w - 40, h - 126);
    tabs->AddTab(L"Encrypt");
    tabs->AddTab(L"Decrypt");
    tabs->onSelectionChanged = [this](TabControl*, std::int32_t index) { OnModeTab(index); };
    tabs->Create();

    // The two "Select" buttons need keys of their own: L for the source, T for
    // the destination.
    BuildPathRow({sourceLabel, encryptSourceCaption, sourceBox, sourceSelectButton, "Se&lect"}, 50,
                 [this] { SelectSource(); });

    OptionBox* same = Configure(
        sameFolderOption, std::make_unique<OptionBox>(tabs, "Same folder &with original name"), 20,
        105, 250, 22);
    same->groupStart = true;
    same->onClick = namingOption;
    same->SetChecked(true);
    same->Create();
    same->Hide();
    OptionBox* specify =
        Configure(specifyPathOption, std::make_unique<OptionBox>(tabs, "Specify path&name"), 20,
                  130, 170, 22);
    specify->onClick = namingOption;
    specify->Create();
    specify->Hide();

    BuildPathRow({destLabel, "Encrypte&d file:", destBox, destSelectButton, "Selec&t"}, 130,
                 [this] { SelectDestination(); });

    CheckBox* verify =
        Configure(verifyCheck, std::make_unique<CheckBox>(tabs, "&Check"), 20, 185, 250, 25);
    verify->SetChecked(true);
    verify->Create();
    // Beside "Check", in the column of the confirmation box.
    CheckBox* strong = Configure(
        strongCheck, std::make_unique<CheckBox>(tabs, "St&rong protection"), 290, 185, 250, 25);
    strong->onClick = [this](GUIElement*) { ApplyPasswordLimits(); };
    strong->Create();
}

// A caption over a masked box, of at most 15 characters until the mode says otherwise.
void FormMain::BuildPasswordBox(std::unique_ptr<Label>& label, const char* caption,
                                std::unique_ptr<TextBox>& box, std::int32_t left) {
    TabControl* tabs = modeTabs.get();
    Configure(label, std::make_unique<Label>(tabs, caption), left, 215, 150, 25)->Create();
    TextBox* password = Configure(box, std::make_unique<TextBox>(tabs, ""), left, 240, 150, 25);
    password->maxLength = passwordLimit;
    password->Create();
    password->password = true;
    password->ApplyStyle();
}

void FormMain::BuildPasswordAndProgress() {
    TabControl* tabs = modeTabs.get();
    BuildPasswordBox(passwordLabel, "&Password:", passwordBox, 20);
    AddButton(showButton, tabs, showCaption, 180, 240, 100, 25, false,
              [this] { ToggleShowPassword(); });
    BuildPasswordBox(confirmLabel, "Co&nfirm password:", confirmBox, 290);

    Configure(statusLabel, std::make_unique<Label>(tabs, "Status:"), 20, 280, 150, 25)->Create();
    ProgressBar* bar =
        Configure(progressBar, std::make_unique<ProgressBar>(tabs), 20, 305, 560, 25);
    bar->minimum = 0;
    bar->maximum = 100;
    bar->value = 0;
    bar->Create();
}

std::int32_t FormMain::OnPaint() {
    if (window != nullptr) {
        RECT client{};
        GetClientRect(window, &client);
        Drawing surface(this);
        surface.BeginPaint();
        surface.FillRect(0, 0, client.right, layout.Scale(headerHeight),
                         highContrast ? GetSysColor(COLOR_WINDOW) : white);
        if (bandShown.load()) {
            surface.DrawStatusText(bandText,
                                   highContrast ? GetSysColor(COLOR_WINDOWTEXT) : RGB(0, 0, 0),
                                   layout.Scale(26), layout.Scale(80));
        }
        surface.End();
    }
    return Form::OnPaint();
}

// The layout has followed the new DPI; what it does not hold follows here.
void FormMain::OnDpiChanged() {
    logoImage->SetImageResource(LogoBitmapFor(layout.Dpi()));
    layout.Place(*logoImage, 28, 26, 200, 50);
    SetClientSize(layout.Scale(clientWidth), layout.Scale(clientHeight));
    if (window != nullptr) {
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(formFont->GetHandle()), TRUE);
    }
}

HBRUSH FormMain::OnControlColor(HDC deviceContext) {
    // The context is the control's; the font stays selected for its text.
    if (formFont) {
        SelectObject(deviceContext, formFont->GetHandle());
    }
    const bool startContext = startButton && startButton->window != nullptr &&
                              WindowFromDC(deviceContext) == startButton->window &&
                              startButton->enabled;
    if (highContrast) {
        const int back = startContext ? COLOR_HIGHLIGHT : COLOR_BTNFACE;
        SetBkColor(deviceContext, GetSysColor(back));
        SetTextColor(deviceContext,
                     GetSysColor(startContext ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
        return GetSysColorBrush(back); // the system's, never deleted
    }
    SetBkColor(deviceContext, startContext ? startBack : controlBack);
    SetTextColor(deviceContext, startContext ? white : RGB(0, 0, 0));
    return startContext ? startControlBrush.Get() : controlBrush.Get();
}

// High contrast switched on or off, or its colours changed: everything is
// painted again in the colours now due.
void FormMain::OnColorsChanged() {
    highContrast = SystemHighContrast();
    if (window != nullptr) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

bool FormMain::SystemHighContrast() const {
    return NBUtility::HighContrastOn();
}

void FormMain::OnModeTab(std::int32_t index) {
    const bool toEncrypt = index == 0;
    if (toEncrypt == encryptMode) {
        return;
    }
    RememberTexts();
    encryptMode = toEncrypt;
    ApplyMode();
    RestoreTexts();
}

void FormMain::RememberTexts() {
    (encryptMode ? savedEncryptSource : savedDecryptSource) = sourceBox->GetTextNarrow();
    (encryptMode ? savedEncryptDest : savedDecryptDest) = destBox->GetTextNarrow();
    (encryptMode ? savedEncryptPassword : savedDecryptPassword) = passwordBox->GetTextNarrow();
}

void FormMain::RestoreTexts() {
    sourceBox->SetTextNarrow(encryptMode ? savedEncryptSource : savedDecryptSource);
    destBox->SetTextNarrow(encryptMode ? savedEncryptDest : savedDecryptDest);
    passwordBox->SetTextNarrow(encryptMode ? savedEncryptPassword : savedDecryptPassword);
}

void FormMain::ApplyMode() {
    const auto showIf = [](GUIElement* element, bool shown) {
        if (shown) {
            element->Show();
        } else {
            element->Hide();
        }
    };
    sourceLabel->SetTextNarrow(encryptMode ? encryptSourceCaption : decryptSourceCaption);
    const bool ownPath = encryptMode || specifyPathOption->GetChecked();
    showIf(destLabel.get(), encryptMode);
    showIf(destBox.get(), ownPath);
    showIf(destSelectButton.get(), ownPath);
    showIf(verifyCheck.get(), encryptMode);
    showIf(strongCheck.get(), encryptMode);
    showIf(confirmLabel.get(), encryptMode);
    showIf(confirmBox.get(), encryptMode);
    showIf(sameFolderOption.get(), !encryptMode);
    showIf(specifyPathOption.get(), !encryptMode);
    ApplyPasswordLimits();
}

// Lowering a limit cuts nothing already typed: a password silently made
// shorter would no longer be the one the user knows. The job refuses it instead.
void FormMain::ApplyPasswordLimits() {
    const bool strong = strongCheck->GetChecked();
    passwordBox->SetMaxLength(!encryptMode || strong ? strongPasswordLimit : passwordLimit);
    confirmBox->SetMaxLength(strong ? strongPasswordLimit : passwordLimit);
}

void FormMain::OnNamingOption(GUIElement* option) {
    if (option == sameFolderOption.get()) {
        destSelectButton->Hide();
        destBox->Hide();
    } else {
        destSelectButton->Show();
        destBox->SetTextNarrow("");
        destBox->Show();
    }
}

void FormMain::ToggleShowPassword() {
    if (!passwordShown) {
        passwordBox->password = false;
        passwordBox->ApplyStyle();
        confirmBox->SetTextNarrow("");
        confirmBox->SetEnabled(false);
        showButton->SetTextNarrow(hideCaption);
        passwordShown = true;
    } else {
        passwordBox->password = true;
        passwordBox->ApplyStyle();
        confirmBox->SetEnabled(true);
        showButton->SetTextNarrow(showCaption);
        passwordShown = false;
    }
}

void FormMain::OpenAbout() {
    aboutWindow.reset();
    aboutWindow = std::make_unique<FormAbout>(this);
    aboutWindow->bitmapId = NB_BITMAP_ABOUT;
    aboutWindow->bitmapId150 = NB_BITMAP_ABOUT_150;
    aboutWindow->bitmapId200 = NB_BITMAP_ABOUT_200;
    aboutWindow->bitmapWidth = 164;
    aboutWindow->bitmapHeight = 50;
    aboutWindow->titleText = std::string(programName) + " " + programVersion;
    aboutWindow->copyrightText = copyrightLine;
    aboutWindow->noticeText = aboutNotice;
    aboutWindow->webAddress = siteAddress;
    aboutWindow->ShowAbout();
}

} // namespace MyGame
