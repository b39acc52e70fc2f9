#pragma once
// Modal system services over narrow texts: message boxes, the open and save
// file dialogs, and opening a document or address with its program.

#include "GUIElement.h"

#include <cstddef>
#include <string>
#include <vector>

namespace NBUtility {

void ShowInfo(GUIElement* owner, const std::string& text, const std::string& caption);
void ShowError(GUIElement* owner, const std::string& text, const std::string& caption);
// True when the user chose Yes; closing the box any other way is No.
bool AskYesNo(const std::string& text, const std::string& caption);

// How a file dialog ended. Every outcome but Chosen gives an empty path.
enum class FileChoice {
    Chosen,
    Cancelled, // or the dialog failed
    TooLong,   // the path does not fit the name buffer
};

// Filters: description and pattern, in pairs; a pair without a pattern is
// skipped. The file-name buffer holds long paths.
constexpr std::size_t FileNameCapacity = 32768;

std::string OpenFileDialog(GUIElement* owner, const std::string& title,
                           const std::string& initialDirectory,
                           const std::vector<std::string>& filters, FileChoice* outcome = nullptr);
std::string OpenFileDialog(GUIElement* owner);
// Several files chosen together, as full paths in the dialog's order; one
// chosen file gives one path. Empty when cancelled.
std::vector<std::string> OpenFilesDialog(GUIElement* owner, const std::string& title,
                                         const std::string& initialDirectory,
                                         const std::vector<std::string>& filters,
                                         FileChoice* outcome = nullptr);
// What a multiple-selection dialog leaves in its buffer: one full path, or a
// folder followed by names, each ended by a zero, the list by another zero.
std::vector<std::wstring> SplitMultipleSelection(const std::wstring& buffer);

std::string SaveFileDialog(GUIElement* owner, const std::string& title,
                           const std::string& initialDirectory, const std::string& suggestedName,
                           const std::vector<std::string>& filters, FileChoice* outcome = nullptr);
std::string SaveFileDialog(GUIElement* owner, const std::string& title,
                           const std::string& initialDirectory,
                           const std::vector<std::string>& filters);
std::string SaveFileDialog(GUIElement* owner);

// The filter block handed to the dialog: every entry of every complete pair
// followed by a zero, and one more zero at the end; empty without pairs.
std::wstring FilterBlock(const std::vector<std::string>& filters);

// True when the shell accepted the target (a path or an address).
bool OpenWithShell(const std::string& target);

} // namespace NBUtility
