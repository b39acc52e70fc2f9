#include "Jobs.h"

#include <memory>
#include <string>

#include "BodyCipher.h"
#include "Checksum.h"
#include "Container.h"
#include "OutputFile.h"
#include "PasswordRules.h"
#include "Paths.h"
#include "PlatformFiles.h"
#include "StrongBody.h"
#include "TextConversion.h"

namespace NBEngine {

const char storedNameNotValid[] = ": The file name stored in the encrypted file is not valid";

namespace {

constexpr std::int64_t largestPlainSize = 2147483647;

const char notFound[] = ": file not found or inaccessible";
const char sourceDestinationMatch[] = "The source file and the destination file cannot match";
const char passwordRequired[] = "Password required";
const char passwordTooShort[] = "Password must be at least 8 characters";
const char passwordUnusable[] = "This password cannot be used, please choose another one";
const char transformFailed[] = "Error during encryption.";
const char passwordTooLong[] = "Password must be at most 1024 bytes";
const char sourceChanged[] = ": The file changed while it was read";
const char notValidContainer[] = ": The password is incorrect or not valid NBN Encrypted File";
const char damagedContainer[] = ": The encrypted file is damaged or incomplete";
const char unsupportedContainer[] =
    ": The encrypted file uses settings that this program does not support";
const char passwordTooLongForVersion1[] = "Password must be at most 15 characters";
const char checkTransformFailed[] = "Error while checking.";

// Only a regular file is read: a FIFO or a device would never end.
bool IsRegular(const std::string& path) {
    return Platform::KindOf(path, true) == Platform::FileKind::Regular;
}

// The name a strong container stores for a local file: its characters in UTF-8.
std::string StrongStoredName(const std::string& localName) {
    return NBUtility::Utf16ToUtf8(Platform::CharactersOfPath(localName));
}

// Version 1's length rules for a trimmed password; an encryption also keeps
// to the 15 characters every version 1 container has had.
std::string Version1LengthRefusal(const std::string& trimmed, bool encrypt) {
    if (trimmed.empty()) {
        return passwordRequired;
    }
    if (trimmed.size() < leastPasswordCharacters) {
        return passwordTooShort;
    }
    if (encrypt && trimmed.size() > longestVersion1Password) {
        return passwordTooLongForVersion1;
    }
    return std::string();
}

std::string MegabytesText(std::int64_t bytes, bool roundUp) {
    constexpr std::int64_t megabyte = 1000000;
    return std::to_string(roundUp ? (bytes + megabyte - 1) / megabyte : bytes / megabyte);
}

// The job's story: request checks, then every check on the files before
// anything is written, the body into a temporary file beside the
// destination, its verification, and only then the output in its place.
class Job {
public:
    Job(JobLink& link, JobState& state) : link(link), state(state) {}
    ~Job() {
        Crypto::Wipe(&password[0], password.size());
        Keys().OnDerivation(nullptr); // a set's keys outlive this job
    }
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    bool Run() {
        link.SetProgress(0);
        encrypt = link.IsEncryptMode();
        strong = encrypt && link.IsChecked(Option::Strong);
        if (!CheckRequest()) {
            return false;
        }
        if (strong) {
            if (!PrepareStrongEncryption() || !WriteStrongBody() || !VerifyStrongContainer()) {
                return false;
            }
        } else if (strongSource) {
            if (!PrepareStrongDecryption() || !OpenStrongBodyIntoOutput()) {
                return false;
            }
        } else if (!RunVersion1Body()) {
            return false;
        }
        if (!Publish()) {
            return false;
        }
        link.SetProgress(100);
        return true;
    }

private:
    bool RunVersion1Body() {
        state.plainSize = static_cast<std::int32_t>(static_cast<std::uint32_t>(sourceSize));
        if (!(encrypt ? PrepareEncryption() : PrepareDecryption())) {
            return false;
        }
        link.SetProgress(10);
        seed = ChecksumSeed(state.checksumText);
        if (!TransformBody()) {
            return false;
        }
        return encrypt ? VerifyContainer() : CompareDecryptedChecksum();
    }

