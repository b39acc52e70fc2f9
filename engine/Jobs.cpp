#include "Jobs.h"

#include "BodyCipher.h"
#include "Checksum.h"
#include "Container.h"
#include "Paths.h"
#include "PlatformFiles.h"
#include "TextConversion.h"

namespace NBEngine {

const char storedNameNotValid[] = ": The file name stored in the encrypted file is not valid";

namespace {

constexpr std::int64_t largestPlainSize = 2147483647;
constexpr int minimumPasswordLength = 8;
constexpr int maxTemporaryCounter = 100000;

const char notFound[] = ": file not found or inaccessible";
const char sourceDestinationMatch[] = "The source file and the destination file cannot match";
const char transformFailed[] = "Error during encryption.";
const char checkTransformFailed[] = "Error while checking.";

class Job {
public:
    Job(JobLink& link, JobState& state) : link(link), state(state) {}

    bool Run() {
        link.SetProgress(0);
        encrypt = link.IsEncryptMode();
        if (!CheckRequest()) {
            return false;
        }
        state.plainSize = static_cast<std::int32_t>(static_cast<std::uint32_t>(sourceSize));
        if (!(encrypt ? PrepareEncryption() : PrepareDecryption())) {
            return false;
        }
        link.SetProgress(10);
        seed = ChecksumSeed(state.checksumText);
        if (!TransformBody()) {
            return false;
        }
        if (!(encrypt ? VerifyContainer() : CompareDecryptedChecksum())) {
            return false;
        }
        link.SetProgress(100);
        return true;
    }

private:
    bool Fail(const std::string& message, TextField focus = TextField::None) {
        link.ReportError(JobError(message, focus));
        return false;
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
            return Fail(ToUpper(FileNameOf(source)) + notFound, TextField::Source);
        }
        sourceSize = FileSize(source);
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
        password = Secret(TextField::Password);
        if (password.empty()) {
            return Fail("Password required", TextField::Password);
        }
        if (password.size() < minimumPasswordLength) {
            return Fail("Password must be at least 8 characters", TextField::Password);
        }
        if (ToLower(source) == ToLower(destination)) {
            return Fail(sourceDestinationMatch, TextField::Destination);
        }
        if (encrypt && !link.IsPasswordShown()) {
            const std::string confirmation = Secret(TextField::Confirmation);
            if (confirmation.empty()) {
                return Fail("Confirmation password required", TextField::Confirmation);
            }
            if (confirmation != password) {
                return Fail("Confirmation password does not match", TextField::Confirmation);
            }
        }
        if (!DeriveKey(password, state.keyTable)) {
            return Fail("This password cannot be used, please choose another one",
                        TextField::Password);
        }
        return true;
    }

    // The container holds at most 128 name bytes and a signed 32-bit length.
    bool CheckSourceFits() {
        if (!encrypt) {
            return true;
        }
        const std::string name = FileNameOf(source);
        if (name.size() > static_cast<std::size_t>(maxPlainNameLength)) {
            return Fail(name + ": file name too long (at most 128 characters)", TextField::Source);
        }
        if (sourceSize > largestPlainSize) {
            return Fail(name + ": file too large (at most 2147483647 bytes)", TextField::Source);
        }
        return true;
    }

    // Deletes an existing destination, but never the source under another name.
    bool ClearDestination() {
        if (!FileExists(destination)) {
            return true;
        }
        if (Platform::SameFile(source, destination)) {
            return Fail(sourceDestinationMatch, TextField::Destination);
        }
        if (!Platform::RemoveFile(destination)) {
            return Fail(FileNameOf(destination) + ": file not accessible", TextField::Source);
        }
        return true;
    }

    bool PrepareEncryption() {
        state.readOffset = 0;
        state.plainName = FileNameOf(source);
        link.SetProgress(5);
        const Checksum checksum = FoldChecksum(source);
        state.checksumText = checksum.text;
        if (!checksum.readable || state.plainSize == 0) {
            return Fail(state.plainName + notFound, TextField::Source);
        }
        if (!ClearDestination()) {
            return false;
        }
        // From here on a stop must take the new container away.
        link.AddCleanupPath(destination);
        return WriteHeader(destination, state) || Fail(transformFailed);
    }

    bool PrepareDecryption() {
        state.writeOffset = 0;
        if (!ReadHeader(source, state)) {
            return Fail(FileNameOf(source) +
                            ": The password is incorrect or not valid NBN Encrypted File",
                        TextField::Source);
        }
        if (destination.empty() && link.IsChecked(Option::SameFolder)) {
            if (!IsPlainFileName(state.plainName)) {
                return Fail(FileNameOf(source) + storedNameNotValid, TextField::Source);
            }
            destination = SameFolderDestination(source, state.plainName);
        }
        if (!ClearDestination()) {
            return false;
        }
        link.AddCleanupPath(destination);
        return true;
    }

    bool TransformBody() {
        RootSequence generator;
        generator.Seed(seed);
        if (!TransformFile(source, destination, generator, state, link)) {
            return Fail(transformFailed);
        }
        if (!link.IsRunning()) {
            Platform::RemoveFile(destination);
            return false;
        }
        return true;
    }

    bool CompareDecryptedChecksum() {
        if (FoldChecksum(destination).text != state.checksumText) {
            return Fail(FileNameOf(destination) +
                        ": CRC mismatch. The password is incorrect or the file may be corrupted.");
        }
        return true;
    }

    bool VerifyContainer() {
        if (!link.IsChecked(Option::Verify)) {
            return true;
        }
        const std::string sourceChecksum = state.checksumText;
        if (!ReadHeader(destination, state)) {
            return Fail(FileNameOf(destination) +
                        ": not valid NBN Encrypted File or not accessible");
        }
        const std::string temporary = CreateTemporaryFile(destination);
        if (temporary.empty()) {
            return Fail(checkTransformFailed);
        }
        const bool verified = CheckThroughTemporary(temporary, sourceChecksum);
        Platform::RemoveFile(temporary);
        return verified;
    }

    bool CheckThroughTemporary(const std::string& temporary, const std::string& sourceChecksum) {
        state.writeOffset = 0;
        RootSequence generator;
        generator.Seed(seed);
        if (!TransformFile(destination, temporary, generator, state, link)) {
            return Fail(checkTransformFailed);
        }
        if (!link.IsRunning()) {
            return false;
        }
        if (FoldChecksum(temporary).text != sourceChecksum) {
            return Fail("Check failed.");
        }
        return true;
    }

    JobLink& link;
    JobState& state;
    bool encrypt = true;
    std::string source;
    std::int64_t sourceSize = 0;
    std::string destination;
    std::string password;
    std::int32_t seed = 0;
};

} // namespace

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

std::string CreateTemporaryFile(const std::string& containerPath) {
    const std::string folder = DirectoryOf(containerPath);
    const std::string base = folder.empty() ? "temp" : WithTrailingSeparator(folder) + "temp";
    for (int counter = -1; counter < maxTemporaryCounter; ++counter) {
        const std::string candidate =
            counter < 0 ? base : base + "_" + NBUtility::Int64ToText(counter);
        if (FileExists(candidate)) {
            continue;
        }
        switch (Platform::CreateNewFile(candidate)) {
        case Platform::CreateResult::Created:
            return candidate;
        case Platform::CreateResult::Exists:
            continue;
        case Platform::CreateResult::Failed:
            return std::string();
        }
    }
    return std::string();
}

} // namespace NBEngine
