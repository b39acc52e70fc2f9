#pragma once
// A set of files handled in one go, each into an output of its own: where
// every output goes, and what refuses the set as a whole before any job runs.
// Shared by the window and nbnx, so that both settle a set alike.

#include <cstddef>
#include <string>
#include <vector>

#include "ReadFault.h"
#include "StrongKeys.h"

namespace NBEngine {

// One file of a set and where its result goes.
struct SetMember {
    std::string input;
    std::string output; // empty when no output could be settled; reason says why
    std::string reason;
    ReadFault fault = ReadFault::None; // when the reason is a container's
};

// The one password of a set, in both forms the containers take it, and the
// keys its strong containers share.
struct SetPassword {
    std::string bytes;              // version 1's, as the link's ReadText gives them
    std::string typed;              // as typed, UTF-8
    StrongKeyCache* keys = nullptr; // not owned; null: each call derives
};

// The refusal of a set's password before any file is read: version 1's or
// the strong container's rules for an encryption, and for a decryption only
// what every container refuses (empty, too short).
std::string SetPasswordRefusal(const SetPassword& password, bool encrypt, bool strong);

// Encryption: the input's name with the extension nbnx (ChangeNameExtension),
// into folder, or beside the input when folder is empty.
std::string SetEncryptionOutput(const std::string& input, const std::string& folder);

// Decryption: the name stored in the container (its header read with the
// password, made local as a single decryption does) into folder, or beside
// the container when folder is empty. False with the message a single
// decryption would give: a missing file, a password that cannot be used, not
// a container for this password, a damaged one, a stored name not usable here.
bool SetDecryptionOutput(const std::string& container, const std::string& folder,
                         const SetPassword& password, std::string& output, std::string& reason,
                         ReadFault& fault);

// One file of a set settled: its output, or why it has none (a folder, or
// what SetDecryptionOutput says).
SetMember SettleMember(const std::string& input, bool encrypt, const std::string& folder,
                       const SetPassword& password);

enum class SetConflictKind { None, SameInput, SameOutput, OutputIsInput };
struct SetConflict {
    SetConflictKind kind = SetConflictKind::None;
    std::size_t first = 0; // indexes into the members
    std::size_t second = 0;
};

// The first conflict that refuses the set as a whole: two inputs that are one
// file whatever the spelling, two outputs that name one file (the same folder
// by identity and the same name; letter case ignored on Windows), or an output
// that is one of the inputs, its own included (first == second then). Members
// without an output take part only as inputs. Pairs are looked at in the
// order of their later member.
SetConflict FindSetConflict(const std::vector<SetMember>& members);

// One line that names the files as given, for nbnx and for the window's box, e.g.
// "report.doc and report.docx would both be written to report.nbnx".
std::string DescribeSetConflict(const std::vector<SetMember>& members, const SetConflict& conflict);

} // namespace NBEngine