    bool Fail(const std::string& message, TextField focus = TextField::None,
              const std::string& reason = std::string(), const std::string& path = std::string(),
              ReadFault fault = ReadFault::None) {
        return FailAs(JobErrorKind::Other, message, focus, reason, path, fault);
    }

    bool FailAs(JobErrorKind kind, const std::string& message, TextField focus = TextField::None,
                const std::string& reason = std::string(), const std::string& path = std::string(),
                ReadFault fault = ReadFault::None) {
        // Gone before the message shows: a box may wait long for its reader.
        if (output) {
            output->Discard();
        }
        JobError error(message, focus, reason, path, fault);
        error.kind = kind;
        link.ReportError(error);
        return false;
    }

    // A source that is not a regular file with bytes in it, as the window
    // has always said it, with its kind.
    bool FailSource(JobErrorKind kind, const std::string& reason = std::string()) {
        return FailAs(kind, FileNameOf(source) + notFound, TextField::Source, reason,
                      reason.empty() ? std::string() : source);
    }

    bool FailSourceChanged() { return Fail(FileNameOf(source) + sourceChanged, TextField::Source); }

    bool FailReading(ReadFault fault, const std::string& reason = std::string()) {
        return Fail(ContainerFaultMessage(source, fault), TextField::Source, reason,
                    fault == ReadFault::System ? source : std::string(), fault);
    }

    // A pass that failed on the temporary file is told as the destination's.
    bool FailPass(const char* message, const PassResult& pass) {
        const bool onOutput = output && pass.path == output->Path();
        return FailAs(JobErrorKind::Transform, message, TextField::None, pass.reason,
                      onOutput ? destination : pass.path);
    }

    // The box that named the destination; hidden when the container named it.
    TextField DestinationField() const {
        return destinationFromName ? TextField::Source : TextField::Destination;
    }

    bool KeepGoing() { return link.IsRunning(); }

    // A pass runs from where the bar stands to its end, or to half the way
    // there when "Check" asks for a pass after it.
    PassWork WorkFromHere() {
        PassWork work;
        work.progressStart = link.GetProgress();
        work.progressEnd = link.IsChecked(Option::Verify)
                               ? work.progressStart + (progressMaximum - work.progressStart) / 2
                               : progressMaximum;
        work.showProgress = [this](int value) { link.SetProgress(value); };
        work.keepGoing = [this] { return KeepGoing(); };
        return work;
    }

    // Paths are used as the link gives them; passwords lose surrounding space.
    std::string Path(TextField field) { return link.ReadText(field); }
    std::string Secret(TextField field) { return Trim(link.ReadText(field)); }

    bool CheckRequest() {
        source = Path(TextField::Source);
        if (source.empty()) {
            return Fail(encrypt ? "The file to encrypt is required"
                                : "The file to decrypt is required",
                        TextField::Source);
        }
        if (!FileExists(source)) {
            return FailAs(JobErrorKind::SourceMissing, MissingSourceMessage(source),
                          TextField::Source);
        }
        // From here on the file that was opened is the one the job is about.
        sourceSize = heldSource.Hold(source) ? heldSource.Size() : FileSize(source);
        strongSource = !encrypt && ContainerVersionOf(source) == ContainerVersion::Version2;
        version1Source = !encrypt && ContainerVersionOf(source) == ContainerVersion::Version1;
        if (encrypt || link.IsChecked(Option::SpecifyPath)) {
            destination = Path(TextField::Destination);
            if (destination.empty()) {
                return Fail(encrypt ? "The filename of the encrypted file is required"
                                    : "The filename of the decrypted file is required",
                            TextField::Destination);
            }
        }
        return CheckPassword() && CheckSourceFits();
    }

