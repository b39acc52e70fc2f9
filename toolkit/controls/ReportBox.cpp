#include "ReportBox.h"

#include "GdiHandles.h"
#include "TextConversion.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace NBUtility {

namespace {

constexpr WORD summaryId = 0xFFFF; // where a message box keeps its text
constexpr WORD detailsId = 100;
constexpr WORD copyId = 101;
constexpr WORD iconId = 102;
constexpr WORD buttonClass = 0x0080;
constexpr WORD editClass = 0x0081;
constexpr WORD staticClass = 0x0082;

// The list grows with its lines up to mostListLines, then scrolls.
constexpr int fewestListLines = 3;
constexpr int mostListLines = 20;

// In dialog units, as the system's own boxes are laid out.
struct DesignUnits {
    int margin = 7;
    int buttonWidth = 50;
    int buttonHeight = 14;
    int buttonGap = 4;
    int narrowest = 220;
    int widest = 420;
};

// A dialog template built in memory: the header, then one item per control.
class DialogTemplate {
public:
    DialogTemplate(DWORD style, const std::wstring& caption, WORD points,
                   const std::wstring& face) {
        AddDword(style | DS_SETFONT);
        AddDword(0);
        words_.push_back(0);               // the item count, raised by each item
        words_.insert(words_.end(), 4, 0); // placed once the font is known
        words_.push_back(0);               // no menu
        words_.push_back(0);               // the dialog class
        AddText(caption);
        words_.push_back(points);
        AddText(face);
    }

