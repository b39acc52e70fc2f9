#pragma once
// The body cipher and the progress bar as the format describes them, one
// generator call and one block at a time, for comparison with the engine.

#include <cstdint>
#include <vector>

#include "KeyTable.h"
#include "RootSequence.h"
#include "TestFiles.h"

namespace NBTest {

NBEngine::RootSequence Seeded(int seed);
// Every field of the two generators is equal.
bool SameGenerator(const NBEngine::RootSequence& a, const NBEngine::RootSequence& b);

// input[k] XOR ((value k+1 of generator.Next(1, 16) + key[k mod 128]) mod 256);
// the generator moves on by one call per byte.
Bytes PlainTransform(const Bytes& input, NBEngine::RootSequence& generator,
                     const NBEngine::KeyTable& key);

struct ProgressRun {
    std::int32_t total;       // plainSize
    int start;                // the bar before the pass
    int end;                  // end of the span
    std::int64_t writeOffset; // where the output starts
    std::size_t length;       // bytes in the pass
};

// The shown values after every 128-byte block (and after the empty last
// round of a length that is a multiple of 128), each kept only when it
// differs from the value shown before.
std::vector<int> PlainProgressChanges(const ProgressRun& run);

} // namespace NBTest
