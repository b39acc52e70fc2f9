#pragma once
// A whole encryption or decryption, read from the window through the job
// link: request checks, key, header, body, verification and clean-up list.

#include "JobLink.h"
#include "JobState.h"

namespace NBEngine {

// The tail of the message for a container whose stored name cannot be used
// as a file name here; the command line adds a hint to it.
extern const char storedNameNotValid[];

// Reports every failure through the link itself and answers true only when
// the output was produced (and, with "Check", verified). A stop answers false
// without a message.
bool RunJob(JobLink& link, JobState& state);

// Where a same-folder decryption writes: the container's folder followed by
// the stored name, or the stored name alone for a bare container name.
std::string SameFolderDestination(const std::string& containerPath, const std::string& storedName);

} // namespace NBEngine