    bool CheckPassword() {
        if (strong || strongSource) {
            return CheckStrongPassword();
        }
        password = Secret(TextField::Password);
        const std::string lengthRefusal = Version1LengthRefusal(password, encrypt);
        if (!lengthRefusal.empty()) {
            return Fail(lengthRefusal, TextField::Password);
        }
        if (Platform::SamePathSpelling(source, destination)) {
            return Fail(sourceDestinationMatch, TextField::Destination);
        }
        // No version 1 container was ever written with a longer one.
        if (version1Source && password.size() > longestVersion1Password) {
            return FailReading(ReadFault::WrongPassword);
        }
        if (encrypt && !link.IsPasswordShown()) {
            const std::string refusal =
                ConfirmationRefusal(password, link.ReadText(TextField::Confirmation));
            if (!refusal.empty()) {
                return Fail(refusal, TextField::Confirmation);
            }
        }
        if (!DeriveKey(password, state.keyTable)) {
            return Fail(passwordUnusable, TextField::Password);
        }
        return true;
    }

    bool CheckStrongPassword() {
        const std::string refusal =
            StrongPasswordRefusal(link.ReadTypedText(TextField::Password), password);
        if (!refusal.empty()) {
            return Fail(refusal, TextField::Password);
        }
        if (Platform::SamePathSpelling(source, destination)) {
            return Fail(sourceDestinationMatch, TextField::Destination);
        }
        if (encrypt && !link.IsPasswordShown()) {
            return CheckStrongConfirmation();
        }
        return true;
    }

    // Compared in the form that is derived from, so that an accent typed
    // either way matches.
    bool CheckStrongConfirmation() {
        const std::string typed = link.ReadTypedText(TextField::Confirmation);
        std::string confirmation;
        StrongPasswordBytes(typed, confirmation);
        const std::string refusal =
            ConfirmationRefusal(password, confirmation.empty() ? typed : confirmation);
        Crypto::Wipe(&confirmation[0], confirmation.size());
        return refusal.empty() || Fail(refusal, TextField::Confirmation);
    }

    // The container holds at most 128 name bytes and a signed 32-bit length.
    bool CheckSourceFits() {
        if (!encrypt) {
            return true;
        }
        if (strong) {
            return CheckStrongSourceFits();
        }
        const std::string name = FileNameOf(source);
        if (StoredFormOfName(name).size() > static_cast<std::size_t>(maxPlainNameLength)) {
            return Fail(name + ": file name too long (at most 128 bytes)", TextField::Source);
        }
        if (sourceSize > largestPlainSize) {
            return Fail(name + ": file too large (at most 2147483647 bytes)", TextField::Source);
        }
        return true;
    }

    bool CheckStrongSourceFits() {
        const std::string name = FileNameOf(source);
        storedName = StrongStoredName(name);
        if (storedName.size() > maxStrongNameSize) {
            return Fail(name + ": file name too long (at most 1014 bytes)", TextField::Source);
        }
        if (!IsStorableStrongName(storedName)) {
            return Fail(name + ": file name cannot be stored", TextField::Source);
        }
        return true;
    }

    bool SourceIsRegular() const { return heldSource.Held() || IsRegular(source); }

    StrongKeyCache& Keys() { return state.strongKeys ? *state.strongKeys : ownKeys; }

    // A derivation cannot be interrupted; a stop is honoured once it returns.
    bool PrepareStrongEncryption() {
        link.SetProgress(5);
        if (!SourceIsRegular()) {
            return FailSource(JobErrorKind::SourceNotRegular);
        }
        const auto length = static_cast<std::uint64_t>(sourceSize);
        if (!CheckDestination() ||
            !CheckFreeSpace(static_cast<std::int64_t>(StrongContainerSize(length)))) {
            return false;
        }
        strongHeader.cost = RequestedStrongCost();
        std::string reason;
        Keys().OnDerivation([this] { link.NoteKeyDerivation(); });
        if (!Keys().WritingKey(password, strongHeader.cost, strongHeader.salt, derivedKey,
                               reason) ||
            !Crypto::StrongRandom(strongHeader.fileNonce.data(), strongHeader.fileNonce.size()) ||
            !DeriveSubkeys(derivedKey, strongHeader.fileNonce, strongKeys)) {
            return FailAs(JobErrorKind::Transform, transformFailed, TextField::None, reason);
        }
        if (!KeepGoing()) {
            return false;
        }
        link.SetProgress(10);
        return CreateOutput();
    }

