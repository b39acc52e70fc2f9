#include "RecordingJobLink.h"

namespace NBTest {

void RecordingJobLink::SetProgress(int value) {
    if (value < NBEngine::progressMinimum) {
        value = NBEngine::progressMinimum;
    } else if (value > NBEngine::progressMaximum) {
        value = NBEngine::progressMaximum;
    }
    progress = value;
    progressHistory.push_back(value);
    if (onProgress) {
        onProgress(value);
    }
}

} // namespace NBTest
