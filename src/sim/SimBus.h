#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/FaultInjector.h"
#include "sim/SimController.h"
#include "sim/SimProtocol.h"

namespace zr410::sim {

// The controllers sharing one line: it turns each request frame into the reply of the
// addressed controller (with faults applied), or into silence, and counts what it saw.
class SimBus {
public:
    struct Counters {
        std::uint64_t requests = 0;  // frames received, whoever they were for
        std::uint64_t replies = 0;   // frames answered, negative replies included
        std::uint64_t negative = 0;  // negative replies sent, genuine or injected
        std::uint64_t silent = 0;    // frames left unanswered
        // Requests whose first byte came while a reply was still due or on the line: on a
        // real half-duplex line both frames would be garbled.
        std::uint64_t overlaps = 0;
        std::map<int, std::uint64_t> perDevice;  // frames by device number
        std::array<std::uint64_t, 4> perKind{};  // WHO, DRR, DWR, not a valid request
        std::array<std::uint64_t, kFaultCount> faults{};
    };
    struct WriteRecord {
        int device;
        int reg;
        int value;  // signed 16-bit, as the master sent it
    };

    SimBus(const std::vector<int>& devices, int checksumLength, std::uint64_t seed,
           const CalendarTime& wallClock, TimePoint now);

    int checksumLength() const { return checksumLength_; }
    void setChecksumLength(int length) { checksumLength_ = length; }
    FaultInjector& faults() { return faults_; }

    // The reply to one request frame (STX to LF), or nothing when no controller answers.
    std::optional<Transmission> handle(QByteArrayView frame, TimePoint now);

    SimController* device(int number);
    std::vector<int> deviceNumbers() const;

    const Counters& counters() const { return counters_; }
    void countOverlap() { ++counters_.overlaps; }
    void clearCounters() { counters_ = Counters{}; }
    const std::vector<WriteRecord>& writes() const { return writes_; }
    void clearWrites() { writes_.clear(); }

    // One line per frame for the verbose log; unset means no log.
    void setLog(std::function<void(const std::string&)> log) { log_ = std::move(log); }

private:
    QByteArray answer(SimController& controller, const ParsedFrame& parsed, TimePoint now);
    void logFrame(QByteArrayView frame, const std::string& note) const;

    static constexpr size_t kMaxWriteRecords = 100000;

    std::map<int, std::unique_ptr<SimController>> devices_;
    int checksumLength_;
    FaultInjector faults_;
    Counters counters_;
    std::vector<WriteRecord> writes_;
    std::function<void(const std::string&)> log_;
};

// Bytes with control characters spelled out, for logs: <STX>01WHO4F<CR><LF>.
std::string Readable(QByteArrayView bytes);

}  // namespace zr410::sim