    bool WriteStrongBody() {
        // Only Check compares the plain text's digest.
        Crypto::Digest* digest = link.IsChecked(Option::Verify) ? &plainDigest : nullptr;
        const StrongPass pass =
            WriteStrongContainer(source, static_cast<std::uint64_t>(sourceSize), output->Path(),
                                 strongHeader, strongKeys, storedName, WorkFromHere(), digest);
        if (pass.sourceChanged) {
            return FailSourceChanged();
        }
        if (!pass.result.ok) {
            return FailPass(transformFailed, pass.result);
        }
        return !pass.result.stopped && KeepGoing();
    }

    // Reads the new container back from the disk and opens every chunk with
    // the key it was written with: no plain copy is made.
    bool VerifyStrongContainer() {
        if (!link.IsChecked(Option::Verify)) {
            return true;
        }
        const std::string written = output->Path();
        const StrongOpening opening = ReadStrongHeader(written);
        StrongKeys keys;
        StrongMetadata metadata;
        std::string reason;
        if (opening.fault != ReadFault::None ||
            OpenStrongMetadata(written, opening, derivedKey, keys, metadata, reason) !=
                ReadFault::None) {
            return Fail("Check failed.");
        }
        Crypto::Digest readBack;
        const StrongPass pass =
            OpenStrongBody(written, keys, metadata, std::string(), WorkFromHere(), &readBack);
        if (!pass.result.ok && pass.fault == ReadFault::System) {
            return FailPass(checkTransformFailed, pass.result);
        }
        if (pass.result.stopped || !KeepGoing()) {
            return false;
        }
        const bool same = pass.result.ok && readBack == plainDigest &&
                          metadata.plainLength == static_cast<std::uint64_t>(sourceSize) &&
                          metadata.name == storedName;
        return same || Fail("Check failed.");
    }

    bool PrepareStrongDecryption() {
        link.SetProgress(5);
        bool stopped = false;
        Keys().OnDerivation([this] { link.NoteKeyDerivation(); });
        strongReading =
            ReadStrongContainer(source, password, Keys(), stopped, [this] { return KeepGoing(); });
        if (stopped) {
            return false;
        }
        if (strongReading.fault != ReadFault::None) {
            return FailReading(strongReading.fault, strongReading.reason);
        }
        if (destination.empty() && link.IsChecked(Option::SameFolder)) {
            std::string localName;
            if (!LocalStrongName(strongReading.metadata.name, localName)) {
                return Fail(FileNameOf(source) + storedNameNotValid, TextField::Source);
            }
            destination = SameFolderDestination(source, localName);
            destinationFromName = true;
        }
        link.SetProgress(10);
        return CheckDestination() &&
               CheckFreeSpace(static_cast<std::int64_t>(strongReading.metadata.plainLength)) &&
               CreateOutput();
    }

    // Nothing of a container that fails to open is kept: no salvage.
    bool OpenStrongBodyIntoOutput() {
        // Every chunk is authenticated: no digest of the whole is needed.
        const StrongPass pass = OpenStrongBody(source, strongReading.keys, strongReading.metadata,
                                               output->Path(), WorkFromHere(), nullptr);
        if (pass.fault == ReadFault::Damaged) {
            return FailReading(ReadFault::Damaged);
        }
        if (!pass.result.ok) {
            return FailPass(transformFailed, pass.result);
        }
        return !pass.result.stopped && KeepGoing();
    }

