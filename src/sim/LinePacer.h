#pragma once

#include <QByteArray>

#include <deque>
#include <optional>
#include <span>

#include "sim/FaultInjector.h"
#include "sim/SimTypes.h"

namespace zr410::sim {

// Releases reply bytes no faster than the serial line would carry them. A pseudo-terminal
// hands bytes over at once, so without this every reply would arrive in a fraction of a
// millisecond and the master's timing would never be exercised.
//
// Every byte has a slot on the line: one byte time after the previous byte's slot, later for
// the reply's start and for pauses. A byte leaves no earlier than the end of its slot, when a
// real receiver would have it complete. A wake-up that comes late does not slow the line
// down: the bytes that fell due meanwhile leave together. Below a millisecond per byte the
// simulator wakes at most once a millisecond, so fast lines do not cost a wake-up per byte.
class LinePacer {
public:
    explicit LinePacer(Duration byteTime);

    Duration byteTime() const { return byteTime_; }

    // Queues bytes whose first slot starts at `earliest` at the soonest, after anything
    // already queued; each gap pauses the line before the byte at its offset.
    void enqueue(const QByteArray& bytes, TimePoint earliest, std::span<const Gap> gaps = {});

    // The bytes that may leave at `now` (possibly none). Call sent() with how many did leave.
    QByteArray due(TimePoint now) const;
    void sent(int count, TimePoint now);

    std::optional<TimePoint> nextDue() const;
    bool idle() const { return queue_.empty(); }
    void clear() { queue_.clear(); }

private:
    struct Slot {
        char byte;
        TimePoint due;  // end of the byte's slot on the line
    };

    Duration byteTime_;
    Duration wakeInterval_;
    std::deque<Slot> queue_;
    TimePoint lineFree_{};  // end of the last queued slot
    std::optional<TimePoint> lastWrite_;
};

}  // namespace zr410::sim
