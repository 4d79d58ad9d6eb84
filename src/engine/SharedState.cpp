#include "engine/SharedState.h"

#include <algorithm>

#include "protocol/FrameCodec.h"

namespace zr410 {

bool SharedState::AnyDeviceConnected() const {
    return std::any_of(DeviceConnected.begin(), DeviceConnected.end(), [](bool b) { return b; });
}

void SharedState::SetDeviceNumbers(std::vector<int> numbers) {
    DeviceNumbers = std::move(numbers);
    DeviceConnected.assign(DeviceNumbers.size(), false);
    DeviceRunning.assign(DeviceNumbers.size(), false);
}

void SharedState::QueueRequest(PollState state, std::vector<int> registers,
                               std::vector<int> values) {
    PendingRegisters = std::move(registers);
    PendingValues = std::move(values);
    PendingTargetIndex = -1;
    PendingState = state;
}

WriteOutcome SharedState::QueueWrite(std::span<const WritePair> pairs) {
    PollState state = PollState::None;
    for (PollState s : {PollState::WriteOne, PollState::WriteTwo, PollState::WriteClock}) {
        if (WritePairs(s) == static_cast<int>(pairs.size())) {
            state = s;
        }
    }
    if (state == PollState::None) {
        return WriteOutcome::UnsupportedShape;
    }
    std::vector<int> registers;
    std::vector<int> values;
    for (const WritePair& pair : pairs) {
        if (pair.value < kMinWordValue || pair.value > kMaxWordValue) {
            return WriteOutcome::ValueOutOfRange;
        }
        registers.push_back(pair.address);
        values.push_back(static_cast<int>(pair.value));
    }
    QueueRequest(state, std::move(registers), std::move(values));
    return WriteOutcome::Queued;
}

WriteOutcome SharedState::QueueWriteTo(int deviceIndex, std::span<const WritePair> pairs) {
    const WriteOutcome outcome = QueueWrite(pairs);
    if (outcome == WriteOutcome::Queued) {
        PendingTargetIndex = deviceIndex;
    }
    return outcome;
}

}  // namespace zr410
