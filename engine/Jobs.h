#pragma once
// A whole encryption or decryption, read from the window through the job
// link: request checks, key, header, body, verification and clean-up list.

#include "JobLink.h"
#include "JobState.h"

namespace NBEngine {

// The tail of the message for a container whose stored name cannot be used
// as a file name here; the command line adds a hint to it.
extern const char storedNameNotValid[];

// What a job reports for a source that is missing or cannot be read.
std::string MissingSourceMessage(const std::string& source);

// The refusal a job gives for this password (taken as typed: the job trims
// it), or empty when the password can be used.
std::string PasswordRefusal(const std::string& password);
// The same, keeping the key derived from the trimmed password.
std::string PasswordRefusal(const std::string& password, KeyTable& key);

// The refusal a job gives for a typed confirmation of the password, or empty
// when it repeats the password.
std::string ConfirmationRefusal(const std::string& password, const std::string& confirmation);

// Reads a container's header with the key in state, as a decryption does
// before its body: empty when the header opens and the body is whole, the
// job's message otherwise.
std::string ContainerRefusal(const std::string& container, JobState& state);

// The local form of the name the header in state holds, when a file of that
// name can be written beside the container on every system.
bool LocalStoredName(const JobState& state, std::string& localName);

// Reports every failure through the link itself and answers true only when
// the output was produced (and, with "Check", verified). A stop answers false
// without a message.
bool RunJob(JobLink& link, JobState& state);

// Where a same-folder decryption writes: the container's folder followed by
// the stored name, or the stored name alone for a bare container name.
std::string SameFolderDestination(const std::string& containerPath, const std::string& storedName);

} // namespace NBEngine
