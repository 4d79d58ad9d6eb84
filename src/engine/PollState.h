#pragma once

namespace zr410 {

// States of the poll cycle. The values are the state numbers operators and technicians know
// from the communication log and the documentation, so they are kept as they are.
enum class PollState : int {
    None = 0,           // the port has never been opened; or no request waiting in the slot
    Identify = 1,       // identification scan (WHO)
    Status = 11,        // status poll of every connected controller in turn
    Reservation = 21,   // reservation block of the edit device
    Parameters = 22,    // parameter block of the edit device
    ErrorHistory = 23,  // error history of the edit device
    RawRead = 99,       // one register typed in the traffic viewer, read at every cycle
    WriteOne = 101,     // one register/value pair to the edit device
    WriteTwo = 102,     // two consecutive pairs
    WriteClock = 103,   // the six clock pairs
};

constexpr int ToInt(PollState state) {
    return static_cast<int>(state);
}

// Register/value pairs a write state carries; 0 for the read states.
constexpr int WritePairs(PollState state) {
    switch (state) {
        case PollState::WriteOne:
            return 1;
        case PollState::WriteTwo:
            return 2;
        case PollState::WriteClock:
            return 6;
        default:
            return 0;
    }
}

// Everything but the scan and the status poll goes to the edit device.
constexpr bool AddressesEditDevice(PollState state) {
    return state != PollState::None && state != PollState::Identify && state != PollState::Status;
}

}  // namespace zr410