    // An existing destination is replaced only at the end, and only when it
    // is a plain file of its own: never the source, a link or a device.
    bool CheckDestination() {
        const Platform::FileKind kind = Platform::KindOf(destination, false);
        if (kind == Platform::FileKind::Missing) {
            return true;
        }
        if (Platform::SameFile(source, destination)) {
            return Fail(sourceDestinationMatch, TextField::Destination);
        }
        if (kind != Platform::FileKind::Regular) {
            return Fail(FileNameOf(destination) + ": file not accessible", DestinationField());
        }
        destinationExisted = true;
        return true;
    }

    bool CheckFreeSpace(std::int64_t needed) {
        std::int64_t available = 0;
        if (!Platform::FreeSpace(DirectoryOf(destination), available) || available >= needed) {
            return true;
        }
        return Fail(FileNameOf(destination) + ": not enough free space (" +
                        MegabytesText(needed, true) + " MB needed, " +
                        MegabytesText(available, false) + " MB free)",
                    DestinationField());
    }

    bool CreateOutput() {
        output = std::make_unique<OutputFile>(destination);
        std::string reason;
        return output->Create(reason) || FailAs(JobErrorKind::Transform, transformFailed,
                                                TextField::None, reason, destination);
    }

    bool PrepareEncryption() {
        state.readOffset = 0;
        state.plainName = StoredFormOfName(FileNameOf(source));
        link.SetProgress(5);
        if (!SourceIsRegular()) {
            return FailSource(JobErrorKind::SourceNotRegular);
        }
        if (state.plainSize == 0) {
            return FailSource(JobErrorKind::SourceEmpty);
        }
        if (!CheckDestination() || !CheckFreeSpace(sourceSize + headerSize)) {
            return false;
        }
        const Checksum checksum = FoldChecksum(source, [this] { return KeepGoing(); });
        if (checksum.stopped) {
            return false;
        }
        state.checksumText = checksum.text;
        if (!checksum.readable) {
            return FailSource(JobErrorKind::SourceMissing, checksum.reason);
        }
        // The header stores the length: a file that grew or shrank since it
        // was looked at would give a container that never opens.
        if (checksum.length != sourceSize) {
            return FailSourceChanged();
        }
        return CreateOutput() && (WriteHeader(output->Path(), state) ||
                                  FailAs(JobErrorKind::Transform, transformFailed));
    }

    bool PrepareDecryption() {
        state.writeOffset = 0;
        ReadFault fault = ReadFault::None;
        const std::string refusal = ContainerRefusal(source, state, fault);
        if (!refusal.empty()) {
            // An empty file is no container of either version.
            const bool empty = sourceSize == 0 && IsRegular(source);
            return FailAs(empty ? JobErrorKind::SourceEmpty : JobErrorKind::Other, refusal,
                          TextField::Source, std::string(), std::string(), fault);
        }
        if (destination.empty() && link.IsChecked(Option::SameFolder)) {
            std::string localName;
            if (!LocalStoredName(state, localName)) {
                return Fail(FileNameOf(source) + storedNameNotValid, TextField::Source);
            }
            destination = SameFolderDestination(source, localName);
            destinationFromName = true;
        }
        return CheckDestination() && CheckFreeSpace(state.plainSize) && CreateOutput();
    }

    bool TransformBody() {
        RootSequence generator;
        generator.Seed(seed);
        const PassResult pass = TransformFile(source, output->Path(), generator, state,
                                              WorkFromHere(), encrypt ? nullptr : &outputFold);
        if (!pass.ok) {
            return FailPass(transformFailed, pass);
        }
        if (pass.stopped || !KeepGoing()) {
            return false;
        }
        // Exactly the stored length, or the container was cut or grown (a
        // zero tail would even keep the checksum) or the source changed.
        if (pass.bytesRead != state.plainSize) {
            return encrypt ? FailSourceChanged() : FailReading(ReadFault::Damaged);
        }
        return true;
    }

