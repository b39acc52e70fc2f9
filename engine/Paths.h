#pragma once
// Path and text helpers on narrow texts. Paths follow the platform: on
// Windows "\" separates, "/" counts as its equal, and ":" follows a drive
// letter; elsewhere only "/" separates. A stored name is still checked
// against the rules of every platform, so that a container stays portable.

#include <cstdint>
#include <string>

namespace NBEngine {

// Directory part ending in the platform's separator (or the drive with its
// ":"), or empty.
std::string DirectoryOf(const std::string& path);
// Everything after the directory part, as written.
std::string FileNameOf(const std::string& path);
std::string WithTrailingSeparator(const std::string& text);
// Drops an old extension of at most 4 characters after its dot, unless the
// path already carries this one; then appends it.
std::string ChangeExtension(const std::string& path, const std::string& extension);

// ChangeExtension applied to the file name alone, so that a dot in a folder
// name never moves the result into another folder.
std::string ChangeNameExtension(const std::string& path, const std::string& extension);

// A name that stays in its folder and that every system accepts: no
// separators, drive colon, control or wildcard characters, not "." or "..",
// no trailing dot or space, no device name such as CON or LPT1.TXT.
bool IsPlainFileName(const std::string& name);

// The name a container stores for a local file name, and the local name of a
// stored one (false when this platform cannot spell it).
std::string StoredFormOfName(const std::string& localName);
bool LocalFormOfStoredName(const std::string& stored, std::string& localName);

bool FileExists(const std::string& path);
// 0 when the size cannot be read, and for a folder.
std::int64_t FileSize(const std::string& path);

std::string Trim(const std::string& text);
std::string ToUpper(const std::string& text);
std::string ToLower(const std::string& text);
std::string ReplaceChar(const std::string& text, char from, char to);
// Replaces the first occurrence until none is left.
std::string ReplaceAll(const std::string& text, const std::string& searched,
                       const std::string& replacement);

} // namespace NBEngine
