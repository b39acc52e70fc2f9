#pragma once
// For the engine tests: a container made directly from a header, to give a
// job or a set the stored name under test.

#include <string>

#include "Container.h"
#include "KeyTable.h"
#include "TestSupport.h"

namespace NBTest {

// One body byte behind a header that stores name (with a zero checksum: the
// body never decrypts cleanly); false when it cannot be made.
inline bool WriteOneByteContainer(const std::string& path, const std::string& name,
                                  const std::string& password) {
    NBEngine::JobState made;
    if (!NBEngine::DeriveKey(password, made.keyTable)) {
        return false;
    }
    made.plainName = name;
    made.checksumText = std::string(32, '0');
    made.plainSize = 1;
    if (!NBEngine::WriteHeader(path, made)) {
        return false;
    }
    AppendBytes(path, {0x55});
    return true;
}

} // namespace NBTest
