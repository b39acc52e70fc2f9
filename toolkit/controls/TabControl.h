#pragma once
// The common-controls tab strip: captioned tabs that report the tab the user
// selects. It owns no pages; other controls may use it as their parent, and
// its labels, check boxes and option boxes then show the page behind them
// (the theme's where visual styles are on).

#include "GUIElement.h"
#include "GdiHandles.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace NBUtility {

class TabControl;
using SelectionHandler = std::function<void(TabControl* tabs, std::int32_t index)>;

class TabControl : public Child {
public:
    explicit TabControl(GUIElement* parentElement);

    // Longest caption shown; tabCaptions keeps the whole text.
    static constexpr std::size_t MaxCaptionLength = 127;

    std::vector<std::wstring> tabCaptions;
    SelectionHandler onSelectionChanged;

    // Stores the caption and, once created, inserts it as the last tab;
    // false when the strip refuses it.
    bool AddTab(const std::wstring& caption);
    void Create() override;
    void OnNotify(std::int32_t kind, std::vector<std::int32_t> numbers,
                  std::vector<std::string> texts) override;

    HBRUSH OnChildColor(HDC deviceContext, HWND control) override;
    void OnColorsChanged() override;

    // Shows tab index and reports it as a click on the tab would.
    void Select(std::int32_t index);

    std::int32_t CurrentSelection() {
        return static_cast<std::int32_t>(SendMessageW(window, TCM_GETCURSEL, 0, 0));
    }

private:
    bool InsertTab(const std::wstring& caption, std::size_t index);
    HBRUSH PageBrush();

    // The strip as it paints itself, for the controls on its page.
    GdiObject<HBITMAP> pagePicture;
    GdiObject<HBRUSH> pageBrush;
    SIZE pageSize{};
};

} // namespace NBUtility
