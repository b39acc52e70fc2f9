#pragma once
// Narrow text is UTF-8 (paths, captions, messages); wide text is UTF-16 at
// the Win32 boundary. The conversions involve no code page, so they never
// depend on the system's and carry every character.

#include <cstdint>
#include <string>
#include <vector>

namespace NBUtility {

// The UTF-8 before the first zero byte as UTF-16; text that is not valid
// UTF-8 is taken as Latin-1 bytes, one character each.
std::wstring ToWide(const std::string& narrow);

// UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToNarrow(const std::wstring& wide);

// Signed decimal, no leading zeros, no grouping.
std::string Int64ToText(std::int64_t value);

// UTF-8 and UTF-16, whatever the platform's wchar_t. Decoding answers false
// for text that is not well-formed UTF-8 (overlong forms, surrogates and
// values past U+10FFFF included) and leaves the result empty then.
bool Utf8ToUtf16(const std::string& utf8, std::u16string& utf16);
// An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const std::u16string& utf16);

// The name a container stores: Latin-1 bytes when every character lies in
// U+0001..U+00FF (as every container has always held), its UTF-8 bytes
// otherwise.
std::string StoredNameOf(const std::u16string& name);
// The characters of a stored name: UTF-8 only when the bytes are valid UTF-8
// and hold a character above U+00FF, Latin-1 otherwise; so every name that
// could be stored before reads as it always has.
std::u16string NameOfStored(const std::string& stored);
// A POSIX file name's characters: its UTF-8, or Latin-1 bytes when it is not
// valid UTF-8.
std::u16string CharactersOfUtf8Name(const std::string& name);

// A password's bytes are the low bytes of its UTF-16 code units, on every
// platform, as the window has always made them: one byte per unit.
std::string PasswordBytes(const std::u16string& typed);
// Typed on a terminal that speaks UTF-8; text that is not valid UTF-8 is
// taken byte for byte.
std::string PasswordBytesOfUtf8(const std::string& typed);
// The first line of a password file: UTF-16 with its byte-order mark is
// decoded, a UTF-8 byte-order mark dropped, and the rest read as typed text.
std::string PasswordBytesOfFile(const std::string& contents);
// The same two as the characters typed, in UTF-8 (what the strong container
// takes): bytes that are not valid UTF-8 are Latin-1 characters.
std::string PasswordTextOfUtf8(const std::string& typed);
std::string PasswordTextOfFile(const std::string& contents);

} // namespace NBUtility
