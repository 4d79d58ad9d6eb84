#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "engine/PollState.h"

namespace zr410 {

// One register and the word to write into it, as the operator's entry scaled it (wider than a
// word, so an entry a frame cannot carry is seen before anything is queued).
struct WritePair {
    int address = 0;
    std::int64_t value = 0;
};

enum class WriteOutcome {
    Queued,
    ValueOutOfRange,   // a word outside -32768..65535: no frame can carry it
    UnsupportedShape,  // not 1, 2 or 6 pairs: no write state sends it
};

// The data the poll cycle shares with the windows: the device list, the edit device and the
// write-request slot. Everything runs on the one user-interface thread, so plain members
// serve; the names are the ones operators' documentation and the windows use.
struct SharedState {
    // Device list: the served device numbers in ascending order, addressed by device index.
    std::vector<int> DeviceNumbers;
    std::vector<bool> DeviceConnected;  // answered the identification or a status poll
    std::vector<bool> DeviceRunning;    // RUN bit of the controller's own status word

    int LastDeviceIndex() const { return static_cast<int>(DeviceNumbers.size()) - 1; }
    int DeviceCount() const { return static_cast<int>(DeviceNumbers.size()); }
    bool IsDeviceIndex(int index) const { return index >= 0 && index < DeviceCount(); }
    bool AnyDeviceConnected() const;

    // Rebuilds the list; every flag starts false.
    void SetDeviceNumbers(std::vector<int> numbers);

    // The controller shown in the main window; 0 while none is chosen.
    int EditDeviceNo = 0;
    int EditDeviceIndex = 0;

    // Write-request slot, taken up by the next send tick. A later request replaces an
    // earlier one that has not been sent yet.
    PollState PendingState = PollState::None;
    std::vector<int> PendingRegisters;
    std::vector<int> PendingValues;
    // The device a queued write goes to when it is not the edit device (a command from the
    // plant network for a controller the operator is not looking at); -1 for the edit device.
    int PendingTargetIndex = -1;

    // Fills the lists first and sets the state last, as every requester must.
    void QueueRequest(PollState state, std::vector<int> registers = {},
                      std::vector<int> values = {});

    // The one way anything queues a write to the edit device: one pair is state 101, two
    // pairs 102, the six clock pairs 103. Whatever was pending is replaced. A request no frame
    // can carry is refused whole and the slot keeps what it held.
    WriteOutcome QueueWrite(std::span<const WritePair> pairs);
    WriteOutcome QueueWrite(std::initializer_list<WritePair> pairs) {
        return QueueWrite(std::span<const WritePair>(pairs.begin(), pairs.size()));
    }
    // The same write for another served controller, through the same slot; the operator's
    // edit device and screen stay as they are.
    WriteOutcome QueueWriteTo(int deviceIndex, std::span<const WritePair> pairs);

    // 0 or 2: whether every frame carries a checksum; read when each frame is built.
    int ChecksumLength = 2;

    // Set by the windows while they are open, for their own use; the poll cycle reports to
    // whoever listens and never asks which windows are open.
    bool ParamScreenOpen = false;
    bool CommViewerOpen = false;
    bool RunMultiOpen = false;
};

}  // namespace zr410
