#pragma once
// The engine's per-job record; every job sets each field before it reads it.

#include <cstdint>
#include <string>

#include "KeyTable.h"

namespace NBEngine {

struct JobState {
    KeyTable keyTable = {};
    std::string checksumText;
    std::string plainName;
    std::int32_t plainSize = 0;
    std::int32_t writeOffset = 0;
    std::int32_t readOffset = 0;
};

} // namespace NBEngine
