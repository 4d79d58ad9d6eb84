#include "engine/SharedState.h"

#include <algorithm>

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
    PendingState = state;
}

}  // namespace zr410
