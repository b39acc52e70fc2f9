#pragma once
// The box that ends a batch of work: a summary line above a scrolling list of
// details, OK and Copy. Unlike a message box it stays inside the work area of
// its monitor however many details there are, and its lines can be selected
// and copied. It is a dialog of class "#32770" whose summary is the static
// 0xFFFF and whose OK is IDOK, as in a message box.

#include "GUIElement.h"

#include <string>
#include <vector>

namespace NBUtility {

struct ReportContent {
    std::string caption;
    std::string summary;
    std::vector<std::string> details; // one line each
    bool failed = false;              // the error icon and sound
};

// Modal to the owner, on the owner's thread; returns once OK, Enter, Esc or
// the close box has ended it.
void ShowReport(GUIElement* owner, const ReportContent& content);

// What Copy puts on the clipboard: the summary, an empty line and the
// details, lines ended as Windows ends them.
std::wstring ReportClipboardText(const ReportContent& content);

// The window's rectangle moved inside the area, and cut to the area where it
// is larger.
RECT FitInside(const RECT& window, const RECT& area);

} // namespace NBUtility
