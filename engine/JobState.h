#pragma once
// The engine's per-job record; every job sets each field before it reads it.

#include <cstdint>
#include <string>

#include "KeyTable.h"

namespace NBEngine {
class StrongKeyCache;
}

namespace NBEngine {

struct JobState {
    KeyTable keyTable = {};
    std::string checksumText;
    std::string plainName;
    std::int32_t plainSize = 0;
    std::int32_t writeOffset = 0;
    std::int32_t readOffset = 0;
    // Shared by the jobs of one set, so that the set derives its key once;
    // null: the job derives its own. Not owned.
    StrongKeyCache* strongKeys = nullptr;
};

} // namespace NBEngine
