#include "sim/FaultInjector.h"

#include <algorithm>
#include <cmath>

#include "protocol/FrameCodec.h"

namespace zr410::sim {
namespace {

using std::chrono::milliseconds;

// Line noise: printable and binary bytes, but never STX (it would start a frame), LF (it would
// end one) or the letters of a negative reply.
constexpr char kGarbageBytes[] = {'\x00', '\x01', '\x7F', '\x80', '\xFF', '\xFE', '\x1B', '\x03',
                                  '?',    '#',    '~',    'A',    'Z',    '5',    '*',    ' '};

}  // namespace

std::optional<Fault> FaultFromName(std::string_view name) {
    for (int i = 0; i < kFaultCount; ++i) {
        if (kFaultNames[i] == name) {
            return static_cast<Fault>(i);
        }
    }
    return std::nullopt;
}

std::string_view FaultName(Fault fault) {
    return kFaultNames[static_cast<int>(fault)];
}

bool FaultPlan::hits(Fault fault) const {
    switch (fault) {
        case Fault::Timeout:
            return silent;
        case Fault::Checksum:
            return checksumShift != 0;
        case Fault::Negative:
            return negative;
        case Fault::Split:
            return !splits.empty();
        case Fault::Garbage:
            return !garbage.isEmpty();
        case Fault::Late:
            return lateBy.count() > 0;
    }
    return false;
}

FaultInjector::FaultInjector(std::uint64_t seed) : rng_(seed) {}

void FaultInjector::setRate(Fault fault, double rate) {
    rates_[static_cast<int>(fault)] = std::isnan(rate) ? 0.0 : std::clamp(rate, 0.0, 1.0);
}

bool FaultInjector::draw(Fault fault) {
    const double u = std::uniform_real_distribution<double>(0.0, 1.0)(rng_);
    return u < rate(fault);
}

FaultPlan FaultInjector::plan() {
    std::uniform_int_distribution<int> shift(1, 255);
    std::uniform_int_distribution<int> garbageLength(1, 8);
    std::uniform_int_distribution<int> garbageByte(0, sizeof(kGarbageBytes) - 1);
    std::uniform_int_distribution<int> cuts(1, 2);
    std::uniform_real_distribution<double> position(0.05, 0.95);
    std::uniform_int_distribution<int> pause(50, 150);
    std::uniform_int_distribution<int> late(700, 900);

    FaultPlan p;
    p.silent = draw(Fault::Timeout);
    p.negative = draw(Fault::Negative);
    if (draw(Fault::Checksum)) {
        p.checksumShift = shift(rng_);
    }
    if (draw(Fault::Garbage)) {
        const int n = garbageLength(rng_);
        for (int i = 0; i < n; ++i) {
            p.garbage.append(kGarbageBytes[garbageByte(rng_)]);
        }
    }
    if (draw(Fault::Split)) {
        const int n = cuts(rng_);
        for (int i = 0; i < n; ++i) {
            p.splits.emplace_back(position(rng_), milliseconds(pause(rng_)));
        }
        std::sort(p.splits.begin(), p.splits.end());
    }
    if (draw(Fault::Late)) {
        p.lateBy = milliseconds(late(rng_));
    }
    return p;
}

Transmission ApplyFaults(const FaultPlan& plan, QByteArray reply, int checksumLength) {
    if (plan.checksumShift != 0 && checksumLength > 0 && reply.size() >= 5) {
        const qsizetype at = reply.size() - 4;
        const int stated = 16 * DigitValue(reply[at]) + DigitValue(reply[at + 1]);
        const QByteArray wrong = ToHex16((stated + plan.checksumShift) % 256, 2);
        reply[at] = wrong[0];
        reply[at + 1] = wrong[1];
    }
    Transmission t;
    t.lateBy = plan.lateBy;
    t.bytes = plan.garbage + reply;
    const int size = static_cast<int>(t.bytes.size());
    for (const auto& [fraction, pause] : plan.splits) {
        const int offset = std::clamp(static_cast<int>(std::lround(fraction * size)), 1, size - 1);
        if (size > 1 && (t.gaps.empty() || t.gaps.back().offset < offset)) {
            t.gaps.push_back({offset, pause});
        }
    }
    return t;
}

}  // namespace zr410::sim