    void AddItem(WORD classAtom, WORD id, DWORD style, DWORD extendedStyle,
                 const std::wstring& text) {
        if (words_.size() % 2 != 0) {
            words_.push_back(0); // items start on a DWORD boundary
        }
        AddDword(style | WS_CHILD | WS_VISIBLE);
        AddDword(extendedStyle);
        words_.insert(words_.end(), 4, 0);
        words_.push_back(id);
        words_.push_back(0xFFFF); // a predefined class, by its atom
        words_.push_back(classAtom);
        AddText(text);
        words_.push_back(0); // no creation data
        ++words_[itemCountAt];
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    static constexpr std::size_t itemCountAt = 4;

    void AddDword(DWORD value) {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void AddText(const std::wstring& text) {
        words_.insert(words_.end(), text.begin(), text.end());
        words_.push_back(0);
    }

    std::vector<WORD> words_;
};

// The font of the system's message boxes, in points at the system's DPI.
struct MessageFont {
    std::wstring face = L"MS Shell Dlg";
    WORD points = 8;
};

MessageFont SystemMessageFont() {
    MessageFont font;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return font;
    }
    WindowContext screen(nullptr);
    const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    const LONG height = std::abs(metrics.lfMessageFont.lfHeight);
    if (height == 0 || dpi <= 0) {
        return font;
    }
    font.face = metrics.lfMessageFont.lfFaceName;
    font.points = static_cast<WORD>(MulDiv(height, 72, dpi));
    return font;
}

DialogTemplate ReportTemplate(const ReportContent& content) {
    const MessageFont font = SystemMessageFont();
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                          ToWide(content.caption), font.points, font.face);
    // Creation order is tab order: the list, Copy, OK.
    dialog.AddItem(staticClass, iconId, SS_ICON, 0, L"");
    dialog.AddItem(staticClass, summaryId, SS_LEFT | SS_NOPREFIX, 0, L"");
    dialog.AddItem(editClass, detailsId,
                   WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                   WS_EX_CLIENTEDGE, L"");
    dialog.AddItem(buttonClass, copyId, WS_TABSTOP | BS_PUSHBUTTON, 0, L"Copy");
    dialog.AddItem(buttonClass, IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, 0, L"OK");
    return dialog;
}

std::wstring JoinedLines(const std::vector<std::string>& lines) {
    std::wstring text;
    for (const std::string& line : lines) {
        text += (text.empty() ? L"" : L"\r\n") + ToWide(line);
    }
    return text;
}

// Everything the layout needs, in pixels at the dialog's font and DPI.
struct Metrics {
    int marginX, marginY, buttonWidth, buttonHeight, buttonGap, narrowest, widest;
    int iconSize;   // 0 without an icon
    int lineHeight; // of the dialog's font
    int summaryWidth;
    int longestDetail;
    int listChromeX, listChromeY; // the list beyond its text: borders, scroll bar
    int frameX, frameY;           // the window beyond its client area
};

struct Layout {
    RECT window;
    RECT icon, summary, list, copy, ok; // in the client area
};

Layout LayOut(const Metrics& m, int detailLines, const RECT& area, const RECT& owner) {
    const int roomX = static_cast<int>(area.right - area.left) - m.frameX;
    const int roomY = static_cast<int>(area.bottom - area.top) - m.frameY;
    const int textLeft = m.marginX + (m.iconSize > 0 ? m.iconSize + m.marginX : 0);
    const int wanted = std::max({textLeft + m.summaryWidth + m.marginX,
                                 2 * m.marginX + m.listChromeX + m.longestDetail, m.narrowest,
                                 2 * m.marginX + 2 * m.buttonWidth + m.buttonGap});
    const int width = std::min({wanted, m.widest, roomX});

    const int rowHeight = std::max(m.iconSize, m.lineHeight);
    const int listTop = m.marginY + rowHeight + m.marginY;
    const int withoutList = listTop + m.marginY + m.buttonHeight + m.marginY;
    int listLines = std::clamp(detailLines, fewestListLines, mostListLines);
    // However many lines, the window fits its work area: the list gives way.
    const int linesThatFit = (roomY - withoutList - m.listChromeY) / std::max(1, m.lineHeight);
    listLines = std::max(1, std::min(listLines, linesThatFit));
    const int listHeight = listLines * m.lineHeight + m.listChromeY;
    const int height = withoutList + listHeight;

    Layout layout{};
    const int iconTop = m.marginY + (rowHeight - m.iconSize) / 2;
    layout.icon = {m.marginX, iconTop, m.marginX + m.iconSize, iconTop + m.iconSize};
    const int summaryTop = m.marginY + (rowHeight - m.lineHeight) / 2;
    layout.summary = {textLeft, summaryTop, width - m.marginX, summaryTop + m.lineHeight};
    layout.list = {m.marginX, listTop, width - m.marginX, listTop + listHeight};
    const int buttonTop = layout.list.bottom + m.marginY;
    const int buttonBottom = buttonTop + m.buttonHeight;
    layout.copy = {m.marginX, buttonTop, m.marginX + m.buttonWidth, buttonBottom};
    layout.ok = {width - m.marginX - m.buttonWidth, buttonTop, width - m.marginX, buttonBottom};

    // Centred over the owner, as a message box is, then kept on the screen.
    const int outerWidth = width + m.frameX;
    const int outerHeight = height + m.frameY;
    const int left = (owner.left + owner.right - outerWidth) / 2;
    const int top = (owner.top + owner.bottom - outerHeight) / 2;
    layout.window = FitInside({left, top, left + outerWidth, top + outerHeight}, area);
    return layout;
}

int HorizontalPixels(HWND dialog, int units) {
    RECT rect{0, 0, units, 0};
    MapDialogRect(dialog, &rect);
    return rect.right;
}

int VerticalPixels(HWND dialog, int units) {
    RECT rect{0, 0, 0, units};
    MapDialogRect(dialog, &rect);
    return rect.bottom;
}

SIZE SizeOf(const RECT& rect) {
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// The list's borders and scroll bar: its size less its formatting rectangle.
SIZE ListChrome(HWND list) {
    MoveWindow(list, 0, 0, 400, 200, FALSE);
    RECT outer{};
    RECT text{};
    GetWindowRect(list, &outer);
    SendMessageW(list, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    const SIZE outerSize = SizeOf(outer);
    const SIZE textSize = SizeOf(text);
    return {std::max(0L, outerSize.cx - textSize.cx), std::max(0L, outerSize.cy - textSize.cy)};
}

Metrics Measure(HWND dialog, const ReportContent& content) {
    const DesignUnits units;
    Metrics m{};
    m.marginX = HorizontalPixels(dialog, units.margin);
    m.marginY = VerticalPixels(dialog, units.margin);
    m.buttonWidth = HorizontalPixels(dialog, units.buttonWidth);
    m.buttonHeight = VerticalPixels(dialog, units.buttonHeight);
    m.buttonGap = HorizontalPixels(dialog, units.buttonGap);
    m.narrowest = HorizontalPixels(dialog, units.narrowest);
    m.widest = HorizontalPixels(dialog, units.widest);
    m.iconSize = content.failed ? GetSystemMetrics(SM_CXICON) : 0;

    WindowContext context(dialog);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    SelectedObject selected(context.Get(), font);
    TEXTMETRICW textMetrics{};
    GetTextMetricsW(context.Get(), &textMetrics);
    m.lineHeight = textMetrics.tmHeight;
    const auto widthOf = [&](const std::string& line) {
        const std::wstring wide = ToWide(line);
        SIZE size{};
        GetTextExtentPoint32W(context.Get(), wide.c_str(), static_cast<int>(wide.size()), &size);
        return static_cast<int>(size.cx);
    };
    m.summaryWidth = widthOf(content.summary);
    for (const std::string& line : content.details) {
        m.longestDetail = std::max(m.longestDetail, widthOf(line));
    }
    const SIZE chrome = ListChrome(GetDlgItem(dialog, detailsId));
    m.listChromeX = chrome.cx;
    m.listChromeY = chrome.cy;

    RECT outer{};
    RECT client{};
    GetWindowRect(dialog, &outer);
    GetClientRect(dialog, &client);
    m.frameX = SizeOf(outer).cx - client.right;
    m.frameY = SizeOf(outer).cy - client.bottom;
    return m;
}

RECT WorkAreaOf(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

void Place(HWND dialog, int id, const RECT& rect) {
    const SIZE size = SizeOf(rect);
    MoveWindow(GetDlgItem(dialog, id), rect.left, rect.top, size.cx, size.cy, FALSE);
}

void Arrange(HWND dialog, const ReportContent& content) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    HWND reference = owner != nullptr ? owner : dialog;
    RECT ownerRect{};
    GetWindowRect(reference, &ownerRect);
    const Layout layout = LayOut(Measure(dialog, content), static_cast<int>(content.details.size()),
                                 WorkAreaOf(reference), ownerRect);
    Place(dialog, iconId, layout.icon);
    Place(dialog, summaryId, layout.summary);
    Place(dialog, detailsId, layout.list);
    Place(dialog, copyId, layout.copy);
    Place(dialog, IDOK, layout.ok);
    const SIZE size = SizeOf(layout.window);
    MoveWindow(dialog, layout.window.left, layout.window.top, size.cx, size.cy, TRUE);
}

void ShowErrorIcon(HWND dialog) {
    const int size = GetSystemMetrics(SM_CXICON);
    // Shared by the system: not owned.
    const auto icon = static_cast<HICON>(LoadImageW(nullptr, reinterpret_cast<LPCWSTR>(IDI_ERROR),
                                                    IMAGE_ICON, size, size, LR_SHARED));
    SendDlgItemMessageW(dialog, iconId, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void Prepare(HWND dialog, const ReportContent& content) {
    SetDlgItemTextW(dialog, summaryId, ToWide(content.summary).c_str());
    SetDlgItemTextW(dialog, detailsId, JoinedLines(content.details).c_str());
    if (content.failed) {
        ShowErrorIcon(dialog);
        MessageBeep(MB_ICONERROR);
    } else {
        ShowWindow(GetDlgItem(dialog, iconId), SW_HIDE);
    }
    Arrange(dialog, content);
    SetFocus(GetDlgItem(dialog, IDOK));
}

// Opened for one change and closed again, so that other programs reach it.
class OpenClipboardSession {
public:
    explicit OpenClipboardSession(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenClipboardSession() {
        if (open_) {
            CloseClipboard();
        }
    }
    OpenClipboardSession(const OpenClipboardSession&) = delete;
    OpenClipboardSession& operator=(const OpenClipboardSession&) = delete;

    bool IsOpen() const { return open_; }

private:
    bool open_;
};

bool PutOnClipboard(HWND owner, const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) {
        return false;
    }
    void* target = GlobalLock(memory.Get());
    if (target == nullptr) {
        return false;
    }
    std::memcpy(target, text.c_str(), bytes);
    GlobalUnlock(memory.Get());
    OpenClipboardSession clipboard(owner);
    if (!clipboard.IsOpen() || !EmptyClipboard() ||
        SetClipboardData(CF_UNICODETEXT, memory.Get()) == nullptr) {
        return false;
    }
    memory.Release(); // the clipboard's now
    return true;
}

INT_PTR CALLBACK ReportProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        Prepare(dialog, *reinterpret_cast<const ReportContent*>(lParam));
        return FALSE; // the focus is set
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        case copyId: {
            const auto* content =
                reinterpret_cast<const ReportContent*>(GetWindowLongPtrW(dialog, DWLP_USER));
            if (!PutOnClipboard(dialog, ReportClipboardText(*content))) {
                MessageBeep(MB_ICONWARNING);
            }
            return TRUE;
        }
        }
        return FALSE;
    case WM_CTLCOLORSTATIC:
        // A read-only box would take the dialog's colour; the list reads as one.
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, detailsId)) {
            const auto context = reinterpret_cast<HDC>(wParam);
            SetTextColor(context, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(context, GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW)); // the system's
        }
        return FALSE;
    case WM_CLOSE: // also Esc in the list
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

} // namespace

void ShowReport(GUIElement* owner, const ReportContent& content) {
    const DialogTemplate dialog = ReportTemplate(content);
    HWND ownerWindow = owner != nullptr ? owner->window : nullptr;
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), ownerWindow, ReportProcedure,
                            reinterpret_cast<LPARAM>(&content));
}

std::wstring ReportClipboardText(const ReportContent& content) {
    std::wstring text = ToWide(content.summary);
    if (!content.details.empty()) {
        text += L"\r\n\r\n" + JoinedLines(content.details);
    }
    return text;
}

RECT FitInside(const RECT& window, const RECT& area) {
    const LONG width = std::min(window.right - window.left, area.right - area.left);
    const LONG height = std::min(window.bottom - window.top, area.bottom - area.top);
    const LONG left = std::clamp(window.left, area.left, area.right - width);
    const LONG top = std::clamp(window.top, area.top, area.bottom - height);
    return {left, top, left + width, top + height};
}

} // namespace NBUtility