    // A damaged output is kept for salvage only where it replaces nothing.
    bool CompareDecryptedChecksum() {
        if (outputFold.Text() == state.checksumText) {
            return true;
        }
        std::string reason;
        if (!destinationExisted &&
            output->Publish(source, false, reason) == Platform::MoveResult::Moved) {
            link.AddCleanupPath(destination);
        }
        return Fail(FileNameOf(destination) +
                    ": CRC mismatch. The password is incorrect or the file may be corrupted.");
    }

    // Reads the new container back and decrypts it in memory: no plain copy
    // is ever written for the check.
    bool VerifyContainer() {
        if (!link.IsChecked(Option::Verify)) {
            return true;
        }
        const std::string sourceChecksum = state.checksumText;
        if (!ReadHeader(output->Path(), state)) {
            return Fail(FileNameOf(destination) +
                        ": not valid NBN Encrypted File or not accessible");
        }
        state.writeOffset = 0;
        RootSequence generator;
        generator.Seed(seed);
        ChecksumFold fold;
        const PassResult pass =
            TransformIntoFold(output->Path(), generator, state, WorkFromHere(), fold);
        if (!pass.ok) {
            return FailPass(checkTransformFailed, pass);
        }
        if (pass.stopped || !KeepGoing()) {
            return false;
        }
        const bool sameLength = pass.bytesRead == state.plainSize;
        return (sameLength && fold.Text() == sourceChecksum) || Fail("Check failed.");
    }

    // The one moment the destination changes. The output takes the
    // permission bits of the file it was made from.
    bool Publish() {
        if (!KeepGoing()) {
            return false;
        }
        // Replaced or changed since it was opened: what was read may not be
        // the file the output claims to come from.
        if (heldSource.Held() && !heldSource.StillNamedBy(source)) {
            return FailSourceChanged();
        }
        std::string reason;
        if (output->Publish(source, link.MayReplaceOutput(), reason) ==
            Platform::MoveResult::Moved) {
            return true;
        }
        return Fail(FileNameOf(destination) + ": file not accessible", DestinationField(), reason,
                    destination);
    }

