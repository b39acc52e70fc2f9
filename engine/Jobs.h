#pragma once
// A whole encryption or decryption, read from the window through the job
// link: request checks, key, header, body, verification and clean-up list.

#include "JobLink.h"
#include "JobState.h"
#include "StrongContainer.h"

namespace NBEngine {

// The tail of the message for a container whose stored name cannot be used
// as a file name here; the command line adds a hint to it.
extern const char storedNameNotValid[];

// What a job reports for a source that is missing or cannot be read.
std::string MissingSourceMessage(const std::string& source);

// The refusal a version 1 encryption gives for this password (taken as typed:
// the job trims it), or empty when the password can be used.
std::string PasswordRefusal(const std::string& password);
// The same, keeping the key derived from the trimmed password.
std::string PasswordRefusal(const std::string& password, KeyTable& key);

// The strong container's refusal for a password typed as UTF-8, or empty
// with the bytes it derives from.
std::string StrongPasswordRefusal(const std::string& typed, std::string& bytes);

// What every container refuses (empty, fewer than 8 characters): a set of
// containers of either version checks this much before reading any.
std::string CommonPasswordRefusal(const std::string& typed);

// Version 1's refusal of a password for decrypting container: its own rules,
// and a wrong password for one longer than any it ever took.
std::string Version1DecryptionRefusal(const std::string& container, const std::string& password,
                                      KeyTable& key, ReadFault& fault);

// The version a file's signature announces; Unknown for anything else,
// folders and unreadable files included.
ContainerVersion ContainerVersionOf(const std::string& path);

// The design's words for a container that cannot be read, whatever its version.
std::string ContainerFaultMessage(const std::string& container, ReadFault fault);

// The refusal a job gives for a typed confirmation of the password, or empty
// when it repeats the password.
std::string ConfirmationRefusal(const std::string& password, const std::string& confirmation);

// Reads a container's header with the key in state, as a decryption does
// before its body: empty when the header opens and the body is whole, the
// job's message otherwise.
std::string ContainerRefusal(const std::string& container, JobState& state);
// The same, with the kind of the refusal.
std::string ContainerRefusal(const std::string& container, JobState& state, ReadFault& fault);

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
