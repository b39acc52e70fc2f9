#pragma once
// How a set of files reads in the source box and in the box that ends its job.

#include <cstddef>
#include <string>
#include <vector>

namespace MyGame {

// Whether a set is shown by its names alone: all its files in one folder.
bool SetShownByName(const std::vector<std::string>& paths);

// As Windows' own dialogs show a selection: each name in quotes, one blank
// between them; full paths when the files come from several folders.
std::string SetDisplayText(const std::vector<std::string>& paths);

// One file of a set that did not come out, and why.
struct SetFailure {
    std::string name;
    std::string message;
};

// "5 files encrypted successfully", or how many of how many did.
std::string SetSummaryText(std::size_t total, std::size_t failed, bool encrypt);

// One line for each failure: the file's name, why, and the system's reason in
// brackets after it.
std::vector<std::string> SetFailureLines(const std::vector<SetFailure>& failures);

// "2 of 5: b.txt", for the status band.
std::string SetPositionText(std::size_t index, std::size_t total, const std::string& path);

} // namespace MyGame
