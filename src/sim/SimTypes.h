#pragma once

#include <chrono>

// Small value types shared by the simulator's parts. Everything that depends on time takes it
// as a parameter, so tests drive the simulator with a clock of their own.
namespace zr410::sim {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;
using Duration = Clock::duration;

// One register/value pair of a write request; the value is the 16-bit word read as signed.
struct RegisterWrite {
    int reg = 0;
    int value = 0;
    friend bool operator==(const RegisterWrite&, const RegisterWrite&) = default;
};

// Wraps any integer into the signed 16-bit range the way a register word holds it.
constexpr int ToSigned16(int value) {
    const int word = value & 0xFFFF;
    return word >= 0x8000 ? word - 0x10000 : word;
}

}  // namespace zr410::sim
