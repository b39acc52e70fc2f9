#pragma once
// File operands with * or ?, expanded by the program itself on Windows, where
// the shell leaves them as typed (as Windows tools do).

#include <string>
#include <vector>

namespace NBCli {

// On Windows each operand holding * or ? in its name becomes the files (not
// folders) that match it in its folder, sorted, each with the folder part as
// written; one that matches nothing stays as written, to be reported as not
// found. Elsewhere the shell has expanded them already: operands stay as given.
std::vector<std::string> ExpandWildcards(const std::vector<std::string>& operands);

} // namespace NBCli
