#include "PlainReference.h"

#include <algorithm>
#include <iterator>

#include "BodyCipher.h"

namespace NBTest {

NBEngine::RootSequence Seeded(int seed) {
    NBEngine::RootSequence generator;
    generator.Seed(seed);
    return generator;
}

bool SameGenerator(const NBEngine::RootSequence& a, const NBEngine::RootSequence& b) {
    return a.state == b.state && a.maxCount == b.maxCount && a.offset == b.offset &&
           a.total == b.total && std::equal(std::begin(a.counts), std::end(a.counts), b.counts);
}

Bytes PlainTransform(const Bytes& input, NBEngine::RootSequence& generator,
                     const NBEngine::KeyTable& key) {
    Bytes output(input.size());
    for (std::size_t k = 0; k < input.size(); ++k) {
        const auto value = static_cast<std::uint32_t>(generator.Next(1, 16));
        output[k] = static_cast<std::uint8_t>(input[k] ^ ((value + key[k % 128]) & 0xFFu));
    }
    return output;
}

std::vector<int> PlainProgressChanges(const ProgressRun& run) {
    const auto shown = [](int value) {
        return std::clamp(value, NBEngine::progressMinimum, NBEngine::progressMaximum);
    };
    std::vector<int> changes;
    int current = shown(run.start);
    for (std::size_t done = 0;;) {
        const std::size_t block = std::min<std::size_t>(128, run.length - done);
        done += block;
        const int value =
            shown(NBEngine::ProgressAt(run.writeOffset + done, run.total, run.start, run.end));
        if (value != current) {
            changes.push_back(value);
            current = value;
        }
        if (block < 128) {
            return changes;
        }
    }
}

} // namespace NBTest
