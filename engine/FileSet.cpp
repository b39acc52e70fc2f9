#include "FileSet.h"

#include "JobState.h"
#include "Jobs.h"
#include "Paths.h"
#include "PlatformFiles.h"
#include "StrongBody.h"

namespace NBEngine {

namespace {

constexpr char containerExtension[] = "nbnx";

// Where a path leads, as far as the system can tell before anything is
// written: the file itself when it exists, and always its folder and name, so
// that an output still to be made is recognised too.
struct Place {
    bool exists = false;
    Platform::FileIdentity file;
    bool folderKnown = false;
    Platform::FileIdentity folder;
    std::string name;
};

Place PlaceOf(const std::string& path) {
    Place place;
    place.exists = Platform::IdentityOf(path, place.file);
    const std::string folder = DirectoryOf(path);
    place.folderKnown = Platform::IdentityOf(folder.empty() ? "." : folder, place.folder);
    place.name = FileNameOf(path);
    return place;
}

bool SamePlace(const Place& a, const Place& b) {
    if (a.exists && b.exists) {
        return a.file == b.file;
    }
    return a.folderKnown && b.folderKnown && a.folder == b.folder &&
           Platform::SameNameInFolder(a.name, b.name);
}

struct MemberPlaces {
    Place input;
    bool hasOutput = false;
    Place output;
};

std::vector<MemberPlaces> PlacesOf(const std::vector<SetMember>& members) {
    std::vector<MemberPlaces> places;
    places.reserve(members.size());
    for (const SetMember& member : members) {
        MemberPlaces place;
        place.input = PlaceOf(member.input);
        place.hasOutput = !member.output.empty();
        if (place.hasOutput) {
            place.output = PlaceOf(member.output);
        }
        places.push_back(place);
    }
    return places;
}

SetConflict Conflict(SetConflictKind kind, std::size_t first, std::size_t second) {
    SetConflict conflict;
    conflict.kind = kind;
    conflict.first = first;
    conflict.second = second;
    return conflict;
}

bool WritesOver(const MemberPlaces& writer, const MemberPlaces& written) {
    return writer.hasOutput && SamePlace(writer.output, written.input);
}

// The conflict between an earlier member and a later one, if any.
SetConflict PairConflict(const std::vector<MemberPlaces>& places, std::size_t earlier,
                         std::size_t later) {
    const MemberPlaces& a = places[earlier];
    const MemberPlaces& b = places[later];
    if (SamePlace(a.input, b.input)) {
        return Conflict(SetConflictKind::SameInput, earlier, later);
    }
    if (a.hasOutput && b.hasOutput && SamePlace(a.output, b.output)) {
        return Conflict(SetConflictKind::SameOutput, earlier, later);
    }
    if (WritesOver(a, b)) {
        return Conflict(SetConflictKind::OutputIsInput, earlier, later);
    }
    if (WritesOver(b, a)) {
        return Conflict(SetConflictKind::OutputIsInput, later, earlier);
    }
    return SetConflict();
}

} // namespace

std::string SetEncryptionOutput(const std::string& input, const std::string& folder) {
    const std::string beside = ChangeNameExtension(input, containerExtension);
    return folder.empty() ? beside : WithTrailingSeparator(folder) + FileNameOf(beside);
}

namespace {

// The local name stored in a container, or the refusal a job would give.
bool StoredNameOfContainer(const std::string& container, const SetPassword& password,
                           std::string& name, std::string& reason, ReadFault& fault) {
    fault = ReadFault::None;
    if (ContainerVersionOf(container) == ContainerVersion::Version2) {
        std::string bytes;
        reason = StrongPasswordRefusal(password.typed, bytes);
        if (!reason.empty()) {
            return false;
        }
        StrongKeyCache ownKeys;
        bool stopped = false;
        const StrongReading reading = ReadStrongContainer(
            container, bytes, password.keys ? *password.keys : ownKeys, stopped);
        Crypto::Wipe(&bytes[0], bytes.size());
        if (reading.fault != ReadFault::None) {
            fault = reading.fault;
            reason = ContainerFaultMessage(container, fault);
            return false;
        }
        if (!LocalStrongName(reading.metadata.name, name)) {
            reason = FileNameOf(container) + storedNameNotValid;
            return false;
        }
        return true;
    }
    JobState state;
    reason = Version1DecryptionRefusal(container, password.bytes, state.keyTable, fault);
    if (reason.empty()) {
        reason = ContainerRefusal(container, state, fault);
    }
    if (!reason.empty()) {
        return false;
    }
    if (!LocalStoredName(state, name)) {
        reason = FileNameOf(container) + storedNameNotValid;
        return false;
    }
    return true;
}

} // namespace

std::string SetPasswordRefusal(const SetPassword& password, bool encrypt, bool strong) {
    std::string bytes;
    std::string refusal;
    if (encrypt && strong) {
        refusal = StrongPasswordRefusal(password.typed, bytes);
    } else if (encrypt) {
        refusal = PasswordRefusal(password.bytes);
    } else {
        refusal = CommonPasswordRefusal(password.typed);
    }
    Crypto::Wipe(&bytes[0], bytes.size());
    return refusal;
}

bool SetDecryptionOutput(const std::string& container, const std::string& folder,
                         const SetPassword& password, std::string& output, std::string& reason,
                         ReadFault& fault) {
    output.clear();
    fault = ReadFault::None;
    if (!FileExists(container)) {
        reason = MissingSourceMessage(container);
        return false;
    }
    std::string name;
    if (!StoredNameOfContainer(container, password, name, reason, fault)) {
        return false;
    }
    output = folder.empty() ? SameFolderDestination(container, name)
                            : WithTrailingSeparator(folder) + name;
    return true;
}

SetMember SettleMember(const std::string& input, bool encrypt, const std::string& folder,
                       const SetPassword& password) {
    SetMember member;
    member.input = input;
    if (Platform::KindOf(input, true) == Platform::FileKind::Folder) {
        member.reason = "a folder, not a file";
    } else if (encrypt) {
        member.output = SetEncryptionOutput(input, folder);
    } else {
        SetDecryptionOutput(input, folder, password, member.output, member.reason, member.fault);
    }
    return member;
}

SetConflict FindSetConflict(const std::vector<SetMember>& members) {
    const std::vector<MemberPlaces> places = PlacesOf(members);
    for (std::size_t later = 0; later < places.size(); ++later) {
        if (WritesOver(places[later], places[later])) {
            return Conflict(SetConflictKind::OutputIsInput, later, later);
        }
        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            const SetConflict conflict = PairConflict(places, earlier, later);
            if (conflict.kind != SetConflictKind::None) {
                return conflict;
            }
        }
    }
    return SetConflict();
}

std::string DescribeSetConflict(const std::vector<SetMember>& members,
                                const SetConflict& conflict) {
    if (conflict.kind == SetConflictKind::None || conflict.first >= members.size() ||
        conflict.second >= members.size()) {
        return std::string();
    }
    const SetMember& first = members[conflict.first];
    const SetMember& second = members[conflict.second];
    switch (conflict.kind) {
    case SetConflictKind::SameInput:
        return first.input == second.input
                   ? first.input + " is given twice"
                   : first.input + " and " + second.input + " are the same file";
    case SetConflictKind::SameOutput:
        return first.input + " and " + second.input + " would both be written to " + first.output;
    case SetConflictKind::OutputIsInput:
        return conflict.first == conflict.second ? first.input + " would be written over itself"
                                                 : first.input + " would be written over " +
                                                       second.input + ", which is in this set too";
    case SetConflictKind::None:
        break;
    }
    return std::string();
}

} // namespace NBEngine