    JobLink& link;
    JobState& state;
    bool encrypt = true;
    std::string source;
    Platform::HeldFile heldSource;
    std::int64_t sourceSize = 0;
    std::string destination;
    bool destinationFromName = false;
    bool destinationExisted = false;
    std::string password;
    std::int32_t seed = 0;
    std::unique_ptr<OutputFile> output; // removes its file unless published
    ChecksumFold outputFold;            // of a decryption's output
    bool strong = false;                // writes the strong container
    bool strongSource = false;          // reads one
    bool version1Source = false;
    std::string storedName;
    StrongKeyCache ownKeys;
    StrongHeader strongHeader;
    Crypto::SecretKey derivedKey;
    StrongKeys strongKeys;
    Crypto::Digest plainDigest{};
    StrongReading strongReading;
};

} // namespace

ContainerVersion ContainerVersionOf(const std::string& path) {
    std::string reason;
    std::FILE* file =
        IsRegular(path) ? Platform::OpenFile(path, Platform::OpenMode::Read, reason) : nullptr;
    if (!file) {
        return ContainerVersion::Unknown;
    }
    std::uint8_t signature[strongSignatureSize];
    const std::size_t read = std::fread(signature, 1, sizeof signature, file);
    std::fclose(file);
    return VersionOfSignature(signature, read);
}

std::string ContainerFaultMessage(const std::string& container, ReadFault fault) {
    const std::string name = FileNameOf(container);
    switch (fault) {
    case ReadFault::Damaged:
        return name + damagedContainer;
    case ReadFault::Unsupported:
        return name + unsupportedContainer;
    case ReadFault::System:
        return name + notFound;
    case ReadFault::None:
    case ReadFault::NotContainer:
    case ReadFault::WrongPassword:
        break;
    }
    return name + notValidContainer;
}

std::string StrongPasswordRefusal(const std::string& typed, std::string& bytes) {
    switch (StrongPasswordBytes(typed, bytes)) {
    case StrongPasswordFault::None:
        return std::string();
    case StrongPasswordFault::Empty:
        return passwordRequired;
    case StrongPasswordFault::TooShort:
        return passwordTooShort;
    case StrongPasswordFault::TooLong:
        return passwordTooLong;
    case StrongPasswordFault::NotText:
        break;
    }
    return passwordUnusable;
}

std::string CommonPasswordRefusal(const std::string& typed) {
    const std::string trimmed = Trim(typed);
    if (trimmed.empty()) {
        return passwordRequired;
    }
    std::u16string characters;
    const std::size_t count =
        NBUtility::Utf8ToUtf16(trimmed, characters) ? characters.size() : trimmed.size();
    return count < leastPasswordCharacters ? passwordTooShort : std::string();
}

std::string Version1DecryptionRefusal(const std::string& container, const std::string& password,
                                      KeyTable& key, ReadFault& fault) {
    fault = ReadFault::None;
    const std::string trimmed = Trim(password);
    if (trimmed.size() > longestVersion1Password &&
        ContainerVersionOf(container) == ContainerVersion::Version1) {
        fault = ReadFault::WrongPassword;
        return ContainerFaultMessage(container, fault);
    }
    const std::string refusal = Version1LengthRefusal(trimmed, false);
    if (!refusal.empty()) {
        return refusal;
    }
    return DeriveKey(trimmed, key) ? std::string() : passwordUnusable;
}

std::string MissingSourceMessage(const std::string& source) {
    return ToUpper(FileNameOf(source)) + notFound;
}

std::string PasswordRefusal(const std::string& password) {
    KeyTable key;
    return PasswordRefusal(password, key);
}

std::string PasswordRefusal(const std::string& password, KeyTable& key) {
    const std::string trimmed = Trim(password);
    const std::string refusal = Version1LengthRefusal(trimmed, true);
    if (!refusal.empty()) {
        return refusal;
    }
    return DeriveKey(trimmed, key) ? std::string() : passwordUnusable;
}

std::string ConfirmationRefusal(const std::string& password, const std::string& confirmation) {
    const std::string trimmed = Trim(confirmation);
    if (trimmed.empty()) {
        return "Confirmation password required";
    }
    return trimmed == Trim(password) ? std::string() : "Confirmation password does not match";
}

std::string ContainerRefusal(const std::string& container, JobState& state) {
    ReadFault fault = ReadFault::None;
    return ContainerRefusal(container, state, fault);
}

std::string ContainerRefusal(const std::string& container, JobState& state, ReadFault& fault) {
    fault = ReadFault::None;
    if (!IsRegular(container) || !ReadHeader(container, state)) {
        fault = ContainerVersionOf(container) == ContainerVersion::Version1
                    ? ReadFault::WrongPassword
                    : ReadFault::NotContainer;
    } else if (FileSize(container) - headerSize != state.plainSize) {
        // A body cut short or extended would decrypt into a wrong file.
        fault = ReadFault::Damaged;
    }
    return fault == ReadFault::None ? std::string() : ContainerFaultMessage(container, fault);
}

bool LocalStoredName(const JobState& state, std::string& localName) {
    return IsPlainFileName(state.plainName) && LocalFormOfStoredName(state.plainName, localName);
}

bool RunJob(JobLink& link, JobState& state) {
    return Job(link, state).Run();
}

std::string SameFolderDestination(const std::string& containerPath, const std::string& storedName) {
    const std::string name = FileNameOf(containerPath);
    if (name.size() < containerPath.size()) {
        return WithTrailingSeparator(containerPath.substr(0, containerPath.size() - name.size())) +
               storedName;
    }
    return storedName;
}

} // namespace NBEngine
