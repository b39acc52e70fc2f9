#include "BenchJobs.h"

#include <algorithm>
#include <cstdio>

#include "BodyCipher.h"
#include "Checksum.h"
#include "Container.h"
#include "KeyTable.h"
#include "Paths.h"
#include "PlatformFiles.h"

namespace NBBench {

using namespace NBEngine;

void BenchLink::SetProgress(int value) {
    progress = std::clamp(value, progressMinimum, progressMaximum);
}

void BenchLink::ReportError(const std::string& text, TextField) {
    std::fprintf(stderr, "job error: %s\n", text.c_str());
}

namespace {
bool Fail(JobLink& link, const std::string& text) {
    link.ReportError(text, TextField::None);
    return false;
}

bool TransformBody(const std::string& input, const std::string& output, JobState& state,
                   JobLink& link) {
    RootSequence generator;
    generator.Seed(ChecksumSeed(state.checksumText));
    return TransformFile(input, output, generator, state, link);
}

bool VerifyContainer(const std::string& container, JobState& state, JobLink& link) {
    const std::string savedChecksum = state.checksumText;
    const std::string temporary = container + ".check";
    if (!ReadHeader(container, state)) {
        return Fail(link, "cannot read the new container");
    }
    state.writeOffset = 0;
    const bool same = TransformBody(container, temporary, state, link) &&
                      FoldChecksum(temporary).text == savedChecksum;
    Platform::RemoveFile(temporary);
    return same || Fail(link, "Check failed.");
}

bool Encrypt(const std::string& source, const std::string& destination, JobState& state,
             JobLink& link) {
    state.plainSize = static_cast<std::int32_t>(FileSize(source));
    state.readOffset = 0;
    state.plainName = FileNameOf(source);
    link.SetProgress(5);
    state.checksumText = FoldChecksum(source).text;
    Platform::RemoveFile(destination);
    if (!WriteHeader(destination, state)) {
        return Fail(link, "Error during encryption.");
    }
    link.SetProgress(10);
    if (!TransformBody(source, destination, state, link)) {
        return Fail(link, "Error during encryption.");
    }
    return !link.IsChecked(Option::Verify) || VerifyContainer(destination, state, link);
}

bool Decrypt(const std::string& source, const std::string& destination, JobState& state,
             JobLink& link) {
    if (!ReadHeader(source, state)) {
        return Fail(link, "not a container of this password");
    }
    state.writeOffset = 0;
    Platform::RemoveFile(destination);
    link.SetProgress(10);
    if (!TransformBody(source, destination, state, link)) {
        return Fail(link, "Error during encryption.");
    }
    return FoldChecksum(destination).text == state.checksumText || Fail(link, "CRC mismatch.");
}
} // namespace

bool RunBenchJob(JobLink& link, JobState& state) {
    link.SetProgress(0);
    const std::string source = link.ReadText(TextField::Source);
    const std::string destination = link.ReadText(TextField::Destination);
    if (!DeriveKey(link.ReadText(TextField::Password), state.keyTable)) {
        return Fail(link, "unusable password");
    }
    const bool done = link.IsEncryptMode() ? Encrypt(source, destination, state, link)
                                           : Decrypt(source, destination, state, link);
    if (done) {
        link.SetProgress(100);
    }
    return done;
}

} // namespace NBBench
