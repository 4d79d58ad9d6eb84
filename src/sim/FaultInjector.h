#pragma once

#include <QByteArray>

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <string_view>
#include <vector>

namespace zr410::sim {

// The line faults a simulated controller can produce, each with a rate from 0 to 1.
enum class Fault { Timeout, Checksum, Negative, Split, Garbage, Late };
inline constexpr int kFaultCount = 6;
// Names used on the command line (--fault-NAME) and the control channel (fault NAME RATE).
inline constexpr std::array<std::string_view, kFaultCount> kFaultNames = {
    "timeout", "checksum", "ng", "split", "garbage", "late"};

std::optional<Fault> FaultFromName(std::string_view name);
std::string_view FaultName(Fault fault);

// A pause in the transmission before the byte at `offset`.
struct Gap {
    int offset = 0;
    std::chrono::milliseconds pause{0};
};

// What to do to one reply. Each fault is drawn independently; a silent reply makes the rest
// moot, a negative one replaces the reply, the others change how it travels.
struct FaultPlan {
    bool silent = false;
    bool negative = false;
    int checksumShift = 0;  // added to the checksum value, 1..255 when the fault hits
    QByteArray garbage;     // sent before the STX
    // Cut points as fractions of the reply length, each with its pause.
    std::vector<std::pair<double, std::chrono::milliseconds>> splits;
    std::chrono::milliseconds lateBy{0};

    bool hits(Fault fault) const;
};

class FaultInjector {
public:
    explicit FaultInjector(std::uint64_t seed);

    void setRate(Fault fault, double rate);  // clamped to 0..1
    double rate(Fault fault) const { return rates_[static_cast<int>(fault)]; }

    // Draws the faults for the next reply. The same number of random draws is taken for every
    // reply whatever the rates, so a seed replays the same fault sequence.
    FaultPlan plan();

private:
    bool draw(Fault fault);

    std::mt19937_64 rng_;
    std::array<double, kFaultCount> rates_{};
};

// Applies a plan's checksum, garbage and split faults to a finished reply: the bytes to send
// and the pauses within them. (Silence and the negative reply are decided before building.)
struct Transmission {
    QByteArray bytes;
    std::vector<Gap> gaps;
    std::chrono::milliseconds lateBy{0};
};
Transmission ApplyFaults(const FaultPlan& plan, QByteArray reply, int checksumLength);

}  // namespace zr410::sim
